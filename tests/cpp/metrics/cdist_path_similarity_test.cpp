#include "metrics/cdist_path_similarity.hpp"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "metrics/path_metrics.hpp"

namespace orvel {
namespace {

// Paths over a few ASCII and non-ASCII characters, with shared prefixes,
// repeats, the empty path and lengths around the 64-character word size.
std::vector<std::string> random_paths(std::mt19937& rng) {
  const std::vector<std::string> alphabet = {"a", "b", "k", "o", "u", "é", "東"};
  std::uniform_int_distribution<int> count(0, 12);
  std::uniform_int_distribution<int> length_kind(0, 9);
  std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
  std::vector<std::string> out;
  for (int n = count(rng); n > 0; --n) {
    const int kind = length_kind(rng);
    const std::size_t length = kind == 0 ? 0 : kind == 1 ? 60 + rng() % 10 : rng() % 12;
    std::string p = !out.empty() && rng() % 3 == 0 ? out[rng() % out.size()].substr(0, rng() % 6) : "";
    while (text::count_scalars(p) < length) p += alphabet[pick(rng)];
    out.push_back(p);
  }
  return out;
}

TEST(BestPathSimilarity, EqualsThePairwiseMaximum) {
  std::mt19937 rng(99);
  PathSimilarityWorkspace ws;
  for (int round = 0; round < 3000; ++round) {
    const std::vector<std::string> a = random_paths(rng);
    const std::vector<std::string> b = random_paths(rng);
    const double expected = max_normalized_similarity(a, b);
    EXPECT_EQ(best_path_similarity(PreparedPathSet(a), PreparedPathSet(b), ws), expected) << round;
    EXPECT_EQ(best_path_similarity(PreparedPathSet(b), PreparedPathSet(a), ws), expected) << round;
  }
}

TEST(BestPathSimilarity, SmallCases) {
  PathSimilarityWorkspace ws;
  const auto best = [&](std::vector<std::string> a, std::vector<std::string> b) {
    return best_path_similarity(PreparedPathSet(a), PreparedPathSet(b), ws);
  };
  EXPECT_EQ(best({}, {"a"}), 0.0);
  EXPECT_EQ(best({""}, {""}), 1.0);
  EXPECT_EQ(best({"", ""}, {"a"}), 0.0);
  EXPECT_EQ(best({"toukyou", "tokyo"}, {"tokyou"}), 1.0 - 1.0 / 7.0);
  EXPECT_EQ(best({"kyouto", "kei"}, {"zzz", "kyouto"}), 1.0);
  // 64 and 65 characters: the last word bit, and the plain fallback.
  const std::string x64(64, 'x');
  EXPECT_EQ(best({x64}, {x64 + "y"}), 1.0 - 1.0 / 65.0);
  EXPECT_EQ(best({x64 + "y"}, {x64 + "yz"}), 1.0 - 1.0 / 66.0);
}

}  // namespace
}  // namespace orvel
