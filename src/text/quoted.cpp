#include "text/quoted.hpp"

#include <fmt/format.h>

#include "text/unicode.hpp"
#include "text/utf8.hpp"

namespace orvel::text {
namespace {

bool is_printable(char32_t c) {
  switch (general_category(c)) {
    case GeneralCategory::Cc:
    case GeneralCategory::Cf:
    case GeneralCategory::Cs:
    case GeneralCategory::Co:
    case GeneralCategory::Cn:
    case GeneralCategory::Zl:
    case GeneralCategory::Zp:
      return false;
    case GeneralCategory::Zs:
      return c == U' ';
    default:
      return true;
  }
}

void append_escaped(std::string& out, char32_t c, char32_t quote) {
  switch (c) {
    case U'\\': out += "\\\\"; return;
    case U'\t': out += "\\t"; return;
    case U'\r': out += "\\r"; return;
    case U'\n': out += "\\n"; return;
    case U'\0': out += "\\0"; return;
    default: break;
  }
  if (c == quote) {
    out += '\\';
    out += static_cast<char>(c);
    return;
  }
  if (is_grapheme_extend(c) || !is_printable(c)) {
    fmt::format_to(std::back_inserter(out), "\\u{{{:x}}}", static_cast<std::uint32_t>(c));
    return;
  }
  append_utf8(out, c);
}

}  // namespace

void append_quoted_text(std::string& out, std::string_view utf8) {
  out += '"';
  // Ill-formed bytes cannot come from valid text; show each maximal invalid
  // subpart as U+FFFD rather than read past it.
  std::string_view rest = utf8;
  while (!rest.empty()) {
    const auto checked = validate_utf8(rest);
    const std::size_t good = checked ? rest.size() : checked.error().valid_up_to;
    const std::string_view valid = rest.substr(0, good);
    for (std::size_t pos = 0; pos < valid.size();) append_escaped(out, next_scalar(valid, pos), U'"');
    if (checked) break;
    append_escaped(out, U'\uFFFD', U'"');
    const std::size_t bad = checked.error().error_len == 0 ? rest.size() - good : checked.error().error_len;
    rest.remove_prefix(good + bad);
  }
  out += '"';
}

std::string quoted_text(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size() + 2);
  append_quoted_text(out, utf8);
  return out;
}

std::string quoted_text(std::u32string_view text) {
  std::string out = "\"";
  for (char32_t c : text) append_escaped(out, c, U'"');
  out += '"';
  return out;
}

std::string quoted_char(char32_t c) {
  std::string out = "'";
  append_escaped(out, c, U'\'');
  out += '\'';
  return out;
}

}  // namespace orvel::text
