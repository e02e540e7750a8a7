#include "metrics/text_metrics.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace orvel {
namespace {

constexpr std::uint64_t kMax = std::numeric_limits<std::uint64_t>::max();

TEST(CutoffRules, IntegerCutoffReportsSuccessorAndSaturates) {
  EXPECT_EQ(apply_distance_cutoff(5, std::nullopt), 5u);
  EXPECT_EQ(apply_distance_cutoff(5, 5), 5u);
  EXPECT_EQ(apply_distance_cutoff(5, 4), 5u);
  EXPECT_EQ(apply_distance_cutoff(5, 0), 1u);
  EXPECT_EQ(saturating_successor(kMax), kMax);
  EXPECT_EQ(bounded_or_successor(std::nullopt, kMax), kMax);
  EXPECT_EQ(bounded_or_successor(std::nullopt, 3), 4u);
}

TEST(CutoffRules, FloatCutoffRangeAndReplacement) {
  struct Case {
    double cutoff;
    bool valid;
  };
  for (const Case c : {Case{0.0, true}, Case{1.0, true}, Case{0.5, true}, Case{-0.1, false}, Case{1.1, false},
                       Case{std::nan(""), false}, Case{-0.0, true}}) {
    const auto s = apply_similarity_cutoff(0.5, c.cutoff);
    const auto d = apply_normalized_distance_cutoff(0.5, c.cutoff);
    ASSERT_EQ(s.has_value(), c.valid) << c.cutoff;
    ASSERT_EQ(d.has_value(), c.valid) << c.cutoff;
    if (!c.valid) {
      EXPECT_EQ(s.error().message(), "score_cutoff must be between 0.0 and 1.0");
    }
  }
  // A value equal to the cutoff stays; below (similarity) or above
  // (distance) it is replaced.
  EXPECT_EQ(*apply_similarity_cutoff(0.5, 0.5), 0.5);
  EXPECT_EQ(*apply_similarity_cutoff(0.49, 0.5), 0.0);
  EXPECT_EQ(*apply_normalized_distance_cutoff(0.5, 0.5), 0.5);
  EXPECT_EQ(*apply_normalized_distance_cutoff(0.51, 0.5), 1.0);
}

TEST(TextMetrics, DistancesWithAndWithoutCutoff) {
  EXPECT_EQ(text_distance("abc", "abd", std::nullopt), 1u);
  EXPECT_EQ(text_distance("abc", "abd", 0), 1u);
  EXPECT_EQ(text_distance("abc", "xyz", 1), 2u);
  EXPECT_EQ(text_distance("abc", "xyz", kMax), 3u);
  EXPECT_EQ(text_distance("ab", "ba", std::nullopt), 2u);
  EXPECT_EQ(*raw_damerau_distance_pair_with_cutoff("ab", "ba", std::nullopt), 1u);
  EXPECT_EQ(*raw_damerau_distance_pair_with_cutoff("abc", "ca", std::nullopt), 3u);
  EXPECT_EQ(*raw_damerau_distance_pair_with_cutoff("abc", "ca", 1), 2u);
  EXPECT_EQ(*raw_damerau_distance_pair_with_cutoff("", "ab", kMax), 2u);
  // Scalar values, not bytes: é (2 bytes) against e.
  EXPECT_EQ(text_distance("\u00e9", "e", std::nullopt), 1u);
}

TEST(TextMetrics, NormalizedScores) {
  EXPECT_EQ(raw_normalized_similarity_pair("", ""), 1.0);
  EXPECT_EQ(raw_normalized_similarity_pair("abc", ""), 0.0);
  EXPECT_DOUBLE_EQ(raw_normalized_similarity_pair("abcd", "ab"), 0.5);
  EXPECT_DOUBLE_EQ(raw_normalized_similarity_pair("\u6771\u4eac", "\u6771"), 0.5);
  EXPECT_EQ(*text_normalized_distance("", "", std::nullopt), 0.0);
  EXPECT_EQ(*text_normalized_similarity("abc", "xyz", 0.5), 0.0);
  EXPECT_EQ(*text_normalized_distance("abc", "xyz", 0.5), 1.0);
  // The range is checked once the value exists, whatever it is.
  EXPECT_FALSE(text_normalized_similarity("abc", "abc", 2.0).has_value());
}

}  // namespace
}  // namespace orvel
