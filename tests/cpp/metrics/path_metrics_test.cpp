#include "metrics/path_metrics.hpp"

#include <gtest/gtest.h>

#include <limits>
#include <random>

#include "core/lattice_distance.hpp"
#include "core/string_distance.hpp"
#include "metrics/lattice_metrics.hpp"
#include "text/utf8.hpp"

namespace orvel {
namespace {

TEST(ValidatePaths, ErrorsNameTheList) {
  struct Case {
    PathList paths;
    const char* message;  // nullptr: valid
  };
  const Case cases[] = {
      {{}, "left_paths must contain at least one path"},
      {{"", "a"}, "left_paths cannot mix empty and non-empty paths"},
      {{"a", ""}, "left_paths cannot mix empty and non-empty paths"},
      {{""}, nullptr},
      {{"", ""}, nullptr},
      {{"a", "bc", "a"}, nullptr},
  };
  for (const Case& c : cases) {
    const auto result = validate_paths(c.paths, kLeftPaths);
    if (c.message == nullptr) {
      EXPECT_TRUE(result.has_value());
    } else {
      ASSERT_FALSE(result.has_value());
      EXPECT_EQ(result.error().message(), c.message);
    }
  }
}

TEST(LatticeFromPaths, EmptyPathsGiveTheOneNodeLattice) {
  const auto lattice = lattice_from_paths({"", ""}, kRightPaths);
  ASSERT_TRUE(lattice.has_value());
  EXPECT_EQ(lattice->node_count(), 1u);
  EXPECT_EQ(lattice->start(), lattice->end());
  EXPECT_EQ(*distance_paths({"", ""}, {"abc"}, std::nullopt), 3u);
}

TEST(PathMetrics, DistancesOverAlternatives) {
  EXPECT_EQ(*distance_paths({"ab"}, {"ab", "b"}, std::nullopt), 0u);
  EXPECT_EQ(*distance_paths({"ka", "ga"}, {"ta"}, std::nullopt), 1u);
  EXPECT_EQ(*distance_paths({"ab"}, {"ba"}, std::nullopt), 2u);
  EXPECT_EQ(*distance_paths({"abc"}, {"xyz"}, 1), 2u);
  EXPECT_EQ(*damerau_distance_paths({"ab"}, {"ba"}, std::nullopt), 1u);
  EXPECT_EQ(*damerau_distance_paths({"abcd"}, {"badc"}, 0), 1u);
  EXPECT_FALSE(*within_distance_paths({"abc"}, {"abd"}, 0));
  EXPECT_TRUE(*within_distance_paths({"abc"}, {"abd"}, 1));
  EXPECT_TRUE(*within_damerau_distance_paths({"ab"}, {"ba"}, 1));
  EXPECT_FALSE(*within_distance_paths({"ab"}, {"ba"}, 1));
}

TEST(PathMetrics, LeftListIsCheckedFirst) {
  EXPECT_EQ(distance_paths({}, {"", "x"}, std::nullopt).error().message(),
            "left_paths must contain at least one path");
  EXPECT_EQ(within_damerau_distance_paths({"a"}, {"", "x"}, 3).error().message(),
            "right_paths cannot mix empty and non-empty paths");
  const PathList none;
  const PathList mixed{"", "x"};
  EXPECT_EQ(normalized_similarity_paths(mixed, none, std::nullopt).error().message(),
            "left_paths cannot mix empty and non-empty paths");
  // A path-list error wins over an invalid cutoff.
  const PathList ok{"a"};
  EXPECT_EQ(normalized_distance_paths(ok, none, 7.0).error().message(),
            "right_paths must contain at least one path");
  EXPECT_EQ(normalized_distance_paths(ok, ok, 7.0).error().message(), "score_cutoff must be between 0.0 and 1.0");
}

TEST(PathMetrics, SimilarityOfPathLists) {
  const PathList empty1{""};
  const PathList empty2{"", ""};
  const PathList a{"a"};
  EXPECT_EQ(*normalized_similarity_paths(empty1, empty1, std::nullopt), 1.0);
  EXPECT_EQ(*normalized_similarity_paths(empty2, a, std::nullopt), 0.0);
  EXPECT_EQ(*normalized_distance_paths(empty2, a, std::nullopt), 1.0);
  const PathList left{"tokyo", "toukyou"};
  const PathList right{"tookyoo", "tokio"};
  EXPECT_DOUBLE_EQ(*normalized_similarity_paths(left, right, std::nullopt), 0.8);
  EXPECT_EQ(*normalized_similarity_paths(left, right, 0.81), 0.0);
  EXPECT_DOUBLE_EQ(*normalized_distance_paths(left, right, std::nullopt), 1.0 - 0.8);
}

// Best pair by a plain loop over every pair, against the kernel.
TEST(MaxNormalizedSimilarity, MatchesEveryPairSearch) {
  std::mt19937 rng(7);
  const std::u32string alphabet = U"abc\u3042";
  auto random_text = [&] {
    std::u32string s(rng() % 5, U'a');
    for (auto& ch : s) ch = alphabet[rng() % alphabet.size()];
    return text::encode_utf8(s);
  };
  for (int round = 0; round < 300; ++round) {
    PathList left(rng() % 4), right(rng() % 4);
    for (auto& p : left) p = random_text();
    for (auto& p : right) p = random_text();
    double expected = 0.0;
    for (const auto& a : left) {
      for (const auto& b : right) {
        const auto x = text::decode_utf8(a), y = text::decode_utf8(b);
        expected = std::max(expected, normalized_similarity_from_distance(levenshtein_str(a, b), x.size(), y.size()));
      }
    }
    EXPECT_EQ(max_normalized_similarity(left, right), expected);
  }
}

TEST(PathMetrics, CellLimitOfTheLatticePair) {
  // A path of n chars gives n + 1 nodes: 3,999 chars on both sides is
  // exactly 16,000,000 cells.
  const std::string a(3999, 'a');
  const std::string b(4000, 'a');
  EXPECT_EQ(*distance_paths({a}, {a}, 0), 0u);
  const auto refused = distance_paths({b}, {a}, std::nullopt);
  ASSERT_FALSE(refused.has_value());
  EXPECT_EQ(refused.error().message(), "distance matrix 4001x4000 exceeds the maximum of 16000000 cells");
  EXPECT_EQ(within_distance_paths({a}, {b}, 5).error().kind, MetricError::Kind::Distance);
}

// The threshold tests as the lattice kernel answers them: both lattices
// built (left first), then its own checks.
std::expected<bool, MetricError> within_by_lattices(const PathList& left, const PathList& right,
                                                    std::uint64_t threshold, bool swaps) {
  auto l = lattice_from_paths(left, kLeftPaths);
  if (!l) return std::unexpected(l.error());
  auto r = lattice_from_paths(right, kRightPaths);
  if (!r) return std::unexpected(r.error());
  const auto answer = swaps ? try_within_damerau_distance(*l, *r, threshold) : try_within_distance(*l, *r, threshold);
  if (!answer) return std::unexpected(MetricError::from(answer.error()));
  return *answer;
}

void expect_same_answer(const PathList& left, const PathList& right, std::uint64_t threshold) {
  for (const bool swaps : {false, true}) {
    const auto want = within_by_lattices(left, right, threshold, swaps);
    const auto got = swaps ? within_damerau_distance_paths(left, right, threshold)
                           : within_distance_paths(left, right, threshold);
    ASSERT_EQ(got.has_value(), want.has_value()) << threshold << " swaps=" << swaps;
    if (want) {
      ASSERT_EQ(*got, *want) << left.front() << " / " << right.front() << " t=" << threshold << " swaps=" << swaps;
    } else {
      ASSERT_EQ(got.error().message(), want.error().message());
    }
  }
}

// Random lists of one to three paths (lengths around the 64-character word,
// two letters or astral characters, swapped neighbours, lists of empty
// paths) answer as the lattice kernel does, for every threshold.
TEST(PathMetrics, ThresholdTestsAnswerAsTheLatticeKernel) {
  std::mt19937_64 rng(14);
  const std::size_t lengths[] = {0, 1, 7, 8, 9, 31, 33, 63, 64, 65, 100};
  auto make_list = [&](const std::string& seed) {
    PathList paths(1 + rng() % 3);
    const std::size_t n = lengths[rng() % std::size(lengths)];
    for (auto& p : paths) {
      if (n == 0) continue;
      p = seed.empty() ? std::string(n, 'a') : seed;
      for (std::size_t e = rng() % 4; e > 0 && !p.empty(); --e) {
        const std::size_t at = rng() % p.size();
        if (rng() % 2 == 0 && at + 1 < p.size()) {
          std::swap(p[at], p[at + 1]);
        } else {
          p[at] = static_cast<char>('a' + rng() % 2);
        }
      }
      if (rng() % 5 == 0) p += "\U0001F600";
    }
    return paths;
  };
  for (int round = 0; round < 300; ++round) {
    std::string seed(lengths[1 + rng() % (std::size(lengths) - 1)], 'a');
    for (auto& ch : seed) ch = static_cast<char>('a' + rng() % 2);
    const PathList left = make_list(seed), right = make_list(round % 3 == 0 ? std::string() : seed);
    for (std::uint64_t t = 0; t <= 12; ++t) expect_same_answer(left, right, t);
    expect_same_answer(left, right, std::numeric_limits<std::uint64_t>::max());
  }
}

// Invalid lists and the cell limit are refused as before, in the same
// order: several paths count their nodes as the lattice of parallel chains.
TEST(PathMetrics, ThresholdTestsKeepTheLatticeErrors) {
  const std::string a(1999, 'a'), b(2000, 'b');
  const PathList cases[][2] = {
      {{}, {"", "x"}},
      {{"a"}, {"", "x"}},
      {{"", "x"}, {}},
      {{a, a}, {b, b, b}},          // 3,998 x 5,998 nodes: refused
      {{a, a}, {a, "b"}},           // 3,998 x 2,000 nodes: answered
      {{std::string(3999, 'a')}, {std::string(3999, 'b'), "c"}},  // 4,000 x 4,000: at the limit
      {{std::string(3999, 'a')}, {std::string(3999, 'b'), "cd"}},  // 4,000 x 4,001: refused
      {{"", ""}, {"", ""}},
  };
  for (const auto& [left, right] : cases) expect_same_answer(left, right, 3);
}

}  // namespace
}  // namespace orvel
