#include "metrics/cdist_string_matrices.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "core/string_distance.hpp"
#include "metrics/cdist_matrix.hpp"
#include "metrics/text_metrics.hpp"
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

template <class Cell>
std::vector<std::vector<Cell>> nested(const FlatMatrix<Cell>& m) {
  std::vector<std::vector<Cell>> out;
  for (std::size_t i = 0; i < m.rows(); ++i) out.emplace_back(m.row(i).begin(), m.row(i).end());
  return out;
}
template <class Cell>
std::vector<std::vector<Cell>> nested(const std::expected<FlatMatrix<Cell>, MetricError>& m) {
  return nested(*m);
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
    const DistanceMatrix lev = nested(cdist_string_distance_matrix(queries, choices, cutoff));
    const DistanceMatrix osa = nested(cdist_string_damerau_distance_matrix(queries, choices, cutoff));
    EXPECT_EQ(nested(cdist_string_combined_distance_matrix(queries, choices, cutoff)), osa);
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
    const ScoreMatrix sim = nested(cdist_string_similarity_matrix(queries, choices, cutoff));
    const ScoreMatrix dist = nested(cdist_string_normalized_distance_matrix(queries, choices, cutoff));
    for (std::size_t i = 0; i < queries.size(); ++i) {
      for (std::size_t j = 0; j < choices.size(); ++j) {
        const double s = reference_similarity(queries[i], choices[j]);
        EXPECT_EQ(sim[i][j], cutoff && s < *cutoff ? 0.0 : s);
        EXPECT_EQ(dist[i][j], cutoff && 1.0 - s > *cutoff ? 1.0 : 1.0 - s);
      }
    }
  }
}

// Queries at every lane and word boundary (0 to 65 characters, so packs of
// each lane width, partial packs and the multi-word path all occur), choices
// short and long (past the range of 8-bit lane counters): every cell of all
// five matrices, on every vector build, equals its pairwise form.
TEST(CdistStringMatrices, CellsEqualPairwiseFormsOnEveryKernel) {
  std::mt19937 rng(99);
  const std::vector<std::string> alphabet = {"a", "b", "c", "\u00e9", "\u6771", "\U0001F600"};
  auto text = [&](std::size_t n) {
    std::string t;
    for (std::size_t k = 0; k < n; ++k) t += alphabet[rng() % alphabet.size()];
    return t;
  };
  std::vector<std::string> queries;
  for (const std::size_t n : {0, 1, 7, 8, 9, 15, 16, 17, 31, 32, 33, 63, 64, 65, 100}) {
    for (int copies = 0; copies < 3; ++copies) queries.push_back(text(n));
  }
  for (int extra = 0; extra < 40; ++extra) queries.push_back(text(rng() % 20));  // full 8- and 16-bit packs
  std::vector<std::string> choices;
  for (const std::size_t n : {0, 1, 5, 8, 9, 16, 17, 33, 64, 65, 300}) choices.push_back(text(n));
  for (std::size_t i = 0; i < 6; ++i) choices.push_back(queries[i * 7] + text(rng() % 3));  // near copies

  std::vector<BatchKernel> kernels = {BatchKernel::Portable};
  if (batch_kernel_available(BatchKernel::Avx2)) kernels.push_back(BatchKernel::Avx2);
  StringDistanceWorkspace ws;
  for (const BatchKernel kernel : kernels) {
    for (const DistanceCutoff k : {DistanceCutoff{}, DistanceCutoff{0}, DistanceCutoff{2}, DistanceCutoff{40}}) {
      const auto lev = cdist_string_distance_matrix(queries, choices, k, kernel);
      const auto osa = cdist_string_damerau_distance_matrix(queries, choices, k, kernel);
      const auto combined = cdist_string_combined_distance_matrix(queries, choices, k, kernel);
      ASSERT_EQ(lev.rows(), queries.size());
      ASSERT_EQ(lev.cols(), choices.size());
      for (std::size_t i = 0; i < queries.size(); ++i) {
        for (std::size_t j = 0; j < choices.size(); ++j) {
          const std::u32string q = text::decode_utf8(queries[i]), c = text::decode_utf8(choices[j]);
          const std::uint64_t d = k ? bounded_or_successor(ws.levenshtein_with_cutoff(q, c, *k), *k)
                                    : ws.levenshtein(q, c);
          const std::uint64_t dd = k ? bounded_or_successor(ws.damerau_levenshtein_with_cutoff(q, c, *k), *k)
                                     : ws.damerau_levenshtein(q, c);
          ASSERT_EQ(lev.row(i)[j], d) << i << "," << j << " kernel " << int(kernel);
          ASSERT_EQ(osa.row(i)[j], dd) << i << "," << j << " kernel " << int(kernel);
          ASSERT_EQ(combined.row(i)[j], dd);
        }
      }
    }
    for (const ScoreCutoff c : {ScoreCutoff{}, ScoreCutoff{0.5}}) {
      const auto sim = *cdist_string_similarity_matrix(queries, choices, c, kernel);
      const auto dist = *cdist_string_normalized_distance_matrix(queries, choices, c, kernel);
      for (std::size_t i = 0; i < queries.size(); ++i) {
        for (std::size_t j = 0; j < choices.size(); ++j) {
          ASSERT_EQ(sim.row(i)[j], *text_normalized_similarity(queries[i], choices[j], c));
          ASSERT_EQ(dist.row(i)[j], *text_normalized_distance(queries[i], choices[j], c));
        }
      }
    }
  }
}

