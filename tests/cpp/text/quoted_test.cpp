#include "text/quoted.hpp"

#include <gtest/gtest.h>

namespace orvel::text {
namespace {

struct QuotedCase {
  std::string text;
  std::string expected;
};

TEST(Quoted, EscapesAndKeepsPrintableCharacters) {
  const QuotedCase cases[] = {
      {"", R"("")"},
      {"orvel.zh.reading-index", R"("orvel.zh.reading-index")"},
      {"a\\b", R"("a\\b")"},
      {"say \"hi\"", R"("say \"hi\"")"},
      {"it's", R"("it's")"},  // single quote stays inside double quotes
      {"\t\r\n", R"("\t\r\n")"},
      {std::string("a\0b", 3), R"("a\0b")"},
      {"\x01\x7f", R"("\u{1}\u{7f}")"},                  // Cc
      {"x\xc2\x85y", R"("x\u{85}y")"},                    // NEL, Cc
      {"a b", R"("a b")"},                                // the space itself
      {"a\xc2\xa0" "b", R"("a\u{a0}b")"},                 // no-break space, Zs
      {"\xe3\x80\x80", R"("\u{3000}")"},                  // ideographic space, Zs
      {"\xe2\x80\xa8\xe2\x80\xa9", R"("\u{2028}\u{2029}")"},  // Zl, Zp
      {"\xe2\x80\x8b\xef\xbb\xbf", R"("\u{200b}\u{feff}")"},  // Cf
      {"\xee\x80\x80", R"("\u{e000}")"},                  // Co
      {"\xf0\xb0\x80\x80" "x", "\"\xf0\xb0\x80\x80x\""},  // U+30000, assigned Lo: as itself
      {"\xcd\xb8", R"("\u{378}")"},                       // Cn
      {"e\xcc\x81", R"("e\u{301}")"},                     // combining acute, Grapheme_Extend
      {"\xe2\x80\x8d", R"("\u{200d}")"},                  // ZWJ, Cf
      {"\xe3\x82\x99", R"("\u{3099}")"},                  // combining voiced mark
      {"東京とうきょうトウキョウ", "\"東京とうきょうトウキョウ\""},
      {"ü€😀", "\"ü€😀\""},
  };
  for (const auto& c : cases) EXPECT_EQ(quoted_text(c.text), c.expected) << c.expected;
}

TEST(Quoted, ScalarTextMatchesUtf8Text) {
  EXPECT_EQ(quoted_text(std::u32string_view(U"a\"\u0301東\n")), quoted_text(std::string_view("a\"\xcc\x81東\n")));
}

TEST(Quoted, IllFormedBytesBecomeReplacementCharacters) {
  EXPECT_EQ(quoted_text(std::string_view("a\xff" "b")), "\"a\xef\xbf\xbd" "b\"");
  EXPECT_EQ(quoted_text(std::string_view("a\xe3\x81")), "\"a\xef\xbf\xbd\"");  // truncated at the end
}

TEST(QuotedChar, EscapesSingleQuoteNotDoubleQuote) {
  const std::pair<char32_t, std::string> cases[] = {
      {U'a', "'a'"},          {U'\'', R"('\'')"},   {U'"', R"('"')"},
      {U'\\', R"('\\')"},     {U'\n', R"('\n')"},   {U'\0', R"('\0')"},
      {U'\u0301', R"('\u{301}')"}, {U'\u3000', R"('\u{3000}')"}, {U'東', "'東'"},
      {U' ', "' '"},
  };
  for (const auto& [c, expected] : cases) EXPECT_EQ(quoted_char(c), expected) << expected;
}

}  // namespace
}  // namespace orvel::text
