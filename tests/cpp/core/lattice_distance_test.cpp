#include "core/lattice_distance.hpp"

#include <gtest/gtest.h>

#include <limits>
#include <random>
#include <string>
#include <vector>

#include "reference.hpp"

namespace orvel {
namespace {

constexpr std::uint64_t kMax = std::numeric_limits<std::uint64_t>::max();

Lattice paths(std::vector<std::string> texts) { return Lattice::from_paths(texts); }

// A lattice of `nodes` nodes with no arcs at all.
Lattice bare(std::uint64_t nodes) { return *Lattice::from_edges(nodes, 0, nodes - 1, {}); }

// Every form of both models for one pair, checked against the expected
// exact distances.
void expect_all_forms(const Lattice& left, const Lattice& right, std::uint64_t levenshtein, std::uint64_t damerau,
                      const std::string& label) {
  DistanceWorkspace ws;
  EXPECT_EQ(*ws.try_distance(left, right), levenshtein) << label;
  EXPECT_EQ(*ws.try_damerau_distance(left, right), damerau) << label;
  const std::uint64_t top = std::max(levenshtein, damerau) + 2;
  for (std::uint64_t k = 0; k <= top; ++k) {
    const auto lev = *ws.try_distance_with_cutoff(left, right, k);
    const auto dam = *ws.try_damerau_distance_with_cutoff(left, right, k);
    EXPECT_EQ(lev, levenshtein <= k ? std::optional(levenshtein) : std::nullopt) << label << " k=" << k;
    EXPECT_EQ(dam, damerau <= k ? std::optional(damerau) : std::nullopt) << label << " k=" << k;
    EXPECT_EQ(*ws.try_within_distance(left, right, k), levenshtein <= k) << label << " k=" << k;
    EXPECT_EQ(*ws.try_within_damerau_distance(left, right, k), damerau <= k) << label << " k=" << k;
    EXPECT_EQ(*try_within_distance(left, right, k), levenshtein <= k) << label << " k=" << k;
    EXPECT_EQ(*try_within_damerau_distance(left, right, k), damerau <= k) << label << " k=" << k;
  }
}

TEST(LatticeDistanceTest, KnownPairs) {
  struct Case {
    std::vector<std::string> left, right;
    std::uint64_t levenshtein, damerau;
  };
  const Case cases[] = {
      {{""}, {""}, 0, 0},
      {{""}, {"abc"}, 3, 3},
      {{"abc"}, {""}, 3, 3},
      {{"ab"}, {"ba"}, 2, 1},
      // No edit inside a swapped pair.
      {{"abc"}, {"ca"}, 3, 3},
      {{"ka", "ga"}, {"ga"}, 0, 0},
      {{"ka", "ga"}, {"ta"}, 1, 1},
      {{"kitten"}, {"sitting"}, 3, 3},
      {{"abcd"}, {"badc"}, 3, 2},
      {{"xyz", "abcd"}, {"acbd", "zzzzzz"}, 2, 1},
  };
  for (const auto& c : cases) {
    expect_all_forms(paths(c.left), paths(c.right), c.levenshtein, c.damerau, c.left[0] + "/" + c.right[0]);
  }
}

TEST(LatticeDistanceTest, ParallelArcsAreAlternatives) {
  const Lattice either = *Lattice::from_edges(2, 0, 1, {{0, 1, 'a'}, {0, 1, 'b'}});
  expect_all_forms(either, paths({"a"}), 0, 0, "a|b vs a");
  expect_all_forms(either, paths({"b"}), 0, 0, "a|b vs b");
  expect_all_forms(either, paths({"c"}), 1, 1, "a|b vs c");
}

TEST(LatticeDistanceTest, StartEqualToEndNeedsNoMove) {
  // The start is the end: every form answers 0, whatever arcs lie around.
  const Lattice inner = *Lattice::from_edges(4, 2, 2, {{0, 2, 'a'}, {2, 3, 'b'}});
  expect_all_forms(inner, paths({""}), 0, 0, "inner vs one node");
  expect_all_forms(inner, inner, 0, 0, "inner vs inner");
  // Against a lattice with readings, only those readings count.
  expect_all_forms(inner, paths({"ab"}), 2, 2, "inner vs ab");
}

TEST(LatticeDistanceTest, UnreachableEnd) {
  // Arcs exist but none leads from start to end.
  const Lattice broken = *Lattice::from_edges(4, 0, 3, {{0, 1, 'a'}, {2, 3, 'b'}});
  const Lattice ab = paths({"ab"});
  DistanceWorkspace ws;
  for (const auto& [left, right] : {std::pair{&broken, &ab}, std::pair{&ab, &broken}}) {
    EXPECT_EQ(*ws.try_distance(*left, *right), UNREACHED_COST);
    EXPECT_EQ(*ws.try_damerau_distance(*left, *right), UNREACHED_COST);
    for (std::uint64_t k : {std::uint64_t{0}, std::uint64_t{100}, UNREACHED_COST - 1}) {
      EXPECT_EQ(*ws.try_distance_with_cutoff(*left, *right, k), std::nullopt) << k;
      EXPECT_EQ(*ws.try_damerau_distance_with_cutoff(*left, *right, k), std::nullopt) << k;
    }
    for (std::uint64_t k : {UNREACHED_COST, kMax}) {
      EXPECT_EQ(*ws.try_distance_with_cutoff(*left, *right, k), std::optional(UNREACHED_COST)) << k;
      EXPECT_EQ(*ws.try_damerau_distance_with_cutoff(*left, *right, k), std::optional(UNREACHED_COST)) << k;
    }
    for (std::uint64_t k : {std::uint64_t{0}, UNREACHED_COST, kMax}) {
      EXPECT_FALSE(*try_within_distance(*left, *right, k));
      EXPECT_FALSE(*try_within_damerau_distance(*left, *right, k));
    }
  }
}

TEST(LatticeDistanceTest, HugeCutoffsDoNotOverflow) {
  DistanceWorkspace ws;
  const Lattice left = paths({"abcdef", "xy"});
  const Lattice right = paths({"fedcba"});
  EXPECT_EQ(*ws.try_distance_with_cutoff(left, right, kMax), std::optional<std::uint64_t>(6));
  EXPECT_EQ(*ws.try_damerau_distance_with_cutoff(left, right, kMax), std::optional<std::uint64_t>(5));
  EXPECT_TRUE(*try_within_distance(left, right, kMax));
}

TEST(LatticeDistanceTest, CellLimitIsCheckedFirst) {
  const DistanceError too_big{.left_nodes = 4001, .right_nodes = 4000, .max_cells = 16'000'000};
  EXPECT_EQ(too_big.message(), "distance matrix 4001x4000 exceeds the maximum of 16000000 cells");

  DistanceWorkspace ws;
  // Exactly the limit is accepted; the bare lattices' ends are unreachable.
  EXPECT_EQ(*ws.try_distance(bare(4000), bare(4000)), UNREACHED_COST);
  EXPECT_FALSE(*ws.try_within_distance(bare(4000), bare(4000), 5));

  // Oversized pairs are refused by every form, also when the answer would
  // be obvious (two identical lattices).
  const Lattice big = bare(4001);
  const Lattice four_k = bare(4000);
  const Lattice wide = bare(16'001);
  const Lattice thousand = paths({std::string(999, 'a')});
  struct Case {
    const Lattice* left;
    const Lattice* right;
  };
  for (const auto& [left, right] :
       {Case{&big, &four_k}, Case{&four_k, &big}, Case{&wide, &thousand}, Case{&big, &big}}) {
    const DistanceError expected{.left_nodes = left->node_count(), .right_nodes = right->node_count()};
    EXPECT_EQ(ws.try_distance(*left, *right).error(), expected);
    EXPECT_EQ(ws.try_damerau_distance(*left, *right).error(), expected);
    EXPECT_EQ(ws.try_distance_with_cutoff(*left, *right, 3).error(), expected);
    EXPECT_EQ(ws.try_damerau_distance_with_cutoff(*left, *right, 3).error(), expected);
    EXPECT_EQ(ws.try_within_distance(*left, *right, 3).error(), expected);
    EXPECT_EQ(try_within_distance(*left, *right, 3).error(), expected);
    EXPECT_EQ(try_within_damerau_distance(*left, *right, 3).error(), expected);
  }
}

TEST(LatticeDistanceTest, CellCountOverflowIsRefused) {
  struct Case {
    std::uint64_t left, right;
    bool accepted;
  };
  const Case cases[] = {
      {16'000'000, 1, true},
      {1, 16'000'000, true},
      {16'000'001, 1, false},
      {std::uint64_t{1} << 32, std::uint64_t{1} << 32, false},  // wraps to 0
      {(std::uint64_t{1} << 63) + 1, 2, false},                 // wraps to 2
      {kMax, kMax, false},                                      // wraps to 1
  };
  for (const auto& c : cases) {
    const auto result = check_distance_cells(c.left, c.right);
    EXPECT_EQ(result.has_value(), c.accepted) << c.left << "x" << c.right;
    if (!result) {
      EXPECT_EQ(result.error(), (DistanceError{.left_nodes = c.left, .right_nodes = c.right}));
      EXPECT_EQ(result.error().max_cells, 16'000'000u);
    }
  }
}

TEST(LatticeDistanceTest, WorkspaceReuseAcrossSizes) {
  // A workspace that served a large pair gives the same answers for small
  // ones, and the other way round, in any order of forms.
  std::mt19937_64 rng(7);
  DistanceWorkspace shared;
  for (int round = 0; round < 200; ++round) {
    const Lattice left = reference::random_lattice(rng, round % 2 ? 12 : 3, 3);
    const Lattice right = reference::random_lattice(rng, round % 3 ? 9 : 2, 3);
    DistanceWorkspace fresh;
    const std::uint64_t d = *fresh.try_distance(left, right);
    const std::uint64_t k = round % 4;
    EXPECT_EQ(*shared.try_distance_with_cutoff(left, right, k), d <= k ? std::optional(d) : std::nullopt);
    EXPECT_EQ(*shared.try_distance(left, right), d);
    EXPECT_EQ(*shared.try_within_distance(left, right, k), d <= k);
  }
}

// The lattice distance is the smallest string distance over all pairs of
// readings; every cutoff form and test agrees with the exact form.
TEST(LatticeDistanceTest, MatchesBruteForceOverReadings) {
  std::mt19937_64 rng(20240611);
  DistanceWorkspace ws;
  int reachable = 0;
  for (int round = 0; round < 600; ++round) {
    const Lattice left = round % 2 ? reference::random_lattice(rng, 7, 3)
                                   : *Lattice::try_from_symbol_paths(reference::random_paths(rng, 3, 4, 3));
    const Lattice right = round % 3 ? reference::random_lattice(rng, 6, 3)
                                    : *Lattice::try_from_symbol_paths(reference::random_paths(rng, 3, 5, 3));
    const auto left_readings = reference::readings(left);
    const auto right_readings = reference::readings(right);
    std::uint64_t lev = UNREACHED_COST, dam = UNREACHED_COST;
    for (const auto& a : left_readings) {
      for (const auto& b : right_readings) {
        lev = std::min(lev, reference::levenshtein(a, b));
        dam = std::min(dam, reference::osa(a, b));
      }
    }
    reachable += lev != UNREACHED_COST;
    ASSERT_EQ(*ws.try_distance(left, right), lev) << "round " << round;
    ASSERT_EQ(*ws.try_damerau_distance(left, right), dam) << "round " << round;
    const std::uint64_t top = lev == UNREACHED_COST ? 8 : lev + 1;
    for (std::uint64_t k = 0; k <= top; ++k) {
      ASSERT_EQ(*ws.try_distance_with_cutoff(left, right, k), lev <= k ? std::optional(lev) : std::nullopt)
          << "round " << round << " k=" << k;
      ASSERT_EQ(*ws.try_damerau_distance_with_cutoff(left, right, k), dam <= k ? std::optional(dam) : std::nullopt)
          << "round " << round << " k=" << k;
      ASSERT_EQ(*ws.try_within_distance(left, right, k), lev <= k) << "round " << round << " k=" << k;
      ASSERT_EQ(*ws.try_within_damerau_distance(left, right, k), dam <= k) << "round " << round << " k=" << k;
    }
  }
  // Most pairs must have readings on both sides, or the comparison is idle.
  EXPECT_GT(reachable, 300);
}

// Larger reading-like lattices (chains and compact lattices of path lists
// that share syllables) against the plain programme, and every form against
// each other around the exact value.
TEST(LatticeDistanceTest, MatchesPlainProgrammeOnLargerLattices) {
  std::mt19937_64 rng(5150);
  const std::vector<std::string> syllables = {"ka", "shi", "si", "tsu", "tu", "n", "nn", "ji", "zi", "a", "o", "kyo"};
  auto path_list = [&] {
    std::vector<std::string> paths(1 + rng() % 6);
    const std::size_t length = 1 + rng() % 8;
    for (std::size_t s = 0; s < length; ++s) {
      const std::size_t base = rng() % syllables.size();
      for (auto& p : paths) p += syllables[(base + (rng() % 3 == 0 ? rng() % 3 : 0)) % syllables.size()];
    }
    return paths;
  };
  auto lattice_of = [&](const std::vector<std::string>& paths) {
    if (rng() % 2) return Lattice::from_paths(paths);
    std::vector<SymbolPath> symbols;
    for (const auto& p : paths) symbols.emplace_back(p.begin(), p.end());
    return Lattice::from_symbol_paths_compact(symbols);
  };
  DistanceWorkspace ws;
  for (int round = 0; round < 150; ++round) {
    const Lattice left = lattice_of(path_list());
    const Lattice right = lattice_of(path_list());
    const std::uint64_t lev = reference::lattice_distance(left, right, false);
    const std::uint64_t dam = reference::lattice_distance(left, right, true);
    ASSERT_EQ(*ws.try_distance(left, right), lev) << "round " << round;
    ASSERT_EQ(*ws.try_damerau_distance(left, right), dam) << "round " << round;
    for (std::uint64_t k : {lev - std::min<std::uint64_t>(lev, 1), lev, lev + 1, dam > 0 ? dam - 1 : 0, dam}) {
      ASSERT_EQ(*ws.try_distance_with_cutoff(left, right, k), lev <= k ? std::optional(lev) : std::nullopt);
      ASSERT_EQ(*ws.try_damerau_distance_with_cutoff(left, right, k), dam <= k ? std::optional(dam) : std::nullopt);
      ASSERT_EQ(*ws.try_within_distance(left, right, k), lev <= k);
      ASSERT_EQ(*ws.try_within_damerau_distance(left, right, k), dam <= k);
    }
  }
}

// The plain programme itself on hand-made lattices with odd endpoints:
// arcs into the start and out of the end, unreachable nodes.
TEST(LatticeDistanceTest, MatchesPlainProgrammeOnRandomGraphs) {
  std::mt19937_64 rng(77);
  DistanceWorkspace ws;
  for (int round = 0; round < 500; ++round) {
    const Lattice left = reference::random_lattice(rng, 14, 3);
    const Lattice right = reference::random_lattice(rng, 14, 3);
    ASSERT_EQ(*ws.try_distance(left, right), reference::lattice_distance(left, right, false)) << round;
    ASSERT_EQ(*ws.try_damerau_distance(left, right), reference::lattice_distance(left, right, true)) << round;
  }
}

}  // namespace
}  // namespace orvel
