#include "metrics/dictionary_methods.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ja/query.hpp"
#include "ja/unidic_reading_index.hpp"
#include "metrics/cdist_reading_matrices.hpp"
#include "metrics/lattice_metrics.hpp"
#include "metrics/path_metrics.hpp"
#include "zh/cedict_reading_index.hpp"
#include "zh/zh_query.hpp"

namespace orvel {
namespace {

const ja::UnidicReadingIndex& ja_index() {
  static const ja::UnidicReadingIndex index =
      *ja::UnidicReadingIndex::from_artifact_payload_path(ORVEL_TEST_DATA_DIR "/unidic/small.yaml");
  return index;
}

const zh::CedictReadingIndex& zh_index() {
  static const zh::CedictReadingIndex index =
      *zh::CedictReadingIndex::from_artifact_payload_path(ORVEL_TEST_DATA_DIR "/cedict/small-tone3.yaml");
  return index;
}

const DictionaryOptions kDefaults;

TEST(CdistJapanese, CellsEqualThePairwiseReadingsOfEachText) {
  // Kanji, kana in both scripts and typed romaji of one name, and 日本 with
  // its nihon / nippon readings.
  const std::vector<std::string> queries = {"東京", "とうきょう", "tokyo", "日本"};
  const std::vector<std::string> choices = {"トウキョウ", "toukyou", "にっぽん", "日本"};
  const auto query_lattices = dictionary_lattices(DictionaryCall<JapaneseFront>{ja_index(), kDefaults}, queries);
  const auto choice_lattices = dictionary_lattices(DictionaryCall<JapaneseFront>{ja_index(), kDefaults}, choices);
  ASSERT_TRUE(query_lattices && choice_lattices);
  const auto lev = *cdist_distance_matrix(*query_lattices, *choice_lattices, std::nullopt);
  const auto combined =
      *cdist_combined_distance_matrix(queries, choices, *query_lattices, *choice_lattices, std::nullopt);
  const auto query_sets = *dictionary_reading_sets(DictionaryCall<JapaneseFront>{ja_index(), kDefaults}, queries);
  const auto choice_sets = *dictionary_reading_sets(DictionaryCall<JapaneseFront>{ja_index(), kDefaults}, choices);
  const auto sim = *cdist_similarity_matrix(query_sets, choice_sets, std::nullopt);
  for (std::size_t i = 0; i < queries.size(); ++i) {
    const Lattice q = *ja::unidic_or_direct_lattice(queries[i], ja_index(), kDefaults);
    for (std::size_t j = 0; j < choices.size(); ++j) {
      const Lattice c = *ja::unidic_or_direct_lattice(choices[j], ja_index(), kDefaults);
      EXPECT_EQ(lev[i][j], *distance_with_cutoff(q, c, std::nullopt)) << queries[i] << "/" << choices[j];
      EXPECT_EQ(combined[i][j], *combined_distance_with_cutoff(queries[i], choices[j], q, c, std::nullopt));
      EXPECT_EQ(sim[i][j], *ja::normalized_similarity_with_unidic_index(queries[i], choices[j], ja_index(),
                                                                         kDefaults));
    }
  }
  // 東京 reads toukyou among others, so it is at distance 0 from the kana and
  // romaji spellings; tokyo lacks the two long vowels.
  EXPECT_EQ(lev[0][0], 0u);
  EXPECT_EQ(lev[1][1], 0u);
  EXPECT_EQ(lev[2][1], 2u);
  EXPECT_EQ(lev[3][2], 0u);  // 日本 / にっぽん: the nippon reading
  EXPECT_EQ(combined[3][3], 0u);
  EXPECT_DOUBLE_EQ(sim[2][0], 5.0 / 7.0);
}

TEST(CdistJapanese, FirstUnreadableTextFailsTheConversion) {
  // Neither the small index nor the kana rules read 你; no kind of reading
  // error is skipped in a matrix.
  const std::vector<std::string> texts = {"東京", "你好", "我"};
  const auto lattices = dictionary_lattices(DictionaryCall<JapaneseFront>{ja_index(), kDefaults}, texts);
  ASSERT_FALSE(lattices.has_value());
  EXPECT_EQ(lattices.error().message(), "unsupported character '你' at char index 0");
  const auto sets = dictionary_reading_sets(DictionaryCall<JapaneseFront>{ja_index(), kDefaults}, texts);
  ASSERT_FALSE(sets.has_value());
  EXPECT_EQ(sets.error().message(), "unsupported character '你' at char index 0");
  const std::vector<std::string> none;
  EXPECT_TRUE(dictionary_lattices(DictionaryCall<JapaneseFront>{ja_index(), kDefaults}, none)->empty());
}

TEST(CdistChinese, CellsEqualThePairwiseReadingsOfEachText) {
  // 北京 against its typed pinyin with and without tones; 中国 has two
  // readings of 中 (zhong1, zhong4).
  const std::vector<std::string> queries = {"北京", "中国"};
  const std::vector<std::string> choices = {"bei3jing1", "beijing", "zhong4guo2"};
  const auto query_lattices = dictionary_lattices(DictionaryCall<ChineseFront>{zh_index(), kDefaults}, queries);
  const auto choice_lattices = dictionary_lattices(DictionaryCall<ChineseFront>{zh_index(), kDefaults}, choices);
  ASSERT_TRUE(query_lattices && choice_lattices);
  const auto lev = *cdist_distance_matrix(*query_lattices, *choice_lattices, std::nullopt);
  const auto sim = *cdist_similarity_matrix(*dictionary_reading_sets(DictionaryCall<ChineseFront>{zh_index(), kDefaults}, queries),
                                            *dictionary_reading_sets(DictionaryCall<ChineseFront>{zh_index(), kDefaults}, choices), std::nullopt);
  for (std::size_t i = 0; i < queries.size(); ++i) {
    const Lattice q = *zh::zh_or_direct_lattice(queries[i], zh_index(), kDefaults);
    for (std::size_t j = 0; j < choices.size(); ++j) {
      const Lattice c = *zh::zh_or_direct_lattice(choices[j], zh_index(), kDefaults);
      EXPECT_EQ(lev[i][j], *distance_with_cutoff(q, c, std::nullopt)) << queries[i] << "/" << choices[j];
      EXPECT_EQ(sim[i][j],
                *zh::normalized_similarity_with_zh_index(queries[i], choices[j], zh_index(), kDefaults));
    }
  }
  EXPECT_EQ(lev[0][0], 0u);
  EXPECT_EQ(lev[0][1], 2u);  // the two tone digits
  EXPECT_EQ(lev[1][2], 0u);  // zhong4guo2 is one reading of 中国
}

TEST(CdistChinese, UnsupportedDirectPinyinFailsTheWholeConversion) {
  const std::vector<std::string> texts = {"北京", "とうきょう"};
  const auto lattices = dictionary_lattices(DictionaryCall<ChineseFront>{zh_index(), kDefaults}, texts);
  ASSERT_FALSE(lattices.has_value());
  EXPECT_EQ(lattices.error().message(), "unsupported direct pinyin input \"とうきょう\"");
  EXPECT_FALSE(dictionary_reading_sets(DictionaryCall<ChineseFront>{zh_index(), kDefaults}, texts).has_value());
}

}  // namespace
}  // namespace orvel
