#include "ja/romaji_lattice_reduction.hpp"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "core/grouped_lists.hpp"
#include "core/sequence_ids.hpp"

namespace orvel::ja {

namespace {

struct SmallArc {
  std::uint32_t src = 0;
  std::uint32_t dst = 0;
  std::uint32_t symbol = 0;

  friend bool operator==(const SmallArc&, const SmallArc&) = default;
};

// A trimmed lattice: start 0, end node_count - 1, every node on a
// start-to-end path, arcs ascending, sorted by (source, symbol, destination)
// and distinct. Then the start is the only node without incoming arcs and
// the end the only one without outgoing arcs.
struct Graph {
  std::uint32_t node_count = 0;
  std::vector<SmallArc> arcs;

  std::uint32_t end() const { return node_count - 1; }
};

bool smaller(const Graph& a, const Graph& b) {
  if (a.node_count != b.node_count) return a.node_count < b.node_count;
  return a.arcs.size() < b.arcs.size();
}

// Sorts by (source, symbol, destination) and drops repeats: a counting sort
// by source, then each node's few arcs on their own.
void sort_unique(std::vector<SmallArc>& arcs, std::uint32_t node_count) {
  std::vector<SmallArc> sorted(arcs.size());
  const std::vector<std::uint32_t> offsets = orvel::detail::group_by<std::uint32_t>(
      node_count, arcs.size(), [&](std::size_t k) { return arcs[k].src; },
      [&](std::uint32_t slot, std::size_t k) { sorted[slot] = arcs[k]; });
  const auto by_symbol_destination = [](const SmallArc& a, const SmallArc& b) {
    return a.symbol != b.symbol ? a.symbol < b.symbol : a.dst < b.dst;
  };
  std::size_t kept = 0;
  for (std::uint32_t n = 0; n < node_count; ++n) {
    const auto first = sorted.begin() + offsets[n], last = sorted.begin() + offsets[n + 1];
    std::sort(first, last, by_symbol_destination);
    for (auto it = first; it != last; ++it) {
      if (it == first || !(*it == *(it - 1))) sorted[kept++] = *it;
    }
  }
  sorted.resize(kept);
  arcs = std::move(sorted);
}

// Offsets into the arc list by source (the arcs are sorted by source).
std::vector<std::uint32_t> outgoing_offsets(const Graph& g) {
  std::vector<std::uint32_t> offsets(g.node_count + 1, 0);
  for (const SmallArc& a : g.arcs) ++offsets[a.src + 1];
  for (std::uint32_t n = 0; n < g.node_count; ++n) offsets[n + 1] += offsets[n];
  return offsets;
}

// Per destination, the indices of the arcs ending there, ascending.
struct IncomingLists {
  std::vector<std::uint32_t> offsets;
  std::vector<std::uint32_t> arcs;
};

IncomingLists incoming_lists(const Graph& g) {
  IncomingLists lists;
  lists.arcs.resize(g.arcs.size());
  lists.offsets = orvel::detail::group_by<std::uint32_t>(
      g.node_count, g.arcs.size(), [&](std::size_t k) { return g.arcs[k].dst; },
      [&](std::uint32_t slot, std::size_t k) { lists.arcs[slot] = static_cast<std::uint32_t>(k); });
  return lists;
}

// Keeps the nodes on start-to-end paths, renumbered in their old order.
// None when the end cannot be reached from the start.
std::optional<Graph> trim(const Lattice& lattice) {
  const std::uint64_t n = lattice.node_count();
  std::vector<char> forward(n, 0), backward(n, 0);
  forward[lattice.start()] = 1;
  for (std::uint64_t v = lattice.start(); v < n; ++v) {
    if (!forward[v]) continue;
    for (const ArcEnd& next : lattice.outgoing_ends(v)) forward[next.node] = 1;
  }
  if (!forward[lattice.end()]) return std::nullopt;
  backward[lattice.end()] = 1;
  for (std::uint64_t v = lattice.end() + 1; v-- > 0;) {
    if (!backward[v]) continue;
    for (const ArcEnd& prev : lattice.incoming_ends(v)) backward[prev.node] = 1;
  }
  std::vector<std::uint32_t> renumbered(n, 0);
  Graph g;
  for (std::uint64_t v = 0; v < n; ++v) {
    if (forward[v] && backward[v]) renumbered[v] = g.node_count++;
  }
  g.arcs.reserve(lattice.arcs().size());
  for (const Arc& a : lattice.arcs()) {
    if (forward[a.src] && backward[a.src] && forward[a.dst] && backward[a.dst]) {
      g.arcs.push_back(SmallArc{renumbered[a.src], renumbered[a.dst], a.symbol});
    }
  }
  sort_unique(g.arcs, g.node_count);
  return g;
}

// The graph of node classes; class ids must already be a topological order
// with the start's class 0 and the end's class last.
Graph quotient(const Graph& g, const std::vector<std::uint32_t>& cls, std::uint32_t count) {
  Graph q;
  q.node_count = count;
  q.arcs.reserve(g.arcs.size());
  for (const SmallArc& a : g.arcs) q.arcs.push_back(SmallArc{cls[a.src], cls[a.dst], a.symbol});
  sort_unique(q.arcs, q.node_count);
  return q;
}

// Assigns class ids to signatures in the order they are first met.
class SignatureClasses {
 public:
  std::uint32_t class_of(std::span<const std::uint32_t> signature) { return ids_.intern(signature).first; }
  std::uint32_t count() const { return ids_.size(); }

