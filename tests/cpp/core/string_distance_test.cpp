#include "core/string_distance.hpp"

#include "core/few_edits.hpp"

#include <gtest/gtest.h>

#include <limits>
#include <random>
#include <string>

#include "reference.hpp"
#include "text/utf8.hpp"

namespace orvel {
namespace {

constexpr std::uint64_t kMax = std::numeric_limits<std::uint64_t>::max();

reference::Seq seq(std::u32string_view s) { return {s.begin(), s.end()}; }

TEST(TrimCommonAffixesTest, Cases) {
  struct Case {
    std::u32string a, b, a_mid, b_mid;
  };
  const Case cases[] = {
      {U"", U"", U"", U""},
      {U"abc", U"abc", U"", U""},
      {U"flaw", U"lawn", U"flaw", U"lawn"},
      {U"abcdef", U"abXdef", U"c", U"X"},
      // The prefix takes "aa"; the suffix never reaches into it.
      {U"aaa", U"aa", U"a", U""},
      {U"abab", U"ab", U"ab", U""},
      {U"xabcx", U"xbx", U"abc", U"b"},
  };
  for (const auto& c : cases) {
    const auto [a_mid, b_mid] = trim_common_affixes(c.a, c.b);
    EXPECT_EQ(std::u32string(a_mid), c.a_mid);
    EXPECT_EQ(std::u32string(b_mid), c.b_mid);
  }
}

TEST(StringDistanceTest, KnownPairs) {
  struct Case {
    std::string a, b;
    std::uint64_t levenshtein, damerau;
  };
  const Case cases[] = {
      {"", "", 0, 0},
      {"", "abc", 3, 3},
      {"abc", "", 3, 3},
      {"abc", "abc", 0, 0},
      {"flaw", "lawn", 2, 2},
      {"abcdef", "abXdef", 1, 1},
      {"aaa", "aa", 1, 1},
      {"ab", "ba", 2, 1},
      {"abc", "ca", 3, 3},
      {"kitten", "sitting", 3, 3},
      // Scalar values, not bytes: é is one symbol, e + U+0301 two.
      {"\u00e9", "e", 1, 1},
      {"e\u0301", "\u00e9", 2, 2},
      {"\u304b\u306a", "\u306a\u304b", 2, 1},
  };
  StringDistanceWorkspace ws;
  for (const auto& c : cases) {
    const std::u32string a = text::decode_utf8(c.a), b = text::decode_utf8(c.b);
    EXPECT_EQ(ws.levenshtein(a, b), c.levenshtein) << c.a << "/" << c.b;
    EXPECT_EQ(ws.damerau_levenshtein(a, b), c.damerau) << c.a << "/" << c.b;
    EXPECT_EQ(levenshtein_str(c.a, c.b), c.levenshtein);
    EXPECT_EQ(*try_damerau_levenshtein_str(c.a, c.b), c.damerau);
    for (std::uint64_t k = 0; k <= c.levenshtein + 1; ++k) {
      const auto lev = c.levenshtein <= k ? std::optional(c.levenshtein) : std::nullopt;
      const auto dam = c.damerau <= k ? std::optional(c.damerau) : std::nullopt;
      EXPECT_EQ(ws.levenshtein_with_cutoff(a, b, k), lev) << c.a << "/" << c.b << " k=" << k;
      EXPECT_EQ(ws.damerau_levenshtein_with_cutoff(a, b, k), dam) << c.a << "/" << c.b << " k=" << k;
      EXPECT_EQ(levenshtein_str_with_cutoff(c.a, c.b, k), lev);
      EXPECT_EQ(*try_damerau_levenshtein_str_with_cutoff(c.a, c.b, k), dam);
    }
    EXPECT_EQ(ws.levenshtein_with_cutoff(a, b, kMax), std::optional(c.levenshtein));
    EXPECT_EQ(ws.damerau_levenshtein_with_cutoff(a, b, kMax), std::optional(c.damerau));
  }
}

TEST(StringDistanceTest, MalformedUtf8TextsDoNotReadPastTheirEnd) {
  EXPECT_EQ(levenshtein_str("\xE3\x81", "\xE3\x81"), 0u);
  EXPECT_EQ(levenshtein_str("a\xF0", "a"), 1u);
  // Both broken bytes are U+FFFD.
  EXPECT_EQ(*try_damerau_levenshtein_str("\x80", "\xC3"), 0u);
  EXPECT_EQ(*try_damerau_levenshtein_str("\x80", "\xC3z"), 1u);
  EXPECT_EQ(levenshtein_str_with_cutoff("\xF0\x9F", "", 5), std::optional<std::uint64_t>(1));
}

TEST(StringDistanceTest, CutoffGivesUpOnLengthDifference) {
  StringDistanceWorkspace ws;
  EXPECT_EQ(ws.levenshtein_with_cutoff(U"abc", U"abcdef", 2), std::nullopt);
  EXPECT_EQ(ws.levenshtein_with_cutoff(U"abc", U"abcdef", 3), std::optional<std::uint64_t>(3));
  EXPECT_EQ(ws.damerau_levenshtein_with_cutoff(U"", U"ab", 1), std::nullopt);
  EXPECT_EQ(ws.damerau_levenshtein_with_cutoff(U"", U"ab", 2), std::optional<std::uint64_t>(2));
}

// Random pairs over small alphabets (many shared affixes and swaps), of
// lengths around the 64-character word boundary of the bit-parallel
// kernels, against the full-table references, through one shared workspace.
TEST(StringDistanceTest, MatchesReferenceOnRandomPairs) {
  std::mt19937_64 rng(31337);
  StringDistanceWorkspace ws;
  const std::size_t max_lengths[] = {6, 20, 70, 140};
  for (int round = 0; round < 1200; ++round) {
    const std::size_t max_len = max_lengths[round % 4];
    const std::uint32_t alphabet = 2 + round % 5;
    auto make = [&] {
      std::u32string s(std::uniform_int_distribution<std::size_t>(0, max_len)(rng), U'a');
      for (auto& ch : s) ch = U'a' + std::uniform_int_distribution<std::uint32_t>(0, alphabet - 1)(rng);
      // Sometimes a character far outside ASCII.
      if (!s.empty() && round % 7 == 0) s[s.size() / 2] = U'\U0001F600';
      return s;
    };
    std::u32string a = make(), b = make();
    if (round % 3 == 0) b = a.substr(0, a.size() / 3) + b + a.substr(a.size() / 2);  // shared affixes
    const std::uint64_t lev = reference::levenshtein(seq(a), seq(b));
    const std::uint64_t dam = reference::osa(seq(a), seq(b));
    ASSERT_EQ(ws.levenshtein(a, b), lev) << "round " << round;
    ASSERT_EQ(ws.damerau_levenshtein(a, b), dam) << "round " << round;
    for (std::uint64_t k : {std::uint64_t{0}, lev / 2, lev > 0 ? lev - 1 : 0, lev, lev + 1, dam, kMax}) {
      ASSERT_EQ(ws.levenshtein_with_cutoff(a, b, k), lev <= k ? std::optional(lev) : std::nullopt)
          << "round " << round << " k=" << k;
      ASSERT_EQ(ws.damerau_levenshtein_with_cutoff(a, b, k), dam <= k ? std::optional(dam) : std::nullopt)
          << "round " << round << " k=" << k;
    }
  }
}

// Lengths on both sides of each 64-character word boundary, where the
// carries between words of the bit-parallel kernels matter.
TEST(StringDistanceTest, MatchesReferenceAtWordBoundaries) {
  std::mt19937_64 rng(4242);
  StringDistanceWorkspace ws;
  const std::size_t lengths[] = {1, 63, 64, 65, 127, 128, 129, 192, 200};
  for (const std::size_t m : lengths) {
    for (const std::size_t n : lengths) {
      for (int round = 0; round < 4; ++round) {
        const std::uint32_t alphabet = round < 2 ? 2 : 4;
        std::u32string a(m, U'a'), b(n, U'a');
        for (auto& ch : a) ch = U'a' + rng() % alphabet;
        for (auto& ch : b) ch = U'a' + rng() % alphabet;
        if (round == 3 && !a.empty()) a[0] = U'\u3042';  // outside the direct table
        const std::uint64_t lev = reference::levenshtein(seq(a), seq(b));
        const std::uint64_t dam = reference::osa(seq(a), seq(b));
        ASSERT_EQ(ws.levenshtein(a, b), lev) << m << "x" << n << " round " << round;
        ASSERT_EQ(ws.damerau_levenshtein(a, b), dam) << m << "x" << n << " round " << round;
        ASSERT_EQ(ws.damerau_levenshtein(b, a), dam) << m << "x" << n << " round " << round;
        ASSERT_EQ(ws.levenshtein_with_cutoff(a, b, lev), std::optional(lev));
        ASSERT_EQ(ws.damerau_levenshtein_with_cutoff(a, b, dam > 0 ? dam - 1 : 0),
                  dam > 0 ? std::nullopt : std::optional(dam));
      }
    }
  }
}

// A long pattern of many distinct characters, too large for a stored mask
// table: the kernels run on masks rebuilt per character.
TEST(StringDistanceTest, LongPatternsOfManyDistinctCharacters) {
  std::mt19937_64 rng(8);
  std::u32string a(20'000, U'a');
  for (auto& ch : a) ch = U'\u4e00' + rng() % 4000;
  ASSERT_GT(4000 * (a.size() / 64), PatternMasks::kMaxStoredWords);

  StringDistanceWorkspace ws;
  std::u32string substituted = a;
  substituted[10'000] = U'x';
  std::u32string swapped = a;
  std::size_t at = 5'000;
  while (swapped[at] == swapped[at + 1]) ++at;
  std::swap(swapped[at], swapped[at + 1]);
  std::u32string ends = a;
  ends.front() = U'x';
  ends.back() = U'y';

  EXPECT_EQ(ws.damerau_levenshtein(a, a), 0u);
  EXPECT_EQ(ws.damerau_levenshtein(a, substituted), 1u);
  EXPECT_EQ(ws.damerau_levenshtein(swapped, a), 1u);
  EXPECT_EQ(ws.levenshtein(a, swapped), 2u);
  EXPECT_EQ(ws.levenshtein(a, ends), 2u);
  EXPECT_EQ(ws.levenshtein_with_cutoff(ends, a, 1), std::nullopt);
  EXPECT_EQ(ws.damerau_levenshtein(a, ends.substr(1)), 2u);
}

// A random text and a copy of it after a few substitutions, insertions,
// deletions and adjacent swaps: long pairs at small distances, where the
// cutoff forms of multi-word patterns compute only a diagonal band.
std::u32string near_copy(std::u32string s, std::size_t edits, std::mt19937_64& rng, char32_t fresh) {
  for (std::size_t e = 0; e < edits && !s.empty(); ++e) {
    const std::size_t at = rng() % s.size();
    switch (rng() % 4) {
      case 0: s[at] = fresh; break;
      case 1: s.erase(at, 1); break;
      case 2: s.insert(s.begin() + static_cast<std::ptrdiff_t>(at), fresh); break;
      default:
        if (at + 1 < s.size()) std::swap(s[at], s[at + 1]);
        break;
    }
  }
  return s;
}

TEST(StringDistanceTest, BandedCutoffsMatchReferenceForEveryCutoff) {
  std::mt19937_64 rng(977);
  StringDistanceWorkspace ws;
  const std::size_t lengths[] = {63, 64, 65, 66, 100, 127, 128, 129, 191, 192, 193, 300};
  for (const std::size_t m : lengths) {
    for (int round = 0; round < 8; ++round) {
      // Two letters (many equal cells and swaps), a full alphabet, astral
      // characters, and unrelated texts (the band empties early).
      const std::uint32_t alphabet = round % 2 == 0 ? 2 : 26;
      const char32_t base = round % 4 == 3 ? U'\U0001F600' : U'a';
      std::u32string a(m, base);
      for (auto& ch : a) ch = base + rng() % alphabet;
      std::u32string b;
      if (round == 7) {
        b = std::u32string(m + rng() % 3, base);
        for (auto& ch : b) ch = base + rng() % alphabet;
      } else {
        b = near_copy(a, 1 + rng() % (3 + 4 * round), rng, base + rng() % (alphabet + 1));
      }
      const std::uint64_t lev = reference::levenshtein(seq(a), seq(b));
      const std::uint64_t dam = reference::osa(seq(a), seq(b));
      for (std::uint64_t k = 0; k <= std::max(lev, dam) + 2; ++k) {
        const auto want_lev = lev <= k ? std::optional(lev) : std::nullopt;
        const auto want_dam = dam <= k ? std::optional(dam) : std::nullopt;
        ASSERT_EQ(ws.levenshtein_with_cutoff(a, b, k), want_lev) << m << " round " << round << " k=" << k;
        ASSERT_EQ(ws.levenshtein_with_cutoff(b, a, k), want_lev) << m << " round " << round << " k=" << k;
        ASSERT_EQ(ws.damerau_levenshtein_with_cutoff(a, b, k), want_dam) << m << " round " << round << " k=" << k;
        ASSERT_EQ(ws.damerau_levenshtein_with_cutoff(b, a, k), want_dam) << m << " round " << round << " k=" << k;
      }
      ASSERT_EQ(ws.levenshtein_with_cutoff(a, b, kMax), std::optional(lev));
      ASSERT_EQ(ws.damerau_levenshtein_with_cutoff(a, b, kMax), std::optional(dam));
    }
  }
}

// Long texts: the band answers what the full kernels answer, and an
// unreachable cutoff answers nothing.
TEST(StringDistanceTest, BandedCutoffsOnLongTexts) {
  StringDistanceWorkspace ws;
  const std::u32string as(100'000, U'a'), bs(100'000, U'b');
  for (std::uint64_t k : {0, 3, 64, 1000}) {
    EXPECT_EQ(ws.levenshtein_with_cutoff(as, bs, k), std::nullopt) << k;
    EXPECT_EQ(ws.damerau_levenshtein_with_cutoff(as, bs, k), std::nullopt) << k;
  }
  std::mt19937_64 rng(5);
  std::u32string a(20'000, U'a');
  for (auto& ch : a) ch = U'a' + rng() % 26;
  for (std::size_t edits : {1, 3, 40}) {
    const std::u32string b = near_copy(a, edits, rng, U'\u3042');
    const std::uint64_t lev = ws.levenshtein(a, b);
    const std::uint64_t dam = ws.damerau_levenshtein(a, b);
    for (std::uint64_t k : {lev - 1, lev, lev + 1, lev + 200}) {
      EXPECT_EQ(ws.levenshtein_with_cutoff(a, b, k), lev <= k ? std::optional(lev) : std::nullopt);
      EXPECT_EQ(ws.damerau_levenshtein_with_cutoff(b, a, k), dam <= k ? std::optional(dam) : std::nullopt);
    }
  }
}

// The text forms decode texts of up to 64 characters onto the stack and
// longer ones onto the heap: pairs on both sides of that limit, with ASCII,
// Latin-1 (outside the short table's direct range), CJK and astral
// characters, against the references for every cutoff.
TEST(StringDistanceTest, TextFormsOnBothSidesOfTheShortLimit) {
  std::mt19937_64 rng(64);
  // Mostly ASCII (runs of eight and more ASCII bytes are decoded a word at
  // a time) or mixed; built from whole characters, so a prefix of the
  // pieces is valid UTF-8.
  const std::string alphabet[] = {"a", "b", "c", "d", "\u00e9", "\u00ff", "\u6771", "\U0001F600"};
  bool ascii = false;
  auto make = [&](std::size_t n) {
    std::vector<std::string> t(n);
    for (auto& piece : t) piece = alphabet[ascii && rng() % 16 != 0 ? rng() % 4 : rng() % std::size(alphabet)];
    return t;
  };
  auto join = [](const std::vector<std::string>& pieces, std::size_t count) {
    std::string t;
    for (std::size_t k = 0; k < count; ++k) t += pieces[k];
    return t;
  };
  const std::size_t lengths[] = {0, 1, 7, 8, 9, 31, 32, 33, 63, 64, 65, 90};
  for (const std::size_t m : lengths) {
    for (const std::size_t n : lengths) {
      ascii = !ascii;
      const std::vector<std::string> a_pieces = make(m);
      const std::string a = join(a_pieces, m);
      std::string b = join(make(n), n);
      if (n % 2 == 1) b = join(a_pieces, m / 2) + b;  // a shared prefix
      const std::u32string ua = text::decode_utf8(a), ub = text::decode_utf8(b);
      const std::uint64_t lev = reference::levenshtein(seq(ua), seq(ub));
      const std::uint64_t dam = reference::osa(seq(ua), seq(ub));
      ASSERT_EQ(levenshtein_str(a, b), lev) << m << "x" << n;
      ASSERT_EQ(*try_damerau_levenshtein_str(a, b), dam) << m << "x" << n;
      const TextDistance counted = levenshtein_str_counted(a, b);
      ASSERT_EQ(counted.distance, lev);
      ASSERT_EQ(counted.left_length, ua.size());
      ASSERT_EQ(counted.right_length, ub.size());
      for (std::uint64_t k = 0; k <= std::max(lev, dam) + 1; ++k) {
        ASSERT_EQ(levenshtein_str_with_cutoff(a, b, k), lev <= k ? std::optional(lev) : std::nullopt);
        ASSERT_EQ(*try_damerau_levenshtein_str_with_cutoff(a, b, k), dam <= k ? std::optional(dam) : std::nullopt);
      }
    }
  }
}

// Texts for the small-cutoff enumeration: random over two letters or a
// full alphabet, periodic and single-letter runs (many equal branches),
// near copies with substitutions, gaps and swaps, and astral characters.
std::vector<std::pair<std::u32string, std::u32string>> few_edit_pairs(std::size_t n, std::mt19937_64& rng) {
  std::vector<std::pair<std::u32string, std::u32string>> out;
  for (int round = 0; round < 10; ++round) {
    const std::uint32_t alphabet = round % 3 == 0 ? 2 : 26;
    const char32_t base = round % 5 == 4 ? U'\U0001F600' : U'a';
    std::u32string a(n, base);
    if (round == 1) {
      for (std::size_t i = 0; i < n; ++i) a[i] = base + i % 2;  // abab...
    } else if (round != 2) {
      for (auto& ch : a) ch = base + rng() % alphabet;
    }
    std::u32string b;
    if (round == 3) {
      b = std::u32string(n + rng() % 3, base);
      for (auto& ch : b) ch = base + rng() % alphabet;
    } else {
      b = near_copy(a, rng() % 5, rng, base + rng() % (alphabet + 1));
    }
    out.emplace_back(std::move(a), std::move(b));
  }
  out.emplace_back(std::u32string(n, U'a'), std::u32string(n, U'b'));
  out.emplace_back(U"ab" + std::u32string(n, U'x') + U"ba", U"ba" + std::u32string(n, U'x') + U"ab");
  return out;
}

// The enumeration itself, on scalar values and on bytes, and the cutoff
// forms that take it (workspace patterns over 64 characters, ASCII text
// forms over 64 characters), for every cutoff.
TEST(StringDistanceTest, FewEditsMatchReferenceForEveryCutoff) {
  std::mt19937_64 rng(3);
  StringDistanceWorkspace ws;
  const std::size_t lengths[] = {0, 1, 2, 7, 8, 9, 15, 16, 17, 31, 32, 33, 63, 64, 65, 66, 100, 129};
  for (const std::size_t n : lengths) {
    for (const auto& [a, b] : few_edit_pairs(n, rng)) {
      const std::uint64_t lev = reference::levenshtein(seq(a), seq(b));
      const std::uint64_t dam = reference::osa(seq(a), seq(b));
      const std::string ta = text::encode_utf8(a), tb = text::encode_utf8(b);
      const bool ascii = detail::all_ascii(ta) && detail::all_ascii(tb);
      for (std::uint64_t k = 0; k <= std::max(lev, dam) + 2; ++k) {
        const auto want_lev = lev <= k ? std::optional(lev) : std::nullopt;
        const auto want_dam = dam <= k ? std::optional(dam) : std::nullopt;
        if (k <= 4) {
          const std::size_t capped_lev = std::min<std::uint64_t>(lev, k + 1);
          const std::size_t capped_dam = std::min<std::uint64_t>(dam, k + 1);
          const auto lev_of = [k](auto x, auto y) { return detail::few_edits<false>(x, y, k); };
          const auto dam_of = [k](auto x, auto y) { return detail::few_edits<true>(x, y, k); };
          ASSERT_EQ(lev_of(std::u32string_view(a), std::u32string_view(b)), capped_lev) << n << " k=" << k;
          ASSERT_EQ(dam_of(std::u32string_view(b), std::u32string_view(a)), capped_dam) << n << " k=" << k;
          if (ascii) {
            ASSERT_EQ(lev_of(std::string_view(ta), std::string_view(tb)), capped_lev) << n << " k=" << k;
            ASSERT_EQ(dam_of(std::string_view(ta), std::string_view(tb)), capped_dam) << n << " k=" << k;
          }
        }
        ASSERT_EQ(ws.levenshtein_with_cutoff(a, b, k), want_lev) << n << " k=" << k;
        ASSERT_EQ(ws.levenshtein_with_cutoff(b, a, k), want_lev) << n << " k=" << k;
        ASSERT_EQ(ws.damerau_levenshtein_with_cutoff(a, b, k), want_dam) << n << " k=" << k;
        ASSERT_EQ(ws.damerau_levenshtein_with_cutoff(b, a, k), want_dam) << n << " k=" << k;
        ASSERT_EQ(levenshtein_str_with_cutoff(ta, tb, k), want_lev) << n << " k=" << k;
        ASSERT_EQ(levenshtein_str_with_cutoff(tb, ta, k), want_lev) << n << " k=" << k;
        ASSERT_EQ(*try_damerau_levenshtein_str_with_cutoff(ta, tb, k), want_dam) << n << " k=" << k;
        ASSERT_EQ(*try_damerau_levenshtein_str_with_cutoff(tb, ta, k), want_dam) << n << " k=" << k;
      }
      ASSERT_EQ(levenshtein_str_with_cutoff(ta, tb, kMax), std::optional(lev));
      ASSERT_EQ(*try_damerau_levenshtein_str_with_cutoff(ta, tb, kMax), std::optional(dam));
    }
  }
}

// The common prefix and suffix found eight bytes at a time stop at the
// first differing character of any width, also inside a word.
TEST(TrimCommonAffixesTest, WordAtATimeStopsAtTheFirstDifference) {
  for (std::size_t n = 0; n < 20; ++n) {
    for (std::size_t at = 0; at < n; ++at) {
      std::string a(n, 'x'), b = a;
      b[at] = 'y';
      std::u32string ua(n, U'\U0001F600'), ub = ua;
      ub[at] = U'\U0001F601';
      const std::string_view va = a, vb = b;
      const std::u32string_view wa = ua, wb = ub;
      EXPECT_EQ(detail::common_prefix_length(va, vb), at);
      EXPECT_EQ(detail::common_suffix_length(va, vb), n - 1 - at);
      EXPECT_EQ(detail::common_prefix_length(wa, wb), at);
      EXPECT_EQ(detail::common_suffix_length(wa, wb), n - 1 - at);
    }
  }
  EXPECT_FALSE(detail::all_ascii(std::string(100, 'a') + "\xC3\xA9"));
  EXPECT_TRUE(detail::all_ascii(std::string(130, '\x7F')));
}

TEST(NormalizedSimilarityTest, FromDistance) {
  struct Case {
    std::uint64_t distance, left, right;
    double similarity;
  };
  const Case cases[] = {
      {0, 0, 0, 1.0}, {1, 4, 2, 0.75}, {5, 3, 2, 0.0}, {0, 3, 3, 1.0}, {3, 3, 0, 0.0}, {1, 3, 3, 1.0 - 1.0 / 3.0},
      // A lattice distance can be UNREACHED_COST-sized: clamped to 0.
      {kMax, 1, 1, 0.0},
  };
  for (const auto& c : cases) {
    EXPECT_DOUBLE_EQ(normalized_similarity_from_distance(c.distance, c.left, c.right), c.similarity)
        << c.distance << " " << c.left << " " << c.right;
  }
}

}  // namespace
}  // namespace orvel

namespace orvel {
namespace {

// Found by fuzz_string_distance: two texts over 64 characters whose
// restricted Damerau distance is 35, which the cutoff form gave as 36 at
// the cutoffs 36, 40 and 44.
TEST(StringDistanceTest, DamerauCutoffOfLongTextsKeepsTheExactDistance) {
  const std::u32string a = U"baaabababbbbaaabaaabaaababbbaaaaaaaaaabaaabaaabaaabaaabaaabaaabaaaab";
  const std::u32string b = U"aaabbbbbbbbbbbbabbbbbbbbabbaabbbbbbbbbbbbabbbabbbbbbbbbaaaabaaaabbb";
  StringDistanceWorkspace ws;
  const std::uint64_t exact = ws.damerau_levenshtein(a, b);
  EXPECT_EQ(exact, 35u);
  for (std::uint64_t cutoff = 35; cutoff <= 140; ++cutoff) {
    EXPECT_EQ(ws.damerau_levenshtein_with_cutoff(a, b, cutoff), std::optional<std::uint64_t>(exact)) << cutoff;
    EXPECT_EQ(ws.damerau_levenshtein_with_cutoff(b, a, cutoff), std::optional<std::uint64_t>(exact)) << cutoff;
  }
}

}  // namespace
}  // namespace orvel
