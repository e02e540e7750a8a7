// The kana table checked row by row against a transcription that names every
// key by its code points, so a mistyped kana cannot hide behind a matching
// mistyped test.
#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "ja/romaji_table.hpp"
#include "text/utf8.hpp"

namespace orvel::ja {
namespace {

// "U+XXXX[U+YYYY] variant,variant,..." in row order.
const char* const kExpectedRows[] = {
    "U+3042 a",
    "U+3044 i",
    "U+3046 u",
    "U+3048 e",
    "U+304A o",
    "U+304B ka",
    "U+304D ki",
    "U+304F ku",
    "U+3051 ke",
    "U+3053 ko",
    "U+3055 sa",
    "U+3057 si,shi,ci",
    "U+3059 su",
    "U+305B se",
    "U+305D so",
    "U+305F ta",
    "U+3061 ti,chi",
    "U+3064 tu,tsu",
    "U+3066 te",
    "U+3068 to",
    "U+306A na",
    "U+306B ni",
    "U+306C nu",
    "U+306D ne",
    "U+306E no",
    "U+306F ha",
    "U+3072 hi",
    "U+3075 hu,fu",
    "U+3078 he",
    "U+307B ho",
    "U+307E ma",
    "U+307F mi",
    "U+3080 mu",
    "U+3081 me",
    "U+3082 mo",
    "U+3084 ya",
    "U+3086 yu",
    "U+3088 yo",
    "U+3089 ra",
    "U+308A ri",
    "U+308B ru",
    "U+308C re",
    "U+308D ro",
    "U+308F wa",
    "U+3092 wo,o",
    "U+3093 n,nn,m",
    "U+304C ga",
    "U+304E gi",
    "U+3050 gu",
    "U+3052 ge",
    "U+3054 go",
    "U+3056 za",
    "U+3058 zi,ji",
    "U+305A zu",
    "U+305C ze",
    "U+305E zo",
    "U+3060 da",
    "U+3062 di,ji",
    "U+3065 du,zu",
    "U+3067 de",
    "U+3069 do",
    "U+3070 ba",
    "U+3073 bi",
    "U+3076 bu",
    "U+3079 be",
    "U+307C bo",
    "U+3071 pa",
    "U+3074 pi",
    "U+3077 pu",
    "U+307A pe",
    "U+307D po",
    "U+3094 vu",
    "U+3041 xa,la",
    "U+3043 xi,li",
    "U+3045 xu,lu",
    "U+3047 xe,le",
    "U+3049 xo,lo",
    "U+3083 xya,lya",
    "U+3085 xyu,lyu",
    "U+3087 xyo,lyo",
    "U+3063 xtu,ltu,ttu",
    "U+30FC -",
    "U+304DU+3083 kya",
    "U+304DU+3085 kyu",
    "U+304DU+3087 kyo",
    "U+3057U+3083 sya,sha,cya",
    "U+3057U+3085 syu,shu,cyu",
    "U+3057U+3087 syo,sho,cyo",
    "U+3061U+3083 tya,cha,cya",
    "U+3061U+3085 tyu,chu,cyu",
    "U+3061U+3087 tyo,cho,cyo",
    "U+306BU+3083 nya",
    "U+306BU+3085 nyu",
    "U+306BU+3087 nyo",
    "U+3072U+3083 hya",
    "U+3072U+3085 hyu",
    "U+3072U+3087 hyo",
    "U+307FU+3083 mya",
    "U+307FU+3085 myu",
    "U+307FU+3087 myo",
    "U+308AU+3083 rya",
    "U+308AU+3085 ryu",
    "U+308AU+3087 ryo",
    "U+304EU+3083 gya",
    "U+304EU+3085 gyu",
    "U+304EU+3087 gyo",
    "U+3058U+3083 zya,ja,jya",
    "U+3058U+3085 zyu,ju,jyu",
    "U+3058U+3087 zyo,jo,jyo",
    "U+3073U+3083 bya",
    "U+3073U+3085 byu",
    "U+3073U+3087 byo",
    "U+3074U+3083 pya",
    "U+3074U+3085 pyu",
    "U+3074U+3087 pyo",
};

struct ExpectedRow {
  std::string kana;
  std::vector<std::string> variants;
};

ExpectedRow parse(const std::string& line) {
  ExpectedRow row;
  const std::size_t space = line.find(' ');
  std::string points = line.substr(0, space);
  for (std::size_t pos = 0; pos < points.size();) {
    const std::size_t next = points.find("U+", pos + 2);
    const std::string hex = points.substr(pos + 2, next == std::string::npos ? std::string::npos : next - pos - 2);
    text::append_utf8(row.kana, static_cast<char32_t>(std::stoul(hex, nullptr, 16)));
    pos = next == std::string::npos ? points.size() : next;
  }
  std::stringstream variants(line.substr(space + 1));
  for (std::string v; std::getline(variants, v, ',');) row.variants.push_back(v);
  return row;
}

TEST(RomajiVariantTable, EveryRowAsTabled) {
  const auto rows = RomajiVariantTable::rows();
  ASSERT_EQ(rows.size(), std::size(kExpectedRows));
  ASSERT_EQ(rows.size(), 115u);
  for (std::size_t r = 0; r < rows.size(); ++r) {
    const ExpectedRow expected = parse(kExpectedRows[r]);
    SCOPED_TRACE(kExpectedRows[r]);
    EXPECT_EQ(rows[r].kana, expected.kana);
    ASSERT_EQ(rows[r].variants.size(), expected.variants.size());
    for (std::size_t v = 0; v < expected.variants.size(); ++v) EXPECT_EQ(rows[r].variants[v], expected.variants[v]);
    EXPECT_EQ(RomajiVariantTable::find(expected.kana), &rows[r]);
    // Rows 0 to 81 have one-character keys, the rest are digraphs.
    EXPECT_EQ(text::count_scalars(rows[r].kana), r < RomajiVariantTable::kFirstDigraphRow ? 1u : 2u);
  }
}

TEST(RomajiVariantTable, KeysUniqueAndVariantsDistinct) {
  std::set<std::string_view> keys;
  for (const RomajiRow& row : RomajiVariantTable::rows()) {
    EXPECT_TRUE(keys.insert(row.kana).second) << row.kana;
    const std::set<std::string_view> distinct(row.variants.begin(), row.variants.end());
    EXPECT_EQ(distinct.size(), row.variants.size()) << row.kana;
    EXPECT_FALSE(row.variants.empty());
  }
}

TEST(RomajiVariantTable, OnlyFiveHiraganaLackARow) {
  std::vector<char32_t> missing;
  for (char32_t c = 0x3041; c <= 0x3096; ++c) {
    std::string kana;
    text::append_utf8(kana, c);
    if (!RomajiVariantTable::has_row(kana)) missing.push_back(c);
  }
  EXPECT_EQ(missing, (std::vector<char32_t>{0x308E, 0x3090, 0x3091, 0x3095, 0x3096}));
  EXPECT_EQ(RomajiVariantTable::find("キ"), nullptr);  // katakana is folded before lookup
  EXPECT_EQ(RomajiVariantTable::find(""), nullptr);
}

TEST(RomajiVariantTable, FindAgreesWithASearchInRowOrder) {
  const auto linear = [](std::string_view kana) -> const RomajiRow* {
    for (const RomajiRow& row : RomajiVariantTable::rows()) {
      if (row.kana == kana) return &row;
    }
    return nullptr;
  };
  std::vector<std::string> singles;
  for (char32_t c = 0x3000; c <= 0x30FF; ++c) {
    std::string s;
    text::append_utf8(s, c);
    singles.push_back(s);
  }
  for (const std::string& a : singles) {
    ASSERT_EQ(RomajiVariantTable::find(a), linear(a)) << a;
    for (const std::string& b : singles) ASSERT_EQ(RomajiVariantTable::find(a + b), linear(a + b)) << a << b;
  }
  for (std::string_view odd : {"a", "ka", "\xe3\x81", "きゃa", "きゃき"}) EXPECT_EQ(RomajiVariantTable::find(odd), nullptr);
}

}  // namespace
}  // namespace orvel::ja
