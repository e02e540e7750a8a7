#pragma once
// Matrices over readings, behind the _cdist_ methods of the dictionary
// classes: lattices for the distance forms, reading-path sets for the
// similarity forms.
//
// Caller's side: read the queries first, then the choices (the list
// conversions of metrics/cdist_reading_lists.hpp stop at the first text that
// cannot be read and report its reading error); then call one builder. The
// builders touch no Python object and use one workspace of each kind for the
// whole matrix.
//
// Errors: the first failing cell in row order, then column order, ends the
// call and nothing built so far is returned:
//   - lattice and combined matrices: MetricError::Kind::Distance for a pair
//     whose node counts multiply to more than MAX_DISTANCE_CELLS;
//   - path-set matrices: MetricError::Kind::ScoreCutoffRange for a cutoff
//     outside 0.0..1.0 or NaN, once the matrix has a cell.
#include <expected>
#include <span>
#include <string>
#include <vector>

#include "core/lattice.hpp"
#include "metrics/cdist_matrix.hpp"
#include "metrics/metric_error.hpp"
#include "metrics/score_cutoff.hpp"

namespace orvel {

// Lattice Levenshtein distance per cell; with cutoff k a distance above k is
// k + 1.
std::expected<DistanceMatrix, MetricError> cdist_distance_matrix(std::span<const Lattice> queries,
                                                                 std::span<const Lattice> choices,
                                                                 DistanceCutoff cutoff);
// Lattice restricted Damerau distance per cell, same rule.
std::expected<DistanceMatrix, MetricError> cdist_damerau_distance_matrix(std::span<const Lattice> queries,
                                                                         std::span<const Lattice> choices,
                                                                         DistanceCutoff cutoff);

// min(Damerau distance of the texts, Levenshtein distance of their reading
// lattices) per cell, with the cutoff applied to the minimum. Row i pairs
// query text i with query lattice i, column j choice text j with choice
// lattice j; the lists of a side are meant to have equal lengths (a longer
// list's tail is ignored). The reading distance is computed for every cell,
// so an oversized reading pair fails the call even when the texts are equal.
std::expected<DistanceMatrix, MetricError> cdist_combined_distance_matrix(
    std::span<const std::string> query_texts, std::span<const std::string> choice_texts,
    std::span<const Lattice> query_lattices, std::span<const Lattice> choice_lattices, DistanceCutoff cutoff);

// Best normalized similarity over all pairs of a query string and a choice
// string (0.0 when either set is empty), under the similarity cutoff rule;
// one similarity workspace for the whole matrix.
std::expected<ScoreMatrix, MetricError> cdist_similarity_matrix(std::span<const ReadingLattice> queries,
                                                                std::span<const ReadingLattice> choices,
                                                                ScoreCutoff cutoff);
// 1 - that similarity (1.0 when either set is empty), under the normalized
// distance cutoff rule.
std::expected<ScoreMatrix, MetricError> cdist_normalized_distance_matrix(std::span<const ReadingLattice> queries,
                                                                         std::span<const ReadingLattice> choices,
                                                                         ScoreCutoff cutoff);
// The same over string lists (each made a reading set first).
std::expected<ScoreMatrix, MetricError> cdist_similarity_matrix(std::span<const ReadingPathSet> queries,
                                                                std::span<const ReadingPathSet> choices,
                                                                ScoreCutoff cutoff);
std::expected<ScoreMatrix, MetricError> cdist_normalized_distance_matrix(std::span<const ReadingPathSet> queries,
                                                                         std::span<const ReadingPathSet> choices,
                                                                         ScoreCutoff cutoff);

}  // namespace orvel
