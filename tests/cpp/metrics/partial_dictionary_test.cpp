#include "metrics/partial_dictionary.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <map>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "core/lattice.hpp"
#include "core/lattice_distance.hpp"
#include "metrics/path_metrics.hpp"
#include "text/utf8.hpp"

namespace orvel {
namespace {

constexpr std::uint64_t kMax = std::numeric_limits<std::uint64_t>::max();

struct FakeError {
  enum class Kind { Unreadable, Broken };
  Kind kind;
  std::string span;
  std::string message() const { return (kind == Kind::Unreadable ? "unreadable " : "broken ") + span; }
};

// A reading front over a toy dictionary: every character has readings, '?'
// cannot be read (the skipped kind) and '!' breaks the reading (an error
// that ends the search). A span reads as every combination of its
// characters' readings.
std::expected<ReadingPathSet, FakeError> toy_front(std::string_view span) {
  static const std::map<char32_t, ReadingPathSet> readings = {
      {U'東', {"tou", "higashi"}}, {U'京', {"kyou", "kei"}}, {U'a', {"a"}}, {U'b', {"b"}}, {U'x', {"ks"}},
  };
  ReadingPathSet paths = {""};
  for (const char32_t c : text::decode_utf8(span)) {
    if (c == U'?') return std::unexpected(FakeError{FakeError::Kind::Unreadable, std::string(span)});
    if (c == U'!') return std::unexpected(FakeError{FakeError::Kind::Broken, std::string(span)});
    const auto found = readings.find(c);
    const ReadingPathSet alternatives = found == readings.end() ? ReadingPathSet{text::encode_utf8(std::u32string(1, c))}
                                                                 : found->second;
    ReadingPathSet next;
    for (const std::string& p : paths)
      for (const std::string& a : alternatives) next.push_back(p + a);
    paths = std::move(next);
  }
  return paths;
}

auto toy_reader() {
  return [](std::string_view span) {
    return optional_reading_paths(toy_front(span),
                                  [](const FakeError& e) { return e.kind == FakeError::Kind::Unreadable; });
  };
}

struct RefSpan {
  std::string slice;
  std::uint64_t start;
  std::uint64_t end;
};

std::vector<RefSpan> reference_spans(const std::string& text, std::uint64_t limit, bool query_empty) {
  const std::u32string chars = text::decode_utf8(text);
  if (query_empty || limit == 0 || chars.empty()) return {{"", 0, 0}};
  std::vector<RefSpan> out;
  for (std::uint64_t s = 0; s < chars.size(); ++s)
    for (std::uint64_t e = s + 1; e <= chars.size() && e - s <= limit; ++e)
      out.push_back({text::encode_utf8(std::u32string_view(chars).substr(s, e - s)), s, e});
  return out;
}

template <class Score>
bool replaces(Score score, const RefSpan& span, const SpanAlignment<Score>& best, bool higher) {
  if (score != best.score) return higher ? score > best.score : score < best.score;
  const std::uint64_t len = span.end - span.start;
  const std::uint64_t best_len = best.text_end - best.text_start;
  return len < best_len || (len == best_len && span.start < best.text_start);
}

// Brute force with the toy front; assumes no span breaks and a valid cutoff.
std::optional<RatioAlignment> reference_ratio(const std::string& query, const std::string& text,
                                              std::uint64_t limit, std::optional<double> cutoff) {
  const ReadingPathSet query_paths = *toy_front(query);
  const std::uint64_t q = text::count_scalars(query);
  std::optional<RatioAlignment> best;
  for (const RefSpan& span : reference_spans(text, limit, q == 0)) {
    const auto readings = toy_front(span.slice);
    if (!readings) continue;
    double s = max_normalized_similarity(query_paths, *readings);
    if (cutoff && s < *cutoff) s = 0.0;
    if (s > 0.0 && (!best || replaces(s, span, *best, true))) best = RatioAlignment{s, 0, q, span.start, span.end};
  }
  return best;
}

std::optional<DistanceAlignment> reference_distance(const std::string& query, const std::string& text,
                                                    std::uint64_t limit, std::optional<std::uint64_t> cutoff) {
  const ReadingPathSet query_paths = *toy_front(query);
  const Lattice query_lattice = Lattice::from_paths(query_paths);
  const std::uint64_t q = text::count_scalars(query);
  std::optional<DistanceAlignment> best;
  for (const RefSpan& span : reference_spans(text, limit, q == 0)) {
    const auto readings = toy_front(span.slice);
    if (!readings || max_normalized_similarity(query_paths, *readings) == 0.0) continue;
    DistanceWorkspace ws;
    const std::uint64_t d = *ws.try_distance(query_lattice, Lattice::from_paths(*readings));
    if (cutoff && d > *cutoff) continue;
    if (!best || replaces(d, span, *best, false)) best = DistanceAlignment{d, 0, q, span.start, span.end};
  }
  return best;
}

std::optional<RatioAlignment> ratio(const std::string& query, const std::string& text, std::uint64_t limit,
                                    std::optional<double> cutoff) {
  const ReadingPathSet paths = *toy_front(query);
  auto r = dictionary_partial_ratio_alignment(query, text, limit, cutoff, paths, toy_reader());
  EXPECT_TRUE(r.has_value()) << (r ? "" : r.error().message());
  return r ? *r : std::nullopt;
}

std::optional<DistanceAlignment> distance(const std::string& query, const std::string& text, std::uint64_t limit,
                                          std::optional<std::uint64_t> cutoff) {
  const ReadingPathSet paths = *toy_front(query);
  const Lattice lattice = Lattice::from_paths(paths);
  auto r = dictionary_partial_distance_alignment(query, text, limit, cutoff, paths, lattice, toy_reader());
  EXPECT_TRUE(r.has_value()) << (r ? "" : r.error().message());
  return r ? *r : std::nullopt;
}

TEST(DictionaryPartialAlignment, AgreesWithBruteForceWithSkippedSpans) {
  const std::vector<std::string> queries = {"東京", "tokyo", "a", "", "京b"};
  const std::vector<std::string> texts = {"東京", "?東?京x", "ab東京?", "xx", "", "?", "b京京a"};
  for (const std::string& query : queries) {
    for (const std::string& text : texts) {
      for (const std::uint64_t limit : {std::uint64_t{0}, std::uint64_t{1}, std::uint64_t{3}, kMax}) {
        for (const auto c : {std::optional<double>{}, std::optional<double>{0.4}, std::optional<double>{1.0}}) {
          EXPECT_EQ(ratio(query, text, limit, c), reference_ratio(query, text, limit, c))
              << query << " in " << text << " limit " << limit;
        }
        for (const auto k : {std::optional<std::uint64_t>{}, std::optional<std::uint64_t>{0},
                             std::optional<std::uint64_t>{3}}) {
          EXPECT_EQ(distance(query, text, limit, k), reference_distance(query, text, limit, k))
              << query << " in " << text << " limit " << limit;
        }
      }
    }
  }
}

TEST(DictionaryPartialAlignment, AgreesWithBruteForceOnRandomTexts) {
  // Spans of every length against short and long queries: most spans are
  // decided by their string lengths alone, and ties on the best score are
  // common.
  const std::vector<std::string> pieces = {"東", "京", "a", "b", "x", "?", "ab", "東京"};
  std::mt19937 rng(1210);
  std::uniform_int_distribution<std::size_t> piece(0, pieces.size() - 1);
  std::uniform_int_distribution<int> count(0, 4);
  for (int round = 0; round < 400; ++round) {
    std::string query;
    std::string text;
    for (int k = count(rng); k > 0; --k) query += pieces[piece(rng)];
    for (int k = count(rng) + 2; k > 0; --k) text += pieces[piece(rng)];
    if (query.find('?') != std::string::npos) continue;
    const std::uint64_t limit = std::vector<std::uint64_t>{1, 2, 4, 8, kMax}[round % 5];
    const std::optional<double> c = round % 3 == 0 ? std::optional<double>{0.5} : std::nullopt;
    const std::optional<std::uint64_t> k = round % 4 == 0 ? std::optional<std::uint64_t>{2} : std::nullopt;
    EXPECT_EQ(ratio(query, text, limit, c), reference_ratio(query, text, limit, c)) << query << " in " << text;
    EXPECT_EQ(distance(query, text, limit, k), reference_distance(query, text, limit, k)) << query << " in " << text;
  }
}

// Spans are skipped when their string lengths alone keep them below the
// best so far, but not when they can only tie it: a tie still wins by being
// shorter. In "ababbaa", "aba" (0..3) is scored first at 2/3 and distance 1;
// "aa" (5..7) can at best tie it, and does, and is shorter.
TEST(DictionaryPartialAlignment, SpansThatCanOnlyTieTheBestAreScored) {
  const auto r = ratio("aaa", "ababbaa", kMax, std::nullopt);
  ASSERT_TRUE(r.has_value());
  EXPECT_EQ(r, reference_ratio("aaa", "ababbaa", kMax, std::nullopt));
  EXPECT_EQ(r->text_start, 5u);
  EXPECT_EQ(r->text_end, 7u);
  const auto d = distance("aaa", "ababbaa", kMax, std::nullopt);
  ASSERT_TRUE(d.has_value());
  EXPECT_EQ(d, reference_distance("aaa", "ababbaa", kMax, std::nullopt));
  EXPECT_EQ(d->score, 1u);
  EXPECT_EQ(d->text_start, 5u);
  EXPECT_EQ(d->text_end, 7u);
}

// The first failure in span order (start, then end): a broken span, or an
// invalid cutoff at the first readable span; none when every span passes.
std::optional<std::string> reference_first_error(const std::string& query, const std::string& text,
                                                 std::uint64_t limit, std::optional<double> cutoff) {
  const bool bad_cutoff = cutoff && !(*cutoff >= 0.0 && *cutoff <= 1.0);
  for (const RefSpan& span : reference_spans(text, limit, text::count_scalars(query) == 0)) {
    const auto readings = toy_front(span.slice);
    if (!readings && readings.error().kind == FakeError::Kind::Broken) return readings.error().message();
    if (readings && bad_cutoff) return std::string("score_cutoff must be between 0.0 and 1.0");
  }
  return std::nullopt;
}

TEST(DictionaryPartialAlignment, TheFirstErrorInSpanOrderWins) {
  // Spans are read grouped by their end; the error that comes out is still
  // the one the walk in span order meets first.
  const std::vector<std::string> pieces = {"東", "京", "a", "b", "?", "!", "ab"};
  std::mt19937 rng(4);
  std::uniform_int_distribution<std::size_t> piece(0, pieces.size() - 1);
  int errors = 0;
  for (int round = 0; round < 600; ++round) {
    std::string text;
    for (int k = 1 + static_cast<int>(rng() % 6); k > 0; --k) text += pieces[piece(rng)];
    const std::string query = round % 5 == 0 ? "" : "a東";
    const std::uint64_t limit = std::vector<std::uint64_t>{1, 2, 3, kMax}[round % 4];
    const std::optional<double> c =
        round % 3 == 0 ? std::optional<double>{1.5} : (round % 3 == 1 ? std::optional<double>{0.2} : std::nullopt);
    const ReadingPathSet paths = *toy_front(query);
    const auto expected = reference_first_error(query, text, limit, c);
    const auto r = dictionary_partial_ratio_alignment(query, text, limit, c, paths, toy_reader());
    ASSERT_EQ(r ? std::nullopt : std::optional<std::string>(r.error().message()), expected) << query << " in " << text;
    if (!r) ++errors;
    if (r) {
      ASSERT_EQ(*r, reference_ratio(query, text, limit, c)) << query << " in " << text;
    }
    const auto broken = reference_first_error(query, text, limit, std::nullopt);
    const auto d = dictionary_partial_distance_alignment(query, text, limit, std::nullopt, paths,
                                                         Lattice::from_paths(paths), toy_reader());
    ASSERT_EQ(d ? std::nullopt : std::optional<std::string>(d.error().message()), broken) << query << " in " << text;
    if (d) {
      ASSERT_EQ(*d, reference_distance(query, text, limit, std::nullopt)) << query << " in " << text;
    }
  }
  EXPECT_GT(errors, 200);
}

// Span lattices large enough that a group or two fill what may wait
// unscored (kPendingSpanArcs): groups are then scored as they are read, and
// best spans and first errors stay those of the walk in span order. The
// padding is a chain of arcs after the end node, on no path.
TEST(DictionaryPartialAlignment, LargeSpanLatticesAreScoredAsTheyCome) {
  const std::uint64_t padding = detail::kPendingSpanArcs / 2 + 1;
  const auto padded_reader = [&](std::string_view span) -> std::expected<std::optional<ReadingLattice>, FakeError> {
    auto read = toy_reader()(span);
    if (!read) return std::unexpected(read.error());
    if (!*read) return std::optional<ReadingLattice>();
    const ReadingLattice plain = reading_lattice_from_paths(**read);
    std::vector<Arc> arcs = plain.lattice.arcs();
    const std::uint64_t first_dead = plain.lattice.node_count();
    for (std::uint64_t k = 0; k < padding; ++k) arcs.push_back(Arc{first_dead + k, first_dead + k + 1, 'p'});
    auto lattice = Lattice::from_edges(first_dead + padding + 1, plain.lattice.start(), plain.lattice.end(), arcs);
    return std::optional<ReadingLattice>(ReadingLattice{std::move(*lattice), plain.also_empty});
  };
  const std::vector<std::string> pieces = {"東", "京", "a", "b", "?", "!", "ab"};
  std::mt19937 rng(31);
  std::uniform_int_distribution<std::size_t> piece(0, pieces.size() - 1);
  for (int round = 0; round < 40; ++round) {
    std::string text;
    for (int k = 1 + static_cast<int>(rng() % 5); k > 0; --k) text += pieces[piece(rng)];
    const std::string query = "a東";
    const std::uint64_t limit = std::vector<std::uint64_t>{2, 3, kMax}[round % 3];
    const std::optional<double> c = round % 4 == 0 ? std::optional<double>{1.5} : std::nullopt;
    const ReadingPathSet paths = *toy_front(query);
    const auto expected = dictionary_partial_ratio_alignment(query, text, limit, c, paths, toy_reader());
    const auto got = dictionary_partial_ratio_alignment(query, text, limit, c, paths, padded_reader);
    ASSERT_EQ(got.has_value(), expected.has_value()) << text;
    if (got) {
      EXPECT_EQ(*got, *expected) << text;
    } else {
      EXPECT_EQ(got.error().message(), expected.error().message()) << text;
    }
  }
}

TEST(DictionaryPartialAlignment, SpelledOutExamples) {
  // 京 reads kyou or kei; tokyo's readings align best with 東京 (tou + kyou).
  EXPECT_EQ(ratio("tokyo", "?東京?", 5, std::nullopt), (RatioAlignment{5.0 / 7.0, 0, 5, 1, 3}));
  EXPECT_EQ(distance("tokyo", "?東京?", 5, std::nullopt), (DistanceAlignment{2, 0, 5, 1, 3}));
  // The query position is the whole query in chars, not its readings.
  EXPECT_EQ(ratio("東京", "x東京", 2, std::nullopt), (RatioAlignment{1.0, 0, 2, 1, 3}));
  // Empty query: single-empty-span mode compares the empty span.
  EXPECT_EQ(ratio("", "東京", 4, std::nullopt), (RatioAlignment{1.0, 0, 0, 0, 0}));
  EXPECT_EQ(distance("", "東京", 4, std::nullopt), (DistanceAlignment{0, 0, 0, 0, 0}));
  // Every span skipped: none.
  EXPECT_EQ(ratio("a", "??", 2, std::nullopt), std::nullopt);
  EXPECT_EQ(distance("a", "??", 2, std::nullopt), std::nullopt);
  // Cutoff 0 keeps exact matches only.
  EXPECT_EQ(distance("ab", "xab", 3, 0), (DistanceAlignment{0, 0, 2, 1, 3}));
  EXPECT_EQ(distance("ab", "xb", 3, 0), std::nullopt);
}

TEST(DictionaryPartialAlignment, InvalidCutoffFailsAtTheFirstScoredSpanOnly) {
  const ReadingPathSet paths = {"a"};
  for (const double bad : {1.5, -1.0, std::nan("")}) {
    // Nothing readable: nothing is scored, so no error.
    const auto skipped = dictionary_partial_ratio_alignment("a", "???", 3, bad, paths, toy_reader());
    ASSERT_TRUE(skipped.has_value());
    EXPECT_EQ(*skipped, std::nullopt);
    const auto scored = dictionary_partial_ratio_alignment("a", "??b", 3, bad, paths, toy_reader());
    ASSERT_FALSE(scored.has_value());
    EXPECT_EQ(scored.error().message(), "score_cutoff must be between 0.0 and 1.0");
  }
}

TEST(DictionaryPartialAlignment, ReadingErrorsOfOtherKindsEndTheSearch) {
  const ReadingPathSet paths = {"a"};
  const Lattice lattice = Lattice::from_paths(paths);
  // Span order: "a" (0, 1) is scored before "a!" (0, 2) is read, so an
  // invalid cutoff fails first; without one, the reading of "a!" fails.
  const auto r = dictionary_partial_ratio_alignment("a", "a!b", 3, 1.5, paths, toy_reader());
  ASSERT_FALSE(r.has_value());
  EXPECT_EQ(r.error().message(), "score_cutoff must be between 0.0 and 1.0");
  const auto d = dictionary_partial_distance_alignment("a", "a!b", 3, std::nullopt, paths, lattice, toy_reader());
  ASSERT_FALSE(d.has_value());
  EXPECT_EQ(d.error().message(), "broken a!");
  ASSERT_EQ(d.error().error.index(), 0u);
  const auto first = dictionary_partial_ratio_alignment("a", "!a", 3, std::nullopt, paths, toy_reader());
  ASSERT_FALSE(first.has_value());
  EXPECT_EQ(first.error().message(), "broken !");
}

TEST(DictionaryPartialAlignment, SpansWithoutSimilarityBuildNoLattice) {
  // A span reader whose readings would break the lattice constructor (two
  // empty paths) is harmless when the span shares nothing with the query.
  const ReadingPathSet paths = {"abc"};
  const Lattice lattice = Lattice::from_paths(paths);
  const auto reader = [](std::string_view span) -> std::expected<std::optional<ReadingPathSet>, FakeError> {
    if (span == "z") return std::optional<ReadingPathSet>(ReadingPathSet{"", ""});
    return std::optional<ReadingPathSet>(ReadingPathSet{std::string(span)});
  };
  const auto d = dictionary_partial_distance_alignment("abc", "zab", 1, std::nullopt, paths, lattice, reader);
  ASSERT_TRUE(d.has_value());
  EXPECT_EQ(*d, (DistanceAlignment{2, 0, 3, 1, 2}));
}

TEST(DictionaryPartialAlignment, OversizedSpanLatticeFails) {
  const ReadingPathSet paths = {std::string(3999, 'a')};
  const Lattice lattice = Lattice::from_paths(paths);
  const auto reader = [](std::string_view) -> std::expected<std::optional<ReadingPathSet>, FakeError> {
    return std::optional<ReadingPathSet>(ReadingPathSet{std::string(4000, 'a')});
  };
  const auto d = dictionary_partial_distance_alignment("q", "t", 1, std::nullopt, paths, lattice, reader);
  ASSERT_FALSE(d.has_value());
  EXPECT_EQ(d.error().message(), "distance matrix 4000x4001 exceeds the maximum of 16000000 cells");
}

// Errors of the distance search come in span order whether they are met
// while reading (a broken span) or while scoring (an oversized span lattice
// that shares something with the query); an oversized span that shares
// nothing is skipped. Once an error is known the other spans only need to
// be checked for earlier errors. Oversized lattices here spell one string
// and carry nodes off every path, so that only their node counts are large.
TEST(DictionaryPartialAlignment, ScoringAndReadingErrorsComeInSpanOrder) {
  const Lattice query_lattice = *Lattice::from_edges(4000, 0, 1, {Arc{0, 1, 'a'}});
  const ReadingPathSet query_paths = {"a"};
  const std::string oversized_message = "distance matrix 4000x4002 exceeds the maximum of 16000000 cells";
  // Broken: a slice of two chars starting with '!'. Oversized: a slice of at
  // least three chars ending in "ba" (spells "a", shared) or in "zz"
  // (spells "z"). Any other slice reads as itself. So in "a!bab" the
  // broken "!b" (1, 3) is met first, and the oversized "a!ba" (0, 4),
  // before it in span order, is found only by checking the spans left.
  const auto kind = [](std::string_view slice) {
    if (slice.size() == 2 && slice[0] == '!') return 'B';
    if (slice.size() >= 3 && slice.ends_with("ba")) return 'A';
    if (slice.size() >= 3 && slice.ends_with("zz")) return 'Z';
    return '.';
  };
  using Reading = std::expected<std::optional<ReadingLattice>, FakeError>;
  const auto reader = [&](std::string_view slice) -> Reading {
    switch (kind(slice)) {
      case 'B': return std::unexpected(FakeError{FakeError::Kind::Broken, std::string(slice)});
      case 'A': return std::optional<ReadingLattice>(ReadingLattice{*Lattice::from_edges(4002, 0, 1, {Arc{0, 1, 'a'}})});
      case 'Z': return std::optional<ReadingLattice>(ReadingLattice{*Lattice::from_edges(4002, 0, 1, {Arc{0, 1, 'z'}})});
      default: return std::optional<ReadingLattice>(reading_lattice_from_paths(ReadingPathSet{std::string(slice)}));
    }
  };
  const std::string alphabet = "abz!";
  std::mt19937 rng(2026);
  int scoring_errors = 0;
  int reading_errors = 0;
  for (int round = 0; round < 2000; ++round) {
    std::string text;
    for (int k = 1 + static_cast<int>(rng() % 7); k > 0; --k) text += alphabet[rng() % alphabet.size()];
    const std::uint64_t limit = std::vector<std::uint64_t>{1, 2, 3, 4, kMax}[round % 5];
    // Span order: the first error, or the best span by distance to "a".
    std::optional<std::string> expected_error;
    std::optional<DistanceAlignment> expected;
    for (const RefSpan& span : reference_spans(text, limit, false)) {
      const char k = kind(span.slice);
      if (k == 'B') {
        expected_error = "broken " + span.slice;
        break;
      }
      if (k == 'A') {
        expected_error = oversized_message;
        break;
      }
      if (k == 'Z' || span.slice.find('a') == std::string::npos) continue;
      const std::uint64_t d = levenshtein_str("a", span.slice);
      if (!expected || replaces(d, span, *expected, false)) expected = DistanceAlignment{d, 0, 1, span.start, span.end};
    }
    const auto got = dictionary_partial_distance_alignment("q", text, limit, std::nullopt, query_paths,
                                                           query_lattice, reader);
    if (expected_error) {
      ASSERT_FALSE(got.has_value()) << text << " limit " << limit;
      EXPECT_EQ(got.error().message(), *expected_error) << text << " limit " << limit;
      ++(*expected_error == oversized_message ? scoring_errors : reading_errors);
    } else {
      ASSERT_TRUE(got.has_value()) << got.error().message() << " in " << text;
      EXPECT_EQ(*got, expected) << text << " limit " << limit;
    }
  }
  EXPECT_GT(scoring_errors, 50);
  EXPECT_GT(reading_errors, 50);
}

// A reader may give a larger lattice of the same strings and offer the
// exact one: the cell limit reads the exact lattice, so the answer is that
// of a reader giving the exact lattice at once.
TEST(DictionaryPartialAlignment, TheCellLimitReadsTheExactSpanLattice) {
  const ReadingPathSet query_paths = {std::string(3999, 'a')};
  const Lattice query_lattice = Lattice::from_paths(query_paths);
  const ReadingPathSet span_paths = {std::string(3990, 'a'), "b" + std::string(3989, 'a')};
  using Reading = std::expected<std::optional<ReadingLattice>, FakeError>;
  // One chain per string: about twice the nodes of the exact lattice.
  const auto bloated = [&] { return ReadingLattice{Lattice::from_paths(span_paths)}; };
  const auto exact = [&] { return reading_lattice_from_paths(span_paths); };
  ASSERT_GT(bloated().lattice.node_count() * query_lattice.node_count(), MAX_DISTANCE_CELLS);
  ASSERT_LE(exact().lattice.node_count() * query_lattice.node_count(), MAX_DISTANCE_CELLS);
  struct WithExact {
    std::function<ReadingLattice()> reading, exact;
    Reading operator()(std::string_view) const { return std::optional<ReadingLattice>(reading()); }
    ReadingLattice exact_reading(const TextSpan&) const { return exact(); }
  };
  const auto plain = [&](std::function<ReadingLattice()> reading) {
    return [reading](std::string_view) -> Reading { return std::optional<ReadingLattice>(reading()); };
  };
  const auto expected = dictionary_partial_distance_alignment("q", "t", 1, std::nullopt, query_paths, query_lattice,
                                                              plain(exact));
  ASSERT_TRUE(expected.has_value());
  const auto got = dictionary_partial_distance_alignment("q", "t", 1, std::nullopt, query_paths, query_lattice,
                                                         WithExact{bloated, exact});
  ASSERT_TRUE(got.has_value());
  EXPECT_EQ(*got, *expected);
  // Without the exact lattice the larger one is refused.
  const auto refused = dictionary_partial_distance_alignment("q", "t", 1, std::nullopt, query_paths, query_lattice,
                                                             plain(bloated));
  ASSERT_FALSE(refused.has_value());
  EXPECT_EQ(refused.error().error.index(), 1u);
}

TEST(EffectivePartialSpanLimit, RequestedWinsElseQuerySizedWidth) {
  struct Case {
    std::string query;
    std::uint64_t requested;
    ReadingPathSet paths;
    std::uint64_t expected;
  };
  const Case cases[] = {
      {"a", 0, {"a"}, 5},
      {"abc", 0, {"abc"}, 7},
      {"abc", 0, {"abcdefghi"}, 9},
      {"abcdefghij", 0, {"x"}, 20},
      {"abcdefghij", 0, {std::string(25, 'r'), "s"}, 25},
      {"東京", 0, {"toukyou"}, 7},  // 2 chars: max(4, 6) = 6 < 7 reading chars
      {"", 0, {}, 0},
      {"", 0, {""}, 0},
      {"abc", 0, {}, 7},  // no paths: q stands in for the longest
      {"abc", 5, {"abcdefghi"}, 5},
      {"abc", kMax, {}, kMax},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(effective_partial_span_limit(c.query, c.requested, c.paths), c.expected) << c.query;
  }
}

}  // namespace
}  // namespace orvel
