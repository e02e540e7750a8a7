#pragma once
// The best normalized Levenshtein similarity between two sets of reading
// paths, the score of every path-set matrix cell and of every span of the
// dictionary ratio search. Same value as max_normalized_similarity
// (metrics/path_metrics.hpp), computed faster for the large sets that the
// reading fronts produce:
//   - the maximum does not depend on the order of the pairs, so each set is
//     sorted and deduplicated once;
//   - a path in both sets gives 1.0 at once (found by merging the sorted
//     sets);
//   - otherwise each path of the smaller set (the pattern) is run against
//     the sorted paths of the other with the bit-parallel Levenshtein
//     recurrence, one machine word per column; neighbouring paths share
//     their common prefix, so only the characters after it are processed.
//     Patterns longer than 64 characters, and the empty pattern, use the
//     plain string distance.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "core/string_distance.hpp"

namespace orvel {

// One set of reading paths decoded into scalar values, sorted, without
// repeats. Immutable once built.
class PreparedPathSet {
 public:
  PreparedPathSet() = default;
  explicit PreparedPathSet(std::span<const std::string> paths);

  const std::vector<std::u32string>& paths() const { return paths_; }
  bool empty() const { return paths_.empty(); }

 private:
  std::vector<std::u32string> paths_;
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
  std::vector<std::pair<char32_t, std::uint64_t>> wide_masks_;
  StringDistanceWorkspace strings_;
};

// max over pairs (a, b) of normalized_similarity_from_distance(levenshtein(a,
// b), |a|, |b|); 0.0 when either set is empty.
double best_path_similarity(const PreparedPathSet& left, const PreparedPathSet& right,
                            PathSimilarityWorkspace& workspace);

}  // namespace orvel
