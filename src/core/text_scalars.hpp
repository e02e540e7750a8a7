#pragma once
// Scalar values of UTF-8 texts for the path constructors and the text
// distance forms. Texts reaching the core are valid UTF-8; this decoder
// still stays inside the given bytes whatever they hold, so a malformed
// text gives some symbols instead of a read past its end.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

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

inline std::u32string decode_scalars(std::string_view text) {
  std::u32string out;
  out.reserve(text.size());
  for (std::size_t pos = 0; pos < text.size();) out.push_back(next_scalar_bounded(text, pos));
  return out;
}

}  // namespace orvel::detail
