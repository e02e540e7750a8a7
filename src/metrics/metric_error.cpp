#include "metrics/metric_error.hpp"

#include <fmt/format.h>

namespace orvel {

std::string MetricError::message() const {
  switch (kind) {
    case Kind::EmptyPathList:
      return fmt::format("{} must contain at least one path", path_list_name);
    case Kind::MixedPathList:
      return fmt::format("{} cannot mix empty and non-empty paths", path_list_name);
    case Kind::Distance:
      return distance.message();
    case Kind::ScoreCutoffRange:
      return "score_cutoff must be between 0.0 and 1.0";
  }
  return {};
}

std::string MetricError::debug() const {
  switch (kind) {
    case Kind::EmptyPathList:
      return fmt::format("EmptyPathList {{ name: {} }}", path_list_name);
    case Kind::MixedPathList:
      return fmt::format("MixedPathList {{ name: {} }}", path_list_name);
    case Kind::Distance:
      return fmt::format("Distance {{ left_nodes: {}, right_nodes: {}, max_cells: {} }}", distance.left_nodes,
                         distance.right_nodes, distance.max_cells);
    case Kind::ScoreCutoffRange:
      return "ScoreCutoffRange";
  }
  return {};
}

}  // namespace orvel
