#pragma once
// UTF-8 decoding and validation. Lengths and positions of query texts count
// Unicode scalar values; the validation errors count bytes.
#include <cstddef>
#include <cstdint>
#include <expected>
#include <string>
#include <string_view>

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

// Decodes text already known to be valid UTF-8 into scalar values.
std::u32string decode_utf8(std::string_view valid);
// Appends the scalar values of `valid` to `out`.
void append_decoded_utf8(std::string_view valid, std::u32string& out);

// Number of scalar values in valid UTF-8.
std::size_t count_scalars(std::string_view valid);

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

// Decodes the scalar value at byte offset `pos` of valid UTF-8 and advances
// `pos` past it.
char32_t next_scalar(std::string_view valid, std::size_t& pos);

}  // namespace orvel::text
