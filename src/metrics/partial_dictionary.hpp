#pragma once
// Best-span alignment through a dictionary's reading front: the query's
// reading paths against the reading paths of each span of the text, spans
// the dictionary cannot read being skipped.
//
// Caller's side (the dictionary _partial_ methods): make the query's reading
// paths first (any error there, the skipped kind included, fails the call
// before a span is read); take the span limit from
// effective_partial_span_limit(query, max_span_chars, query paths); for the
// distance search build the query lattice with Lattice::from_paths of the
// query paths. Then call the search with a span reader: a callable taking a
// span's UTF-8 slice, or its TextSpan (to know where the span lies), and
// returning
//   std::expected<std::optional<ReadingPathSet>, ReadingError>
// (or a ReadingLattice in place of the list) with no value for a span to
// skip (optional_reading_paths turns a reading front's outcome into that
// shape). The Japanese and Chinese readers are in metrics/partial_ja_zh.hpp.
//
// Spans are read grouped by their end (ends ascending, for each end starts
// descending), and the spans of one end are scored together: their readings
// end alike, and the similarity programme runs once over what they share.
// Results are those of the walk in span order (start ascending, then end
// ascending): the best span is kept by a total order, and of the errors the
// one that walk meets first ends the search: a span reading error that is
// not skipped (the reader's error); in the ratio search the cutoff range
// (MetricError::Kind::ScoreCutoffRange) at the first span that is scored; in
// the distance search MetricError::Kind::Distance of an oversized span
// lattice. A search in which every span is skipped returns none, whatever
// the cutoff.
#include <cstdint>
#include <deque>
#include <expected>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <variant>
#include <vector>

#include "core/lattice.hpp"
#include "core/lattice_distance.hpp"
#include "core/string_distance.hpp"
#include "metrics/cdist_matrix.hpp"
#include "core/lattice_similarity.hpp"
#include "metrics/lattice_metrics.hpp"
#include "metrics/metric_error.hpp"
#include "metrics/partial_alignment.hpp"
#include "metrics/partial_spans.hpp"
#include "metrics/score_cutoff.hpp"
#include "text/utf8.hpp"

namespace orvel {

// A dictionary alignment's failure: a span's reading error or a metric error.
template <class ReadingError>
struct DictionaryAlignmentError {
  // Index 0: the span's reading error; index 1: the metric error.
  std::variant<ReadingError, MetricError> error;

  static DictionaryAlignmentError reading(ReadingError e) {
    return {decltype(error)(std::in_place_index<0>, std::move(e))};
  }
  static DictionaryAlignmentError metric(MetricError e) {
    return {decltype(error)(std::in_place_index<1>, std::move(e))};
  }

