#pragma once
// Errors of the metric kernels. Every one reaches Python as a ValueError
// carrying message().
#include <string>
#include <string_view>

#include "core/distance_error.hpp"

namespace orvel {

struct MetricError {
  enum class Kind {
    EmptyPathList,      // "{name} must contain at least one path"
    MixedPathList,      // "{name} cannot mix empty and non-empty paths"
    Distance,           // the DistanceError's own message
    ScoreCutoffRange,   // "score_cutoff must be between 0.0 and 1.0"
  };

  Kind kind = Kind::ScoreCutoffRange;
  // The path-list name ("left_paths", "right_paths") for the path-list kinds;
  // always a string literal.
  std::string_view path_list_name;
  // The refused lattice pair for Kind::Distance.
  DistanceError distance{};

  static MetricError empty_path_list(std::string_view name) { return {Kind::EmptyPathList, name, {}}; }
  static MetricError mixed_path_list(std::string_view name) { return {Kind::MixedPathList, name, {}}; }
  static MetricError from(const DistanceError& e) { return {Kind::Distance, {}, e}; }
  static MetricError score_cutoff_range() { return {Kind::ScoreCutoffRange, {}, {}}; }

  std::string message() const;
  std::string debug() const;
};

}  // namespace orvel
