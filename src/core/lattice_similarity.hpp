#pragma once
// The best normalized Levenshtein similarity between any string of one
// lattice and any string of another, without listing the strings.
//
// For strings a and b at distance d,
//   1 - d / max(|a|, |b|) = max(1 - d / |a|, 1 - d / |b|),
// and the equality holds in floating point too: a correctly rounded
// division and subtraction are monotone, so the larger of the two rounded
// terms is the rounded value of the right-hand side. The best over all pairs
// is therefore the larger of
//   max over the lengths la of left strings of 1 - DA[la] / la, where DA[la]
//   is the least distance between a left string of length la and any right
//   string, and
//   the same with the sides swapped.
// DA comes from the ordinary lattice edit-distance programme run on the left
// lattice with each node split by the lengths of the prefixes reaching it,
// against the right lattice as it is; DB from the programme the other way
// round. Work: (split left nodes x right nodes + split right nodes x left
// nodes) cells, each over the in-degrees of its two nodes. Memory: one row
// per split node whose successors are still to come.
//
// Agrees exactly with the pairwise loop over normalized_similarity_from_distance
// (both sides empty: 1.0; one side only the empty string: 0.0; no strings
// on a side: 0.0).
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/lattice.hpp"

namespace orvel {

// A set of reading strings held as a lattice. No lattice spells the empty
// string beside others, so such a set keeps its non-empty strings in
// `lattice` and sets `also_empty`.
struct ReadingLattice {
  Lattice lattice;
  bool also_empty = false;

  bool contains_empty() const { return also_empty || lattice.start() == lattice.end(); }
};

// The reading set of a list of strings (UTF-8), any order, repeats allowed:
// their minimised compact lattice. No strings give a lattice without any.
ReadingLattice reading_lattice_from_paths(std::span<const std::string> paths);

// Scratch buffers, reused across calls (one per matrix). Not for two threads
// at once.
class LatticeSimilarityWorkspace {
 public:
  LatticeSimilarityWorkspace() = default;

  double best_normalized_similarity(const Lattice& left, const Lattice& right);
  // The same over two reading sets: 1.0 when both hold the empty string
  // (the empty string scores 0.0 against every other string).
  double best_normalized_similarity(const ReadingLattice& left, const ReadingLattice& right);

  // The best normalized similarity of `query` with each of `others` (and,
  // where it comes out of the same programme, their least distance: the
  // lattice Levenshtein distance), into `out` in the order of `others`.
  // Meant for many sets whose strings end alike, such as the readings of
  // the spans of a text that end at one place: lattice nodes with the same
  // continuations (the same arcs to the same classes of nodes) are one class
  // across all of them, and the programme runs once over the classes, from
  // the ends backwards (a distance is the same read backwards). Each value
  // equals best_normalized_similarity(query, *others[i]).
  struct SharedSimilarity {
    double similarity = 0.0;
    // The least Levenshtein distance between a string of the query's
    // lattice and one of the other's (an empty string kept aside counts
    // for neither); absent where either lattice spells no non-empty string
    // or both sets hold the empty string.
    std::optional<std::uint64_t> least_distance;
  };
  // With `exact` false only whether a similarity is 0.0 is exact (a value
  // above 0.0 may be below the best), and the least distances: the second
  // pass then runs only for the sets the first leaves at 0.0. With `exact`
  // and a floor above 0.0, a value below the floor may come out lower than
  // the best, never at or above the floor (for a search that keeps only
  // values reaching the floor).
  void best_similarities_sharing_endings(const ReadingLattice& query, std::span<const ReadingLattice* const> others,
                                         std::vector<SharedSimilarity>& out, bool exact = true, double floor = 0.0);

 private:
  // One side's nodes that lie on some start-to-end path, renumbered densely
  // in ascending order, with their incoming arcs from such nodes.
  struct UsefulNodes {
    std::vector<std::uint32_t> dense;  // lattice node -> dense number, or kNone
    std::vector<std::uint64_t> nodes;  // dense number -> lattice node
    std::vector<std::uint32_t> in_offsets;
    std::vector<std::uint32_t> in_sources;  // dense numbers
    std::vector<std::uint32_t> in_symbols;
    std::uint32_t size() const { return static_cast<std::uint32_t>(nodes.size()); }
  };

