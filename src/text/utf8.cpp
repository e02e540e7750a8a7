#include "text/utf8.hpp"

#include <fmt/format.h>

namespace orvel::text {

std::string Utf8Error::message() const {
  if (error_len == 0) return fmt::format("incomplete utf-8 byte sequence from index {}", valid_up_to);
  return fmt::format("invalid utf-8 sequence of {} bytes from index {}", error_len, valid_up_to);
}

std::string Utf8Error::debug() const {
  if (error_len == 0) return fmt::format("Utf8Error {{ valid_up_to: {}, error_len: None }}", valid_up_to);
  return fmt::format("Utf8Error {{ valid_up_to: {}, error_len: Some({}) }}", valid_up_to, error_len);
}

namespace {

bool is_continuation(unsigned char b) { return (b & 0xC0) == 0x80; }

// Allowed range of the second byte after a lead byte (Unicode Table 3-7).
bool second_byte_ok(unsigned char lead, unsigned char b) {
  switch (lead) {
    case 0xE0: return b >= 0xA0 && b <= 0xBF;
    case 0xED: return b >= 0x80 && b <= 0x9F;
    case 0xF0: return b >= 0x90 && b <= 0xBF;
    case 0xF4: return b >= 0x80 && b <= 0x8F;
    default: return is_continuation(b);
  }
}

}  // namespace

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
      const bool ok = k == 1 ? second_byte_ok(lead, b) : is_continuation(b);
      if (!ok) return std::unexpected(Utf8Error{i, k});
    }
    i += width;
  }
  return {};
}

char32_t next_scalar(std::string_view valid, std::size_t& pos) {
  const auto* p = reinterpret_cast<const unsigned char*>(valid.data());
  const unsigned char lead = p[pos];
  const std::size_t width = utf8_sequence_length(lead);
  // Callers promise valid UTF-8; a broken promise (a stray continuation byte,
  // a sequence cut off at the end) yields U+FFFD and never reads past the end.
  if ((lead & 0xC0) == 0x80 || width > valid.size() - pos) {
    ++pos;
    while (pos < valid.size() && (p[pos] & 0xC0) == 0x80) ++pos;
    return U'\uFFFD';
  }
  char32_t cp;
  switch (width) {
    case 1: cp = lead; break;
    case 2: cp = lead & 0x1F; break;
    case 3: cp = lead & 0x0F; break;
    default: cp = lead & 0x07; break;
  }
  for (std::size_t k = 1; k < width; ++k) cp = (cp << 6) | (p[pos + k] & 0x3F);
  pos += width;
  return cp;
}

void append_decoded_utf8(std::string_view valid, std::u32string& out) {
  std::size_t pos = 0;
  while (pos < valid.size()) out.push_back(next_scalar(valid, pos));
}

std::u32string decode_utf8(std::string_view valid) {
  std::u32string out;
  out.reserve(valid.size());
  append_decoded_utf8(valid, out);
  return out;
}

std::size_t count_scalars(std::string_view valid) {
  std::size_t count = 0;
  for (unsigned char c : valid) count += !is_continuation(c);
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