TEST(CdistStringMatrices, ShapesAndSmallExamples) {
  const std::vector<std::string> abc = {"abc"};
  const std::vector<std::string> abd_abc = {"abd", "abc"};
  EXPECT_EQ(nested(cdist_string_distance_matrix(abc, abd_abc, 0)), (DistanceMatrix{{1, 0}}));
  EXPECT_EQ(nested(cdist_string_distance_matrix(abc, abd_abc, std::nullopt)), (DistanceMatrix{{1, 0}}));
  // Rows follow queries, cells follow choices.
  const std::vector<std::string> queries = {"a", "bb", "ccc"};
  const std::vector<std::string> choices = {"", "bb"};
  EXPECT_EQ(nested(cdist_string_distance_matrix(queries, choices, std::nullopt)),
            (DistanceMatrix{{1, 2}, {2, 0}, {3, 3}}));
  const std::vector<std::string> none;
  const std::vector<std::string> a_b = {"a", "b"};
  EXPECT_EQ(nested(cdist_string_distance_matrix(a_b, none, std::nullopt)), (DistanceMatrix{{}, {}}));
  EXPECT_EQ(nested(cdist_string_distance_matrix(none, a_b, std::nullopt)), DistanceMatrix{});
  // The free combined matrix is the Damerau one: a swap costs 1.
  const std::vector<std::string> ab = {"ab"};
  const std::vector<std::string> ba = {"ba"};
  EXPECT_EQ(nested(cdist_string_combined_distance_matrix(ab, ba, std::nullopt)), (DistanceMatrix{{1}}));
  EXPECT_EQ(nested(cdist_string_distance_matrix(ab, ba, std::nullopt)), (DistanceMatrix{{2}}));
  // The successor of the largest cutoff saturates.
  EXPECT_EQ(nested(cdist_string_distance_matrix(ab, ba, kMax)), (DistanceMatrix{{2}}));
  const std::vector<std::string> abc_xyz = {"abc", "xyz"};
  EXPECT_EQ(nested(cdist_string_similarity_matrix(abc, abc_xyz, 0.5)), (ScoreMatrix{{1.0, 0.0}}));
  EXPECT_EQ(nested(cdist_string_normalized_distance_matrix(abc, abc_xyz, 0.5)), (ScoreMatrix{{0.0, 1.0}}));
}

TEST(CdistStringMatrices, InvalidScoreCutoffFailsOnlyWhenACellIsProduced) {
  const std::vector<std::string> some = {"abc", "x"};
  const std::vector<std::string> none;
  for (const double bad : {1.5, -0.1, std::nan("")}) {
    const auto sim = cdist_string_similarity_matrix(some, some, bad);
    ASSERT_FALSE(sim.has_value());
    EXPECT_EQ(sim.error().message(), "score_cutoff must be between 0.0 and 1.0");
    ASSERT_FALSE(cdist_string_normalized_distance_matrix(some, some, bad).has_value());
    EXPECT_EQ(nested(cdist_string_similarity_matrix(some, none, bad)), (ScoreMatrix{{}, {}}));
    EXPECT_EQ(nested(cdist_string_normalized_distance_matrix(none, some, bad)), ScoreMatrix{});
  }
}

}  // namespace
}  // namespace orvel
