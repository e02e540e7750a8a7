#include "core/lattice_error.hpp"

#include <fmt/format.h>

namespace orvel {

std::string LatticeError::message() const {
  switch (kind) {
    case Kind::Empty:
      return "lattice must contain at least one node";
    case Kind::MixedEmptyAndNonEmptyPaths:
      return "mixed empty and non-empty paths need epsilon arcs, which orvel-core does not model yet";
    case Kind::InvalidNode:
      return fmt::format("node {} is outside 0..{}", node, node_count);
    case Kind::InvalidArcOrder:
      return fmt::format("arc {}->{} violates topological node order", src, dst);
    case Kind::InvalidEndpoint:
      return fmt::format("invalid endpoints start={}, end={}", start, end);
  }
  return "unknown lattice error";
}

std::string LatticeError::debug() const {
  switch (kind) {
    case Kind::Empty:
      return "Empty";
    case Kind::MixedEmptyAndNonEmptyPaths:
      return "MixedEmptyAndNonEmptyPaths";
    case Kind::InvalidNode:
      return fmt::format("InvalidNode {{ node: {}, node_count: {} }}", node, node_count);
    case Kind::InvalidArcOrder:
      return fmt::format("InvalidArcOrder {{ src: {}, dst: {} }}", src, dst);
    case Kind::InvalidEndpoint:
      return fmt::format("InvalidEndpoint {{ start: {}, end: {} }}", start, end);
  }
  return "Unknown";
}

}  // namespace orvel
