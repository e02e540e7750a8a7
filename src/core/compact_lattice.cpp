#include "core/compact_lattice.hpp"

#include <algorithm>

#include "common/fatal_error.hpp"
#include "core/grouped_lists.hpp"

namespace orvel {

namespace {

constexpr std::uint64_t kNone = ~std::uint64_t{0};

// Per-node lists in one flat buffer.
template <class T>
struct Csr {
  std::vector<std::uint64_t> offsets;
  std::vector<T> items;
  std::span<const T> operator[](std::uint64_t node) const {
    return {items.data() + offsets[node], items.data() + offsets[node + 1]};
  }
};

// The minimised nodes: per compact id its terminal symbols and its edges
// (symbol, compact id), both ascending by symbol, with a register of the
// distinct (terminals, edges) signatures.
class CompactNodes {
 public:
  std::uint64_t size() const { return term_offsets_.size() - 1; }
  std::span<const std::uint32_t> terminals(std::uint64_t id) const {
    return {terms_.data() + term_offsets_[id], terms_.data() + term_offsets_[id + 1]};
  }
  std::span<const std::pair<std::uint32_t, std::uint64_t>> edges(std::uint64_t id) const {
    return {edges_.data() + edge_offsets_[id], edges_.data() + edge_offsets_[id + 1]};
  }

  // The signature under construction is appended to the flat lists; intern()
  // either keeps it as a new id or drops it in favour of an equal one.
  void add_terminal(std::uint32_t symbol) { terms_.push_back(symbol); }
  void add_edge(std::uint32_t symbol, std::uint64_t id) { edges_.emplace_back(symbol, id); }

  std::uint64_t intern() {
    const std::uint64_t candidate = size();
    const std::span<const std::uint32_t> terms{terms_.data() + term_offsets_.back(), terms_.data() + terms_.size()};
    const std::span<const std::pair<std::uint32_t, std::uint64_t>> edges{edges_.data() + edge_offsets_.back(),
                                                                         edges_.data() + edges_.size()};
    const std::uint64_t h = hash(terms, edges);
    if (2 * (size() + 1) > table_.size()) grow();
    const std::size_t mask = table_.size() - 1;
    std::size_t slot = h & mask;
    for (; table_[slot] != kNone; slot = (slot + 1) & mask) {
      const std::uint64_t id = table_[slot];
      if (hashes_[id] == h && std::ranges::equal(terminals(id), terms) && std::ranges::equal(this->edges(id), edges)) {
        terms_.resize(term_offsets_.back());
        edges_.resize(edge_offsets_.back());
        return id;
      }
    }
    table_[slot] = candidate;
    hashes_.push_back(h);
    term_offsets_.push_back(terms_.size());
    edge_offsets_.push_back(edges_.size());
    return candidate;
  }

 private:
  static std::uint64_t hash(std::span<const std::uint32_t> terms,
                            std::span<const std::pair<std::uint32_t, std::uint64_t>> edges) {
    std::uint64_t h = 0x9E3779B97F4A7C15ULL ^ terms.size();
    auto mix = [&h](std::uint64_t v) {
      h ^= v + 0x9E3779B97F4A7C15ULL + (h << 6) + (h >> 2);
      h *= 0xFF51AFD7ED558CCDULL;
    };
    for (auto t : terms) mix(t);
    mix(edges.size());
    for (const auto& [symbol, id] : edges) {
      mix(symbol);
      mix(id);
    }
    return h ^ (h >> 33);
  }

  void grow() {
    std::vector<std::uint64_t> table(std::max<std::size_t>(16, table_.size() * 2), kNone);
    const std::size_t mask = table.size() - 1;
    for (std::uint64_t id = 0; id < size(); ++id) {
      std::size_t slot = hashes_[id] & mask;
      while (table[slot] != kNone) slot = (slot + 1) & mask;
      table[slot] = id;
    }
    table_ = std::move(table);
  }

