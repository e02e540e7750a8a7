#pragma once
// UTF-8 decoding and validation. Lengths and positions of query texts count
// Unicode scalar values; the validation errors count bytes.
#include <cstddef>
#include <cstdint>
#include <expected>
#include <string>
#include <string_view>
#include <vector>

namespace orvel::text {

// Why a byte sequence is not UTF-8. `valid_up_to` is the length of the
// longest valid prefix; `error_len` is the length (1 to 3) of the maximal
// invalid subpart there, or 0 when the input ends inside a sequence that
// could still be completed.
struct Utf8Error {
  std::size_t valid_up_to = 0;
  std::size_t error_len = 0;

  // "invalid utf-8 sequence of {n} bytes from index {i}" or
  // "incomplete utf-8 byte sequence from index {i}".
  std::string message() const;
  std::string debug() const;
  friend bool operator==(const Utf8Error&, const Utf8Error&) = default;
};

std::expected<void, Utf8Error> validate_utf8(std::string_view bytes);

// Decoding is meant for valid UTF-8 (every text from Python is). A broken
// promise never reads past the end: a byte that begins no well-formed
// sequence is replaced, together with the continuation bytes that follow
// it, by one U+FFFD. count_scalars counts the values the decoders yield.

// The scalar values of `text`. Runs of ASCII are widened sixteen or eight
// bytes at a time.
std::u32string decode_utf8(std::string_view text);
// Appends the scalar values of `text` to `out`.
void append_decoded_utf8(std::string_view text, std::u32string& out);
// Number of scalar values the decoders yield for `text`.
std::size_t count_scalars(std::string_view text);

// Byte offsets of every character of valid UTF-8, then its byte length.
std::vector<std::size_t> char_boundaries(std::string_view text);

// Appends the UTF-8 encoding of one scalar value.
void append_utf8(std::string& out, char32_t scalar);
std::string encode_utf8(const std::u32string_view scalars);

// Length in bytes of the UTF-8 sequence starting with `lead` in valid text.
inline std::size_t utf8_sequence_length(unsigned char lead) {
  if (lead < 0x80) return 1;
  if (lead < 0xE0) return 2;
  if (lead < 0xF0) return 3;
  return 4;
}

namespace detail {

inline bool is_continuation_byte(unsigned char b) { return (b & 0xC0) == 0x80; }

// Allowed range of the second byte after a lead byte (Unicode Table 3-7).
inline bool second_byte_ok(unsigned char lead, unsigned char b) {
  switch (lead) {
    case 0xE0: return b >= 0xA0 && b <= 0xBF;
    case 0xED: return b >= 0x80 && b <= 0x9F;
    case 0xF0: return b >= 0x90 && b <= 0xBF;
    case 0xF4: return b >= 0x80 && b <= 0x8F;
    default: return is_continuation_byte(b);
  }
}

// One value of the decoders and the bytes it takes (at least one, never
// past `size`); `pos` is below `size`.
struct ScalarStep {
  char32_t value;
  std::size_t width;
};

// The U+FFFD of a byte that begins no well-formed sequence, with the
// continuation bytes after it.
[[gnu::cold, gnu::noinline]] inline ScalarStep malformed_step(const unsigned char* p, std::size_t pos,
                                                             std::size_t size) {
  std::size_t end = pos + 1;
  while (end < size && is_continuation_byte(p[end])) ++end;
  return {U'\uFFFD', end - pos};
}

inline ScalarStep scalar_step(const unsigned char* p, std::size_t pos, std::size_t size) {
  const unsigned char lead = p[pos];
  if (lead < 0x80) return {lead, 1};
  const std::size_t left = size - pos;
  if (lead < 0xE0) {
    if (lead >= 0xC2 && left >= 2 && is_continuation_byte(p[pos + 1])) {
      return {(char32_t{lead} & 0x1F) << 6 | (p[pos + 1] & 0x3F), 2};
    }
  } else if (lead < 0xF0) {
    if (left >= 3 && second_byte_ok(lead, p[pos + 1]) && is_continuation_byte(p[pos + 2])) {
      return {(char32_t{lead} & 0x0F) << 12 | char32_t{p[pos + 1] & 0x3Fu} << 6 | (p[pos + 2] & 0x3F), 3};
    }
  } else if (lead <= 0xF4) {
    if (left >= 4 && second_byte_ok(lead, p[pos + 1]) && is_continuation_byte(p[pos + 2]) &&
        is_continuation_byte(p[pos + 3])) {
      return {(char32_t{lead} & 0x07) << 18 | char32_t{p[pos + 1] & 0x3Fu} << 12 |
                  char32_t{p[pos + 2] & 0x3Fu} << 6 | (p[pos + 3] & 0x3F),
              4};
    }
  }
  return malformed_step(p, pos, size);
}

}  // namespace detail

// Decodes the scalar value at byte offset `pos` (below the text's size) and
// advances `pos` past it.
inline char32_t next_scalar(std::string_view text, std::size_t& pos) {
  const detail::ScalarStep step =
      detail::scalar_step(reinterpret_cast<const unsigned char*>(text.data()), pos, text.size());
  pos += step.width;
  return step.value;
}

}  // namespace orvel::text