  // The display text of whichever error it holds (a ValueError's message).
  std::string message() const {
    return std::visit([](const auto& e) { return e.message(); }, error);
  }
};

// The reading paths of a span, or none when `skip` says that its error only
// means the span cannot be read; any other error is kept.
template <class Readings, class ReadingError, class Skip>
std::expected<std::optional<Readings>, ReadingError> optional_reading_paths(
    std::expected<Readings, ReadingError> outcome, Skip skip) {
  if (outcome) return std::optional<Readings>(std::move(*outcome));
  if (std::invoke(skip, outcome.error())) return std::optional<Readings>();
  return std::unexpected(std::move(outcome.error()));
}

// The span limit of the dictionary methods: the requested max_span_chars when
// it is not 0, else the larger of max(2q, q + 4) (0 for an empty query) and
// the longest query reading path in chars (q when there is none), q being the
// query's char count.
std::uint64_t effective_partial_span_limit(std::string_view query, std::uint64_t requested_max_span_chars,
                                           std::span<const std::string> query_paths);
// The same with the query readings as a reading set (its longest string).
std::uint64_t effective_partial_span_limit(std::string_view query, std::uint64_t requested_max_span_chars,
                                           const ReadingLattice& query_readings);

// The lattice of a reading set for a lattice distance: its own lattice. A set
// that also holds the empty string has no such lattice; the reading fronts
// never give one, and it is refused as a list of such strings would be.
const Lattice& reading_set_lattice(const ReadingLattice& readings);

namespace detail {

// A span reader takes the span's slice or, when it can use where the span
// lies, the TextSpan.
template <class Reader>
decltype(auto) read_span(Reader& reader, const TextSpan& span) {
  if constexpr (std::is_invocable_v<Reader&, const TextSpan&>) {
    return std::invoke(reader, span);
  } else {
    return std::invoke(reader, span.slice);
  }
}
template <class Reader>
using SpanReading = decltype(read_span(std::declval<Reader&>(), std::declval<const TextSpan&>()));
template <class Reader>
using SpanReadingError = typename SpanReading<Reader>::error_type;

// A span's readings as a reading set of its own.
inline ReadingLattice own_reading_set(ReadingLattice&& readings) { return std::move(readings); }
inline ReadingLattice own_reading_set(const ReadingPathSet& readings) { return reading_lattice_from_paths(readings); }

// The readable spans that end at one place, in the order they were read
// (start descending).
struct SpanGroup {
  std::vector<TextSpan> spans;
  std::vector<ReadingLattice> readings;
};

// The spans of a group worth scoring: those that keep(span lengths, query
// lengths, index in the group) lets through. A span holding the empty
// string, or any span of a query holding it, is always scored.
class SpansWorthScoring {
 public:
  explicit SpansWorthScoring(const ReadingLattice& query) {
    if (!query.contains_empty()) query_ = string_lengths(query.lattice);
  }

  template <class Keep>
  void select(const SpanGroup& group, Keep keep) {
    indices_.clear();
    pointers_.clear();
    for (std::size_t i = 0; i < group.readings.size(); ++i) {
      const ReadingLattice& readings = group.readings[i];
      if (query_ && !readings.contains_empty()) {
        const std::optional<StringLengths> lengths = string_lengths(readings.lattice);
        if (lengths && !keep(*lengths, *query_, i)) continue;
      }
      indices_.push_back(i);
      pointers_.push_back(&readings);
    }
  }

  std::size_t size() const { return indices_.size(); }
  // The group index of the k-th span selected.
  std::size_t index(std::size_t k) const { return indices_[k]; }
  std::span<const ReadingLattice* const> pointers() const { return pointers_; }

