#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "core/lattice_distance.hpp"
#include "ja/query.hpp"
#include "ja/romaji_expansion.hpp"
#include "ja/unidic_reading_index.hpp"
#include "../support/lattice_strings.hpp"
#include "romaji_test_support.hpp"
#include "segmentation_test_support.hpp"
#include "text/utf8.hpp"

namespace orvel::ja {
namespace {

using testing::describe;
using testing::make_index;
using testing::options;
using Strings = std::vector<std::string>;

std::set<std::string> readings_of(const Lattice& lattice) {
  return test_support::spelt_strings<std::set<std::string>>(lattice);
}

std::set<std::string> lattice_readings(std::string_view text, const UnidicReadingIndex& index,
                                       const DictionaryOptions& o = options()) {
  auto lattice = unidic_or_direct_lattice(text, index, o);
  EXPECT_TRUE(lattice.has_value()) << lattice.error().message();
  return lattice ? readings_of(*lattice) : std::set<std::string>{};
}

Strings romaji(std::string_view text, const UnidicReadingIndex& index, const DictionaryOptions& o = options()) {
  auto paths = unidic_or_direct_romaji_paths(text, index, o);
  EXPECT_TRUE(paths.has_value()) << paths.error().message();
  return paths.value_or(Strings{});
}

TEST(JapaneseQueryFront, OptionLimitFailsEveryOperationFirst) {
  const UnidicReadingIndex index = make_index({{"東", {"トウ"}}});
  const JaLatticeError expected =
      JaLatticeError::dictionary("UniDic artifact max_span_chars length/count 257 exceeds limit 256");
  for (const char* text : {"", "かな", "東", "漢"}) {
    EXPECT_EQ(unidic_or_direct_lattice(text, index, options(257)).error(), expected);
    EXPECT_EQ(unidic_or_direct_romaji_paths(text, index, options(257)).error(), expected);
    EXPECT_EQ(normalized_similarity_with_unidic_index(text, text, index, options(257)).error(), expected);
  }
}

TEST(JapaneseQueryFront, EmptyText) {
  const UnidicReadingIndex index = make_index({{"東", {"トウ"}}});
  auto lattice = unidic_or_direct_lattice("", index, options());
  ASSERT_TRUE(lattice.has_value());
  EXPECT_EQ(lattice->node_count(), 1u);
  EXPECT_EQ(romaji("", index), Strings{""});
  EXPECT_EQ(*normalized_similarity_with_unidic_index("", "", index, options()), 1.0);
}

TEST(JapaneseQueryFront, KanaIsReadAsTypedFirst) {
  // An index entry for the kana text itself is not consulted: the typed
  // reading already yields a lattice.
  const UnidicReadingIndex index = make_index({{"かな", {"ケ"}}, {"しん", {"ケ"}}});
  EXPECT_EQ(lattice_readings("かな", index), (std::set<std::string>{"kana"}));
  // Without ASCII letters the strings keep their expansion order.
  EXPECT_EQ(romaji("しん", index), (Strings{"sin", "sinn", "sim", "shin", "shinn", "shim", "cin", "cinn", "cim"}));
}

TEST(JapaneseQueryFront, KanjiThroughTheIndex) {
  const UnidicReadingIndex index = make_index({{"東", {"トウ"}}, {"京", {"キョウ", "ケイ"}}, {"東京", {"トウキョウ"}}});
  EXPECT_EQ(lattice_readings("東京", index), (std::set<std::string>{"toukyou", "toukei"}));
  EXPECT_EQ(romaji("東京", index), (Strings{"toukei", "toukyou"}));
  // Words and kana: only the hybrid search with direct stretches covers it.
  EXPECT_EQ(lattice_readings("東かな", index), (std::set<std::string>{"toukana"}));
  EXPECT_EQ(romaji("東かな", index), (Strings{"toukana"}));
  // Kanji with typed romaji.
  EXPECT_EQ(lattice_readings("東kyo", index), (std::set<std::string>{"toukyo"}));
}

TEST(JapaneseQueryFront, TypedRomajiWithExactEntries) {
  const UnidicReadingIndex index = make_index({{"tokyo", {"トウキョウ", "漢"}}});
  // The typed text, plus its exact readings; a reading with a kanji is skipped.
  EXPECT_EQ(lattice_readings("tokyo", index), (std::set<std::string>{"tokyo", "toukyou"}));
  EXPECT_EQ(romaji("tokyo", index), (Strings{"tokyo", "toukyou"}));
  // No exact reading is used with max_readings_per_segment 0.
  EXPECT_EQ(lattice_readings("tokyo", index, options(8, 1024, 0)), (std::set<std::string>{"tokyo"}));
  EXPECT_EQ(romaji("tokyo", index, options(8, 1024, 0)), (Strings{"tokyo"}));
  // ASCII letters are never lowercased.
  EXPECT_EQ(romaji("Tokyo", index), (Strings{"Tokyo"}));
}

TEST(JapaneseQueryFront, HybridTest) {
  const UnidicReadingIndex index = make_index({{"a", {"エー"}}, {"ab", {"エービー"}}, {"ねこ", {"ネコ"}}});
  const std::pair<const char*, bool> cases[] = {
      {"ねこa", false},    // a final single letter is not looked up
      {"ねこab", true},    // a final run of two is
      {"aねこ", true},     // a single letter that starts the text is
      {"ねこaねこ", true},  // so is one inside it
      {"ねこxy", false},   // not indexed
      {"ab", false},       // pure ASCII never
      {"ab cd", false},
      {"ねこ", false},     // no ASCII letter or digit
      {"ねこＡＢ", false},  // fullwidth letters are no ASCII letters
  };
  for (const auto& [text, expected] : cases) EXPECT_EQ(*should_try_hybrid_for_direct_ascii(text, index), expected) << text;
}

TEST(JapaneseQueryFront, HybridStringsAndLattice) {
  const UnidicReadingIndex index = make_index({{"ab", {"エビ"}}, {"ねこ", {"ネコ"}}});
  // Typed, then every segmentation with direct stretches: ねこ as a word or
  // as typed (both neko), ab as typed or as the word エビ.
  EXPECT_EQ(romaji("ねこab", index), (Strings{"nekoab", "nekoebi"}));
  EXPECT_EQ(lattice_readings("ねこab", index), (std::set<std::string>{"nekoab", "nekoebi"}));
  EXPECT_EQ(romaji("ねこa", index), (Strings{"nekoa"}));
}

TEST(JapaneseQueryFront, NothingCanReadIt) {
  const UnidicReadingIndex index = make_index({{"東", {"トウ"}}});
  EXPECT_EQ(unidic_or_direct_lattice("漢字", index, options()).error(), JaLatticeError::unsupported_character(U'漢', 0));
  EXPECT_EQ(unidic_or_direct_romaji_paths("漢字", index, options()).error(),
            JaLatticeError::unsupported_character(U'漢', 0));
  EXPECT_EQ(unidic_or_direct_lattice("東ゐ", index, options()).error(), JaLatticeError::unsupported_character(U'東', 0));
  EXPECT_EQ(unidic_or_direct_lattice("ゐ", index, options()).error(), JaLatticeError::missing_romaji_variant("ゐ"));
  EXPECT_EQ(unidic_or_direct_romaji_paths("aゐ", index, options()).error(), JaLatticeError::missing_romaji_variant("ゐ"));
}

TEST(JapaneseQueryFront, LongKanaTextFallsBackToTheDictionary) {
  std::string long_text;
  for (int k = 0; k < 1025; ++k) long_text += "あ";
  const JaLatticeError too_long = JaLatticeError::expansion_limit(ExpansionLimitKind::InputCharacters, 1025, 1024);
  // Nothing in the index: the direct expansion's error comes back.
  EXPECT_EQ(unidic_or_direct_romaji_paths(long_text, make_index({{"東", {"トウ"}}}), options()).error(), too_long);
  // 東 + 1,024 あ is covered by the search with direct stretches, but its one
  // path reads トウ and 1,024 あ: 1,026 characters, over the per-path limit,
  // and that error is returned, not skipped.
  EXPECT_EQ(unidic_or_direct_romaji_paths("東" + long_text.substr(3), make_index({{"東", {"トウ"}}}), options()).error(),
            JaLatticeError::expansion_limit(ExpansionLimitKind::InputCharacters, 1026, 1024));
  // The lattice front has no such limit.
  auto lattice = unidic_or_direct_lattice(long_text, make_index({{"東", {"トウ"}}}), options());
  ASSERT_TRUE(lattice.has_value());
  EXPECT_EQ(lattice->node_count(), 1026u);
}

TEST(JapaneseQueryFront, RomajiFrontFallsBackWhenTypedFormFails) {
  const UnidicReadingIndex index = make_index({{"東", {"トウ", "ヒガシ"}}, {"京", {"キョウ"}}});
  // Not typeable: the dictionary paths without direct stretches, in byte order.
  EXPECT_EQ(romaji("東京", index), (Strings{"higacikyou", "higashikyou", "higasikyou", "toukyou"}));
  // Then with direct stretches.
  EXPECT_EQ(romaji("東です", index), (Strings{"higacidesu", "higashidesu", "higasidesu", "toudesu"}));
}

TEST(JapaneseQueryFront, SimilarityTakesTheBestPair) {
  const UnidicReadingIndex index = make_index({{"東京", {"トウキョウ", "ヒガシキョウ"}}});
  EXPECT_EQ(*normalized_similarity_with_unidic_index("とうきょう", "東京", index, options()), 1.0);
  // tokyo against toukyou: two insertions over seven characters.
  EXPECT_DOUBLE_EQ(*normalized_similarity_with_unidic_index("tokyo", "東京", index, options()), 1.0 - 2.0 / 7.0);
  // The left text's error wins.
  EXPECT_EQ(normalized_similarity_with_unidic_index("漢", "ゐ", index, options()).error(),
            JaLatticeError::unsupported_character(U'漢', 0));
  EXPECT_EQ(normalized_similarity_with_unidic_index("か", "ゐ", index, options()).error(),
            JaLatticeError::missing_romaji_variant("ゐ"));
}

// ---- Against the small UniDic sample ----

class SmallUnidic : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    auto loaded =
        UnidicReadingIndex::from_artifact_payload_path(std::filesystem::path(ORVEL_TEST_DATA_DIR) / "unidic/small.yaml");
    ASSERT_TRUE(loaded.has_value()) << loaded.error().message();
    index_ = new UnidicReadingIndex(std::move(*loaded));
  }
  static void TearDownTestSuite() {
    delete index_;
    index_ = nullptr;
  }
  static const UnidicReadingIndex& index() { return *index_; }

