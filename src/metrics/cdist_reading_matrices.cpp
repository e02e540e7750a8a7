#include "metrics/cdist_reading_matrices.hpp"

#include <algorithm>

#include "core/lattice_distance.hpp"
#include "core/string_distance.hpp"
#include "metrics/lattice_metrics.hpp"

namespace orvel {

namespace {

// Rows by query, cells by choice; the first failing cell fails the matrix.
template <class Cell, class Query, class Choice, class Fill>
std::expected<std::vector<std::vector<Cell>>, MetricError> fallible_matrix(std::span<const Query> queries,
                                                                           std::span<const Choice> choices,
                                                                           Fill fill) {
  std::vector<std::vector<Cell>> matrix;
  matrix.reserve(queries.size());
  for (std::size_t i = 0; i < queries.size(); ++i) {
    std::vector<Cell>& row = matrix.emplace_back();
    row.reserve(choices.size());
    for (std::size_t j = 0; j < choices.size(); ++j) {
      std::expected<Cell, MetricError> cell = fill(i, j);
      if (!cell) return std::unexpected(std::move(cell.error()));
      row.push_back(*cell);
    }
  }
  return matrix;
}

template <class Distance>
std::expected<DistanceMatrix, MetricError> lattice_matrix(std::span<const Lattice> queries,
                                                          std::span<const Lattice> choices, DistanceCutoff cutoff,
                                                          Distance distance) {
  DistanceWorkspace workspace;
  return fallible_matrix<std::uint64_t>(queries, choices, [&](std::size_t i, std::size_t j) {
    return distance(workspace, queries[i], choices[j], cutoff);
  });
}

template <class Rule>
std::expected<ScoreMatrix, MetricError> reading_set_matrix(std::span<const ReadingLattice> queries,
                                                           std::span<const ReadingLattice> choices, Rule rule) {
  LatticeSimilarityWorkspace workspace;
  return fallible_matrix<double>(queries, choices, [&](std::size_t i, std::size_t j) {
    return rule(workspace.best_normalized_similarity(queries[i], choices[j]));
  });
}

std::vector<ReadingLattice> reading_sets(std::span<const ReadingPathSet> lists) {
  std::vector<ReadingLattice> out;
  out.reserve(lists.size());
  for (const ReadingPathSet& list : lists) out.push_back(reading_lattice_from_paths(list));
  return out;
}

}  // namespace

std::expected<DistanceMatrix, MetricError> cdist_distance_matrix(std::span<const Lattice> queries,
                                                                 std::span<const Lattice> choices,
                                                                 DistanceCutoff cutoff) {
  return lattice_matrix(queries, choices, cutoff,
                        [](DistanceWorkspace& ws, const Lattice& q, const Lattice& c, DistanceCutoff k) {
                          return distance_with_cutoff_workspace(ws, q, c, k);
                        });
}

std::expected<DistanceMatrix, MetricError> cdist_damerau_distance_matrix(std::span<const Lattice> queries,
                                                                         std::span<const Lattice> choices,
                                                                         DistanceCutoff cutoff) {
  return lattice_matrix(queries, choices, cutoff,
                        [](DistanceWorkspace& ws, const Lattice& q, const Lattice& c, DistanceCutoff k) {
                          return damerau_distance_with_cutoff_workspace(ws, q, c, k);
                        });
}

std::expected<DistanceMatrix, MetricError> cdist_combined_distance_matrix(
    std::span<const std::string> query_texts, std::span<const std::string> choice_texts,
    std::span<const Lattice> query_lattices, std::span<const Lattice> choice_lattices, DistanceCutoff cutoff) {
  const std::size_t rows = std::min(query_texts.size(), query_lattices.size());
  const std::size_t columns = std::min(choice_texts.size(), choice_lattices.size());
  const std::vector<std::u32string> query_chars = char_sets(query_texts.first(rows));
  const std::vector<std::u32string> choice_chars = char_sets(choice_texts.first(columns));
  StringDistanceWorkspace string_workspace;
  DistanceWorkspace lattice_workspace;
  return fallible_matrix<std::uint64_t>(query_lattices.first(rows), choice_lattices.first(columns),
                                        [&](std::size_t i, std::size_t j) {
                                          return combined_distance_with_cutoff(
                                              query_chars[i], choice_chars[j], query_lattices[i],
                                              choice_lattices[j], cutoff, string_workspace, lattice_workspace);
                                        });
}

std::expected<ScoreMatrix, MetricError> cdist_similarity_matrix(std::span<const ReadingLattice> queries,
                                                                std::span<const ReadingLattice> choices,
                                                                ScoreCutoff cutoff) {
  return reading_set_matrix(queries, choices,
                            [cutoff](double best) { return apply_similarity_cutoff(best, cutoff); });
}

std::expected<ScoreMatrix, MetricError> cdist_normalized_distance_matrix(std::span<const ReadingLattice> queries,
                                                                         std::span<const ReadingLattice> choices,
                                                                         ScoreCutoff cutoff) {
  return reading_set_matrix(queries, choices,
                            [cutoff](double best) { return apply_normalized_distance_cutoff(1.0 - best, cutoff); });
}

std::expected<ScoreMatrix, MetricError> cdist_similarity_matrix(std::span<const ReadingPathSet> queries,
                                                                std::span<const ReadingPathSet> choices,
                                                                ScoreCutoff cutoff) {
  return cdist_similarity_matrix(reading_sets(queries), reading_sets(choices), cutoff);
}

std::expected<ScoreMatrix, MetricError> cdist_normalized_distance_matrix(std::span<const ReadingPathSet> queries,
                                                                         std::span<const ReadingPathSet> choices,
                                                                         ScoreCutoff cutoff) {
  return cdist_normalized_distance_matrix(reading_sets(queries), reading_sets(choices), cutoff);
}

}  // namespace orvel