 private:
  std::optional<StringLengths> query_;
  std::vector<std::size_t> indices_;
  std::vector<const ReadingLattice*> pointers_;
};

// The most arcs of span lattices read and not scored yet (about 4 MB); a
// text of thirty characters reads some 50,000 to 250,000 in all.
inline constexpr std::uint64_t kPendingSpanArcs = std::uint64_t{1} << 16;

// Reads every span and hands the readable ones to score_group, grouped by
// their end: ends ascending and, for each end, starts descending (spans
// with one end read alike towards their end, and a reader may share that
// work). score_group(group, fail, errors_only) scores a group and calls
// fail(i, error) for a span whose scoring fails; groups are scored in the
// order they were read, but may wait until later groups are read (up to
// kPendingSpanArcs). Once an error has come up the outcome is an error,
// whatever the scores: errors_only is then true, and only which spans'
// scoring fails still counts.
//
// The outcome is that of the walk in span order (start ascending, then end
// ascending) that stops at the first error: a reading error that is not a
// skip, or a scoring error. So every error is kept with its span, and the
// first in span order wins; spans after it are not read, but for those read
// while the groups holding a scoring error waited. A search that keeps its
// best span by a total order of (score, span) finds the same span in either
// order.
template <class Reader, class ScoreGroup>
std::expected<void, DictionaryAlignmentError<SpanReadingError<Reader>>> walk_spans_by_end(
    std::string_view query, std::string_view text, std::uint64_t span_limit, Reader& reader,
    ScoreGroup score_group) {
  using Error = DictionaryAlignmentError<SpanReadingError<Reader>>;
  const TextSpanIter spans = text_spans(text, span_limit, query.empty());
  std::optional<std::pair<std::pair<std::uint64_t, std::uint64_t>, Error>> first_error;
  const auto before_first_error = [&](std::uint64_t start, std::uint64_t end) {
    return !first_error || std::pair(start, end) < first_error->first;
  };
  const auto keep_error = [&](std::uint64_t start, std::uint64_t end, Error error) {
    if (before_first_error(start, end)) first_error.emplace(std::pair(start, end), std::move(error));
  };
  // Groups read but not scored yet, oldest first. Scoring waits while they
  // hold few arcs: an error met in a later group makes their scores
  // unneeded, and then only their scoring errors are looked for.
  std::deque<SpanGroup> pending;
  std::uint64_t pending_arcs = 0;
  const auto score_pending = [&](bool all) {
    while (!pending.empty() && (all || first_error || pending_arcs > kPendingSpanArcs)) {
      SpanGroup& group = pending.front();
      score_group(
          group,
          [&](std::size_t i, MetricError error) {
            keep_error(group.spans[i].start, group.spans[i].end, Error::metric(std::move(error)));
          },
          first_error.has_value());
      for (const ReadingLattice& readings : group.readings) pending_arcs -= readings.lattice.arcs().size();
      pending.pop_front();
    }
  };
  // Reads a span into the group unless it is skipped or fails.
  const auto read_into_group = [&](SpanGroup& group, std::uint64_t start, std::uint64_t end) {
    const TextSpan span = spans.span(start, end);
    SpanReading<Reader> readings = detail::read_span(reader, span);
    if (!readings) {
      keep_error(start, end, Error::reading(std::move(readings.error())));
      return;
    }
    if (!*readings) return;
    group.spans.push_back(span);
    group.readings.push_back(own_reading_set(std::move(**readings)));
    pending_arcs += group.readings.back().lattice.arcs().size();
  };
  const auto hand_on = [&](SpanGroup&& group) {
    if (!group.spans.empty()) pending.push_back(std::move(group));
    score_pending(false);
  };
  const auto read_group = [&](std::uint64_t end, std::uint64_t lowest_start) {
    SpanGroup group;
    for (std::uint64_t start = end; start-- > lowest_start;) {
      if (before_first_error(start, end)) read_into_group(group, start, end);
    }
    hand_on(std::move(group));
  };
  // One span read as a group of its own.
  const auto read_one = [&](std::uint64_t start, std::uint64_t end) {
    SpanGroup group;
    read_into_group(group, start, end);
    hand_on(std::move(group));
  };
  if (spans.single_empty_span()) {
    read_one(0, 0);
  } else {
    // Readings fail mostly on long spans, and the longest span from the
    // first char comes early in span order but last by end: when it fails,
    // the answer is the first error of that first row.
    const std::uint64_t widest_end = spans.span_end_limit(0);
    if (SpanReading<Reader> widest = detail::read_span(reader, spans.span(0, widest_end)); !widest) {
      keep_error(0, widest_end, Error::reading(std::move(widest.error())));
      for (std::uint64_t end = 1; end < widest_end && first_error->first.second == widest_end; ++end) {
        read_one(0, end);
      }
      return std::unexpected(std::move(first_error->second));
    }
    for (std::uint64_t end = 1; end <= spans.char_count() && !first_error; ++end) {
      read_group(end, spans.span_start_limit(end));
    }
    if (first_error) {
      // Once an error has come up at (s, e), every span before it that is
      // still unread starts before s and ends after e (a scoring error of a
      // group that waited may leave some of those read already): walk those
      // in span order, up to the first error.
      const auto [error_start, error_end] = first_error->first;
      for (std::uint64_t start = 0; start < error_start; ++start) {
        for (std::uint64_t end = error_end + 1; end <= spans.span_end_limit(start); ++end) {
          read_one(start, end);
          if (first_error->first.first == start) return std::unexpected(std::move(first_error->second));
        }
      }
    }
  }
  score_pending(true);
  if (first_error) return std::unexpected(std::move(first_error->second));
  return {};
}

}  // namespace detail

// Best span by the best normalized similarity between a query reading and a
// span reading (the value of max_normalized_similarity). With a cutoff c a
// similarity below c counts as 0.0; candidates score above 0.0. The reader
// gives a span's readings as a string list or as a reading set.
template <class Reader>
std::expected<std::optional<RatioAlignment>, DictionaryAlignmentError<detail::SpanReadingError<Reader>>>
dictionary_partial_ratio_alignment(std::string_view query, std::string_view text, std::uint64_t span_limit,
                                   ScoreCutoff cutoff, const ReadingLattice& query_readings, Reader&& read_span) {
  LatticeSimilarityWorkspace workspace;
  std::vector<LatticeSimilarityWorkspace::SharedSimilarity> similarities;
  BestSpan<double, BetterScore::Higher> best;
  detail::SpansWorthScoring worth(query_readings);
  const bool cutoff_applies = cutoff && valid_score_cutoff(*cutoff);
  auto walked = detail::walk_spans_by_end(
      query, text, span_limit, read_span, [&](const detail::SpanGroup& group, auto fail, bool errors_only) {
        // A span whose lengths alone keep it from beating the best so far,
        // or below a valid cutoff, cannot become the best and fails nothing.
        worth.select(group, [&](const StringLengths& span, const StringLengths& query_lengths, std::size_t i) {
          const double bound = similarity_bound(span, query_lengths);
          return best.may_take(bound, group.spans[i].start, group.spans[i].end) &&
                 !(cutoff_applies && bound < *cutoff);
        });
        if (errors_only) {
          // Only the cutoff's range fails a span's scoring, whatever its value.
          if (const auto checked = apply_similarity_cutoff(0.0, cutoff); !checked) {
            for (std::size_t k = 0; k < worth.size(); ++k) fail(worth.index(k), checked.error());
          }
          return;
        }
        // Values that cannot reach the best so far, or a valid cutoff, need
        // not be exact.
        double floor = best.score().value_or(0.0);
        if (cutoff_applies) floor = std::max(floor, *cutoff);
        workspace.best_similarities_sharing_endings(query_readings, worth.pointers(), similarities, true, floor);
        for (std::size_t k = 0; k < worth.size(); ++k) {
          const std::size_t i = worth.index(k);
          const std::expected<double, MetricError> s = apply_similarity_cutoff(similarities[k].similarity, cutoff);
          if (!s) {
            fail(i, s.error());
            continue;
          }
          if (*s > 0.0) best.offer(*s, group.spans[i].start, group.spans[i].end);
        }
      });
  if (!walked) return std::unexpected(std::move(walked.error()));
  return best.result(text::count_scalars(query));
}

template <class Reader>
auto dictionary_partial_ratio_alignment(std::string_view query, std::string_view text, std::uint64_t span_limit,
                                        ScoreCutoff cutoff, std::span<const std::string> query_paths,
                                        Reader&& read_span) {
  return dictionary_partial_ratio_alignment(query, text, span_limit, cutoff, reading_lattice_from_paths(query_paths),
                                            std::forward<Reader>(read_span));
}

// Best span by the lattice Levenshtein distance between the query lattice and
// the lattice of the span's readings (any lattice spelling them gives the
// same distance; a reading set's own lattice is used). Spans whose readings
// share no similarity with the query's (best similarity 0.0) are skipped
// without a distance; with cutoff k only spans at distance <= k are
// candidates.
//
// The cell limit of a distance table reads the node count of the span's own
// lattice. A reader may give lattices that spell the right strings with at
// least as many nodes (cheaper to make) and offer exact_reading(span), the
// reading in the shape whose node counts count; it is asked for only where
// the cell check or the distance programme needs that lattice.
template <class Reader>
std::expected<std::optional<DistanceAlignment>, DictionaryAlignmentError<detail::SpanReadingError<Reader>>>
dictionary_partial_distance_alignment(std::string_view query, std::string_view text, std::uint64_t span_limit,
                                      DistanceCutoff cutoff, const ReadingLattice& query_readings,
                                      const Lattice& query_lattice, Reader&& read_span) {
  LatticeSimilarityWorkspace similarity_workspace;
  std::vector<LatticeSimilarityWorkspace::SharedSimilarity> similarities;
  DistanceWorkspace lattice_workspace;
  BestSpan<std::uint64_t, BetterScore::Lower> best;
  const bool has_cutoff = cutoff.has_value();
  const std::uint64_t limit = cutoff.value_or(0);
  detail::SpansWorthScoring worth(query_readings);
  auto walked = detail::walk_spans_by_end(
      query, text, span_limit, read_span, [&](const detail::SpanGroup& group, auto fail, bool errors_only) {
        // A span whose lengths alone keep it from beating the best so far,
        // or further than the cutoff, cannot become the best; it fails
        // nothing when the lattice it came in passes the cell check (the
        // exact one is no larger). Only failures count once errors_only.
        worth.select(group, [&](const StringLengths& span, const StringLengths& query_lengths, std::size_t i) {
          if (!check_distance_cells(query_lattice, reading_set_lattice(group.readings[i]))) return true;
          if (errors_only) return false;
          const std::uint64_t gap = length_gap(span, query_lengths);
          return best.may_take(gap, group.spans[i].start, group.spans[i].end) && !(has_cutoff && gap > limit);
        });
        // Only whether a similarity is 0.0 counts here, and the least distance.
        similarity_workspace.best_similarities_sharing_endings(query_readings, worth.pointers(), similarities, false);
        for (std::size_t k = 0; k < worth.size(); ++k) {
          const std::size_t i = worth.index(k);
          const Lattice* span_lattice = &reading_set_lattice(group.readings[i]);
          if (similarities[k].similarity == 0.0) continue;
          // The similarity programme gives the least distance too, unless
          // the distance table would be refused.
          std::expected<std::uint64_t, MetricError> d = similarities[k].least_distance.value_or(0);
          const auto programme_needed = [&](const Lattice& lattice) {
            return !similarities[k].least_distance || !check_distance_cells(query_lattice, lattice);
          };
          if (programme_needed(*span_lattice)) {
            std::optional<ReadingLattice> exact;
            if constexpr (requires { read_span.exact_reading(group.spans[i]); }) {
              exact.emplace(read_span.exact_reading(group.spans[i]));
              span_lattice = &reading_set_lattice(*exact);
            }
            if (programme_needed(*span_lattice)) {
              d = distance_with_cutoff_workspace(lattice_workspace, query_lattice, *span_lattice, cutoff);
            }
          }
          if (!d) {
            fail(i, d.error());
            continue;
          }
          if (!errors_only && (!has_cutoff || *d <= limit)) best.offer(*d, group.spans[i].start, group.spans[i].end);
        }
      });
  if (!walked) return std::unexpected(std::move(walked.error()));
  return best.result(text::count_scalars(query));
}

template <class Reader>
auto dictionary_partial_distance_alignment(std::string_view query, std::string_view text, std::uint64_t span_limit,
                                           DistanceCutoff cutoff, std::span<const std::string> query_paths,
                                           const Lattice& query_lattice, Reader&& read_span) {
  return dictionary_partial_distance_alignment(query, text, span_limit, cutoff,
                                               reading_lattice_from_paths(query_paths), query_lattice,
                                               std::forward<Reader>(read_span));
}

}  // namespace orvel
