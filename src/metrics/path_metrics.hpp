#pragma once
// Metrics over two lists of reading paths, and the path-list kernels that
// matrices, alignments and the dictionary methods reuse.
//
// A path list is valid when it holds at least one path and does not mix
// empty with non-empty paths. Errors name the list by the parameter name
// the caller passes ("left_paths", "right_paths"); the left list is always
// checked first.
#include <cstdint>
#include <expected>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/lattice.hpp"
#include "core/string_distance.hpp"
#include "metrics/metric_error.hpp"
#include "metrics/score_cutoff.hpp"

namespace orvel {

using PathList = std::vector<std::string>;

inline constexpr std::string_view kLeftPaths = "left_paths";
inline constexpr std::string_view kRightPaths = "right_paths";

std::expected<void, MetricError> validate_paths(std::span<const std::string> paths, std::string_view name);

// The chain lattice of a valid list; a list of empty paths only (one or
// more) gives the one-node lattice.
std::expected<Lattice, MetricError> lattice_from_paths(PathList paths, std::string_view name);

// Best normalized similarity over all pairs (a from `left`, b from `right`),
// stopping at the first 1.0; 0.0 when either list is empty.
double max_normalized_similarity(std::span<const std::string> left, std::span<const std::string> right);
// The same over lists already decoded to scalar values, on a caller's
// workspace (matrices reuse one workspace for every cell).
double max_normalized_similarity(std::span<const std::u32string> left, std::span<const std::u32string> right,
                                 StringDistanceWorkspace& workspace);

// The free path-list functions. Each validates (or builds the lattice of)
// the left list before the right one.
std::expected<std::uint64_t, MetricError> distance_paths(PathList left, PathList right, DistanceCutoff cutoff);
std::expected<std::uint64_t, MetricError> damerau_distance_paths(PathList left, PathList right,
                                                                 DistanceCutoff cutoff);
std::expected<double, MetricError> normalized_similarity_paths(std::span<const std::string> left,
                                                               std::span<const std::string> right,
                                                               ScoreCutoff cutoff);
std::expected<double, MetricError> normalized_distance_paths(std::span<const std::string> left,
                                                             std::span<const std::string> right,
                                                             ScoreCutoff cutoff);
std::expected<bool, MetricError> within_distance_paths(PathList left, PathList right, std::uint64_t threshold);
std::expected<bool, MetricError> within_damerau_distance_paths(PathList left, PathList right,
                                                               std::uint64_t threshold);

}  // namespace orvel
