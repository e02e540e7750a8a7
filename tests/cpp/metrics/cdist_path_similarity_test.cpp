#include "metrics/cdist_path_similarity.hpp"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "metrics/path_metrics.hpp"
#include "text/utf8.hpp"

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

// Random sets of a given shape: their size, path lengths and alphabet, and
// how often a path copies the start of an earlier one (deep shared prefixes
// give large trie subtrees).
struct SetShape {
  const char* name;
  std::vector<std::string> alphabet;
  int max_count;
  std::size_t max_length;
  int rounds;
};

std::vector<std::string> random_set(std::mt19937& rng, const SetShape& shape) {
  std::vector<std::string> out;
  const int count = static_cast<int>(rng() % static_cast<unsigned>(shape.max_count + 1));
  for (int n = 0; n < count; ++n) {
    // Mostly short paths, some up to the longest, a few empty.
    const std::size_t length = rng() % 16 == 0 ? 0 : rng() % 4 == 0 ? rng() % (shape.max_length + 1) : rng() % 24;
    std::string p;
    if (!out.empty() && rng() % 2 == 0) {
      const std::string& earlier = out[rng() % out.size()];
      std::size_t keep = rng() % (text::count_scalars(earlier) + 1);
      for (std::size_t i = 0; i < earlier.size() && keep > 0; ++i) {
        p += earlier[i];
        if (i + 1 == earlier.size() || (static_cast<unsigned char>(earlier[i + 1]) & 0xC0) != 0x80) --keep;
      }
    }
    while (text::count_scalars(p) < length) p += shape.alphabet[rng() % shape.alphabet.size()];
    out.push_back(p);
  }
  return out;
}

TEST(BestPathSimilarity, EqualsThePairwiseMaximumOnManyShapes) {
  const std::vector<SetShape> shapes = {
      // Two letters: many pairs tie for the best value.
      {"binary", {"a", "b"}, 40, 40, 400},
      // Sets of a few hundred paths: several words of patterns, several
      // walks, subtrees big enough to be bounded.
      {"large romaji", {"a", "i", "u", "e", "o", "k", "s", "t", "n", "y"}, 400, 30, 60},
      // Past the 64-character word, up to 100 characters.
      {"long", {"a", "b", "c"}, 30, 100, 300},
      // Non-ASCII only, more distinct characters than one word has rows.
      {"wide",
       {"東", "京", "大", "阪", "日", "本", "é", "ü", "ß", "ñ", "あ", "い", "う", "え", "お", "か", "き",
        "く", "け", "こ", "さ", "し", "す", "せ", "そ", "た", "ち", "つ", "て", "と", "な", "に", "ぬ",
        "ね", "の", "は", "ひ", "ふ", "へ", "ほ", "ま", "み", "む", "め", "も", "や", "ゆ", "よ", "ら",
        "り", "る", "れ", "ろ", "わ", "を", "ん", "ア", "イ", "ウ", "エ", "オ", "カ", "キ", "ク", "ケ",
        "コ", "サ", "シ", "ス", "セ", "ソ", "タ", "チ"},
       60, 80, 200},
      // Mixed ASCII and non-ASCII with tiny sets, empty sets included.
      {"tiny", {"a", "é", "東"}, 4, 10, 2000},
  };
  PathSimilarityWorkspace ws;
  std::mt19937 rng(2024);
  for (const SetShape& shape : shapes) {
    for (int round = 0; round < shape.rounds; ++round) {
      const std::vector<std::string> a = random_set(rng, shape);
      const std::vector<std::string> b = random_set(rng, shape);
      const double expected = max_normalized_similarity(a, b);
      const PreparedPathSet pa(a);
      const PreparedPathSet pb(b);
      EXPECT_EQ(best_path_similarity(pa, pb, ws), expected) << shape.name << " " << round;
      EXPECT_EQ(best_path_similarity(pb, pa, ws), expected) << shape.name << " " << round;
    }
  }
}

// A few patterns against a large set of paths that are all much longer, as
// a short query against the readings of a long text span: the best value is
// low and most of the set has to be ruled out.
TEST(BestPathSimilarity, ShortPatternsAgainstManyLongPaths) {
  std::mt19937 rng(7);
  PathSimilarityWorkspace ws;
  const std::vector<std::string> syllables = {"to", "u", "kyo", "de", "su", "ka", "n", "ji", "sha", "o"};
  for (int round = 0; round < 20; ++round) {
    std::vector<std::string> queries;
    for (int q = 0; q < 30; ++q) {
      std::string p;
      for (int k = 2 + static_cast<int>(rng() % 5); k > 0; --k) p += syllables[rng() % syllables.size()];
      queries.push_back(p);
    }
    std::vector<std::string> readings;
    for (int r = 0; r < 2000; ++r) {
      std::string p;
      for (int k = 8 + static_cast<int>(rng() % 6); k > 0; --k) p += syllables[rng() % syllables.size()];
      readings.push_back(p);
    }
    const double expected = max_normalized_similarity(queries, readings);
    EXPECT_EQ(best_path_similarity(PreparedPathSet(queries), PreparedPathSet(readings), ws), expected) << round;
  }
}

// The best pair sits in a large subtree (all paths after "b") reached after
// a nearly as good pair was found: the subtree's bound equals the value of
// its best pair exactly, so it must still be searched.
TEST(BestPathSimilarity, SearchesASubtreeWhoseBoundIsTight) {
  PathSimilarityWorkspace ws;
  const std::string a19(19, 'a');
  const std::vector<std::string> patterns = {a19 + "a"};
  std::vector<std::string> paths = {std::string(18, 'a'), "b" + a19};
  for (const char second : {'c', 'd', 'e', 'f', 'g'}) paths.push_back("b" + std::string(19, second));
  const double expected = 1.0 - 1.0 / 20.0;
  ASSERT_EQ(max_normalized_similarity(patterns, paths), expected);
  EXPECT_EQ(best_path_similarity(PreparedPathSet(patterns), PreparedPathSet(paths), ws), expected);
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
  // Patterns that fill a word exactly, and one more that starts the next.
  const std::string x16(16, 'x');
  EXPECT_EQ(best({x16 + "a", x16 + "b", x16 + "c", x16 + "d", "xxy"}, {x16 + "e", x16 + "ef", "zzzz", "z", "y"}),
            1.0 - 1.0 / 17.0);
  // Only empty paths on one side: nothing but another empty path scores.
  EXPECT_EQ(best({""}, {"a", "b", "ab"}), 0.0);
  EXPECT_EQ(best({"", ""}, {"", "a"}), 1.0);
}

}  // namespace
}  // namespace orvel
