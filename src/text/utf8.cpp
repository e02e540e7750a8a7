#include "text/utf8.hpp"

#include <fmt/format.h>

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace orvel::text {

std::string Utf8Error::message() const {
  if (error_len == 0) return fmt::format("incomplete utf-8 byte sequence from index {}", valid_up_to);
  return fmt::format("invalid utf-8 sequence of {} bytes from index {}", error_len, valid_up_to);
}

std::string Utf8Error::debug() const {
  if (error_len == 0) return fmt::format("Utf8Error {{ valid_up_to: {}, error_len: None }}", valid_up_to);
  return fmt::format("Utf8Error {{ valid_up_to: {}, error_len: Some({}) }}", valid_up_to, error_len);
}

std::expected<void, Utf8Error> validate_utf8(std::string_view bytes) {
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  const std::size_t n = bytes.size();
  std::size_t i = 0;
  while (i < n) {
    const unsigned char lead = p[i];
    if (lead < 0x80) {
      ++i;
      continue;
    }
    std::size_t width;
    if (lead >= 0xC2 && lead <= 0xDF) width = 2;
    else if (lead >= 0xE0 && lead <= 0xEF) width = 3;
    else if (lead >= 0xF0 && lead <= 0xF4) width = 4;
    else return std::unexpected(Utf8Error{i, 1});
    // Walk the continuation bytes; the maximal subpart ends at the first
    // byte that cannot continue the sequence.
    for (std::size_t k = 1; k < width; ++k) {
      if (i + k >= n) return std::unexpected(Utf8Error{i, 0});
      const unsigned char b = p[i + k];
      const bool ok = k == 1 ? detail::second_byte_ok(lead, b) : detail::is_continuation_byte(b);
      if (!ok) return std::unexpected(Utf8Error{i, k});
    }
    i += width;
  }
  return {};
}

namespace {

// Eight bytes at `p` are all ASCII.
bool ascii_word(const unsigned char* p) {
  std::uint64_t word;
  std::memcpy(&word, p, 8);
  return (word & 0x8080'8080'8080'8080u) == 0;
}

}  // namespace

void append_decoded_utf8(std::string_view text, std::u32string& out) {
  const std::size_t old_size = out.size();
  out.resize_and_overwrite(old_size + text.size(), [text, old_size](char32_t* dst, std::size_t) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    std::size_t size = old_size, pos = 0;
    while (pos < text.size()) {
#if defined(__SSE2__)
      if (pos + 16 <= text.size()) {
        const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + pos));
        if (_mm_movemask_epi8(chunk) == 0) {
          const __m128i zero = _mm_setzero_si128();
          const __m128i low = _mm_unpacklo_epi8(chunk, zero), high = _mm_unpackhi_epi8(chunk, zero);
          auto* to = reinterpret_cast<__m128i*>(dst + size);
          _mm_storeu_si128(to, _mm_unpacklo_epi16(low, zero));
          _mm_storeu_si128(to + 1, _mm_unpackhi_epi16(low, zero));
          _mm_storeu_si128(to + 2, _mm_unpacklo_epi16(high, zero));
          _mm_storeu_si128(to + 3, _mm_unpackhi_epi16(high, zero));
          size += 16;
          pos += 16;
          continue;
        }
      }
#endif
      if (pos + 8 <= text.size() && ascii_word(bytes + pos)) {
        for (unsigned k = 0; k < 8; ++k) dst[size + k] = bytes[pos + k];
        size += 8;
        pos += 8;
        continue;
      }
      const detail::ScalarStep step = detail::scalar_step(bytes, pos, text.size());
      dst[size++] = step.value;
      pos += step.width;
    }
    return size;
  });
}

std::u32string decode_utf8(std::string_view text) {
  std::u32string out;
  append_decoded_utf8(text, out);
  return out;
}

std::vector<std::size_t> char_boundaries(std::string_view text) {
  std::vector<std::size_t> b;
  b.reserve(text.size() + 1);
  std::size_t pos = 0;
  while (pos < text.size()) {
    b.push_back(pos);
    pos += utf8_sequence_length(static_cast<unsigned char>(text[pos]));
  }
  b.push_back(text.size());
  return b;
}

std::size_t count_scalars(std::string_view text) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
  std::size_t count = 0, pos = 0;
  while (pos < text.size()) {
    if (pos + 8 <= text.size() && ascii_word(bytes + pos)) {
      count += 8;
      pos += 8;
      continue;
    }
    pos += detail::scalar_step(bytes, pos, text.size()).width;
    ++count;
  }
  return count;
}

void append_utf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

std::string encode_utf8(const std::u32string_view scalars) {
  std::string out;
  out.reserve(scalars.size());
  for (char32_t cp : scalars) append_utf8(out, cp);
  return out;
}

}  // namespace orvel::text