  static std::uint64_t distance(std::string_view a, std::string_view b) {
    auto left = unidic_or_direct_lattice(a, index(), options());
    auto right = unidic_or_direct_lattice(b, index(), options());
    EXPECT_TRUE(left.has_value() && right.has_value());
    DistanceWorkspace workspace;
    return *workspace.try_distance(*left, *right);
  }

  static Strings sequences(std::string_view text, const DictionaryOptions& o) {
    return *reading_sequences_with_stats_inner(index(), text, o, false);
  }

  static inline UnidicReadingIndex* index_ = nullptr;
};

TEST_F(SmallUnidic, WordsAndCompounds) {
  // 東京 is a word (トウキョウ) and also 東 + 京 in every reading pair.
  const std::set<std::string> tokyo = lattice_readings("東京", index());
  EXPECT_TRUE(tokyo.contains("toukyou"));
  EXPECT_TRUE(tokyo.contains("higasikyou"));
  EXPECT_TRUE(tokyo.contains("azumamiyako"));
  // 東京都 has no entry of its own: 東京 + 都, 東 + 京都, 東 + 京 + 都.
  const std::set<std::string> tokyoto = lattice_readings("東京都", index());
  EXPECT_TRUE(tokyoto.contains("toukyouto"));
  EXPECT_TRUE(tokyoto.contains("toukyoumiyako"));
  // 今日は: 今日 (キョウ, コンニチ) + は (ハ).
  const std::set<std::string> kyouha = lattice_readings("今日は", index());
  EXPECT_TRUE(kyouha.contains("kyouha"));
  EXPECT_TRUE(kyouha.contains("konnichiha"));
  EXPECT_TRUE(kyouha.contains("konnitiha"));
  // 日本語: 日本 (ニポン, ニホン, ニッポン) + 語 (カタリ, ガタリ, ゴ); the small
  // tsu doubles the p of ポ.
  const std::set<std::string> nihongo = lattice_readings("日本語", index());
  EXPECT_TRUE(nihongo.contains("nihongo"));
  EXPECT_TRUE(nihongo.contains("nippongo"));
  EXPECT_TRUE(nihongo.contains("nixtupongo"));
}

