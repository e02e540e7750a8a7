#pragma once
// The compact path lattice: the minimal acyclic graph whose readings are
// exactly the distinct input paths. The paths go into a trie; the trie is
// minimised bottom-up (nodes with equal terminal symbols and equal edges
// into already merged nodes become one); the nodes are numbered root first,
// then by descending height (longest path to the end), ties by creation
// order, so every arc runs from a lower to a higher node. The result depends
// only on the set of paths, not on their order.
#include <cstdint>
#include <map>
#include <set>
#include <span>
#include <vector>

#include "core/lattice.hpp"

namespace orvel {

class CompactPathBuilder {
 public:
  // Adds one path; a path given twice is one reading. Every path but an
  // empty one must be non-empty for into_lattice (the path checks of
  // Lattice::try_from_symbol_paths_compact come before).
  void insert(std::span<const std::uint32_t> path);

  // The minimised lattice: the root is node 0 (start), the shared final
  // node is the last one (end). Needs at least one inserted path. A broken
  // internal invariant throws FatalError "valid compact path lattice: ...".
  Lattice into_lattice() &&;

  struct TrieNode {
    std::map<std::uint32_t, std::uint64_t> children;  // symbol -> trie index
    std::set<std::uint32_t> terminals;                // paths ending right after this node
  };

 private:
  std::vector<TrieNode> nodes_;
};

}  // namespace orvel