  std::vector<std::uint64_t> term_offsets_{0};
  std::vector<std::uint32_t> terms_;
  std::vector<std::uint64_t> edge_offsets_{0};
  std::vector<std::pair<std::uint32_t, std::uint64_t>> edges_;
  std::vector<std::uint64_t> hashes_;  // per id
  std::vector<std::uint64_t> table_;   // open addressing over ids, kNone = free
};

// The lists of `n` nodes: value_of(item) for every item, in the order of
// `items`, under node_of(item).
template <class T, class Item, class NodeOf, class ValueOf>
Csr<T> lists_by_node(std::uint64_t n, const std::vector<Item>& items, NodeOf node_of, ValueOf value_of) {
  Csr<T> lists;
  lists.items.resize(items.size());
  lists.offsets = detail::group_by<std::uint64_t>(
      n, items.size(), [&](std::size_t i) { return node_of(items[i]); },
      [&](std::uint64_t slot, std::size_t i) { lists.items[slot] = value_of(items[i]); });
  return lists;
}

// Bottom-up minimisation of the trie in postorder (children in ascending
// symbol order), so every child's compact id is below its parent's and the
// root gets the last id. Iterative: paths may be too long for recursion.
// Returns the root's compact id.
std::uint64_t minimise(const Csr<std::pair<std::uint32_t, std::uint64_t>>& children,
                       const Csr<std::uint32_t>& terminals, CompactNodes& nodes) {
  std::vector<std::uint64_t> memo(children.offsets.size() - 1, kNone);
  struct Frame {
    std::uint64_t trie_node;
    std::uint64_t next_child;
  };
  std::vector<Frame> stack{{0, 0}};
  while (!stack.empty()) {
    Frame& frame = stack.back();
    const auto kids = children[frame.trie_node];
    if (frame.next_child < kids.size()) {
      const std::uint64_t child = kids[frame.next_child++].second;
      stack.push_back({child, 0});
      continue;
    }
    for (const std::uint32_t symbol : terminals[frame.trie_node]) nodes.add_terminal(symbol);
    for (const auto& [symbol, child] : kids) nodes.add_edge(symbol, memo[child]);
    memo[frame.trie_node] = nodes.intern();
    stack.pop_back();
  }
  return memo[0];
}

// The compact ids in lattice order: the root first, then by descending
// height (the longest path to the final node), ties by ascending id. Heights
// fall strictly along every edge, so every arc ascends. Every compact node
// is reachable from the root; children come before parents in id order.
std::vector<std::uint64_t> arc_order(const CompactNodes& nodes, std::uint64_t root) {
  const std::uint64_t count = nodes.size();
  std::vector<std::uint64_t> height(count, 0);
  for (std::uint64_t id = 0; id < count; ++id) {
    std::uint64_t h = nodes.terminals(id).empty() ? 0 : 1;
    for (const auto& edge : nodes.edges(id)) h = std::max(h, height[edge.second] + 1);
    height[id] = h;
  }
  std::vector<std::uint64_t> order(count);
  for (std::uint64_t id = 0; id < count; ++id) order[id] = id;
  std::stable_sort(order.begin(), order.end(), [&](std::uint64_t a, std::uint64_t b) {
    if ((a == root) != (b == root)) return a == root;
    if (height[a] != height[b]) return height[a] > height[b];
    return a < b;
  });
  return order;
}

// The arcs of the lattice over `order`: node p is order[p], the final node
// comes last; per node its terminal arcs, then its edges, each ascending by
// symbol.
std::vector<Arc> compact_arcs(const CompactNodes& nodes, const std::vector<std::uint64_t>& order) {
  const std::uint64_t count = nodes.size();
  std::vector<std::uint64_t> position(count);
  for (std::uint64_t p = 0; p < count; ++p) position[order[p]] = p;
  const std::uint64_t final_node = count;
  std::vector<Arc> arcs;
  for (std::uint64_t p = 0; p < count; ++p) {
    for (const std::uint32_t symbol : nodes.terminals(order[p])) arcs.push_back(Arc{p, final_node, symbol});
    for (const auto& [symbol, target] : nodes.edges(order[p])) arcs.push_back(Arc{p, position[target], symbol});
  }
  return arcs;
}

}  // namespace

void CompactPathBuilder::insert(std::span<const std::uint32_t> path) {
  if (trie_nodes_ == 0) trie_nodes_ = 1;  // the root
  if (path.empty()) return;
  std::uint64_t current = 0;
  for (std::size_t i = 0; i + 1 < path.size(); ++i) {
    auto [it, inserted] = children_.try_emplace(ChildKey{current, path[i]}, trie_nodes_);
    if (inserted) {
      edges_.push_back(Edge{current, path[i], trie_nodes_});
      ++trie_nodes_;
    }
    current = it->second;
  }
  terminals_.emplace_back(current, path.back());
}

Lattice CompactPathBuilder::into_lattice() && {
  if (trie_nodes_ == 0) trie_nodes_ = 1;
  const std::uint64_t n = trie_nodes_;
  children_ = {};

  // Children and terminals of each trie node, ascending by symbol; equal
  // terminals collapse (a path inserted twice is one reading).
  std::sort(edges_.begin(), edges_.end(), [](const Edge& a, const Edge& b) {
    return a.parent != b.parent ? a.parent < b.parent : a.symbol < b.symbol;
  });
  const auto children = lists_by_node<std::pair<std::uint32_t, std::uint64_t>>(
      n, edges_, [](const Edge& e) { return e.parent; },
      [](const Edge& e) { return std::pair{e.symbol, e.child}; });
  edges_ = {};
  std::sort(terminals_.begin(), terminals_.end());
  terminals_.erase(std::unique(terminals_.begin(), terminals_.end()), terminals_.end());
  const auto terminals = lists_by_node<std::uint32_t>(
      n, terminals_, [](const auto& t) { return t.first; }, [](const auto& t) { return t.second; });
  terminals_ = {};

  CompactNodes nodes;
  const std::uint64_t root = minimise(children, terminals, nodes);
  const std::vector<std::uint64_t> order = arc_order(nodes, root);
  const std::uint64_t final_node = nodes.size();
  return expect_valid(Lattice::from_edges(final_node + 1, 0, final_node, compact_arcs(nodes, order)),
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
