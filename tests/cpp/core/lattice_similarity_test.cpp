#include "core/lattice_similarity.hpp"

#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <string>
#include <vector>

#include "core/string_distance.hpp"
#include "reference.hpp"

namespace orvel {
namespace {

// The plain pairwise loop: every string of one side against every string of
// the other.
double pairwise_best(const Lattice& left, const Lattice& right) {
  const auto a = reference::readings(left);
  const auto b = reference::readings(right);
  double best = 0.0;
  for (const auto& x : a) {
    for (const auto& y : b) {
      best = std::max(best, normalized_similarity_from_distance(reference::levenshtein(x, y), x.size(), y.size()));
    }
  }
  return best;
}

Lattice paths(std::vector<std::string> texts) { return Lattice::from_paths(texts); }

TEST(LatticeSimilarityTest, KnownSets) {
  struct Case {
    std::vector<std::string> left, right;
    double expected;
  };
  const Case cases[] = {
      {{""}, {""}, 1.0},
      {{""}, {"abc"}, 0.0},
      {{"abc"}, {""}, 0.0},
      {{"abc"}, {"abc"}, 1.0},
      {{"kitten"}, {"sitting"}, 1.0 - 3.0 / 7.0},
      // The best pair mixes lengths: "ab" against "abxy" is 0.5, "abcd"
      // against "abxy" 0.5, "abcdefgh" against "abcdefgx" 0.875.
      {{"ab", "abcdefgh"}, {"abxy", "abcdefgx"}, 0.875},
      // Only a short left string reaches the long right one.
      {{"zzzzzzzz", "tokyo"}, {"toukyou"}, 1.0 - 2.0 / 7.0},
      {{"a", "b", "c"}, {"xyz", "c"}, 1.0},
  };
  LatticeSimilarityWorkspace ws;
  for (const Case& c : cases) {
    const Lattice l = paths(c.left);
    const Lattice r = paths(c.right);
    EXPECT_EQ(ws.best_normalized_similarity(l, r), c.expected) << c.left.front() << " / " << c.right.front();
    EXPECT_EQ(ws.best_normalized_similarity(r, l), c.expected) << c.right.front() << " / " << c.left.front();
  }
}

TEST(LatticeSimilarityTest, NoStringsOnOneSideScoresZero) {
  const Lattice unreachable = *Lattice::from_edges(3, 0, 2, {Arc{0, 1, 'a'}});
  EXPECT_EQ(best_normalized_similarity(unreachable, paths({"a"})), 0.0);
  EXPECT_EQ(best_normalized_similarity(paths({""}), unreachable), 0.0);
}

TEST(LatticeSimilarityTest, RandomLatticesAgreeWithThePairwiseLoop) {
  std::mt19937_64 rng(20261210);
  LatticeSimilarityWorkspace ws;
  for (int round = 0; round < 4000; ++round) {
    const Lattice left = reference::random_lattice(rng, round % 4 == 0 ? 3 : 10, round % 5 == 0 ? 2 : 3);
    const Lattice right = reference::random_lattice(rng, round % 3 == 0 ? 4 : 9, 3);
    if (reference::readings(left).size() > 400 || reference::readings(right).size() > 400) continue;
    ASSERT_EQ(ws.best_normalized_similarity(left, right), pairwise_best(left, right)) << "round " << round;
  }
}

TEST(LatticeSimilarityTest, RandomPathListsAgreeWithThePairwiseLoop) {
  std::mt19937_64 rng(7);
  LatticeSimilarityWorkspace ws;
  for (int round = 0; round < 2000; ++round) {
    const auto a = reference::random_paths(rng, round % 3 == 0 ? 1 : 6, round % 2 ? 12 : 5, 3);
    const auto b = reference::random_paths(rng, round % 4 == 0 ? 1 : 5, round % 3 ? 9 : 14, 3);
    const Lattice chains = *Lattice::try_from_symbol_paths(a);
    const Lattice compact = Lattice::from_symbol_paths_compact(b);
    const double expected = pairwise_best(chains, compact);
    ASSERT_EQ(ws.best_normalized_similarity(chains, compact), expected) << "round " << round;
    ASSERT_EQ(ws.best_normalized_similarity(compact, chains), expected) << "round " << round;
  }
}

// The least Levenshtein distance over all pairs of strings, or none when a
// side has no strings.
std::optional<std::uint64_t> pairwise_least(const Lattice& left, const Lattice& right) {
  std::optional<std::uint64_t> least;
  for (const auto& x : reference::readings(left)) {
    for (const auto& y : reference::readings(right)) {
      const std::uint64_t d = reference::levenshtein(x, y);
      if (!least || d < *least) least = d;
    }
  }
  return least;
}

// Groups of reading sets that share their endings, as the spans of a text
// that end at one place do: random beginnings before a few shared tails,
// beside unrelated lattices (dead ends, parallel arcs, no strings), the
// empty string alone and sets that also hold it.
TEST(LatticeSimilarityTest, SetsSharingEndingsAgreeWithThePairwiseLoop) {
  std::mt19937_64 rng(99);
  LatticeSimilarityWorkspace ws;
  LatticeSimilarityWorkspace one_by_one;
  std::vector<LatticeSimilarityWorkspace::SharedSimilarity> out, zero_only, floored;
  int shared_distances = 0;
  int values_left_below_exact = 0;
  int values_left_below_floor = 0;
  int values_at_floor = 0;
  for (int round = 0; round < 600; ++round) {
    const auto tails = reference::random_paths(rng, 3, round % 2 ? 6 : 3, 3);
    std::vector<ReadingLattice> sets;
    const int count = 1 + static_cast<int>(rng() % 7);
    for (int k = 0; k < count; ++k) {
      switch (rng() % 8) {
        case 0:
          sets.push_back(ReadingLattice{reference::random_lattice(rng, 7, 3), false});
          break;
        case 1:
          sets.push_back(ReadingLattice{Lattice::from_paths({""}), false});
          break;
        default: {
          auto heads = reference::random_paths(rng, 4, 5, 3);
          std::vector<SymbolPath> strings;
          for (const auto& head : heads) {
            for (const auto& tail : tails) {
              SymbolPath s(head.begin(), head.begin() + static_cast<std::ptrdiff_t>(rng() % (head.size() + 1)));
              s.insert(s.end(), tail.begin(), tail.end());
              strings.push_back(std::move(s));
            }
          }
          sets.push_back(ReadingLattice{Lattice::from_symbol_paths_compact(strings), rng() % 6 == 0});
        }
      }
    }
    ReadingLattice query{round % 9 == 0 ? reference::random_lattice(rng, 6, 3)
                                        : Lattice::from_symbol_paths_compact(reference::random_paths(rng, 4, 8, 3)),
                         round % 7 == 0};
    if (round % 23 == 0) query = ReadingLattice{Lattice::from_paths({""}), false};
    std::vector<const ReadingLattice*> others;
    for (const auto& set : sets) others.push_back(&set);
    ws.best_similarities_sharing_endings(query, others, out);
    ws.best_similarities_sharing_endings(query, others, zero_only, false);
    // A floor at one of the exact values (ties must stay exact) or between.
    const double floor = round % 3 == 0 ? 0.5 + static_cast<double>(rng() % 50) / 100.0
                                        : one_by_one.best_normalized_similarity(query, sets[rng() % sets.size()]);
    ws.best_similarities_sharing_endings(query, others, floored, true, floor);
    ASSERT_EQ(out.size(), sets.size());
    ASSERT_EQ(zero_only.size(), sets.size());
    for (std::size_t i = 0; i < sets.size(); ++i) {
      ASSERT_EQ(out[i].similarity, one_by_one.best_normalized_similarity(query, sets[i])) << "round " << round;
      if (out[i].least_distance) {
        ++shared_distances;
        ASSERT_EQ(out[i].least_distance, pairwise_least(query.lattice, sets[i].lattice)) << "round " << round;
      }
      // Without the exact values: the same zeros and least distances.
      ASSERT_EQ(zero_only[i].similarity == 0.0, out[i].similarity == 0.0) << "round " << round;
      ASSERT_LE(zero_only[i].similarity, out[i].similarity) << "round " << round;
      ASSERT_EQ(zero_only[i].least_distance, out[i].least_distance) << "round " << round;
      values_left_below_exact += zero_only[i].similarity < out[i].similarity ? 1 : 0;
      // With a floor: exact at or above it, below it never above the exact
      // value; the least distances stay exact.
      if (out[i].similarity >= floor) {
        ASSERT_EQ(floored[i].similarity, out[i].similarity) << "round " << round;
        values_at_floor += out[i].similarity == floor ? 1 : 0;
      } else {
        ASSERT_LE(floored[i].similarity, out[i].similarity) << "round " << round;
        values_left_below_floor += floored[i].similarity < out[i].similarity ? 1 : 0;
      }
      ASSERT_EQ(floored[i].least_distance, out[i].least_distance) << "round " << round;
    }
  }
  EXPECT_GT(shared_distances, 1000);
  EXPECT_GT(values_left_below_exact, 10);
  EXPECT_GT(values_left_below_floor, 10);
  EXPECT_GT(values_at_floor, 100);
}

TEST(LatticeSimilarityTest, LongestStringLength) {
  EXPECT_EQ(longest_string_length(paths({""})), 0u);
  EXPECT_EQ(longest_string_length(paths({"ab", "abcde", "x"})), 5u);
  EXPECT_EQ(longest_string_length(*Lattice::from_edges(3, 0, 2, {Arc{0, 1, 'a'}})), 0u);
  // A long detour that does not reach the end does not count.
  EXPECT_EQ(longest_string_length(*Lattice::from_edges(5, 0, 2, {Arc{0, 2, 'a'}, Arc{0, 1, 'b'}, Arc{1, 3, 'c'},
                                                                 Arc{3, 4, 'd'}})),
            1u);
}

TEST(LatticeSimilarityTest, StringLengths) {
  EXPECT_EQ(string_lengths(paths({""}))->longest, 0u);
  const auto lengths = string_lengths(paths({"ab", "abcde", "x"}));
  ASSERT_TRUE(lengths.has_value());
  EXPECT_EQ(lengths->shortest, 1u);
  EXPECT_EQ(lengths->longest, 5u);
  EXPECT_FALSE(string_lengths(*Lattice::from_edges(3, 0, 2, {Arc{0, 1, 'a'}})).has_value());
  const auto detour = string_lengths(*Lattice::from_edges(
      5, 0, 2, {Arc{0, 2, 'a'}, Arc{0, 1, 'b'}, Arc{1, 2, 'c'}, Arc{1, 3, 'c'}, Arc{3, 4, 'd'}}));
  ASSERT_TRUE(detour.has_value());
  EXPECT_EQ(detour->shortest, 1u);
  EXPECT_EQ(detour->longest, 2u);
}

// The bounds from string lengths hold for every pair of strings of two
// random sets, and are met where the sets allow: a string that is a prefix
// of the other scores exactly the bound.
TEST(LatticeSimilarityTest, LengthBoundsHoldForEveryPair) {
  std::mt19937_64 rng(1211);
  int met = 0;
  for (int round = 0; round < 3000; ++round) {
    const Lattice left = reference::random_lattice(rng, round % 4 == 0 ? 3 : 8, round % 5 == 0 ? 1 : 2);
    const Lattice right = reference::random_lattice(rng, round % 3 == 0 ? 12 : 6, 2);
    const auto a = reference::readings(left);
    const auto b = reference::readings(right);
    const auto la = string_lengths(left);
    const auto lb = string_lengths(right);
    ASSERT_EQ(la.has_value(), !a.empty());
    ASSERT_EQ(lb.has_value(), !b.empty());
    if (a.empty() || b.empty() || a.size() > 300 || b.size() > 300) continue;
    const double bound = similarity_bound(*la, *lb);
    const std::uint64_t gap = length_gap(*la, *lb);
    ASSERT_EQ(bound, similarity_bound(*lb, *la));
    ASSERT_EQ(gap, length_gap(*lb, *la));
    for (const auto& x : a) {
      if (x.empty()) continue;
      for (const auto& y : b) {
        if (y.empty()) continue;
        const std::uint64_t d = reference::levenshtein(x, y);
        const double s = normalized_similarity_from_distance(d, x.size(), y.size());
        ASSERT_GE(d, gap) << "round " << round;
        ASSERT_LE(s, bound) << "round " << round;
        met += s == bound ? 1 : 0;
      }
    }
  }
  EXPECT_GT(met, 100);
}

}  // namespace
}  // namespace orvel
