#pragma once
// Edit distances between two lattices: the fewest symbol edits that turn
// some reading of the left lattice into some reading of the right one.
//
// Two models: Levenshtein (insert, delete, substitute at cost 1) and
// restricted Damerau (also the swap of two adjacent symbols at cost 1, with
// no further edit inside a swapped pair). Three forms each:
//   - exact: a dynamic programme over all node pairs, O(L x R x in-degrees);
//   - with a cutoff k: a search that visits only node pairs reachable within
//     cost k, answering the exact distance when it is <= k and nothing
//     otherwise;
//   - threshold tests: whether the exact distance is <= t, stopping as soon
//     as that is known.
// Every form first refuses pairs of more than MAX_DISTANCE_CELLS node pairs
// (DistanceError), before any buffer is touched.
#include <cstdint>
#include <expected>
#include <optional>
#include <vector>

#include "core/distance_error.hpp"
#include "core/lattice.hpp"

namespace orvel {

// Cost of an end node pair that no path reaches (2^62 - 1); the exact forms
// return it for a pair whose end cannot be reached from its start.
inline constexpr std::uint64_t UNREACHED_COST = (std::uint64_t{1} << 62) - 1;

// Checks the cell limit: L x R, overflow included.
std::expected<void, DistanceError> check_distance_cells(std::uint64_t left_nodes, std::uint64_t right_nodes);
std::expected<void, DistanceError> check_distance_cells(const Lattice& left, const Lattice& right);

// Scratch buffers for lattice distances, owned by the caller and lent to one
// operation at a time. Every operation overwrites what it uses; capacity is
// kept, so one workspace serves all cells of a matrix without allocating
// once it has grown to the largest pair. Not for use by two threads at once.
class DistanceWorkspace {
 public:
  DistanceWorkspace() = default;

  std::expected<std::uint64_t, DistanceError> try_distance(const Lattice& left, const Lattice& right);
  std::expected<std::uint64_t, DistanceError> try_damerau_distance(const Lattice& left, const Lattice& right);

  // The exact distance when it is <= cutoff, else no value. With an
  // unreachable end: UNREACHED_COST when cutoff >= UNREACHED_COST.
  std::expected<std::optional<std::uint64_t>, DistanceError> try_distance_with_cutoff(const Lattice& left,
                                                                                      const Lattice& right,
                                                                                      std::uint64_t cutoff);
  std::expected<std::optional<std::uint64_t>, DistanceError> try_damerau_distance_with_cutoff(
      const Lattice& left, const Lattice& right, std::uint64_t cutoff);

  // Whether the exact distance is <= threshold, on this workspace. Always
  // false when the end pair is unreachable; always true when both lattices
  // start at their end node.
  std::expected<bool, DistanceError> try_within_distance(const Lattice& left, const Lattice& right,
                                                         std::uint64_t threshold);
  std::expected<bool, DistanceError> try_within_damerau_distance(const Lattice& left, const Lattice& right,
                                                                 std::uint64_t threshold);

 private:
  template <bool Damerau>
  std::uint64_t exact(const Lattice& left, const Lattice& right);
  // The exact cost of the end pair if it is <= limit, else no value (also
  // when the end pair is unreachable).
  template <bool Damerau>
  std::optional<std::uint64_t> bounded(const Lattice& left, const Lattice& right, std::uint64_t limit);

  // Exact forms: one cost per node pair, row-major by left node. Reachable
  // costs never exceed L + R, so 32 bits suffice; kUnreached stands for
  // UNREACHED_COST.
  std::vector<std::uint32_t> costs_;
  // Bounded forms: per node pair the cost and the generation in which it was
  // written; an entry of an older generation counts as unreached, so the
  // table need not be cleared per call.
  struct Cell {
    std::uint32_t generation;
    std::uint32_t cost;
  };
  std::vector<Cell> cells_;
  std::uint32_t generation_ = 0;
  // Node pairs waiting to be expanded at the current cost and at the next
  // one (costs only grow by 0 or 1 per move), packed as left << 32 | right.
  std::vector<std::uint64_t> level_;
  std::vector<std::uint64_t> next_level_;
};

// The threshold tests on a private workspace, released before returning.
std::expected<bool, DistanceError> try_within_distance(const Lattice& left, const Lattice& right,
                                                       std::uint64_t threshold);
std::expected<bool, DistanceError> try_within_damerau_distance(const Lattice& left, const Lattice& right,
                                                               std::uint64_t threshold);

}  // namespace orvel
