#pragma once
// Shrinks a finished reading lattice without changing what it spells.
//
// The romaji builder gives every whole reading of a text its own interior
// nodes, so a dictionary lattice of many readings repeats the same prefixes
// and suffixes hundreds of times. Every lattice distance depends only on the
// set of strings a lattice spells from start to end, so a smaller lattice
// with the same string set gives the same distances on fewer cells.
#include <optional>

#include "core/lattice.hpp"

namespace orvel::ja {

// A lattice spelling exactly the start-to-end strings of `lattice`, with at
// most its nodes and at most its arcs, numbered so that every arc ascends,
// start 0 and end last. Two reductions are tried and the smaller kept:
//  - merging nodes with the same incoming (source, symbol) arcs, then nodes
//    with the same outgoing (symbol, destination) arcs, until nothing merges;
//  - the minimal deterministic automaton of the strings, built by subset
//    construction as long as it stays within the merged lattice's node
//    count, with one end node that the arcs into accepting states are
//    copied to.
// The result depends only on the input (no hash order). A lattice whose
// start is its end, or whose end cannot be reached, comes back unchanged,
// and so does one that neither reduction makes smaller.
Lattice reduce_reading_lattice(Lattice lattice);

namespace detail {

// The two reductions on their own, for tests: none for a lattice that
// reduce_reading_lattice leaves unchanged at once, or when the automaton
// outgrows its fixed budget.
std::optional<Lattice> merged_lattice(const Lattice& lattice);
std::optional<Lattice> minimal_automaton_lattice(const Lattice& lattice);

}  // namespace detail

}  // namespace orvel::ja
