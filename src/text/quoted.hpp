#pragma once
// The quoted forms in which messages show texts and single characters.
//
// A text is written in double quotes; backslash, double quote, tab, carriage
// return, line feed and NUL become \\, \", \t, \r, \n and \0; a character
// with the Grapheme_Extend property, or in the general categories Cc, Cf, Cs,
// Co, Cn, Zl, Zp or Zs other than the space, becomes \u{...} (lower-case hex,
// no leading zeros); every other character (kana and kanji included) stands
// as itself. A single character is written the same way inside single
// quotes, where the single quote is escaped instead of the double quote.
#include <string>
#include <string_view>

namespace orvel::text {

// Quoted form of UTF-8 text. Bytes that are not UTF-8 are shown as U+FFFD.
std::string quoted_text(std::string_view utf8);
void append_quoted_text(std::string& out, std::string_view utf8);
std::string quoted_text(std::u32string_view text);

// Quoted form of one character: 'a', '\'', '\u{301}'.
std::string quoted_char(char32_t c);

}  // namespace orvel::text
