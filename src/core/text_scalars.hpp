#pragma once
// Scalar values of UTF-8 texts for the path constructors and the text
// distance forms. Texts reaching the core are valid UTF-8; this decoder
// still stays inside the given bytes whatever they hold, so a malformed
// text gives some symbols instead of a read past its end.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace orvel::detail {

// Decodes the scalar value at `pos` and advances past it (at least one
// byte, never past the end).
inline char32_t next_scalar_bounded(std::string_view text, std::size_t& pos) {
  const auto* p = reinterpret_cast<const unsigned char*>(text.data());
  const unsigned char lead = p[pos];
  std::size_t width = lead < 0xC0 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
  if (width > text.size() - pos) width = text.size() - pos;
  char32_t cp = width == 1 ? lead : width == 2 ? (lead & 0x1F) : width == 3 ? (lead & 0x0F) : (lead & 0x07);
  for (std::size_t k = 1; k < width; ++k) cp = (cp << 6) | (p[pos + k] & 0x3F);
  pos += width;
  return cp;
}

// Number of values next_scalar_bounded yields for `text`: the characters
// of valid UTF-8.
inline std::size_t scalar_count(std::string_view text) {
  std::size_t count = 0;
  for (std::size_t pos = 0; pos < text.size(); ++count) {
    const unsigned char lead = static_cast<unsigned char>(text[pos]);
    const std::size_t width = lead < 0xC0 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    pos += width < text.size() - pos ? width : text.size() - pos;
  }
  return count;
}

// The values next_scalar_bounded yields for `text`, in order. Runs of
// ASCII are widened sixteen or eight bytes at a time.
inline std::u32string decode_scalars(std::string_view text) {
  std::u32string out;
  out.resize_and_overwrite(text.size(), [text](char32_t* dst, std::size_t) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    std::size_t size = 0, pos = 0;
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
      if (pos + 8 <= text.size()) {
        std::uint64_t word;
        std::memcpy(&word, bytes + pos, 8);
        if ((word & 0x8080'8080'8080'8080u) == 0) {
          for (unsigned k = 0; k < 8; ++k) dst[size + k] = bytes[pos + k];
          size += 8;
          pos += 8;
          continue;
        }
      }
      dst[size++] = bytes[pos] < 0x80 ? char32_t{bytes[pos++]} : next_scalar_bounded(text, pos);
    }
    return size;
  });
  return out;
}

}  // namespace orvel::detail
