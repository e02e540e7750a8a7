#include "metrics/cdist_string_matrices.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "text/utf8.hpp"

namespace orvel {
namespace {

constexpr std::uint64_t kMax = std::numeric_limits<std::uint64_t>::max();

// Plain full-table programmes over scalar values; `damerau` adds the
// adjacent swap of optimal string alignment.
std::uint64_t reference_distance(const std::string& a_utf8, const std::string& b_utf8, bool damerau) {
  const std::u32string a = text::decode_utf8(a_utf8);
  const std::u32string b = text::decode_utf8(b_utf8);
  std::vector<std::vector<std::uint64_t>> d(a.size() + 1, std::vector<std::uint64_t>(b.size() + 1));
  for (std::size_t i = 0; i <= a.size(); ++i) d[i][0] = i;
  for (std::size_t j = 0; j <= b.size(); ++j) d[0][j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    for (std::size_t j = 1; j <= b.size(); ++j) {
      d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + (a[i - 1] == b[j - 1] ? 0 : 1)});
      if (damerau && i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1]) {
        d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
      }
    }
  }
  return d[a.size()][b.size()];
}

double reference_similarity(const std::string& a, const std::string& b) {
  const std::size_t m = std::max(text::count_scalars(a), text::count_scalars(b));
  if (m == 0) return 1.0;
  return std::clamp(1.0 - static_cast<double>(reference_distance(a, b, false)) / static_cast<double>(m), 0.0, 1.0);
}

std::vector<std::string> random_texts(std::mt19937& rng, std::size_t count) {
  // A small alphabet with multibyte characters makes matches, swaps and
  // shared affixes common.
  const std::vector<std::string> alphabet = {"a", "b", "c", "é", "東", "😀"};
  std::uniform_int_distribution<std::size_t> length(0, 7);
  std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
  std::vector<std::string> out(count);
  for (std::string& t : out) {
    for (std::size_t n = length(rng); n > 0; --n) t += alphabet[pick(rng)];
  }
  return out;
}

TEST(CdistStringMatrices, DistanceCellsEqualReferenceUnderEveryCutoff) {
  std::mt19937 rng(20261210);
  const std::vector<std::string> queries = random_texts(rng, 9);
  const std::vector<std::string> choices = random_texts(rng, 13);
  for (const DistanceCutoff cutoff : {DistanceCutoff{}, DistanceCutoff{0}, DistanceCutoff{1}, DistanceCutoff{3},
                                      DistanceCutoff{kMax}}) {
    const DistanceMatrix lev = cdist_string_distance_matrix(queries, choices, cutoff);
    const DistanceMatrix osa = cdist_string_damerau_distance_matrix(queries, choices, cutoff);
    EXPECT_EQ(cdist_string_combined_distance_matrix(queries, choices, cutoff), osa);
    ASSERT_EQ(lev.size(), queries.size());
    for (std::size_t i = 0; i < queries.size(); ++i) {
      ASSERT_EQ(lev[i].size(), choices.size());
      for (std::size_t j = 0; j < choices.size(); ++j) {
        const std::uint64_t d = reference_distance(queries[i], choices[j], false);
        const std::uint64_t dd = reference_distance(queries[i], choices[j], true);
        const auto rule = [&](std::uint64_t v) { return cutoff && v > *cutoff ? *cutoff + 1 : v; };
        EXPECT_EQ(lev[i][j], rule(d)) << queries[i] << " / " << choices[j];
        EXPECT_EQ(osa[i][j], rule(dd)) << queries[i] << " / " << choices[j];
      }
    }
  }
}

