#pragma once
// Best-span alignment of a query against a longer text, free forms: the
// query's characters against each span's characters (metrics/partial_spans
// enumerates the spans).
//
// Caller's side (the free _partial_ratio_alignment and
// _partial_distance_alignment): the two texts are owned UTF-8 copies, the
// span limit is the max_span_chars argument as given, the cutoff the
// converted score_cutoff. Nothing here touches a Python object.
//
// Choice of the best span: spans are looked at in enumeration order; a later
// candidate replaces the best when its score is better (ratio: higher,
// distance: lower), or equal with a shorter span, or equal and as long with
// a smaller start. The result is none when no span is a candidate.
#include <cstdint>
#include <expected>
#include <optional>
#include <string_view>

#include "metrics/metric_error.hpp"
#include "metrics/score_cutoff.hpp"

namespace orvel {

// (score, query start, query end, text start, text end): the query start is
// always 0 and the query end the query's char count; the text positions are
// the best span's char indices (end exclusive).
template <class Score>
struct SpanAlignment {
  Score score{};
  std::uint64_t query_start = 0;
  std::uint64_t query_end = 0;
  std::uint64_t text_start = 0;
  std::uint64_t text_end = 0;

  friend bool operator==(const SpanAlignment&, const SpanAlignment&) = default;
};

using RatioAlignment = SpanAlignment<double>;
using DistanceAlignment = SpanAlignment<std::uint64_t>;

enum class BetterScore { Higher, Lower };

// Keeps the best candidate under the tie rules above.
template <class Score, BetterScore Better>
class BestSpan {
 public:
  void offer(Score score, std::uint64_t start, std::uint64_t end) {
    if (!found_ || replaces(score, start, end)) {
      found_ = true;
      score_ = score;
      start_ = start;
      end_ = end;
    }
  }

  std::optional<Score> score() const { return found_ ? std::optional<Score>(score_) : std::nullopt; }

  // Whether the span start..end, scoring `bound` or worse, could still become
  // the best: a worse score never replaces a better one, and at an equal
  // score only the shorter span (then the earlier one) does.
  bool may_take(Score bound, std::uint64_t start, std::uint64_t end) const {
    return !found_ || replaces(bound, start, end);
  }

  std::optional<SpanAlignment<Score>> result(std::uint64_t query_chars) const {
    if (!found_) return std::nullopt;
    return SpanAlignment<Score>{score_, 0, query_chars, start_, end_};
  }

 private:
  bool replaces(Score score, std::uint64_t start, std::uint64_t end) const {
    const bool better = Better == BetterScore::Higher ? score > score_ : score < score_;
    if (better) return true;
    if (score != score_) return false;
    const std::uint64_t length = end - start;
    const std::uint64_t best_length = end_ - start_;
    return length < best_length || (length == best_length && start < start_);
  }

  bool found_ = false;
  Score score_{};
  std::uint64_t start_ = 0;
  std::uint64_t end_ = 0;
};

// Best span by normalized Levenshtein similarity. A span is a candidate when
// its similarity is above 0.0 and, with a cutoff c, at least c.
// Errors: MetricError::Kind::ScoreCutoffRange for a cutoff outside 0.0..1.0
// or NaN (there is always a span to score, so such a cutoff always fails).
std::expected<std::optional<RatioAlignment>, MetricError> partial_ratio_alignment(std::string_view query,
                                                                                  std::string_view text,
                                                                                  std::uint64_t span_limit,
                                                                                  ScoreCutoff cutoff);

// Best span by Levenshtein distance between the query's chain lattice and
// the span's chain lattice. Every span is a candidate without a cutoff; with
// cutoff k only spans at distance <= k.
// Errors: MetricError::Kind::Distance for the first span (in enumeration
// order) whose lattice pair exceeds MAX_DISTANCE_CELLS; the query lattice has
// query chars + 1 nodes, a span lattice span chars + 1.
std::expected<std::optional<DistanceAlignment>, MetricError> partial_distance_alignment(
    std::string_view query, std::string_view text, std::uint64_t span_limit, DistanceCutoff cutoff);

}  // namespace orvel
