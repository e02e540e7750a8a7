#pragma once
// The best normalized Levenshtein similarity between two listed sets of
// reading paths. The dictionary methods no longer list their strings (they
// compare reading lattices, core/lattice_similarity.hpp); this kernel stays
// as an independent fast form of the same value that the tests and the
// fuzz targets hold against the pairwise loop. Same value as
// max_normalized_similarity (metrics/path_metrics.hpp), computed faster for
// large sets:
//   - the maximum does not depend on the order of the pairs, so each set is
//     sorted and deduplicated once and laid out as a trie over its scalars;
//   - a path in both sets gives 1.0 at once (found by merging the sorted
//     sets);
//   - otherwise the paths of the smaller set (the patterns) are packed side
//     by side into machine words, up to 64 pattern characters a word, and
//     up to eight words are run together down the trie of the other set,
//     depth first, with the bit-parallel Levenshtein recurrence: one step
//     per trie node, so a prefix shared by many paths is processed once. A
//     large subtree is skipped when a lower bound on the distance to every
//     path below it (the column minimum, the length gap) shows that none of
//     them can beat the best similarity found so far; a path ending at a
//     node is scored only when its distance is small enough to beat it.
//     Patterns longer than 64 characters use the plain string distance.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/string_distance.hpp"

namespace orvel {

// One set of reading paths decoded into scalar values, sorted, without
// repeats, and its trie. Immutable once built.
class PreparedPathSet {
 public:
  // Trie nodes in depth-first order, the root (the empty prefix) first; the
  // children of a node follow it in increasing symbol order.
  struct TrieNode {
    char32_t symbol;
    std::uint32_t depth;
    // One past the last node of this node's subtree.
    std::uint32_t end;
    // Shortest and longest path strictly below this node (unset for leaves).
    std::uint32_t shortest_below;
    std::uint32_t longest_below;
    // A path ends at this node.
    bool terminal;
  };

  PreparedPathSet() = default;
  explicit PreparedPathSet(std::span<const std::string> paths);

  std::size_t size() const { return ranges_.size(); }
  bool empty() const { return ranges_.empty(); }
  // The i-th path in sorted order.
  std::u32string_view path(std::size_t i) const { return {scalars_.data() + ranges_[i].offset, ranges_[i].length}; }
  // Empty when the set has too many scalars to number the nodes in 32 bits.
  const std::vector<TrieNode>& trie() const { return trie_; }
  std::size_t longest_path() const { return longest_path_; }

 private:
  struct PathRange {
    std::size_t offset;
    std::size_t length;
  };

  void build_trie();

  // The decoded paths one after another (repeats included), and the sorted
  // distinct paths as ranges of them.
  std::u32string scalars_;
  std::vector<PathRange> ranges_;
  std::vector<TrieNode> trie_;
  std::size_t longest_path_ = 0;
};

// Scratch buffers of best_path_similarity, reused across calls.
class PathSimilarityWorkspace {
 public:
  struct ColumnState {
    std::uint64_t vp;
    std::uint64_t vn;
    std::uint64_t score;
  };

 private:
  friend double best_path_similarity(const PreparedPathSet&, const PreparedPathSet&, PathSimilarityWorkspace&);
  std::vector<ColumnState> states_;
  std::vector<std::uint64_t> thresholds_;
  StringDistanceWorkspace strings_;
};

// max over pairs (a, b) of normalized_similarity_from_distance(levenshtein(a,
// b), |a|, |b|); 0.0 when either set is empty.
double best_path_similarity(const PreparedPathSet& left, const PreparedPathSet& right,
                            PathSimilarityWorkspace& workspace);

}  // namespace orvel
