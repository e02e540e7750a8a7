#pragma once
// Matrices over plain texts, behind the free _cdist_ functions.
//
// Caller's side: the texts are owned UTF-8 copies (the binding layer has
// converted every item and copied it before releasing the interpreter lock);
// the cutoff is the converted score_cutoff (an integer cutoff already passed
// the raw-object rule for the combined form). Every builder runs without any
// Python object, decodes each text once and reuses one string workspace for
// all cells.
//
// Errors: the integer matrices cannot fail. The float matrices fail with
// MetricError::Kind::ScoreCutoffRange when the cutoff is outside 0.0..1.0 or
// NaN and the matrix has at least one cell; a matrix without cells is
// returned whatever the cutoff.
#include <expected>
#include <span>
#include <string>

#include "metrics/cdist_matrix.hpp"
#include "metrics/metric_error.hpp"
#include "metrics/score_cutoff.hpp"

namespace orvel {

// Levenshtein distance per cell; with cutoff k a distance above k is k + 1.
DistanceMatrix cdist_string_distance_matrix(std::span<const std::string> queries,
                                            std::span<const std::string> choices, DistanceCutoff cutoff);
// Restricted Damerau (optimal string alignment) distance per cell, same rule.
DistanceMatrix cdist_string_damerau_distance_matrix(std::span<const std::string> queries,
                                                    std::span<const std::string> choices,
                                                    DistanceCutoff cutoff);
// A free text has no readings to combine: the Damerau matrix.
DistanceMatrix cdist_string_combined_distance_matrix(std::span<const std::string> queries,
                                                     std::span<const std::string> choices,
                                                     DistanceCutoff cutoff);
// Normalized Levenshtein similarity per cell; below the cutoff gives 0.0.
std::expected<ScoreMatrix, MetricError> cdist_string_similarity_matrix(std::span<const std::string> queries,
                                                                       std::span<const std::string> choices,
                                                                       ScoreCutoff cutoff);
// 1 - similarity per cell; above the cutoff gives 1.0.
std::expected<ScoreMatrix, MetricError> cdist_string_normalized_distance_matrix(
    std::span<const std::string> queries, std::span<const std::string> choices, ScoreCutoff cutoff);

}  // namespace orvel
