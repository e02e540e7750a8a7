#include "text/unicode.hpp"

#include <gtest/gtest.h>

namespace orvel::text {
namespace {

TEST(Unicode, WhiteSpaceIsExactlyTheUnicodeProperty) {
  const std::u32string spaces =
      U"\t\n\v\f\r \u0085\u00a0\u1680\u2000\u2001\u2005\u200a\u2028\u2029\u202f\u205f\u3000";
  for (char32_t c : spaces) EXPECT_TRUE(is_white_space(c)) << static_cast<std::uint32_t>(c);
  // Look-alikes that are not White_Space.
  for (char32_t c : std::u32string(U"\u200b\u180e\ufeff\u0000\u001c_a")) {
    EXPECT_FALSE(is_white_space(c)) << static_cast<std::uint32_t>(c);
  }
}

TEST(Unicode, GraphemeExtendAndCategories) {
  EXPECT_TRUE(is_grapheme_extend(U'\u0308'));
  EXPECT_TRUE(is_grapheme_extend(U'\u200c'));  // ZWNJ (ZWJ is not Grapheme_Extend)
  EXPECT_FALSE(is_grapheme_extend(U'a'));
  EXPECT_FALSE(is_grapheme_extend(U'\u30fc'));
  EXPECT_EQ(general_category(U'A'), GeneralCategory::Lu);
  EXPECT_EQ(general_category(U'東'), GeneralCategory::Lo);
  EXPECT_EQ(general_category(U'ー'), GeneralCategory::Lm);
  EXPECT_EQ(general_category(U'\u0301'), GeneralCategory::Mn);
  EXPECT_EQ(general_category(U'\u00a0'), GeneralCategory::Zs);
  EXPECT_EQ(general_category(U'\u0378'), GeneralCategory::Cn);
  EXPECT_EQ(general_category(static_cast<char32_t>(0xd800)), GeneralCategory::Cs);
  EXPECT_EQ(general_category(static_cast<char32_t>(0x110000)), GeneralCategory::Cn);
}

TEST(Unicode, LowercaseUsesFullContextualDefaultMapping) {
  const std::pair<std::string, std::string> cases[] = {
      {"", ""},
      {"ZhongGuo3", "zhongguo3"},
      {"\xc3\x9c", "\xc3\xbc"},                // Ü -> ü
      {"\xc4\xb0", "i\xcc\x87"},               // İ -> i + combining dot above
      {"I", "i"},                              // no Turkish tailoring
      {"\xce\x9f\xce\xa3", "\xce\xbf\xcf\x82"},  // ΟΣ: final sigma at the end of a word
      {"\xce\xa3\xce\x9f", "\xcf\x83\xce\xbf"},  // ΣΟ: medial sigma
      {"\xce\xa3", "\xcf\x83"},                // lone capital sigma
      {"東京ü", "東京ü"},
  };
  for (const auto& [in, out] : cases) EXPECT_EQ(to_lowercase(std::string_view(in)), out) << in;
  EXPECT_EQ(to_lowercase(std::u32string_view(U"\u0130X")), U"i\u0307x");
}

}  // namespace
}  // namespace orvel::text
