#pragma once
// Matrices over plain texts, behind the free _cdist_ functions.
//
// Caller's side: the texts are owned UTF-8 copies (the binding layer has
// converted every item and copied it before releasing the interpreter lock);
// the cutoff is the converted score_cutoff (an integer cutoff already passed
// the raw-object rule for the combined form). Every builder runs without any
// Python object and decodes each text once. Queries of up to 64 characters
// run in packs on the lanes of one vector (core/string_batch.hpp), longer
// ones with their masks built once per row; `kernel` picks the vector build
// (tests compare them), by default the fastest the processor has.
//
// Errors: the integer matrices cannot fail. The float matrices fail with
// MetricError::Kind::ScoreCutoffRange when the cutoff is outside 0.0..1.0 or
// NaN and the matrix has at least one cell; a matrix without cells is
// returned whatever the cutoff.
#include <expected>
#include <span>
#include <string>

#include "core/string_batch.hpp"
#include "metrics/flat_matrix.hpp"
#include "metrics/metric_error.hpp"
#include "metrics/score_cutoff.hpp"

namespace orvel {

using StringDistanceMatrix = FlatMatrix<std::uint64_t>;
using StringScoreMatrix = FlatMatrix<double>;

// Levenshtein distance per cell; with cutoff k a distance above k is k + 1.
StringDistanceMatrix cdist_string_distance_matrix(std::span<const std::string> queries,
                                                  std::span<const std::string> choices, DistanceCutoff cutoff,
                                                  BatchKernel kernel = fastest_batch_kernel());
// Restricted Damerau (optimal string alignment) distance per cell, same rule.
StringDistanceMatrix cdist_string_damerau_distance_matrix(std::span<const std::string> queries,
                                                          std::span<const std::string> choices,
                                                          DistanceCutoff cutoff,
                                                          BatchKernel kernel = fastest_batch_kernel());
// A free text has no readings to combine: the Damerau matrix.
StringDistanceMatrix cdist_string_combined_distance_matrix(std::span<const std::string> queries,
                                                           std::span<const std::string> choices,
                                                           DistanceCutoff cutoff,
                                                           BatchKernel kernel = fastest_batch_kernel());
// Normalized Levenshtein similarity per cell; below the cutoff gives 0.0.
std::expected<StringScoreMatrix, MetricError> cdist_string_similarity_matrix(
    std::span<const std::string> queries, std::span<const std::string> choices, ScoreCutoff cutoff,
    BatchKernel kernel = fastest_batch_kernel());
// 1 - similarity per cell; above the cutoff gives 1.0.
std::expected<StringScoreMatrix, MetricError> cdist_string_normalized_distance_matrix(
    std::span<const std::string> queries, std::span<const std::string> choices, ScoreCutoff cutoff,
    BatchKernel kernel = fastest_batch_kernel());

}  // namespace orvel