 private:
  orvel::detail::SequenceIds ids_;
};

using Signature = std::vector<std::uint32_t>;

void append_pair(Signature& signature, std::uint32_t a, std::uint32_t b) {
  signature.push_back(a);
  signature.push_back(b);
}

// Sorts the (a, b) pairs of `pairs` and writes the distinct ones after the
// signature's current contents.
void append_distinct_pairs(Signature& signature, std::vector<std::pair<std::uint32_t, std::uint32_t>>& pairs) {
  std::sort(pairs.begin(), pairs.end());
  pairs.erase(std::unique(pairs.begin(), pairs.end()), pairs.end());
  for (const auto& [a, b] : pairs) append_pair(signature, a, b);
}

// Merges nodes whose incoming arcs, as (source class, symbol), are the same:
// they have the same strings from the start. Nodes are visited in order, so
// sources are classed first and one pass merges all it can. Classes are
// numbered by their first node, which keeps arcs ascending.
bool merge_forward(Graph& g) {
  const IncomingLists in = incoming_lists(g);
  std::vector<std::uint32_t> cls(g.node_count, 0);
  SignatureClasses classes;
  std::vector<std::pair<std::uint32_t, std::uint32_t>> pairs;
  Signature signature;
  for (std::uint32_t v = 0; v < g.node_count; ++v) {
    pairs.clear();
    for (std::uint32_t k = in.offsets[v]; k < in.offsets[v + 1]; ++k) {
      const SmallArc& a = g.arcs[in.arcs[k]];
      pairs.emplace_back(cls[a.src], a.symbol);
    }
    signature.clear();
    append_distinct_pairs(signature, pairs);
    cls[v] = classes.class_of(signature);
  }
  if (classes.count() == g.node_count) return false;
  g = quotient(g, cls, classes.count());
  return true;
}

// The mirror image: nodes whose outgoing arcs, as (symbol, destination
// class), are the same have the same strings to the end. Visited from the
// end backwards; classes numbered from the last node down.
bool merge_backward(Graph& g) {
  const std::vector<std::uint32_t> out = outgoing_offsets(g);
  std::vector<std::uint32_t> cls(g.node_count, 0);
  SignatureClasses classes;
  std::vector<std::pair<std::uint32_t, std::uint32_t>> pairs;
  Signature signature;
  for (std::uint32_t v = g.node_count; v-- > 0;) {
    pairs.clear();
    for (std::uint32_t k = out[v]; k < out[v + 1]; ++k) pairs.emplace_back(g.arcs[k].symbol, cls[g.arcs[k].dst]);
    signature.clear();
    append_distinct_pairs(signature, pairs);
    cls[v] = classes.class_of(signature);
  }
  const std::uint32_t count = classes.count();
  if (count == g.node_count) return false;
  for (std::uint32_t& c : cls) c = count - 1 - c;
  g = quotient(g, cls, count);
  return true;
}

// Each round can enable merges in the other direction; a round that merges
// nothing ends it. The cap only bounds the time on adversarial input.
Graph merge_equivalent_nodes(Graph g) {
  constexpr int kMaxRounds = 64;
  for (int round = 0; round < kMaxRounds; ++round) {
    const bool forward = merge_forward(g);
    const bool backward = merge_backward(g);
    if (!forward && !backward) break;
  }
  return g;
}

// Subset construction over a trimmed graph. A state is the sorted set of
// nodes that one prefix reaches; states are numbered in the order they are
// found. Gives up (none) past `max_states` states or `max_members` stored
// nodes in all.
struct Automaton {
  std::vector<std::uint32_t> min_node;  // per state: its smallest node
  std::vector<char> accepting;          // per state: holds the end node
  std::vector<std::uint32_t> offsets;   // per state: its transitions
  std::vector<std::pair<std::uint32_t, std::uint32_t>> transitions;  // (symbol, state), by symbol
};

std::optional<Automaton> determinise(const Graph& g, std::size_t max_states, std::size_t max_members) {
  const std::vector<std::uint32_t> out = outgoing_offsets(g);
  orvel::detail::SequenceIds states;  // a state's sorted nodes
  const std::uint32_t start = 0;
  states.intern(std::span(&start, 1));
  Automaton dfa;
  dfa.offsets.push_back(0);

  std::vector<std::pair<std::uint32_t, std::uint32_t>> moves;  // (symbol, destination node)
  std::vector<std::uint32_t> target;
  for (std::uint32_t s = 0; s < states.size(); ++s) {
    const std::span<const std::uint32_t> set = states.words(s);
    dfa.min_node.push_back(set.front());
    dfa.accepting.push_back(set.back() == g.end());
    moves.clear();
    for (const std::uint32_t node : set) {
      for (std::uint32_t k = out[node]; k < out[node + 1]; ++k) moves.emplace_back(g.arcs[k].symbol, g.arcs[k].dst);
    }
    std::sort(moves.begin(), moves.end());
    moves.erase(std::unique(moves.begin(), moves.end()), moves.end());
    for (std::size_t k = 0; k < moves.size();) {
      const std::uint32_t symbol = moves[k].first;
      target.clear();
      for (; k < moves.size() && moves[k].first == symbol; ++k) target.push_back(moves[k].second);
      const auto [id, inserted] = states.intern(target);
      if (inserted && (states.size() > max_states || states.stored_words() > max_members)) return std::nullopt;
      dfa.transitions.emplace_back(symbol, id);
    }
    dfa.offsets.push_back(static_cast<std::uint32_t>(dfa.transitions.size()));
  }
  return dfa;
}

// Merges automaton states with the same (accepting, transitions by class)
// and writes the result as a lattice: classes become nodes, and an arc into
// an accepting state that goes on is copied to the one accepting state
// without transitions, the lattice's end. None if the shape is not the
// expected one, which a trimmed input never gives.
std::optional<Graph> minimise(const Automaton& dfa) {
  const std::uint32_t state_count = static_cast<std::uint32_t>(dfa.min_node.size());
  // Every transition raises the smallest node, so a descending order of it
  // (ties by state number) visits targets before their sources.
  std::vector<std::uint32_t> order(state_count);
  for (std::uint32_t s = 0; s < state_count; ++s) order[s] = s;
  std::stable_sort(order.begin(), order.end(),
                   [&](std::uint32_t a, std::uint32_t b) { return dfa.min_node[a] > dfa.min_node[b]; });

  std::vector<std::uint32_t> cls(state_count, 0);
  std::vector<std::uint32_t> representative;
  SignatureClasses classes;
  Signature signature;
  for (const std::uint32_t s : order) {
    signature.assign(1, static_cast<std::uint32_t>(dfa.accepting[s]));
    for (std::uint32_t k = dfa.offsets[s]; k < dfa.offsets[s + 1]; ++k) {
      append_pair(signature, dfa.transitions[k].first, cls[dfa.transitions[k].second]);
    }
    cls[s] = classes.class_of(signature);
    if (cls[s] == representative.size()) representative.push_back(s);
  }

  // Classes were numbered targets first; reversed they ascend along arcs.
  const std::uint32_t count = classes.count();
  const auto node_of = [&](std::uint32_t state) { return count - 1 - cls[state]; };
  const std::uint32_t end = count - 1;
  if (node_of(0) != 0 || count < 2) return std::nullopt;
  const auto is_end = [&](std::uint32_t state) {
    return dfa.accepting[state] && dfa.offsets[state] == dfa.offsets[state + 1];
  };
  Graph g;
  g.node_count = count;
  for (std::uint32_t c = 0; c < count; ++c) {
    const std::uint32_t s = representative[c];
    if (is_end(s) != (node_of(s) == end)) return std::nullopt;
    for (std::uint32_t k = dfa.offsets[s]; k < dfa.offsets[s + 1]; ++k) {
      const auto [symbol, t] = dfa.transitions[k];
      g.arcs.push_back(SmallArc{node_of(s), node_of(t), symbol});
      if (dfa.accepting[t] && !is_end(t)) g.arcs.push_back(SmallArc{node_of(s), end, symbol});
    }
  }
  sort_unique(g.arcs, g.node_count);
  return g;
}

// Stored subset members allowed in all (4 bytes each, plus the map's copy).
constexpr std::size_t kMaxSubsetMembers = std::size_t{1} << 22;

std::optional<Lattice> to_lattice(const Graph& g) {
  std::vector<Arc> arcs;
  arcs.reserve(g.arcs.size());
  for (const SmallArc& a : g.arcs) arcs.push_back(Arc{a.src, a.dst, a.symbol});
  auto lattice = Lattice::from_edges(g.node_count, 0, g.end(), std::move(arcs));
  if (!lattice) return std::nullopt;
  return std::move(*lattice);
}

constexpr std::uint64_t kMaxSmall = std::numeric_limits<std::uint32_t>::max() - 1;

// The trimmed graph of a lattice that spells at least one non-empty string.
std::optional<Graph> trimmed_graph(const Lattice& lattice) {
  if (lattice.start() == lattice.end() || lattice.node_count() > kMaxSmall || lattice.arcs().size() > kMaxSmall) {
    return std::nullopt;
  }
  return trim(lattice);
}

std::optional<Graph> minimal_automaton(const Graph& g) {
  auto dfa = determinise(g, g.node_count, kMaxSubsetMembers);
  if (!dfa) return std::nullopt;
  return minimise(*dfa);
}

}  // namespace

namespace detail {

std::optional<Lattice> merged_lattice(const Lattice& lattice) {
  auto g = trimmed_graph(lattice);
  if (!g) return std::nullopt;
  return to_lattice(merge_equivalent_nodes(std::move(*g)));
}

std::optional<Lattice> minimal_automaton_lattice(const Lattice& lattice) {
  auto g = trimmed_graph(lattice);
  if (!g) return std::nullopt;
  // Unbounded by the merged size here; the subset budget still holds.
  auto dfa = determinise(*g, std::numeric_limits<std::size_t>::max(), kMaxSubsetMembers);
  if (!dfa) return std::nullopt;
  auto minimal = minimise(*dfa);
  if (!minimal) return std::nullopt;
  return to_lattice(*minimal);
}

}  // namespace detail

Lattice reduce_reading_lattice(Lattice lattice) {
  auto trimmed = trimmed_graph(lattice);
  if (!trimmed) return lattice;
  Graph best = merge_equivalent_nodes(std::move(*trimmed));
  if (auto minimal = minimal_automaton(best)) {
    Graph merged = merge_equivalent_nodes(std::move(*minimal));
    if (smaller(merged, best) && merged.arcs.size() <= lattice.arcs().size()) best = std::move(merged);
  }
  if (best.node_count == lattice.node_count() && best.arcs.size() == lattice.arcs().size()) return lattice;
  auto reduced = to_lattice(best);
  if (!reduced) return lattice;
  return std::move(*reduced);
}

}  // namespace orvel::ja
