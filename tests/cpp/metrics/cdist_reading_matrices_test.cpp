#include "metrics/cdist_reading_matrices.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "metrics/cdist_reading_lists.hpp"
#include "metrics/lattice_metrics.hpp"
#include "metrics/path_metrics.hpp"

namespace orvel {
namespace {

constexpr std::uint64_t kMax = std::numeric_limits<std::uint64_t>::max();

std::vector<Lattice> lattices(std::initializer_list<ReadingPathSet> sets) {
  std::vector<Lattice> out;
  for (const ReadingPathSet& s : sets) out.push_back(Lattice::from_paths(s));
  return out;
}

// Readings with alternatives, shared prefixes and the empty reading, so that
// Levenshtein, Damerau and the choice of path all matter.
const std::initializer_list<ReadingPathSet> kQuerySets = {{"toukyou", "tokyo"}, {"ab"}, {""}, {"ka", "ga"}};
const std::initializer_list<ReadingPathSet> kChoiceSets = {{"tokyou"}, {"ba", "xx"}, {"ga"}, {""}, {"kyouto"}};

TEST(CdistReadingMatrices, LatticeCellsEqualThePairwiseKernelUnderEveryCutoff) {
  const std::vector<Lattice> queries = lattices(kQuerySets);
  const std::vector<Lattice> choices = lattices(kChoiceSets);
  for (const DistanceCutoff cutoff : {DistanceCutoff{}, DistanceCutoff{0}, DistanceCutoff{1}, DistanceCutoff{kMax}}) {
    const auto lev = cdist_distance_matrix(queries, choices, cutoff);
    const auto osa = cdist_damerau_distance_matrix(queries, choices, cutoff);
    ASSERT_TRUE(lev && osa);
    ASSERT_EQ(lev->size(), queries.size());
    for (std::size_t i = 0; i < queries.size(); ++i) {
      ASSERT_EQ((*lev)[i].size(), choices.size());
      for (std::size_t j = 0; j < choices.size(); ++j) {
        EXPECT_EQ((*lev)[i][j], *distance_with_cutoff(queries[i], choices[j], cutoff)) << i << "," << j;
        EXPECT_EQ((*osa)[i][j], *damerau_distance_with_cutoff(queries[i], choices[j], cutoff)) << i << "," << j;
      }
    }
  }
  // A few cells spelled out: "ab" against "ba"/"xx" is 2, or 1 with a swap.
  EXPECT_EQ((*cdist_distance_matrix(queries, choices, std::nullopt))[1][1], 2u);
  EXPECT_EQ((*cdist_damerau_distance_matrix(queries, choices, std::nullopt))[1][1], 1u);
  EXPECT_EQ((*cdist_distance_matrix(queries, choices, std::nullopt))[3][2], 0u);
}

TEST(CdistReadingMatrices, CombinedCellsEqualThePairwiseKernel) {
  const std::vector<std::string> query_texts = {"東京", "ab", "x"};
  const std::vector<std::string> choice_texts = {"東京", "ba", "とうきょう", "y"};
  const std::vector<Lattice> query_lattices = lattices({{"toukyou"}, {"aaaa"}, {"ka"}});
  const std::vector<Lattice> choice_lattices = lattices({{"tokyo"}, {"bbbb"}, {"toukyou"}, {"ga"}});
  for (const DistanceCutoff cutoff : {DistanceCutoff{}, DistanceCutoff{0}, DistanceCutoff{2}}) {
    const auto m = cdist_combined_distance_matrix(query_texts, choice_texts, query_lattices, choice_lattices, cutoff);
    ASSERT_TRUE(m.has_value());
    for (std::size_t i = 0; i < query_texts.size(); ++i) {
      for (std::size_t j = 0; j < choice_texts.size(); ++j) {
        EXPECT_EQ((*m)[i][j], *combined_distance_with_cutoff(query_texts[i], choice_texts[j], query_lattices[i],
                                                              choice_lattices[j], cutoff));
      }
    }
  }
  const auto m = *cdist_combined_distance_matrix(query_texts, choice_texts, query_lattices, choice_lattices,
                                                 std::nullopt);
  EXPECT_EQ(m[0][0], 0u);  // same surface
  EXPECT_EQ(m[0][2], 0u);  // same reading, different surface
  EXPECT_EQ(m[1][1], 1u);  // surface swap beats the reading distance 4
  EXPECT_EQ(m[2][3], 1u);  // ka / ga
}

TEST(CdistReadingMatrices, CombinedMatrixUsesTheShorterListOfEachSide) {
  const std::vector<std::string> query_texts = {"a", "b", "c"};
  const std::vector<std::string> choice_texts = {"a"};
  const std::vector<Lattice> query_lattices = lattices({{"a"}, {"b"}});
  const std::vector<Lattice> choice_lattices = lattices({{"a"}, {"b"}});
  const auto m = cdist_combined_distance_matrix(query_texts, choice_texts, query_lattices, choice_lattices,
                                                std::nullopt);
  EXPECT_EQ(*m, (DistanceMatrix{{0}, {1}}));
}

TEST(CdistReadingMatrices, OversizedPairFailsTheWholeMatrixWithQueryNodesFirst) {
  const std::string long_reading(4000, 'a');  // 4,001 nodes
  const std::string fits(3999, 'b');          // 4,000 nodes
  const std::vector<Lattice> queries = lattices({{"a"}, {fits}});
  const std::vector<Lattice> choices = lattices({{"b"}, {long_reading}});
  // (0, 1) is 2 x 4,001 and (1, 0) 4,000 x 2; the first refused cell in row
  // order is (1, 1): 4,000 x 4,001.
  for (const DistanceCutoff cutoff : {DistanceCutoff{}, DistanceCutoff{0}}) {
    const auto lev = cdist_distance_matrix(queries, choices, cutoff);
    ASSERT_FALSE(lev.has_value());
    EXPECT_EQ(lev.error().message(), "distance matrix 4000x4001 exceeds the maximum of 16000000 cells");
    const auto osa = cdist_damerau_distance_matrix(queries, choices, cutoff);
    ASSERT_FALSE(osa.has_value());
    EXPECT_EQ(osa.error().message(), "distance matrix 4000x4001 exceeds the maximum of 16000000 cells");
  }
  // Query on the left: swapping the sides swaps the numbers.
  const auto swapped = cdist_distance_matrix(choices, queries, std::nullopt);
  ASSERT_FALSE(swapped.has_value());
  EXPECT_EQ(swapped.error().message(), "distance matrix 4001x4000 exceeds the maximum of 16000000 cells");
  // The combined matrix computes the reading distance even for equal texts.
  const std::vector<std::string> same = {"x", "x"};
  const auto combined = cdist_combined_distance_matrix(same, same, queries, choices, 0);
  ASSERT_FALSE(combined.has_value());
  EXPECT_EQ(combined.error().kind, MetricError::Kind::Distance);
}

TEST(CdistReadingMatrices, PathSetCellsAreTheBestPairwiseSimilarity) {
  const std::vector<ReadingPathSet> queries = kQuerySets;
  const std::vector<ReadingPathSet> choices = kChoiceSets;
  for (const ScoreCutoff cutoff : {ScoreCutoff{}, ScoreCutoff{0.0}, ScoreCutoff{0.6}, ScoreCutoff{1.0}}) {
    const auto sim = cdist_similarity_matrix(queries, choices, cutoff);
    const auto dist = cdist_normalized_distance_matrix(queries, choices, cutoff);
    ASSERT_TRUE(sim && dist);
    for (std::size_t i = 0; i < queries.size(); ++i) {
      for (std::size_t j = 0; j < choices.size(); ++j) {
        const double best = max_normalized_similarity(queries[i], choices[j]);
        EXPECT_EQ((*sim)[i][j], cutoff && best < *cutoff ? 0.0 : best);
        EXPECT_EQ((*dist)[i][j], cutoff && 1.0 - best > *cutoff ? 1.0 : 1.0 - best);
      }
    }
  }
  // toukyou / tokyo against tokyou: both are one edit away; toukyou is the
  // longer pair, so it wins with 6/7 over 5/6.
  EXPECT_DOUBLE_EQ((*cdist_similarity_matrix(queries, choices, std::nullopt))[0][0], 1.0 - 1.0 / 7.0);
  EXPECT_EQ((*cdist_similarity_matrix(queries, choices, std::nullopt))[2][3], 1.0);  // empty / empty
}

TEST(CdistReadingMatrices, EmptyPathSetGivesNoSimilarity) {
  const std::vector<ReadingPathSet> queries = {{}, {"abc"}};
  const std::vector<ReadingPathSet> choices = {{"abc"}, {}};
  EXPECT_EQ(*cdist_similarity_matrix(queries, choices, std::nullopt), (ScoreMatrix{{0.0, 0.0}, {1.0, 0.0}}));
  EXPECT_EQ(*cdist_normalized_distance_matrix(queries, choices, std::nullopt),
            (ScoreMatrix{{1.0, 1.0}, {0.0, 1.0}}));
}

TEST(CdistReadingMatrices, InvalidScoreCutoffFailsOnlyWhenACellIsProduced) {
  const std::vector<ReadingPathSet> some = {{"a"}};
  const std::vector<ReadingPathSet> none;
  for (const double bad : {1.5, -1.0, std::nan("")}) {
    const auto sim = cdist_similarity_matrix(some, some, bad);
    ASSERT_FALSE(sim.has_value());
    EXPECT_EQ(sim.error().kind, MetricError::Kind::ScoreCutoffRange);
    EXPECT_FALSE(cdist_normalized_distance_matrix(some, some, bad).has_value());
    EXPECT_EQ(*cdist_similarity_matrix(none, some, bad), ScoreMatrix{});
    EXPECT_EQ(*cdist_normalized_distance_matrix(some, none, bad), (ScoreMatrix{{}}));
  }
}

struct FakeReadingError {
  std::string text;
  std::string message() const { return "cannot read " + text; }
};

TEST(ReadTexts, ReadsInOrderAndStopsAtTheFirstFailure) {
  std::vector<std::string> seen;
  const auto front = [&](std::string_view text) -> std::expected<ReadingPathSet, FakeReadingError> {
    seen.emplace_back(text);
    if (text.starts_with("?")) return std::unexpected(FakeReadingError{std::string(text)});
    return ReadingPathSet{std::string(text) + "1", std::string(text) + "2"};
  };
  const std::vector<std::string> good = {"a", "b"};
  const auto read = read_texts(good, front);
  ASSERT_TRUE(read.has_value());
  EXPECT_EQ(*read, (std::vector<ReadingPathSet>{{"a1", "a2"}, {"b1", "b2"}}));

  seen.clear();
  const std::vector<std::string> bad = {"a", "?x", "?y", "z"};
  const auto failed = read_texts(bad, front);
  ASSERT_FALSE(failed.has_value());
  EXPECT_EQ(failed.error().text, "?x");
  EXPECT_EQ(seen, (std::vector<std::string>{"a", "?x"}));

  const std::vector<std::string> none;
  EXPECT_TRUE(read_texts(none, front)->empty());
}

}  // namespace
}  // namespace orvel
