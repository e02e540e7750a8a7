#include "core/lattice_similarity.hpp"

#include <gtest/gtest.h>

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

TEST(LatticeSimilarityTest, LongestStringLength) {
  EXPECT_EQ(longest_string_length(paths({""})), 0u);
  EXPECT_EQ(longest_string_length(paths({"ab", "abcde", "x"})), 5u);
  EXPECT_EQ(longest_string_length(*Lattice::from_edges(3, 0, 2, {Arc{0, 1, 'a'}})), 0u);
  // A long detour that does not reach the end does not count.
  EXPECT_EQ(longest_string_length(*Lattice::from_edges(5, 0, 2, {Arc{0, 2, 'a'}, Arc{0, 1, 'b'}, Arc{1, 3, 'c'},
                                                                 Arc{3, 4, 'd'}})),
            1u);
}

}  // namespace
}  // namespace orvel
