#include <gtest/gtest.h>

#include <random>
#include <set>
#include <string>
#include <vector>

#include "ja/romaji_expansion.hpp"
#include "ja/romaji_lattice_builder.hpp"
#include "ja/romaji_lattice_fronts.hpp"
#include "ja/romaji_table.hpp"
#include "../support/lattice_strings.hpp"
#include "romaji_test_support.hpp"
#include "segmentation_test_support.hpp"
#include "text/utf8.hpp"

namespace orvel::ja {
namespace {

using testing::make_index;
using testing::options;

std::string arcs_of(const Lattice& lattice) {
  std::string out;
  for (const Arc& arc : lattice.arcs()) {
    std::string symbol;
    text::append_utf8(symbol, static_cast<char32_t>(arc.symbol));
    out += "(" + std::to_string(arc.src) + "," + std::to_string(arc.dst) + "," + symbol + ")";
  }
  return out;
}

// Every start-to-end reading; small lattices only.
std::multiset<std::string> readings_of(const Lattice& lattice) {
  return test_support::spelt_strings<std::multiset<std::string>>(lattice);
}

std::set<std::string> distinct(const std::multiset<std::string>& m) { return {m.begin(), m.end()}; }

Lattice direct(const char* text) {
  auto lattice = RomajiVariantTable::build_lattice(text);
  EXPECT_TRUE(lattice.has_value()) << lattice.error().message();
  return std::move(*lattice);
}

TEST(RomajiLatticeBuilder, ArcsAndNodes) {
  struct Case {
    const char* text;
    const char* arcs;
    std::uint64_t nodes;
  };
  const Case cases[] = {
      {"か", "(0,1,k)(1,2,a)", 3},
      {"かー", "(0,1,k)(1,2,a)(2,3,a)(2,3,-)", 4},
      // Three alternatives ending in a merge into the one A node, then the mark.
      {"しゃー", "(0,1,s)(1,2,y)(2,7,a)(0,3,s)(3,4,h)(4,7,a)(0,5,c)(5,6,y)(6,7,a)(7,8,a)(7,8,-)", 9},
      // After こ the mark offers o, u and -; after こう only u and -.
      {"こー", "(0,1,k)(1,2,o)(2,3,o)(2,3,u)(2,3,-)", 4},
      {"こうー", "(0,1,k)(1,2,o)(2,3,u)(3,4,u)(3,4,-)", 5},
      // A leading mark has no vowel before it.
      {"ーか", "(0,1,-)(1,2,k)(2,3,a)", 4},
      {"", "", 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const Lattice lattice = direct(c.text);
    EXPECT_EQ(arcs_of(lattice), c.arcs);
    EXPECT_EQ(lattice.node_count(), c.nodes);
    EXPECT_EQ(lattice.start(), 0u);
    EXPECT_EQ(lattice.end(), c.nodes - 1);
  }
}

TEST(RomajiLatticeBuilder, VowelsSplitTheFrontier) {
  // つ gives tu and tsu, both ending in U: they share one node.
  const Lattice lattice = direct("えつー");
  EXPECT_EQ(distinct(readings_of(lattice)), (std::set<std::string>{"etuu", "etu-", "etsuu", "etsu-"}));
  // を gives wo (O) and o (O); ん gives n, nn, m (None): after をん the
  // frontier is the single O node and the mark sees O.
  EXPECT_EQ(distinct(readings_of(direct("をんー"))),
            (std::set<std::string>{"wono", "wonu", "won-", "wonno", "wonnu", "wonn-", "womo", "womu", "wom-", "ono",
                                   "onu", "on-", "onno", "onnu", "onn-", "omo", "omu", "om-"}));
}

TEST(RomajiLatticeBuilder, RepeatedReadingAddsOnlyNewArcs) {
  RomajiLatticeBuilder builder;
  const auto units = *segment("を", RomajiSegmentMode::Reading);
  ASSERT_TRUE(builder.add_units(units).has_value());
  ASSERT_TRUE(builder.add_units(units).has_value());
  const auto lattice = std::move(builder).into_lattice();
  ASSERT_TRUE(lattice.has_value());
  // The one-symbol o straight to the end is added once; the chain of wo
  // takes a fresh interior node the second time.
  EXPECT_EQ(arcs_of(*lattice), "(0,1,w)(1,3,o)(0,3,o)(0,2,w)(2,3,o)");
}

TEST(RomajiLatticeBuilder, Flags) {
  EXPECT_EQ(RomajiLatticeBuilder().into_lattice().error(), JaLatticeError::no_readings());

  RomajiLatticeBuilder only_empty;
  ASSERT_TRUE(only_empty.add_units({}).has_value());
  ASSERT_TRUE(only_empty.add_units({}).has_value());
  const auto one_node = std::move(only_empty).into_lattice();
  ASSERT_TRUE(one_node.has_value());
  EXPECT_EQ(one_node->node_count(), 1u);
  EXPECT_TRUE(one_node->arcs().empty());

  RomajiLatticeBuilder mixed;
  ASSERT_TRUE(mixed.add_units({}).has_value());
  ASSERT_TRUE(mixed.add_units(*segment("か", RomajiSegmentMode::Reading)).has_value());
  EXPECT_EQ(std::move(mixed).into_lattice().error(),
            JaLatticeError::invalid_lattice(LatticeError::mixed_empty_and_non_empty_paths()));

  RomajiLatticeBuilder failing;
  EXPECT_EQ(failing.add_units(*segment("かゐ", RomajiSegmentMode::Reading)).error(),
            JaLatticeError::missing_romaji_variant("ゐ"));
  EXPECT_TRUE(failing.empty());
  EXPECT_TRUE(failing.arcs().empty());
  EXPECT_EQ(failing.next_node(), 1u);
}

TEST(RomajiVariantTableLattice, ErrorsOfTheTypedText) {
  EXPECT_EQ(RomajiVariantTable::build_lattice("東京").error(), JaLatticeError::unsupported_character(U'東', 0));
  EXPECT_EQ(RomajiVariantTable::build_lattice("ゐ").error(), JaLatticeError::missing_romaji_variant("ゐ"));
}

std::string random_text(std::mt19937& rng, const std::vector<std::string>& alphabet, std::size_t max_len) {
  std::uniform_int_distribution<std::size_t> len(0, max_len);
  std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
  std::string s;
  for (std::size_t k = len(rng); k > 0; --k) s += alphabet[pick(rng)];
  return s;
}

const std::vector<std::string> kAlphabet = {"か", "し", "ゃ", "ょ", "ん", "ー", "っ", "お", "う", "え", "を", "ち",
                                            "k", "N", "a", "1", " ", "。", "ャ", "ツ", "ぢ"};

TEST(RomajiVariantTableLattice, ReadsExactlyTheExpandedStrings) {
  std::mt19937 rng(42);
  for (int round = 0; round < 1500; ++round) {
    const std::string text = random_text(rng, kAlphabet, 6);
    SCOPED_TRACE(text);
    auto strings = romaji_paths_with_limits(text, kQueryRomajiLimits);
    ASSERT_TRUE(strings.has_value());
    const Lattice lattice = direct(text.c_str());
    for (const Arc& arc : lattice.arcs()) ASSERT_LT(arc.src, arc.dst);
    ASSERT_EQ(distinct(readings_of(lattice)), std::set<std::string>(strings->begin(), strings->end()));
  }
}

TEST(RomajiLatticeFronts, SeveralReadingsReadTheUnionOfTheirExpansions) {
  std::mt19937 rng(9);
  for (int round = 0; round < 500; ++round) {
    std::vector<std::string> readings;
    std::set<std::string> expected;
    for (int k = std::uniform_int_distribution<int>(1, 4)(rng); k > 0; --k) {
      std::string r = random_text(rng, kAlphabet, 5);
      if (r.empty()) r = "あ";
      auto units = segment(r, RomajiSegmentMode::Reading);
      if (units) {
        auto strings = romaji_paths_from_units(*units, 65536, 1048576);
        ASSERT_TRUE(strings.has_value());
        expected.insert(strings->begin(), strings->end());
      }
      readings.push_back(std::move(r));
    }
    SCOPED_TRACE(testing::join(readings));
    auto lattice = romaji_lattice_from_supported_readings(readings);
    ASSERT_TRUE(lattice.has_value());
    if (expected.empty()) {
      // Every reading held Direct-only punctuation.
      EXPECT_FALSE(lattice->has_value());
      continue;
    }
    ASSERT_TRUE(lattice->has_value());
    for (const Arc& arc : (**lattice).arcs()) ASSERT_LT(arc.src, arc.dst);
    ASSERT_EQ(distinct(readings_of(**lattice)), expected);
  }
}

TEST(RomajiLatticeFronts, SkippedReadingsAndNone) {
  const std::vector<std::string> unreadable = {"東", "ゐ", "かな。"};
  auto none = romaji_lattice_from_supported_readings(unreadable);
  ASSERT_TRUE(none.has_value());
  EXPECT_FALSE(none->has_value());

  const std::vector<std::string> some = {"東", "カナ", "ゐ"};
  auto lattice = romaji_lattice_from_supported_readings(some);
  ASSERT_TRUE(lattice.has_value() && lattice->has_value());
  EXPECT_EQ(distinct(readings_of(**lattice)), (std::set<std::string>{"kana"}));

  const std::vector<std::string> mixed = {"", "か"};
  EXPECT_EQ(romaji_lattice_from_supported_readings(mixed).error(),
            JaLatticeError::invalid_lattice(LatticeError::mixed_empty_and_non_empty_paths()));
}

TEST(RomajiLatticeFronts, SegmentedInputsJoinAcrossStretches) {
  using Input = std::vector<RomajiSegmentInput>;
  // The small tsu of one stretch doubles the consonant of the next, and the
  // mark sees the vowel of the stretch before it.
  const std::vector<Input> inputs = {
      {{"っ", RomajiSegmentMode::Reading}, {"か", RomajiSegmentMode::Reading}},
      {{"東", RomajiSegmentMode::Reading}},                                    // skipped: unsupported
      {{"こ", RomajiSegmentMode::Direct}, {"ー", RomajiSegmentMode::Reading}},
      {{"ゐ", RomajiSegmentMode::Reading}},                                    // skipped: no row
      {{"。", RomajiSegmentMode::Reading}},                                    // skipped: Reading mode
  };
  auto lattice = romaji_lattice_from_supported_segmented_readings(inputs);
  ASSERT_TRUE(lattice.has_value() && lattice->has_value());
  EXPECT_EQ(distinct(readings_of(**lattice)),
            (std::set<std::string>{"xtuka", "ltuka", "ttuka", "kka", "koo", "kou", "ko-"}));

  const std::vector<Input> nothing = {{{"東", RomajiSegmentMode::Direct}}};
  auto none = romaji_lattice_from_supported_segmented_readings(nothing);
  ASSERT_TRUE(none.has_value());
  EXPECT_FALSE(none->has_value());
}

DictionaryReadingPath path_of(std::vector<DictionaryReadingSegment> segments) {
  return DictionaryReadingPath(std::move(segments));
}

TEST(RomajiPathsFromSegmentedReadings, PathByPath) {
  const std::vector<DictionaryReadingPath> paths = {
      path_of({{"東", "トウ", false}, {"a", "a", true}}),
      path_of({{"っ", "っ", false}, {"か", "カ", false}}),
      path_of({{"東", "トウ", false}}),
  };
  auto strings = romaji_paths_from_segmented_readings(paths);
  ASSERT_TRUE(strings.has_value());
  EXPECT_EQ(testing::join(*strings), "toua,xtuka,ltuka,ttuka,kka,tou");
}

TEST(RomajiPathsFromSegmentedReadings, Errors) {
  EXPECT_EQ(romaji_paths_from_segmented_readings({}).error(), JaLatticeError::no_readings());

  // Reading segments reject Direct-only punctuation; direct segments keep it.
  const std::vector<DictionaryReadingPath> punctuated = {path_of({{"。", "。", false}})};
  EXPECT_EQ(romaji_paths_from_segmented_readings(punctuated).error(), JaLatticeError::unsupported_character(U'。', 0));
  const std::vector<DictionaryReadingPath> typed = {path_of({{"。", "。", true}})};
  EXPECT_EQ(testing::join(*romaji_paths_from_segmented_readings(typed)), "。");

  // Characters are counted over all segments of a path.
  const std::vector<DictionaryReadingPath> long_path = {
      path_of({{"x", std::string(1000, 'a'), true}, {"y", std::string(25, 'a'), true}})};
  EXPECT_EQ(romaji_paths_from_segmented_readings(long_path).error(),
            JaLatticeError::expansion_limit(ExpansionLimitKind::InputCharacters, 1025, 1024));

  // 3^10 strings per path are within the limit; two paths together are not.
  std::string ten_n;
  for (int k = 0; k < 10; ++k) ten_n += "ン";
  const DictionaryReadingPath big = path_of({{"x", ten_n, false}});
  const std::vector<DictionaryReadingPath> one = {big};
  ASSERT_EQ(romaji_paths_from_segmented_readings(one)->size(), 59049u);
  const std::vector<DictionaryReadingPath> two = {big, big};
  EXPECT_EQ(romaji_paths_from_segmented_readings(two).error(),
            JaLatticeError::expansion_limit(ExpansionLimitKind::ExpandedPaths, 118098, 65536));

  // Symbols are summed over the paths as well.
  const DictionaryReadingPath wide = path_of({{"x", std::string(1000, 'a'), true}});
  const std::vector<DictionaryReadingPath> wide_paths(1049, wide);
  EXPECT_EQ(romaji_paths_from_segmented_readings(wide_paths).error(),
            JaLatticeError::expansion_limit(ExpansionLimitKind::ExpandedSymbols, 1049000, 1048576));
}

TEST(UnidicRomajiLattice, WholeTextReadings) {
  const UnidicReadingIndex index =
      make_index({{"東", {"トウ", "ヒガシ"}}, {"京", {"キョウ"}}, {"東京", {"トウキョウ"}}, {"字", {"ジ", "漢"}}});
  auto lattice = index.romaji_lattice("東京", options());
  ASSERT_TRUE(lattice.has_value() && lattice->has_value());
  EXPECT_EQ(distinct(readings_of(**lattice)), (std::set<std::string>{"toukyou", "higasikyou", "higashikyou", "higacikyou"}));

  // A reading with a kanji is skipped; none when nothing is left.
  auto only_kanji = make_index({{"字", {"漢"}}}).romaji_lattice("字", options());
  ASSERT_TRUE(only_kanji.has_value());
  EXPECT_FALSE(only_kanji->has_value());

  for (const DictionaryOptions& o : {options(0), options(8, 0)}) {
    auto none = index.romaji_lattice("東京", o);
    ASSERT_TRUE(none.has_value());
    EXPECT_FALSE(none->has_value());
  }
  auto empty_text = index.romaji_lattice("", options());
  ASSERT_TRUE(empty_text.has_value());
  EXPECT_FALSE(empty_text->has_value());
  EXPECT_EQ(index.romaji_lattice("東京", options(8, 16385)).error(),
            JaLatticeError::dictionary("UniDic artifact max_paths length/count 16385 exceeds limit 16384"));
}

}  // namespace
}  // namespace orvel::ja
