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
// span's UTF-8 slice and returning
//   std::expected<std::optional<ReadingPathSet>, ReadingError>
// with no value for a span to skip (optional_reading_paths turns a reading
// front's outcome into that shape). The Japanese and Chinese readers are in
// metrics/partial_ja_zh.hpp.
//
// Errors, in search order, the first one ending the search: a span reading
// error that is not skipped (the reader's error); in the ratio search the
// cutoff range (MetricError::Kind::ScoreCutoffRange) at the first span that
// is scored; in the distance search MetricError::Kind::Distance of an
// oversized span lattice. A search in which every span is skipped returns
// none, whatever the cutoff.
#include <cstdint>
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

template <class Reader>
using SpanReading = std::invoke_result_t<Reader&, std::string_view>;
template <class Reader>
using SpanReadingError = typename SpanReading<Reader>::error_type;

// Walks the spans in order, reading each; calls score(span, readings as
// chars, readings) for the readable ones. A score that fails ends the walk.
template <class Reader, class Score>
std::expected<void, DictionaryAlignmentError<SpanReadingError<Reader>>> walk_readable_spans(
    std::string_view query, std::string_view text, std::uint64_t span_limit, Reader& read_span, Score score) {
  using Error = DictionaryAlignmentError<SpanReadingError<Reader>>;
  TextSpanIter spans = text_spans(text, span_limit, query.empty());
  while (const std::optional<TextSpan> span = spans.next()) {
    SpanReading<Reader> readings = std::invoke(read_span, span->slice);
    if (!readings) return std::unexpected(Error::reading(std::move(readings.error())));
    if (!*readings) continue;
    if (std::expected<void, MetricError> scored = score(*span, **readings); !scored) {
      return std::unexpected(Error::metric(std::move(scored.error())));
    }
  }
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
  BestSpan<double, BetterScore::Higher> best;
  const auto query_lengths = string_lengths(query_readings);
  auto walked = detail::walk_readable_spans(
      query, text, span_limit, read_span,
      [&](const TextSpan& span, const auto& readings) -> std::expected<void, MetricError> {
        decltype(auto) span_readings = as_reading_lattice(readings);
        // A span whose string lengths alone keep it from being kept needs
        // no similarity; the cutoff is still checked as for any span.
        if (const auto span_lengths = query_lengths ? string_lengths(span_readings) : std::nullopt) {
          const std::expected<double, MetricError> bound =
              apply_similarity_cutoff(similarity_upper_bound(*query_lengths, *span_lengths), cutoff);
          if (!bound) return std::unexpected(bound.error());
          if (*bound == 0.0 || !best.could_take(*bound, span.start, span.end)) return {};
        }
        const std::expected<double, MetricError> s = apply_similarity_cutoff(
            workspace.best_normalized_similarity(query_readings, span_readings), cutoff);
        if (!s) return std::unexpected(s.error());
        if (*s > 0.0) best.offer(*s, span.start, span.end);
        return {};
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
template <class Reader>
std::expected<std::optional<DistanceAlignment>, DictionaryAlignmentError<detail::SpanReadingError<Reader>>>
dictionary_partial_distance_alignment(std::string_view query, std::string_view text, std::uint64_t span_limit,
                                      DistanceCutoff cutoff, const ReadingLattice& query_readings,
                                      const Lattice& query_lattice, Reader&& read_span) {
  LatticeSimilarityWorkspace similarity_workspace;
  DistanceWorkspace lattice_workspace;
  BestSpan<std::uint64_t, BetterScore::Lower> best;
  const auto query_lengths = string_lengths(query_lattice);
  const bool has_cutoff = cutoff.has_value();
  const std::uint64_t limit = cutoff.value_or(0);
  auto walked = detail::walk_readable_spans(
      query, text, span_limit, read_span,
      [&](const TextSpan& span, const auto& readings) -> std::expected<void, MetricError> {
        decltype(auto) span_readings = as_reading_lattice(readings);
        const Lattice& span_lattice = reading_set_lattice(span_readings);
        // A span whose string lengths alone keep it from being kept needs
        // neither programme, unless its distance table would be refused.
        if (query_lengths && check_distance_cells(query_lattice, span_lattice)) {
          if (const auto span_lengths = string_lengths(span_lattice)) {
            const std::uint64_t bound = distance_lower_bound(*query_lengths, *span_lengths);
            if ((has_cutoff && bound > limit) || !best.could_take(bound, span.start, span.end)) return {};
          }
        }
        if (similarity_workspace.best_normalized_similarity(query_readings, span_readings) == 0.0) return {};
        const std::expected<std::uint64_t, MetricError> d =
            distance_with_cutoff_workspace(lattice_workspace, query_lattice, span_lattice, cutoff);
        if (!d) return std::unexpected(d.error());
        if (!has_cutoff || *d <= limit) best.offer(*d, span.start, span.end);
        return {};
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
