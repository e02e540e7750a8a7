// The romaji set lattice against the romaji string list it stands for, and
// the expansion count against the expansion itself.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "core/string_distance.hpp"
#include "ja/query.hpp"
#include "ja/romaji_expansion.hpp"
#include "ja/romaji_lattice_builder.hpp"
#include "ja/romaji_steps.hpp"
#include "ja/unidic_reading_index.hpp"
#include "../support/lattice_strings.hpp"
#include "segmentation_test_support.hpp"
#include "text/utf8.hpp"

namespace orvel::ja {
namespace {

using testing::make_index;
using testing::options;

std::set<std::string> spelt(const ReadingLattice& set) {
  auto strings = test_support::spelt_strings<std::set<std::string>>(set.lattice);
  if (set.also_empty) strings.insert("");
  return strings;
}

// The plain pairwise loop over the two string lists.
double pairwise_best(const std::vector<std::string>& left, const std::vector<std::string>& right) {
  StringDistanceWorkspace ws;
  double best = 0.0;
  for (const std::string& a : left) {
    for (const std::string& b : right) {
      const std::u32string x = text::decode_utf8(a);
      const std::u32string y = text::decode_utf8(b);
      best = std::max(best, normalized_similarity_from_distance(ws.levenshtein(x, y), x.size(), y.size()));
    }
  }
  return best;
}

// Both forms of one text: the same error, or the same strings.
void expect_same_set(std::string_view text, const UnidicReadingIndex& index, const DictionaryOptions& o) {
  const auto listed = unidic_or_direct_romaji_paths(text, index, o);
  const auto lattice = unidic_or_direct_romaji_lattice(text, index, o);
  ASSERT_EQ(listed.has_value(), lattice.has_value()) << text;
  if (!listed) {
    EXPECT_EQ(listed.error(), lattice.error()) << text;
    return;
  }
  EXPECT_EQ(std::set<std::string>(listed->begin(), listed->end()), spelt(*lattice)) << text;
}

const std::vector<std::string> kPieces = {
    "か", "し", "ち", "つ", "っ", "ー", "ん", "い", "う", "お", "きゃ", "しょ", "じ", "ふ", "を", "ア", "ッ", "ヴ",
    "東", "京", "都", "駅", "大", "阪", "a", "b", "k", "y", "o", "to", "tokyo", " ", "、", "漢", "ゐ"};

UnidicReadingIndex random_words_index() {
  return make_index({{"東", {"トウ", "ヒガシ", "アズマ"}},
                     {"京", {"キョウ", "ケイ", "キン"}},
                     {"東京", {"トウキョウ", "トーキョー"}},
                     {"都", {"ト", "ツ", "ミヤコ"}},
                     {"京都", {"キョウト"}},
                     {"駅", {"エキ"}},
                     {"大", {"ダイ", "オオ", "タイ"}},
                     {"阪", {"サカ", "ハン"}},
                     {"大阪", {"オオサカ"}},
                     {"tokyo", {"トウキョウ"}},
                     {"to", {"ト"}},
                     {"ab", {"エービー"}},
                     {"漢", {"カン"}},
                     {"ゐ", {"イ"}}});
}

TEST(RomajiSetLattice, SpellsTheStringListOnRandomTexts) {
  const UnidicReadingIndex index = random_words_index();
  std::mt19937 rng(1210);
  std::uniform_int_distribution<std::size_t> piece(0, kPieces.size() - 1);
  std::uniform_int_distribution<int> length(0, 7);
  for (int round = 0; round < 3000; ++round) {
    std::string text;
    for (int k = length(rng); k > 0; --k) text += kPieces[piece(rng)];
    const DictionaryOptions o =
        options(round % 3 == 0 ? 2 : 8, round % 5 == 0 ? 4 : 1024,
                round % 7 == 0 ? std::optional<std::uint64_t>(1) : std::nullopt, round % 11 == 0);
    expect_same_set(text, index, o);
  }
}

TEST(RomajiSetLattice, LimitsGiveTheListsErrors) {
  // A reading whose strings pass 65,536 (3^11 > 65,536), a dictionary text
  // longer than 1,024 reading characters, and a long kana text whose typed
  // strings pass the limit and fall back to the dictionary.
  std::string many_shi;
  for (int k = 0; k < 11; ++k) many_shi += "シ";
  std::string long_reading;
  for (int k = 0; k < 1025; ++k) long_reading += "カ";
  std::string long_kana;
  for (int k = 0; k < 20; ++k) long_kana += "しち";
  const UnidicReadingIndex index =
      make_index({{"多", {many_shi}}, {"長", {long_reading}}, {"東", {"トウ"}}, {long_kana, {"カ"}}});
  for (const std::string& text : {std::string("多"), std::string("長"), std::string("東多"), std::string("多a"),
                                  long_kana, long_kana + "東", std::string("東長")}) {
    expect_same_set(text, index, options());
  }
}

TEST(RomajiSetLattice, SimilarityEqualsThePairwiseLoop) {
  const UnidicReadingIndex index = random_words_index();
  std::mt19937 rng(77);
  std::uniform_int_distribution<std::size_t> piece(0, kPieces.size() - 1);
  std::uniform_int_distribution<int> length(0, 5);
  int compared = 0;
  for (int round = 0; round < 1500; ++round) {
    std::string left, right;
    for (int k = length(rng); k > 0; --k) left += kPieces[piece(rng)];
    for (int k = length(rng); k > 0; --k) right += kPieces[piece(rng)];
    const auto a = unidic_or_direct_romaji_paths(left, index, options());
    const auto b = unidic_or_direct_romaji_paths(right, index, options());
    const auto s = normalized_similarity_with_unidic_index(left, right, index, options());
    if (!a || !b) {
      ASSERT_FALSE(s.has_value());
      EXPECT_EQ(s.error(), a ? b.error() : a.error());
      continue;
    }
    ASSERT_TRUE(s.has_value()) << s.error().message();
    EXPECT_EQ(*s, pairwise_best(*a, *b)) << left << " / " << right;
    ++compared;
  }
  EXPECT_GT(compared, 500);
}

// Many unit lists sharing first steps, repeated lists and lists that are
// prefixes of others: the builder that shares prefixes spells what the plain
// one spells.
TEST(RomajiSetLattice, SharedPrefixBuilderSpellsThePlainBuildersStrings) {
  const std::vector<std::string> kana = {"し", "ち", "ん", "ー", "っ", "か", "きゃ", "お", "え", "a", "い", "う"};
  std::mt19937 rng(11);
  std::uniform_int_distribution<std::size_t> pick(0, kana.size() - 1);
  std::uniform_int_distribution<int> lists(1, 12), length(1, 6), stem(0, 3);
  for (int round = 0; round < 500; ++round) {
    RomajiLatticeBuilder plain;
    RomajiLatticeBuilder shared(true);
    std::string common;
    for (int k = stem(rng); k > 0; --k) common += kana[pick(rng)];
    for (int n = lists(rng); n > 0; --n) {
      std::string text = n % 4 == 0 ? common : common + kana[pick(rng)];
      for (int k = length(rng) - 1; k > 0; --k) text += kana[pick(rng)];
      if (text.empty()) text = "か";
      auto units = segment(text, RomajiSegmentMode::Direct);
      ASSERT_TRUE(units.has_value());
      ASSERT_TRUE(plain.add_units(*units).has_value());
      ASSERT_TRUE(shared.add_units(*units).has_value());
    }
    const Lattice a = *std::move(plain).into_lattice();
    const Lattice b = *std::move(shared).into_lattice();
    EXPECT_LE(b.node_count(), a.node_count());
    EXPECT_EQ(test_support::spelt_strings<std::set<std::string>>(a), test_support::spelt_strings<std::set<std::string>>(b))
        << "round " << round;
  }
}

// Steps of random kana with small limits: the count says "fits" exactly when
// the expansion succeeds, and the expansion without texts fails with the
// same error (kind and counts) as the listing.
TEST(RomajiSetLattice, ExpansionCountMatchesTheExpansion) {
  const std::vector<std::string> kana = {"し", "ち", "ん", "ー", "っ", "か", "きゃ", "お", "え", "ふ", "じ", "a"};
  std::mt19937 rng(5);
  std::uniform_int_distribution<std::size_t> pick(0, kana.size() - 1);
  std::uniform_int_distribution<int> length(0, 9);
  std::uniform_int_distribution<std::uint64_t> paths_limit(1, 80), symbols_limit(1, 400);
  int failures = 0;
  for (int round = 0; round < 5000; ++round) {
    std::string text;
    for (int k = length(rng); k > 0; --k) text += kana[pick(rng)];
    auto units = segment(text, RomajiSegmentMode::Direct);
    ASSERT_TRUE(units.has_value());
    auto steps = romaji_steps_from_units(*units);
    ASSERT_TRUE(steps.has_value());
    const std::uint64_t max_paths = paths_limit(rng);
    const std::uint64_t max_symbols = symbols_limit(rng);
    const auto strings = romaji_paths_from_units(*units, max_paths, max_symbols);
    const bool listed = strings.has_value();
    ASSERT_EQ(romaji_expansion_fits(*steps, max_paths, max_symbols), listed)
        << text << " paths " << max_paths << " symbols " << max_symbols;
    const auto checked = check_romaji_expansion(*steps, max_paths, max_symbols);
    ASSERT_EQ(checked.has_value(), listed) << text;
    if (!listed) {
      ASSERT_EQ(checked.error().debug(), strings.error().debug()) << text;
    }
    failures += listed ? 0 : 1;
  }
  EXPECT_GT(failures, 500);
  EXPECT_LT(failures, 4500);
}

}  // namespace
}  // namespace orvel::ja