TEST_F(SmallUnidic, MixedScriptText) {
  // Kanji words, typed romaji and kana: 東京 from the index, "de" and すし
  // as one direct stretch.
  const Strings paths = romaji("東京deすし", index());
  EXPECT_TRUE(std::ranges::binary_search(paths, "toukyoudesushi"));
  EXPECT_TRUE(std::is_sorted(paths.begin(), paths.end()));
  EXPECT_TRUE(lattice_readings("東京deすし", index()).contains("toukyoudesusi"));
}

TEST_F(SmallUnidic, WidthNormalisedLookup) {
  // Only 1人1人 and １人１人 are stored; the mixed form is found through
  // the normalised retry and keeps its typed surface. (Without longest_only
  // 1人 + １人 reads the same and is inserted first.)
  auto paths = reading_paths_with_stats_inner(index(), "1人１人", options(8, 1024, std::nullopt, true), false);
  ASSERT_TRUE(paths.has_value());
  bool whole = false;
  for (const auto& path : *paths) whole |= describe(path).starts_with("1人１人/");
  EXPECT_TRUE(whole);
}

TEST_F(SmallUnidic, SegmentationOptions) {
  // longest_only: 東京 at 0 (not 東), then 都.
  EXPECT_EQ(sequences("東京都", options(8, 1024, std::nullopt, true)),
            (Strings{"トウキョウト", "トウキョウミヤコ", "トウキョウミヤコノ"}));
  // One reading per word: 東 アズマ, 京 キョウ, 都 ト, 東京 トウキョウ, 京都
  // キョウト (which repeats 京 + 都 and is dropped).
  EXPECT_EQ(sequences("東京都", options(8, 1024, 1)), (Strings{"アズマキョウト", "トウキョウト"}));
  EXPECT_EQ(sequences("東京都", options(8, 1024, 0)), Strings{});
  // max_paths 1: the first insertion at every position.
  auto one = reading_paths_with_stats_inner(index(), "東京都", options(8, 1), false);
  ASSERT_TRUE(one.has_value());
  EXPECT_EQ(describe(*one), (Strings{"東/アズマ+京/キョウ+都/ト"}));
}

TEST_F(SmallUnidic, TypedFormsReachTheKanjiText) {
  // toukyou, とうきょう and トウキョウ spell the reading トウキョウ of 東京
  // exactly: distance 0.
  EXPECT_EQ(distance("toukyou", "東京"), 0u);
  EXPECT_EQ(distance("とうきょう", "東京"), 0u);
  EXPECT_EQ(distance("トウキョウ", "東京"), 0u);
  // tokyo lacks the two u of toukyou; no reading of 東 (アズマ, トウ, トン,
  // ヒガシ, ...) with one of 京 (キョウ, ケイ, ミヤコ) is one edit away:
  // tonkyou and toukyou both need two.
  EXPECT_EQ(distance("tokyo", "東京"), 2u);
  // A long-vowel mark typed for the second u: とーきょー reads tokyo with
  // o, u or - for each mark, so toukyou is one of its strings.
  EXPECT_EQ(distance("とーきょー", "東京"), 0u);
}

}  // namespace
}  // namespace orvel::ja
