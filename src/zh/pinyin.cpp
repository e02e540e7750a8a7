#include "zh/pinyin.hpp"

#include <algorithm>

#include "text/unicode.hpp"
#include "text/utf8.hpp"

namespace orvel::zh {

namespace {

bool is_ascii_letter(char32_t c) { return (c >= U'A' && c <= U'Z') || (c >= U'a' && c <= U'z'); }
bool is_tone_digit(char32_t c) { return c >= U'1' && c <= U'5'; }

// Replaces every "u:" by "v", scanning from the left without overlap.
std::string replace_u_colon(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == 'u' && i + 1 < text.size() && text[i + 1] == ':') {
      out.push_back('v');
      ++i;
    } else {
      out.push_back(text[i]);
    }
  }
  return out;
}

}  // namespace

std::string_view pinyin_view_name(PinyinView view) { return is_tone3(view) ? "tone3" : "no-tone"; }

bool is_pinyin_whitespace(char32_t c) {
  return (c >= 0x09 && c <= 0x0D) || c == 0x20 || c == 0x85 || c == 0xA0 || c == 0x1680 ||
         (c >= 0x2000 && c <= 0x200A) || c == 0x2028 || c == 0x2029 || c == 0x202F || c == 0x205F ||
         c == 0x3000;
}

bool is_direct_pinyin_char(char32_t c) {
  if (c <= 0x7F) return true;
  if (is_pinyin_whitespace(c)) return true;
  return c == 0xB7 ||                      // middle dot
         (c >= 0x2010 && c <= 0x2015) ||   // hyphens and dashes
         (c >= 0x2018 && c <= 0x201F) ||   // quotation marks
         c == 0x2026 ||                    // ellipsis
         (c >= 0x3001 && c <= 0x3002) ||   // ideographic comma, full stop
         (c >= 0x3008 && c <= 0x3011) ||   // angle, corner, lenticular brackets
         (c >= 0x3014 && c <= 0x301F) ||   // other brackets, wave dash, primes
         c == 0x3030 ||                    // wavy dash
         c == 0x30FB ||                    // katakana middle dot
         (c >= 0xFF01 && c <= 0xFF0F) ||   // fullwidth punctuation, before the digits
         (c >= 0xFF1A && c <= 0xFF20) ||   // between the digits and the capitals
         (c >= 0xFF3B && c <= 0xFF40) ||   // between the capitals and the small letters
         (c >= 0xFF5B && c <= 0xFF65);     // braces, tilde, white parentheses, halfwidth CJK
}

std::string strip_no_tone_digits(std::string_view text) {
  // ASCII letters and digits are single bytes and never part of a longer
  // UTF-8 sequence, so walking bytes gives the same result as walking
  // characters.
  std::string out;
  out.reserve(text.size());
  bool after_letter = false;
  for (char byte : text) {
    const auto c = static_cast<unsigned char>(byte);
    if (after_letter && is_tone_digit(c)) continue;
    out.push_back(byte);
    after_letter = is_ascii_letter(c);
  }
  return out;
}

// Full lowercase mapping; for ASCII text that is just A-Z to a-z.
std::string full_lowercase(std::string_view text) {
  if (!std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
    return text::to_lowercase(text);
  }
  std::string out(text);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

std::string normalize_artifact_reading(std::string_view reading, bool tone3) {
  const std::string lowered = full_lowercase(reading);
  const std::string no_u_colon = replace_u_colon(lowered);
  std::string out;
  out.reserve(no_u_colon.size());
  std::size_t pos = 0;
  while (pos < no_u_colon.size()) {
    const std::size_t begin = pos;
    const char32_t c = text::next_scalar(no_u_colon, pos);
    if (c == 0xFC) {
      out.push_back('v');
    } else if (!is_pinyin_whitespace(c)) {
      out.append(no_u_colon, begin, pos - begin);
    }
  }
  return tone3 ? out : strip_no_tone_digits(out);
}

bool can_build_direct_pinyin_input(std::string_view text) {
  if (text.empty() || !text::validate_utf8(text)) return false;
  std::size_t pos = 0;
  while (pos < text.size()) {
    if (!is_direct_pinyin_char(text::next_scalar(text, pos))) return false;
  }
  return true;
}

std::string normalize_direct_pinyin_input(std::string_view text) {
  std::string kept;
  kept.reserve(text.size());
  std::size_t pos = 0;
  while (pos < text.size()) {
    const std::size_t begin = pos;
    const char32_t c = text::next_scalar(text, pos);
    if (is_pinyin_whitespace(c)) continue;
    if (c >= U'A' && c <= U'Z') {
      kept.push_back(static_cast<char>(c - U'A' + U'a'));
    } else {
      kept.append(text, begin, pos - begin);
    }
  }
  return replace_u_colon(kept);
}

std::size_t typed_pinyin_run_end(std::u32string_view chars, std::size_t start) {
  std::size_t end = start;
  while (end < chars.size() && is_direct_pinyin_char(chars[end])) ++end;
  return end;
}

}  // namespace orvel::zh
