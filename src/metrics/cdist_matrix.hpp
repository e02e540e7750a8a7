#pragma once
// Query-by-choice matrices: one row per query in query order, one cell per
// choice in choice order; cell (i, j) scores query i (left) against choice j
// (right). No queries give no rows; no choices give one empty row per query.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "core/lattice_similarity.hpp"

namespace orvel {

using DistanceMatrix = std::vector<std::vector<std::uint64_t>>;
using ScoreMatrix = std::vector<std::vector<double>>;

// One text's reading strings, in the order its reading front gave them.
using ReadingPathSet = std::vector<std::string>;

// A reading set in the form the similarity kernel takes.
inline const ReadingLattice& as_reading_lattice(const ReadingLattice& readings) { return readings; }
inline ReadingLattice as_reading_lattice(const ReadingPathSet& readings) { return reading_lattice_from_paths(readings); }

// The texts decoded once into Unicode scalar values, in order (valid UTF-8).
std::vector<std::u32string> char_sets(std::span<const std::string> texts);

}  // namespace orvel