  static bool useful_nodes(const Lattice& lattice, UsefulNodes& out, std::vector<std::uint8_t>& marks);
  // The lengths of the prefixes reaching each node of `split`, into
  // length_offsets_ and lengths_.
  void prefix_lengths(const UsefulNodes& split);
  // The lengths of a side's strings, ascending.
  void string_lengths(const UsefulNodes& side, std::vector<std::uint32_t>& out);
  // An upper bound on the terms of the second pass from the first pass's
  // least distances and the second side's string lengths.
  static double second_terms_bound(const std::vector<std::pair<std::uint64_t, std::uint64_t>>& first_distances,
                                   std::span<const std::uint32_t> second_lengths);
  // Least distance from each length of `split`'s strings to any string of
  // `other`, as (length, distance) pairs in ascending length.
  void distances_by_length(const UsefulNodes& split, const UsefulNodes& other,
                           std::vector<std::pair<std::uint64_t, std::uint64_t>>& out);
  // The programme behind distances_by_length: one row over `other` for each
  // split node of `split` (node, prefix length), in ascending node order;
  // on_row(node, length, row) sees each row once, right after it is made.
  template <class OnRow>
  void run_programme(const UsefulNodes& split, const UsefulNodes& other, OnRow&& on_row);
  // `side` read backwards: node d becomes size - 1 - d, arcs turn round.
  static void reversed(const UsefulNodes& side, UsefulNodes& out);

  UsefulNodes left_;
  UsefulNodes right_;
  std::vector<std::uint8_t> marks_;
  // Split nodes of the split side: per dense node, the range of its lengths.
  std::vector<std::uint32_t> length_offsets_;
  std::vector<std::uint32_t> lengths_;
  std::vector<std::uint32_t> merge_;
  // Rows of the programme: a pool of rows of the other side's width, the
  // row of each split node and the free rows.
  std::vector<std::uint32_t> pool_;
  std::vector<std::uint32_t> row_of_;
  std::vector<std::uint32_t> free_rows_;
  // The least of a split node's predecessor rows.
  std::vector<std::uint32_t> least_;
  std::vector<std::uint32_t> last_use_;
  std::vector<std::uint32_t> released_;
  std::vector<std::uint32_t> release_offsets_;
  std::vector<std::uint32_t> left_lengths_;
  std::vector<std::uint32_t> right_lengths_;
  std::vector<std::pair<std::uint64_t, std::uint64_t>> by_length_first_;
  std::vector<std::pair<std::uint64_t, std::uint64_t>> by_length_second_;
  // best_similarities_sharing_endings: the query backwards, the classes of
  // the others' nodes as a lattice read backwards, the class of each other's
  // start and of each node of the one being classed.
  UsefulNodes query_backwards_;
  UsefulNodes classes_;
  std::vector<std::uint32_t> class_of_start_;
  std::vector<std::uint32_t> node_class_;
};

double best_normalized_similarity(const Lattice& left, const Lattice& right);
double best_normalized_similarity(const ReadingLattice& left, const ReadingLattice& right);

// The number of symbols on the longest start-to-end path; 0 when the end is
// the start or cannot be reached.
std::uint64_t longest_string_length(const Lattice& lattice);

// The lengths of the shortest and the longest string a lattice spells; none
// when the end cannot be reached.
struct StringLengths {
  std::uint64_t shortest = 0;
  std::uint64_t longest = 0;
};
std::optional<StringLengths> string_lengths(const Lattice& lattice);

// From string lengths alone: every Levenshtein distance between a string of
// lengths `a` and one of lengths `b` is at least length_gap(a, b), and every
// normalized similarity is at most similarity_bound(a, b) (exactly, as
// normalized_similarity_from_distance computes it). For non-empty strings.
std::uint64_t length_gap(const StringLengths& a, const StringLengths& b);
double similarity_bound(const StringLengths& a, const StringLengths& b);

}  // namespace orvel
