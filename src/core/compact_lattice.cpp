#include "core/compact_lattice.hpp"

#include <algorithm>
#include <unordered_map>

#include "common/fatal_error.hpp"

namespace orvel {

namespace {

constexpr std::uint64_t kNone = ~std::uint64_t{0};

struct CompactNode {
  std::vector<std::uint32_t> terminals;                      // ascending
  std::vector<std::pair<std::uint32_t, std::uint64_t>> edges;  // (symbol, compact id), ascending by symbol

  friend bool operator==(const CompactNode&, const CompactNode&) = default;
};

struct SignatureHash {
  std::size_t operator()(const CompactNode& node) const {
    std::uint64_t h = 0xcbf29ce484222325ULL;
    auto mix = [&h](std::uint64_t v) {
      h ^= v;
      h *= 0x100000001b3ULL;
      h ^= h >> 29;
    };
    mix(node.terminals.size());
    for (auto t : node.terminals) mix(t);
    mix(node.edges.size());
    for (const auto& [symbol, id] : node.edges) {
      mix(symbol);
      mix(id);
    }
    return static_cast<std::size_t>(h);
  }
};

// Bottom-up minimisation of the trie: equal signatures (terminals, edges)
// share one compact node. Ids are given in postorder, children in ascending
// symbol order, so every child's id is below its parent's.
class CompactMinimizer {
 public:
  explicit CompactMinimizer(std::vector<CompactPathBuilder::TrieNode> trie)
      : trie_(std::move(trie)), memo_(trie_.size(), kNone) {}

  // Iterative depth-first walk: paths may be long enough that recursion
  // would exhaust the stack.
  std::uint64_t compact_trie_node(std::uint64_t root) {
    struct Frame {
      std::uint64_t trie_index;
      std::map<std::uint32_t, std::uint64_t>::const_iterator next_child;
    };
    std::vector<Frame> stack;
    stack.push_back({root, trie_[root].children.begin()});
    while (!stack.empty()) {
      Frame& frame = stack.back();
      const auto& node = trie_[frame.trie_index];
      if (frame.next_child != node.children.end()) {
        const std::uint64_t child = frame.next_child->second;
        ++frame.next_child;
        if (memo_[child] == kNone) stack.push_back({child, trie_[child].children.begin()});
        continue;
      }
      CompactNode compact;
      compact.terminals.assign(node.terminals.begin(), node.terminals.end());
      compact.edges.reserve(node.children.size());
      for (const auto& [symbol, child] : node.children) compact.edges.emplace_back(symbol, memo_[child]);
      auto [it, inserted] = signatures_.try_emplace(std::move(compact), nodes_.size());
      if (inserted) nodes_.push_back(it->first);
      memo_[frame.trie_index] = it->second;
      stack.pop_back();
    }
    return memo_[root];
  }

  const std::vector<CompactNode>& nodes() const { return nodes_; }

 private:
  std::vector<CompactPathBuilder::TrieNode> trie_;
  std::vector<std::uint64_t> memo_;  // trie index -> compact id
  std::vector<CompactNode> nodes_;
  std::unordered_map<CompactNode, std::uint64_t, SignatureHash> signatures_;
};

// Preorder of the nodes reachable from `root`, edges in stored order.
std::vector<std::uint64_t> collect_reachable_compact_nodes(std::uint64_t root, const std::vector<CompactNode>& nodes) {
  std::vector<std::uint64_t> order;
  std::vector<bool> visited(nodes.size(), false);
  std::vector<std::uint64_t> stack{root};
  while (!stack.empty()) {
    const std::uint64_t id = stack.back();
    stack.pop_back();
    if (visited[id]) continue;
    visited[id] = true;
    order.push_back(id);
    const auto& edges = nodes[id].edges;
    for (auto it = edges.rbegin(); it != edges.rend(); ++it) stack.push_back(it->second);
  }
  return order;
}

// Height: length of the longest path to the final node. Children have lower
// ids than their parents, so ascending id order computes children first.
std::vector<std::uint64_t> compact_heights(const std::vector<CompactNode>& nodes) {
  std::vector<std::uint64_t> height(nodes.size(), 0);
  for (std::size_t id = 0; id < nodes.size(); ++id) {
    std::uint64_t h = nodes[id].terminals.empty() ? 0 : 1;
    for (const auto& edge : nodes[id].edges) h = std::max(h, height[edge.second] + 1);
    height[id] = h;
  }
  return height;
}

}  // namespace

void CompactPathBuilder::insert(std::span<const std::uint32_t> path) {
  if (nodes_.empty()) nodes_.emplace_back();
  if (path.empty()) return;
  std::uint64_t current = 0;
  for (std::size_t i = 0; i + 1 < path.size(); ++i) {
    auto found = nodes_[current].children.find(path[i]);
    if (found != nodes_[current].children.end()) {
      current = found->second;
      continue;
    }
    const std::uint64_t created = nodes_.size();
    nodes_[current].children.emplace(path[i], created);
    nodes_.emplace_back();
    current = created;
  }
  nodes_[current].terminals.insert(path.back());
}

Lattice CompactPathBuilder::into_lattice() && {
  if (nodes_.empty()) nodes_.emplace_back();
  CompactMinimizer minimizer(std::move(nodes_));
  const std::uint64_t root = minimizer.compact_trie_node(0);
  const auto& nodes = minimizer.nodes();

  std::vector<std::uint64_t> order = collect_reachable_compact_nodes(root, nodes);
  const std::vector<std::uint64_t> height = compact_heights(nodes);
  std::stable_sort(order.begin(), order.end(), [&](std::uint64_t a, std::uint64_t b) {
    const bool a_root = a == root;
    const bool b_root = b == root;
    if (a_root != b_root) return a_root;
    if (height[a] != height[b]) return height[a] > height[b];
    return a < b;
  });

  std::vector<std::uint64_t> position(nodes.size(), kNone);
  for (std::size_t p = 0; p < order.size(); ++p) position[order[p]] = p;
  const std::uint64_t final_node = order.size();

  std::vector<Arc> arcs;
  for (std::size_t p = 0; p < order.size(); ++p) {
    const CompactNode& node = nodes[order[p]];
    for (const std::uint32_t symbol : node.terminals) arcs.push_back(Arc{p, final_node, symbol});
    for (const auto& [symbol, target] : node.edges) {
      if (position[target] == kNone) fail_fatal("position should be known", std::to_string(target));
      arcs.push_back(Arc{p, position[target], symbol});
    }
  }
  return expect_valid(Lattice::from_edges(final_node + 1, 0, final_node, std::move(arcs)),
                      "valid compact path lattice");
}

std::expected<Lattice, LatticeError> Lattice::try_from_symbol_paths_compact(std::span<const SymbolPath> paths) {
  if (paths.empty()) return std::unexpected(LatticeError::empty());
  if (paths.size() == 1 && paths[0].empty()) return detail::empty_path_lattice();
  for (const auto& path : paths) {
    if (path.empty()) return std::unexpected(LatticeError::mixed_empty_and_non_empty_paths());
  }
  CompactPathBuilder builder;
  for (const auto& path : paths) builder.insert(path);
  return std::move(builder).into_lattice();
}

}  // namespace orvel
