#pragma once
// Why a lattice could not be built.
#include <cstdint>
#include <string>

namespace orvel {

struct LatticeError {
  // Variant numbers are fixed: 0 to 4 in this order.
  enum class Kind : std::uint8_t {
    Empty = 0,
    MixedEmptyAndNonEmptyPaths = 1,
    InvalidNode = 2,
    InvalidArcOrder = 3,
    InvalidEndpoint = 4,
  };

  Kind kind = Kind::Empty;
  // InvalidNode: the offending node and the lattice's node count.
  std::uint64_t node = 0;
  std::uint64_t node_count = 0;
  // InvalidArcOrder: the arc's ends.
  std::uint64_t src = 0;
  std::uint64_t dst = 0;
  // InvalidEndpoint: the requested endpoints.
  std::uint64_t start = 0;
  std::uint64_t end = 0;

  static LatticeError empty() { return {.kind = Kind::Empty}; }
  static LatticeError mixed_empty_and_non_empty_paths() { return {.kind = Kind::MixedEmptyAndNonEmptyPaths}; }
  static LatticeError invalid_node(std::uint64_t node, std::uint64_t node_count) {
    return {.kind = Kind::InvalidNode, .node = node, .node_count = node_count};
  }
  static LatticeError invalid_arc_order(std::uint64_t src, std::uint64_t dst) {
    return {.kind = Kind::InvalidArcOrder, .src = src, .dst = dst};
  }
  static LatticeError invalid_endpoint(std::uint64_t start, std::uint64_t end) {
    return {.kind = Kind::InvalidEndpoint, .start = start, .end = end};
  }

  // The fixed display text, e.g. "node 5 is outside 0..4".
  std::string message() const;
  // Developer form, e.g. "InvalidNode { node: 5, node_count: 4 }".
  std::string debug() const;

  friend bool operator==(const LatticeError&, const LatticeError&) = default;
};

}  // namespace orvel
