#pragma once
// The compact path lattice: the minimal acyclic graph whose readings are
// exactly the distinct input paths. The paths go into a trie; the trie is
// minimised bottom-up (nodes with equal terminal symbols and equal edges
// into already merged nodes become one); the nodes are numbered root first,
// then by descending height (longest path to the end), ties by creation
// order, so every arc runs from a lower to a higher node. The result depends
// only on the set of paths, not on their order.
#include <cstdint>
#include <cstddef>
#include <functional>
#include <span>
#include <unordered_map>
#include <utility>
#include <vector>

#include "core/lattice.hpp"

namespace orvel {

class CompactPathBuilder {
 public:
  // Adds one path; a path given twice is one reading. An empty path adds
  // nothing (the path checks of Lattice::try_from_symbol_paths_compact come
  // before).
  void insert(std::span<const std::uint32_t> path);

  // The minimised lattice: the root is node 0 (start), the shared final
  // node is the last one (end). A broken internal invariant throws
  // FatalError "valid compact path lattice: ...".
  Lattice into_lattice() &&;

 private:
  struct ChildKey {
    std::uint64_t node;
    std::uint32_t symbol;
    friend bool operator==(const ChildKey&, const ChildKey&) = default;
  };
  struct ChildKeyHash {
    std::size_t operator()(const ChildKey& key) const {
      return std::hash<std::uint64_t>{}(key.node * 0x9E3779B97F4A7C15ULL ^ key.symbol);
    }
  };
  struct Edge {
    std::uint64_t parent;
    std::uint32_t symbol;
    std::uint64_t child;
  };

  // The trie: node 0 is the root; nodes are numbered in creation order.
  std::uint64_t trie_nodes_ = 0;
  std::unordered_map<ChildKey, std::uint64_t, ChildKeyHash> children_;  // lookups only
  std::vector<Edge> edges_;                                              // in creation order
  std::vector<std::pair<std::uint64_t, std::uint32_t>> terminals_;       // (node, symbol), repeats allowed
};

}  // namespace orvel
