#include "metrics/partial_alignment.hpp"

#include <algorithm>
#include <string>
#include <vector>

#include "core/distance_error.hpp"
#include "core/string_distance.hpp"
#include "metrics/partial_spans.hpp"
#include "text/utf8.hpp"

namespace orvel {

namespace {

// Levenshtein distances of the query against every prefix of a text run, in
// one dynamic programme: the query spans the columns, each further text
// character adds a row, and the last column of row r is the distance to the
// first r characters. Spans sharing a start thus cost one row each instead
// of a full table each. The lattice distance of two chain lattices is the
// Levenshtein distance of their strings, so the free searches need no
// lattice.
class PrefixDistances {
 public:
  explicit PrefixDistances(std::u32string_view query) : query_(query) {
    previous_.resize(query_.size() + 1);
    current_.resize(query_.size() + 1);
  }

  // Calls visit(end, distance) for every end in (start, last_end].
  template <class Visit>
  void each_prefix(std::u32string_view text, std::uint64_t start, std::uint64_t last_end, Visit visit) {
    const std::size_t width = query_.size();
    for (std::size_t c = 0; c <= width; ++c) previous_[c] = c;
    for (std::uint64_t end = start + 1; end <= last_end; ++end) {
      const char32_t ch = text[end - 1];
      current_[0] = end - start;
      for (std::size_t c = 1; c <= width; ++c) {
        const std::uint64_t substitute = previous_[c - 1] + (query_[c - 1] == ch ? 0 : 1);
        current_[c] = std::min({substitute, current_[c - 1] + 1, previous_[c] + 1});
      }
      previous_.swap(current_);
      visit(end, previous_[width]);
    }
  }

 private:
  std::u32string_view query_;
  std::vector<std::uint64_t> previous_;
  std::vector<std::uint64_t> current_;
};

// Runs score(start, end, distance) over every span of the text in
// enumeration order, distances computed prefix by prefix.
template <class Score>
void for_each_span_distance(std::u32string_view query, std::u32string_view text, const TextSpanIter& spans,
                            Score score) {
  if (spans.single_empty_span()) {
    score(0, 0, static_cast<std::uint64_t>(query.size()));
    return;
  }
  PrefixDistances prefixes(query);
  for (std::uint64_t start = 0; start < spans.char_count(); ++start) {
    prefixes.each_prefix(text, start, spans.span_end_limit(start),
                         [&](std::uint64_t end, std::uint64_t d) { score(start, end, d); });
  }
}

bool exceeds_cells(std::uint64_t left_nodes, std::uint64_t right_nodes) {
  std::uint64_t cells = 0;
  return __builtin_mul_overflow(left_nodes, right_nodes, &cells) || cells > MAX_DISTANCE_CELLS;
}

// The cell check of the span lattices, in span order. The cell count grows
// with the span length, and the first start offers every length up to the
// longest, so the first refused span is the shortest refused length at start
// 0 (or the one empty span).
std::expected<void, MetricError> check_span_cells(std::uint64_t query_chars, const TextSpanIter& spans) {
  const std::uint64_t left_nodes = query_chars + 1;
  const std::uint64_t longest = spans.single_empty_span() ? 0 : spans.span_end_limit(0);
  if (!exceeds_cells(left_nodes, longest + 1)) return {};
  std::uint64_t first_refused = spans.single_empty_span() ? 0 : std::max<std::uint64_t>(1, MAX_DISTANCE_CELLS / left_nodes);
  return std::unexpected(MetricError::from(DistanceError{DistanceError::Kind::TooManyCells, left_nodes,
                                                         first_refused + 1, MAX_DISTANCE_CELLS}));
}

}  // namespace

std::expected<std::optional<RatioAlignment>, MetricError> partial_ratio_alignment(std::string_view query,
                                                                                  std::string_view text,
                                                                                  std::uint64_t span_limit,
                                                                                  ScoreCutoff cutoff) {
  // There is always a span, and the cutoff is checked at the first one.
  if (cutoff && !valid_score_cutoff(*cutoff)) return std::unexpected(MetricError::score_cutoff_range());
  const std::u32string query_chars = text::decode_utf8(query);
  const std::u32string text_chars = text::decode_utf8(text);
  const TextSpanIter spans = text_spans(text, span_limit, query_chars.empty());
  const std::uint64_t q = query_chars.size();
  BestSpan<double, BetterScore::Higher> best;
  for_each_span_distance(query_chars, text_chars, spans, [&](std::uint64_t start, std::uint64_t end, std::uint64_t d) {
    double s = normalized_similarity_from_distance(d, q, end - start);
    if (cutoff && s < *cutoff) s = 0.0;
    if (s > 0.0) best.offer(s, start, end);
  });
  return best.result(q);
}

std::expected<std::optional<DistanceAlignment>, MetricError> partial_distance_alignment(
    std::string_view query, std::string_view text, std::uint64_t span_limit, DistanceCutoff cutoff) {
  const std::u32string query_chars = text::decode_utf8(query);
  const std::u32string text_chars = text::decode_utf8(text);
  const TextSpanIter spans = text_spans(text, span_limit, query_chars.empty());
  const std::uint64_t q = query_chars.size();
  if (auto ok = check_span_cells(q, spans); !ok) return std::unexpected(ok.error());
  BestSpan<std::uint64_t, BetterScore::Lower> best;
  for_each_span_distance(query_chars, text_chars, spans, [&](std::uint64_t start, std::uint64_t end, std::uint64_t d) {
    if (!cutoff || d <= *cutoff) best.offer(d, start, end);
  });
  return best.result(q);
}

}  // namespace orvel
