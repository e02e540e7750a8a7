#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "ja/romaji_expansion.hpp"
#include "ja/romaji_steps.hpp"
#include "romaji_test_support.hpp"
#include "text/utf8.hpp"

namespace orvel::ja {
namespace {

using testing::describe;
using testing::join;

std::vector<RomajiStep> steps_of(const char* text) {
  auto units = segment(text, RomajiSegmentMode::Direct);
  EXPECT_TRUE(units.has_value());
  auto steps = romaji_steps_from_units(*units);
  EXPECT_TRUE(steps.has_value()) << steps.error().message();
  return steps.value_or(std::vector<RomajiStep>{});
}

std::string paths_of(const char* text) {
  auto paths = romaji_paths_with_limits(text, kQueryRomajiLimits);
  if (!paths) return "error: " + paths.error().message();
  return join(*paths);
}

TEST(RomajiSteps, SmallTsuAndSmallYaRules) {
  const std::pair<const char*, const char*> cases[] = {
      {"っか", "(xtu,ltu,ttu,k)(ka)"},
      {"っし", "(xtu,ltu,ttu,s,c)(si,shi,ci)"},
      {"っち", "(xtu,ltu,ttu,t,c)(ti,chi)"},
      {"っあ", "(xtu,ltu,ttu)(a)"},
      // The vowel-like "n" of ん is skipped, its variant "m" is not.
      {"っん", "(xtu,ltu,ttu,m)(n,nn,m)"},
      {"っー", "(xtu,ltu,ttu)(ー)"},
      {"っ", "(xtu,ltu,ttu)"},
      {"っっ", "(xtu,ltu,ttu,x,l,t)(xtu,ltu,ttu)"},
      {"っA", "(xtu,ltu,ttu,A)(A)"},
      {"っ1", "(xtu,ltu,ttu,1)(1)"},
      {"っ ", "(xtu,ltu,ttu, )( )"},
      {"っ。", "(xtu,ltu,ttu,。)(。)"},
      {"kゃ", "(kya,kxya,klya)"},
      {"Kゃ", "(Kya,Kxya,Klya)"},
      {"yょ", "(yyo,yxyo,ylyo)"},
      {"nゅ", "(nyu,nxyu,nlyu)"},
      {"aゃ", "(a)(xya,lya)"},
      {"Eゅ", "(E)(xyu,lyu)"},
      {"1ゃ", "(1)(xya,lya)"},
      {"kぁ", "(k)(xa,la)"},
      {"kきゃ", "(k)(kya)"},
      {"んんい", "(n,nn,m)(n,nn,m)(i)"},
      {"ーー", "(ー)(ー)"},
  };
  for (const auto& [text, expected] : cases) EXPECT_EQ(describe(steps_of(text)), expected) << text;
}

TEST(RomajiSteps, RowlessKanaFailsWithItsUnit) {
  for (const char* text : {"ゐ", "かヰ", "っゐ", "ゑー"}) {
    auto units = segment(text, RomajiSegmentMode::Direct);
    ASSERT_TRUE(units.has_value());
    auto steps = romaji_steps_from_units(*units);
    ASSERT_FALSE(steps.has_value()) << text;
    EXPECT_EQ(steps.error().kind, JaLatticeError::Kind::MissingRomajiVariant);
    EXPECT_FALSE(validate_romaji_units(*units).has_value());
    EXPECT_FALSE(can_build_direct_romaji_path(text));
  }
  auto units = segment("ゐ", RomajiSegmentMode::Direct);
  EXPECT_EQ(validate_romaji_units(*units).error().message(), "missing romaji variant for kana unit \"ゐ\"");
}

TEST(RomajiSteps, VariantsOfOneUnit) {
  EXPECT_EQ(join(*variants_for_unit(Unit::ascii(' '))), " ");
  EXPECT_EQ(join(*variants_for_unit(Unit::punctuation("。"))), "。");
  EXPECT_EQ(join(*variants_for_unit(Unit::kana("ちゃ"))), "tya,cha,cya");
  EXPECT_FALSE(variants_for_unit(Unit::kana("ゖ")).has_value());
}

TEST(RomajiSteps, LastVowel) {
  EXPECT_EQ(last_vowel("sen"), LastVowel::E);
  EXPECT_EQ(last_vowel("ka-"), LastVowel::A);
  EXPECT_EQ(last_vowel("n"), LastVowel::None);
  EXPECT_EQ(last_vowel(""), LastVowel::None);
  EXPECT_EQ(last_vowel("KA"), LastVowel::None);
  EXPECT_EQ(last_vowel("xtu"), LastVowel::U);
  EXPECT_EQ(last_vowel_after(LastVowel::O, "-"), LastVowel::O);
}

TEST(RomajiExpansion, PathsInExpansionOrder) {
  const std::pair<const char*, const char*> cases[] = {
      {"", ""},
      {"かたかな", "katakana"},
      {"カタカナ", "katakana"},
      {"けー", "kee,kei,ke-"},
      {"こー", "koo,kou,ko-"},
      {"かーー", "kaaa,kaa-,ka-a,ka--"},
      {"ーー", "--"},
      {"っ", "xtu,ltu,ttu"},
      {"っー", "xtuu,xtu-,ltuu,ltu-,ttuu,ttu-"},
      {"Aー", "A-"},
      {"んんい", "nni,nnni,nmi,nnni,nnnni,nnmi,mni,mnni,mmi"},
      {"\u3000", " "},
      {"Tokyo", "Tokyo"},
      {"tokyo", "tokyo"},
      {"つー", "tuu,tu-,tsuu,tsu-"},
  };
  for (const auto& [text, expected] : cases) EXPECT_EQ(paths_of(text), expected) << text;
}

TEST(RomajiExpansion, ShashinGivesTwentySevenPathsPathMajor) {
  std::vector<std::string> expected;
  for (const char* a : {"sya", "sha", "cya"})
    for (const char* b : {"si", "shi", "ci"})
      for (const char* c : {"n", "nn", "m"}) expected.push_back(std::string(a) + b + c);
  auto paths = romaji_paths_with_limits("しゃしん", kQueryRomajiLimits);
  ASSERT_TRUE(paths.has_value());
  EXPECT_EQ(*paths, expected);
  EXPECT_EQ(paths->front(), "syasin");
  EXPECT_EQ(paths->back(), "cyacim");
}

TEST(RomajiExpansion, DuplicatesStay) {
  auto paths = romaji_paths_with_limits("んんい", kQueryRomajiLimits);
  ASSERT_TRUE(paths.has_value());
  EXPECT_EQ(std::count(paths->begin(), paths->end(), "nnni"), 2);
}

TEST(RomajiExpansion, PunctuationKeptAsTyped) {
  auto paths = romaji_paths_with_limits("こんにちは。", kQueryRomajiLimits);
  ASSERT_TRUE(paths.has_value());
  EXPECT_EQ(paths->size(), 3u * 2u);  // ん and ち have three and two variants
  for (const std::string& p : *paths) EXPECT_TRUE(p.ends_with("。")) << p;
}

struct LimitCase {
  const char* name;
  std::string text;
  RomajiExpansionLimits limits;
  JaLatticeError expected;
};

TEST(RomajiExpansion, Limits) {
  const LimitCase cases[] = {
      // Input characters are counted before anything else, whatever they are.
      {"1025 letters", std::string(1025, 'a'), kQueryRomajiLimits,
       JaLatticeError::expansion_limit(ExpansionLimitKind::InputCharacters, 1025, 1024)},
      {"1025 kanji", [] { std::string s; for (int k = 0; k < 1025; ++k) s += "東"; return s; }(), kQueryRomajiLimits,
       JaLatticeError::expansion_limit(ExpansionLimitKind::InputCharacters, 1025, 1024)},
      // A variants step reports the product before building.
      {"variants product", "しし", {10, 8, 1000}, JaLatticeError::expansion_limit(ExpansionLimitKind::ExpandedPaths, 9, 8)},
      {"query paths", [] { std::string s; for (int k = 0; k < 11; ++k) s += "ん"; return s; }(), kQueryRomajiLimits,
       JaLatticeError::expansion_limit(ExpansionLimitKind::ExpandedPaths, 177147, 65536)},
      // A long-vowel step reports the count plus one once the list is full.
      {"long vowel", "けー", {10, 2, 1000}, JaLatticeError::expansion_limit(ExpansionLimitKind::ExpandedPaths, 3, 2)},
      // The symbol total restarts at every step and counts whole new texts.
      {"symbols", "かか", {10, 8, 3}, JaLatticeError::expansion_limit(ExpansionLimitKind::ExpandedSymbols, 4, 3)},
      {"symbols mid step", "しか", {10, 8, 5}, JaLatticeError::expansion_limit(ExpansionLimitKind::ExpandedSymbols, 7, 5)},
      {"symbols long vowel", "かー", {10, 8, 5},
       JaLatticeError::expansion_limit(ExpansionLimitKind::ExpandedSymbols, 6, 5)},
  };
  for (const LimitCase& c : cases) {
    SCOPED_TRACE(c.name);
    auto paths = romaji_paths_with_limits(c.text, c.limits);
    ASSERT_FALSE(paths.has_value());
    EXPECT_EQ(paths.error(), c.expected);
  }
  // Exactly at every limit passes.
  auto at_limit = romaji_paths_with_limits("しし", {2, 9, 42});
  ASSERT_TRUE(at_limit.has_value());
  EXPECT_EQ(at_limit->size(), 9u);
  EXPECT_EQ(romaji_paths_with_limits(std::string(1024, 'a'), kQueryRomajiLimits)->front(), std::string(1024, 'a'));
}

TEST(RomajiExpansion, ErrorsOfTheTypedText) {
  EXPECT_EQ(romaji_paths_with_limits("かa東", kQueryRomajiLimits).error(),
            JaLatticeError::unsupported_character(U'東', 2));
  EXPECT_EQ(romaji_paths_with_limits("ヰ", kQueryRomajiLimits).error(), JaLatticeError::missing_romaji_variant("ゐ"));
}

TEST(CanBuildDirectRomajiPath, Cases) {
  for (const char* yes : {"", "かな", "abc", "。", "a\u3000b", "カタカナー", "ねこa"}) {
    EXPECT_TRUE(can_build_direct_romaji_path(yes)) << yes;
  }
  for (const char* no : {"東", "ゐ", "かな東", "Ａ", "\u200b"}) EXPECT_FALSE(can_build_direct_romaji_path(no)) << no;
}

TEST(CanBuildDirectRomajiPath, AgreesWithPerCharacterTest) {
  // A text is directly readable exactly when each of its characters is.
  for (char32_t c = 0; c < 0x10000; ++c) {
    if (c >= 0xD800 && c <= 0xDFFF) continue;
    std::string s;
    text::append_utf8(s, c);
    ASSERT_EQ(is_directly_readable_char(c), can_build_direct_romaji_path(s)) << std::hex << static_cast<unsigned>(c);
  }
}

}  // namespace
}  // namespace orvel::ja
