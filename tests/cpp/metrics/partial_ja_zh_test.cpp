#include "metrics/partial_ja_zh.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ja/query.hpp"
#include "ja/unidic_reading_index.hpp"
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

// The dictionary methods' steps: query readings, automatic width, search.
template <class Index>
auto ratio(const std::string& query, const std::string& text, std::uint64_t max_span_chars, ScoreCutoff cutoff,
           const Index& index, const DictionaryOptions& span_options = kDefaults) {
  std::vector<std::string> paths;
  if constexpr (std::is_same_v<Index, ja::UnidicReadingIndex>) {
    paths = *ja::unidic_or_direct_romaji_paths(query, index, kDefaults);
  } else {
    paths = *zh::zh_or_direct_pinyin_paths(query, index, kDefaults);
  }
  const std::uint64_t limit = effective_partial_span_limit(query, max_span_chars, paths);
  return partial_ratio_alignment(query, text, limit, cutoff, index, span_options, reading_lattice_from_paths(paths));
}

template <class Index>
auto distance(const std::string& query, const std::string& text, std::uint64_t max_span_chars,
              DistanceCutoff cutoff, const Index& index) {
  std::vector<std::string> paths;
  if constexpr (std::is_same_v<Index, ja::UnidicReadingIndex>) {
    paths = *ja::unidic_or_direct_romaji_paths(query, index, kDefaults);
  } else {
    paths = *zh::zh_or_direct_pinyin_paths(query, index, kDefaults);
  }
  const Lattice lattice = Lattice::from_paths(paths);
  const std::uint64_t limit = effective_partial_span_limit(query, max_span_chars, paths);
  return partial_distance_alignment(query, text, limit, cutoff, index, kDefaults, reading_lattice_from_paths(paths),
                                    lattice);
}

TEST(JapanesePartialAlignment, FindsTheSpanThatSoundsLikeTheQuery) {
  // Spans holding 你 cannot be read and are skipped; 東京 reads toukyou.
  const auto r = ratio("とうきょう", "你東京你好", 0, std::nullopt, ja_index());
  ASSERT_TRUE(r.has_value());
  EXPECT_EQ(*r, (RatioAlignment{1.0, 0, 5, 1, 3}));
  const auto d = distance("とうきょう", "你東京你好", 0, std::nullopt, ja_index());
  ASSERT_TRUE(d.has_value());
  EXPECT_EQ(*d, (DistanceAlignment{0, 0, 5, 1, 3}));
  // Typed romaji against kanji in a longer text.
  EXPECT_EQ(*distance("nihon", "你日本你", 0, 0, ja_index()), (DistanceAlignment{0, 0, 5, 1, 3}));
}

TEST(JapanesePartialAlignment, UnreadableTextGivesNoneEvenWithAnInvalidCutoff) {
  EXPECT_EQ(*ratio("とうきょう", "你你你", 0, 1.5, ja_index()), std::nullopt);
  EXPECT_EQ(*distance("とうきょう", "你你你", 0, std::nullopt, ja_index()), std::nullopt);
  // One readable span is enough for the cutoff to be checked.
  const auto r = ratio("とうきょう", "你東你", 0, 1.5, ja_index());
  ASSERT_FALSE(r.has_value());
  EXPECT_EQ(r.error().message(), "score_cutoff must be between 0.0 and 1.0");
}

TEST(JapanesePartialAlignment, OtherSpanReadingErrorsFailTheSearch) {
  // An option limit met while reading a span is the Dictionary kind, which
  // is not skipped.
  DictionaryOptions too_many_paths;
  too_many_paths.max_paths = 16385;
  const auto r = ratio("とうきょう", "東京", 0, std::nullopt, ja_index(), too_many_paths);
  ASSERT_FALSE(r.has_value());
  EXPECT_EQ(r.error().message(), "UniDic artifact max_paths length/count 16385 exceeds limit 16384");
}

TEST(ChinesePartialAlignment, SkipsSpansThatAreNeitherPinyinNorIndexed) {
  // Kana spans are unsupported direct pinyin input: skipped.
  const auto r = ratio("北京", "とう北京きょう", 0, std::nullopt, zh_index());
  ASSERT_TRUE(r.has_value());
  EXPECT_EQ(*r, (RatioAlignment{1.0, 0, 2, 2, 4}));
  const auto d = distance("beijing", "とう北京きょう", 0, std::nullopt, zh_index());
  ASSERT_TRUE(d.has_value());
  EXPECT_EQ(*d, (DistanceAlignment{2, 0, 7, 2, 4}));  // bei3jing1 has two tone digits more
  EXPECT_EQ(*ratio("北京", "とうきょう", 0, 1.5, zh_index()), std::nullopt);
}

TEST(ChinesePartialAlignment, OptionalPathsSkipsOnlyUnsupportedDirectPinyin) {
  const auto skipped = optional_zh_paths<ReadingPathSet>(std::unexpected(zh::CnLatticeError::unsupported_direct_pinyin("x")));
  ASSERT_TRUE(skipped.has_value());
  EXPECT_EQ(*skipped, std::nullopt);
  const auto failed = optional_zh_paths<ReadingPathSet>(std::unexpected(zh::CnLatticeError::dictionary("broken")));
  ASSERT_FALSE(failed.has_value());
  EXPECT_EQ(failed.error().message(), "broken");
  const auto ja_skipped = optional_ja_paths<ReadingPathSet>(std::unexpected(ja::JaLatticeError::unsupported_character(U'你', 0)));
  EXPECT_EQ(*ja_skipped, std::nullopt);
  const auto ja_failed = optional_ja_paths<ReadingPathSet>(std::unexpected(ja::JaLatticeError::missing_romaji_variant("ゔ")));
  EXPECT_FALSE(ja_failed.has_value());
  EXPECT_EQ(*optional_ja_paths<ReadingPathSet>(std::vector<std::string>{"a"}), (std::optional<ReadingPathSet>(ReadingPathSet{"a"})));
}

}  // namespace
}  // namespace orvel
