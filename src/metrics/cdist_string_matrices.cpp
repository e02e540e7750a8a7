#include "metrics/cdist_string_matrices.hpp"

#include <vector>

#include "core/string_distance.hpp"

namespace orvel {

namespace {

// Fills a matrix cell by cell from decoded texts on one shared workspace.
template <class Cell, class Fill>
std::vector<std::vector<Cell>> string_matrix(std::span<const std::string> queries,
                                             std::span<const std::string> choices, Fill fill) {
  const std::vector<std::u32string> query_chars = char_sets(queries);
  const std::vector<std::u32string> choice_chars = char_sets(choices);
  StringDistanceWorkspace workspace;
  std::vector<std::vector<Cell>> matrix;
  matrix.reserve(query_chars.size());
  for (const std::u32string& q : query_chars) {
    std::vector<Cell>& row = matrix.emplace_back();
    row.reserve(choice_chars.size());
    for (const std::u32string& c : choice_chars) row.push_back(fill(workspace, q, c));
  }
  return matrix;
}

bool has_cells(std::span<const std::string> queries, std::span<const std::string> choices) {
  return !queries.empty() && !choices.empty();
}

// The cutoff is checked where the first value would be produced; no other
// error can come first, so one check before the cells decides it.
std::expected<void, MetricError> check_cutoff_at_first_cell(std::span<const std::string> queries,
                                                            std::span<const std::string> choices,
                                                            ScoreCutoff cutoff) {
  if (cutoff && !valid_score_cutoff(*cutoff) && has_cells(queries, choices)) {
    return std::unexpected(MetricError::score_cutoff_range());
  }
  return {};
}

double similarity(StringDistanceWorkspace& ws, std::u32string_view q, std::u32string_view c) {
  return normalized_similarity_from_distance(ws.levenshtein(q, c), q.size(), c.size());
}

}  // namespace

DistanceMatrix cdist_string_distance_matrix(std::span<const std::string> queries,
                                            std::span<const std::string> choices, DistanceCutoff cutoff) {
  return string_matrix<std::uint64_t>(
      queries, choices, [cutoff](StringDistanceWorkspace& ws, std::u32string_view q, std::u32string_view c) {
        if (!cutoff) return ws.levenshtein(q, c);
        return bounded_or_successor(ws.levenshtein_with_cutoff(q, c, *cutoff), *cutoff);
      });
}

DistanceMatrix cdist_string_damerau_distance_matrix(std::span<const std::string> queries,
                                                    std::span<const std::string> choices,
                                                    DistanceCutoff cutoff) {
  return string_matrix<std::uint64_t>(
      queries, choices, [cutoff](StringDistanceWorkspace& ws, std::u32string_view q, std::u32string_view c) {
        if (!cutoff) return ws.damerau_levenshtein(q, c);
        return bounded_or_successor(ws.damerau_levenshtein_with_cutoff(q, c, *cutoff), *cutoff);
      });
}

DistanceMatrix cdist_string_combined_distance_matrix(std::span<const std::string> queries,
                                                     std::span<const std::string> choices,
                                                     DistanceCutoff cutoff) {
  return cdist_string_damerau_distance_matrix(queries, choices, cutoff);
}

std::expected<ScoreMatrix, MetricError> cdist_string_similarity_matrix(std::span<const std::string> queries,
                                                                       std::span<const std::string> choices,
                                                                       ScoreCutoff cutoff) {
  if (auto ok = check_cutoff_at_first_cell(queries, choices, cutoff); !ok) return std::unexpected(ok.error());
  return string_matrix<double>(
      queries, choices, [cutoff](StringDistanceWorkspace& ws, std::u32string_view q, std::u32string_view c) {
        const double s = similarity(ws, q, c);
        return cutoff && s < *cutoff ? 0.0 : s;
      });
}

std::expected<ScoreMatrix, MetricError> cdist_string_normalized_distance_matrix(
    std::span<const std::string> queries, std::span<const std::string> choices, ScoreCutoff cutoff) {
  if (auto ok = check_cutoff_at_first_cell(queries, choices, cutoff); !ok) return std::unexpected(ok.error());
  return string_matrix<double>(
      queries, choices, [cutoff](StringDistanceWorkspace& ws, std::u32string_view q, std::u32string_view c) {
        const double v = 1.0 - similarity(ws, q, c);
        return cutoff && v > *cutoff ? 1.0 : v;
      });
}

}  // namespace orvel
