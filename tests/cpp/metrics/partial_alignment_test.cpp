#include "metrics/partial_alignment.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "core/lattice.hpp"
#include "core/lattice_distance.hpp"
#include "core/string_distance.hpp"
#include "text/utf8.hpp"

namespace orvel {
namespace {

constexpr std::uint64_t kMax = std::numeric_limits<std::uint64_t>::max();

struct RefSpan {
  std::string slice;
  std::uint64_t start;
  std::uint64_t end;
};

// Every span the search may look at, in its order, written out directly.
std::vector<RefSpan> reference_spans(const std::string& text, std::uint64_t limit, bool query_empty) {
  const std::u32string chars = text::decode_utf8(text);
  if (query_empty || limit == 0 || chars.empty()) return {{"", 0, 0}};
  std::vector<RefSpan> out;
  for (std::uint64_t s = 0; s < chars.size(); ++s) {
    for (std::uint64_t e = s + 1; e <= chars.size() && e - s <= limit; ++e) {
      out.push_back({text::encode_utf8(std::u32string_view(chars).substr(s, e - s)), s, e});
    }
  }
  return out;
}

// Tie rule: better score, else shorter, else earlier start.
template <class Score>
bool replaces(Score score, std::uint64_t len, std::uint64_t start, const SpanAlignment<Score>& best, bool higher) {
  if (score != best.score) return higher ? score > best.score : score < best.score;
  const std::uint64_t best_len = best.text_end - best.text_start;
  return len < best_len || (len == best_len && start < best.text_start);
}

std::optional<RatioAlignment> reference_ratio(const std::string& query, const std::string& text,
                                              std::uint64_t limit, std::optional<double> cutoff) {
  const std::uint64_t q = text::count_scalars(query);
  std::optional<RatioAlignment> best;
  for (const RefSpan& span : reference_spans(text, limit, q == 0)) {
    const std::uint64_t d = levenshtein_str(query, span.slice);
    double s = normalized_similarity_from_distance(d, q, span.end - span.start);
    if (cutoff && s < *cutoff) s = 0.0;
    if (s <= 0.0) continue;
    if (!best || replaces(s, span.end - span.start, span.start, *best, true)) {
      best = RatioAlignment{s, 0, q, span.start, span.end};
    }
  }
  return best;
}

std::optional<DistanceAlignment> reference_distance(const std::string& query, const std::string& text,
                                                    std::uint64_t limit, std::optional<std::uint64_t> cutoff) {
  const std::uint64_t q = text::count_scalars(query);
  const Lattice query_lattice = Lattice::from_paths(query);
  std::optional<DistanceAlignment> best;
  for (const RefSpan& span : reference_spans(text, limit, q == 0)) {
    DistanceWorkspace ws;
    const std::uint64_t d = *ws.try_distance(query_lattice, Lattice::from_paths(span.slice));
    if (cutoff && d > *cutoff) continue;
    if (!best || replaces(d, span.end - span.start, span.start, *best, false)) {
      best = DistanceAlignment{d, 0, q, span.start, span.end};
    }
  }
  return best;
}

std::string random_text(std::mt19937& rng, std::size_t max_len) {
  const std::vector<std::string> alphabet = {"a", "b", "c", "東", "é"};
  std::uniform_int_distribution<std::size_t> length(0, max_len);
  std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
  std::string t;
  for (std::size_t n = length(rng); n > 0; --n) t += alphabet[pick(rng)];
  return t;
}

TEST(PartialAlignment, AgreesWithBruteForceOverAllSpans) {
  std::mt19937 rng(4242);
  const std::uint64_t limits[] = {0, 1, 2, 3, 5, kMax};
  for (int round = 0; round < 300; ++round) {
    const std::string query = random_text(rng, 4);
    const std::string text = random_text(rng, 9);
    for (const std::uint64_t limit : limits) {
      for (const std::optional<double> c : {std::optional<double>{}, std::optional<double>{0.0},
                                            std::optional<double>{0.5}, std::optional<double>{1.0}}) {
        EXPECT_EQ(*partial_ratio_alignment(query, text, limit, c), reference_ratio(query, text, limit, c))
            << query << " in " << text << " limit " << limit;
      }
      for (const std::optional<std::uint64_t> k : {std::optional<std::uint64_t>{}, std::optional<std::uint64_t>{0},
                                                   std::optional<std::uint64_t>{1}, std::optional<std::uint64_t>{kMax}}) {
        EXPECT_EQ(*partial_distance_alignment(query, text, limit, k), reference_distance(query, text, limit, k))
            << query << " in " << text << " limit " << limit;
      }
    }
  }
}

struct Case {
  std::string query;
  std::string text;
  std::uint64_t limit;
  std::optional<double> ratio_cutoff;
  std::optional<std::uint64_t> distance_cutoff;
  std::optional<RatioAlignment> ratio;
  std::optional<DistanceAlignment> distance;
};

TEST(PartialAlignment, ExamplesTiesAndEmptyInputs) {
  const Case cases[] = {
      {"abc", "xxabcxx", 3, {}, {}, RatioAlignment{1.0, 0, 3, 2, 5}, DistanceAlignment{0, 0, 3, 2, 5}},
      // xb (0, 2) and b (1, 2) tie at 0.5 and distance 1: the shorter wins.
      {"ab", "xb", 4, {}, {}, RatioAlignment{0.5, 0, 2, 1, 2}, DistanceAlignment{1, 0, 2, 1, 2}},
      // Two equal spans of equal length: the first one found stays.
      {"ab", "abab", 2, {}, {}, RatioAlignment{1.0, 0, 2, 0, 2}, DistanceAlignment{0, 0, 2, 0, 2}},
      // Empty query: the one empty span matches it exactly.
      {"", "anything", 3, {}, {}, RatioAlignment{1.0, 0, 0, 0, 0}, DistanceAlignment{0, 0, 0, 0, 0}},
      {"", "", 0, {}, {}, RatioAlignment{1.0, 0, 0, 0, 0}, DistanceAlignment{0, 0, 0, 0, 0}},
      // Limit 0 or empty text: only the empty span, similarity 0.0, distance q.
      {"abc", "abc", 0, {}, {}, std::nullopt, DistanceAlignment{3, 0, 3, 0, 0}},
      {"東京", "", 9, {}, {}, std::nullopt, DistanceAlignment{2, 0, 2, 0, 0}},
      {"abc", "", 9, {}, 2, std::nullopt, std::nullopt},
      // Cutoffs that exclude every span.
      {"ab", "xb", 4, 0.6, 0, std::nullopt, std::nullopt},
      // Char positions count scalar values, not bytes.
      {"京", "東京都", 2, {}, {}, RatioAlignment{1.0, 0, 1, 1, 2}, DistanceAlignment{0, 0, 1, 1, 2}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(*partial_ratio_alignment(c.query, c.text, c.limit, c.ratio_cutoff), c.ratio) << c.query << "/" << c.text;
    EXPECT_EQ(*partial_distance_alignment(c.query, c.text, c.limit, c.distance_cutoff), c.distance)
        << c.query << "/" << c.text;
  }
}

TEST(PartialAlignment, InvalidRatioCutoffAlwaysFails) {
  for (const double bad : {1.5, -0.5, std::nan("")}) {
    for (const auto& [query, text, limit] : {std::tuple{"abc", "xxabcxx", 3}, std::tuple{"", "", 0},
                                             std::tuple{"a", "", 5}}) {
      const auto r = partial_ratio_alignment(query, text, limit, bad);
      ASSERT_FALSE(r.has_value());
      EXPECT_EQ(r.error().message(), "score_cutoff must be between 0.0 and 1.0");
    }
  }
}

TEST(PartialAlignment, DistanceSearchRefusesTheFirstOversizedSpan) {
  // Query lattice 4,000 nodes; spans of 3,999 chars fit (4,000 x 4,000), the
  // first span of 4,000 chars does not.
  const std::string query(3999, 'q');
  const std::string text(4005, 't');
  const auto refused = partial_distance_alignment(query, text, kMax, std::nullopt);
  ASSERT_FALSE(refused.has_value());
  EXPECT_EQ(refused.error().message(), "distance matrix 4000x4001 exceeds the maximum of 16000000 cells");
  // A limit that keeps every span within the cell limit is accepted.
  const auto accepted = partial_distance_alignment(query, std::string(20, 'q'), 2, 3998);
  ASSERT_TRUE(accepted.has_value());
  EXPECT_EQ(*accepted, (DistanceAlignment{3997, 0, 3999, 0, 2}));
}

}  // namespace
}  // namespace orvel