TEST(CdistStringMatrices, SimilarityCellsEqualReferenceUnderCutoffs) {
  std::mt19937 rng(7);
  const std::vector<std::string> queries = random_texts(rng, 7);
  const std::vector<std::string> choices = random_texts(rng, 11);
  for (const ScoreCutoff cutoff : {ScoreCutoff{}, ScoreCutoff{0.0}, ScoreCutoff{0.5}, ScoreCutoff{1.0}}) {
    const ScoreMatrix sim = *cdist_string_similarity_matrix(queries, choices, cutoff);
    const ScoreMatrix dist = *cdist_string_normalized_distance_matrix(queries, choices, cutoff);
    for (std::size_t i = 0; i < queries.size(); ++i) {
      for (std::size_t j = 0; j < choices.size(); ++j) {
        const double s = reference_similarity(queries[i], choices[j]);
        EXPECT_EQ(sim[i][j], cutoff && s < *cutoff ? 0.0 : s);
        EXPECT_EQ(dist[i][j], cutoff && 1.0 - s > *cutoff ? 1.0 : 1.0 - s);
      }
    }
  }
}

TEST(CdistStringMatrices, ShapesAndSmallExamples) {
  const std::vector<std::string> abc = {"abc"};
  const std::vector<std::string> abd_abc = {"abd", "abc"};
  EXPECT_EQ(cdist_string_distance_matrix(abc, abd_abc, 0), (DistanceMatrix{{1, 0}}));
  EXPECT_EQ(cdist_string_distance_matrix(abc, abd_abc, std::nullopt), (DistanceMatrix{{1, 0}}));
  // Rows follow queries, cells follow choices.
  const std::vector<std::string> queries = {"a", "bb", "ccc"};
  const std::vector<std::string> choices = {"", "bb"};
  EXPECT_EQ(cdist_string_distance_matrix(queries, choices, std::nullopt), (DistanceMatrix{{1, 2}, {2, 0}, {3, 3}}));
  const std::vector<std::string> none;
  const std::vector<std::string> a_b = {"a", "b"};
  EXPECT_EQ(cdist_string_distance_matrix(a_b, none, std::nullopt), (DistanceMatrix{{}, {}}));
  EXPECT_EQ(cdist_string_distance_matrix(none, a_b, std::nullopt), DistanceMatrix{});
  // The free combined matrix is the Damerau one: a swap costs 1.
  const std::vector<std::string> ab = {"ab"};
  const std::vector<std::string> ba = {"ba"};
  EXPECT_EQ(cdist_string_combined_distance_matrix(ab, ba, std::nullopt), (DistanceMatrix{{1}}));
  EXPECT_EQ(cdist_string_distance_matrix(ab, ba, std::nullopt), (DistanceMatrix{{2}}));
  // The successor of the largest cutoff saturates.
  EXPECT_EQ(cdist_string_distance_matrix(ab, ba, kMax), (DistanceMatrix{{2}}));
  const std::vector<std::string> abc_xyz = {"abc", "xyz"};
  EXPECT_EQ(*cdist_string_similarity_matrix(abc, abc_xyz, 0.5), (ScoreMatrix{{1.0, 0.0}}));
  EXPECT_EQ(*cdist_string_normalized_distance_matrix(abc, abc_xyz, 0.5), (ScoreMatrix{{0.0, 1.0}}));
}

TEST(CdistStringMatrices, InvalidScoreCutoffFailsOnlyWhenACellIsProduced) {
  const std::vector<std::string> some = {"abc", "x"};
  const std::vector<std::string> none;
  for (const double bad : {1.5, -0.1, std::nan("")}) {
    const auto sim = cdist_string_similarity_matrix(some, some, bad);
    ASSERT_FALSE(sim.has_value());
    EXPECT_EQ(sim.error().message(), "score_cutoff must be between 0.0 and 1.0");
    ASSERT_FALSE(cdist_string_normalized_distance_matrix(some, some, bad).has_value());
    EXPECT_EQ(*cdist_string_similarity_matrix(some, none, bad), (ScoreMatrix{{}, {}}));
    EXPECT_EQ(*cdist_string_normalized_distance_matrix(none, some, bad), ScoreMatrix{});
  }
}

}  // namespace
}  // namespace orvel
