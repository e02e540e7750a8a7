#pragma once
// Refusal of a lattice pair whose table of node pairs is too large.
#include <cstdint>
#include <string>

namespace orvel {

// Largest accepted product of the two lattices' node counts (inclusive).
inline constexpr std::uint64_t MAX_DISTANCE_CELLS = 16'000'000;

struct DistanceError {
  // The only variant: the cell count L x R exceeds MAX_DISTANCE_CELLS or
  // overflows 64 bits.
  enum class Kind : std::uint8_t { TooManyCells = 0 };

  Kind kind = Kind::TooManyCells;
  std::uint64_t left_nodes = 0;
  std::uint64_t right_nodes = 0;
  std::uint64_t max_cells = MAX_DISTANCE_CELLS;

  // "distance matrix {L}x{R} exceeds the maximum of {max} cells".
  std::string message() const;
  // The same text: the error has no other textual form.
  std::string debug() const { return message(); }

  friend bool operator==(const DistanceError&, const DistanceError&) = default;
};

}  // namespace orvel
