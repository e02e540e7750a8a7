#pragma once
// Metrics over two texts (UTF-8, compared as Unicode scalar values).
#include <cstdint>
#include <expected>
#include <string_view>

#include "metrics/metric_error.hpp"
#include "metrics/score_cutoff.hpp"

namespace orvel {

// Levenshtein distance; with a cutoff the bounded algorithm runs.
std::uint64_t text_distance(std::string_view left, std::string_view right, DistanceCutoff cutoff);

// Restricted Damerau (optimal string alignment) distance; with a cutoff the
// bounded algorithm runs. The string forms never report a DistanceError, the
// error side exists for symmetry with the lattice forms.
std::expected<std::uint64_t, MetricError> raw_damerau_distance_pair_with_cutoff(std::string_view left,
                                                                               std::string_view right,
                                                                               DistanceCutoff cutoff);

// Normalized Levenshtein similarity, 1.0 for two empty texts.
double raw_normalized_similarity_pair(std::string_view left, std::string_view right);

// raw_normalized_similarity_pair under the float similarity rule.
std::expected<double, MetricError> text_normalized_similarity(std::string_view left, std::string_view right,
                                                              ScoreCutoff cutoff);
// 1 - similarity under the float distance rule.
std::expected<double, MetricError> text_normalized_distance(std::string_view left, std::string_view right,
                                                            ScoreCutoff cutoff);

}  // namespace orvel
