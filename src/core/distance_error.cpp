#include "core/distance_error.hpp"

#include <fmt/format.h>

namespace orvel {

std::string DistanceError::message() const {
  return fmt::format("distance matrix {}x{} exceeds the maximum of {} cells", left_nodes, right_nodes, max_cells);
}

}  // namespace orvel
