#pragma once
// Plain, obviously right reference implementations that the fast kernels
// are compared with.
#include <algorithm>
#include <cstdint>
#include <map>
#include <random>
#include <set>
#include <tuple>
#include <vector>

#include "core/lattice.hpp"

namespace orvel::reference {

using Seq = std::vector<std::uint32_t>;

// Full-table Levenshtein distance.
inline std::uint64_t levenshtein(const Seq& a, const Seq& b) {
  std::vector<std::vector<std::uint64_t>> d(a.size() + 1, std::vector<std::uint64_t>(b.size() + 1));
  for (std::size_t i = 0; i <= a.size(); ++i) d[i][0] = i;
  for (std::size_t j = 0; j <= b.size(); ++j) d[0][j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    for (std::size_t j = 1; j <= b.size(); ++j) {
      d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + (a[i - 1] != b[j - 1])});
    }
  }
  return d[a.size()][b.size()];
}

// Full-table optimal string alignment (restricted Damerau) distance.
inline std::uint64_t osa(const Seq& a, const Seq& b) {
  std::vector<std::vector<std::uint64_t>> d(a.size() + 1, std::vector<std::uint64_t>(b.size() + 1));
  for (std::size_t i = 0; i <= a.size(); ++i) d[i][0] = i;
  for (std::size_t j = 0; j <= b.size(); ++j) d[0][j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    for (std::size_t j = 1; j <= b.size(); ++j) {
      d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + (a[i - 1] != b[j - 1])});
      if (i >= 2 && j >= 2 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1]) {
        d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
      }
    }
  }
  return d[a.size()][b.size()];
}

// The lattice distance by the plain pull programme over all node pairs,
// with 64-bit saturating costs and UNREACHED_COST for unreached pairs.
inline std::uint64_t lattice_distance(const Lattice& left, const Lattice& right, bool damerau) {
  constexpr std::uint64_t unreached = (std::uint64_t{1} << 62) - 1;
  const std::uint64_t R = right.node_count();
  std::vector<std::uint64_t> cost(left.node_count() * R, unreached);
  auto at = [&](std::uint64_t i, std::uint64_t j) -> std::uint64_t& { return cost[i * R + j]; };
  auto sat = [](std::uint64_t a, std::uint64_t b) { return a > ~std::uint64_t{0} - b ? ~std::uint64_t{0} : a + b; };
  const auto& la = left.arcs();
  const auto& ra = right.arcs();
  at(left.start(), right.start()) = 0;
  for (std::uint64_t i = left.start(); i <= left.end(); ++i) {
    for (std::uint64_t j = right.start(); j <= right.end(); ++j) {
      if (i == left.start() && j == right.start()) continue;
      std::uint64_t v = at(i, j);
      for (auto x : left.incoming()[i]) {
        for (auto y : right.incoming()[j]) {
          v = std::min(v, sat(at(la[x].src, ra[y].src), la[x].symbol == ra[y].symbol ? 0 : 1));
        }
      }
      for (auto x : left.incoming()[i]) v = std::min(v, sat(at(la[x].src, j), 1));
      for (auto y : right.incoming()[j]) v = std::min(v, sat(at(i, ra[y].src), 1));
      if (damerau) {
        for (auto x : left.incoming()[i]) {
          for (auto y : right.incoming()[j]) {
            for (auto x2 : left.incoming()[la[x].src]) {
              for (auto y2 : right.incoming()[ra[y].src]) {
                if (la[x2].symbol == ra[y].symbol && la[x].symbol == ra[y2].symbol) {
                  v = std::min(v, sat(at(la[x2].src, ra[y2].src), 1));
                }
              }
            }
          }
        }
      }
      at(i, j) = v;
    }
  }
  return at(left.end(), right.end());
}

// Every start-to-end reading of a lattice (as a set: parallel chains of
// equal paths count once).
inline std::set<Seq> readings(const Lattice& lattice) {
  std::set<Seq> out;
  Seq path;
  auto walk = [&](auto&& self, std::uint64_t node) -> void {
    if (node == lattice.end()) out.insert(path);
    for (const auto index : lattice.outgoing()[node]) {
      const Arc& arc = lattice.arcs()[index];
      path.push_back(arc.symbol);
      self(self, arc.dst);
      path.pop_back();
    }
  };
  walk(walk, lattice.start());
  return out;
}

// A random path list over a small alphabet, so that paths share prefixes,
// suffixes and symbols often.
inline std::vector<SymbolPath> random_paths(std::mt19937_64& rng, std::size_t max_paths, std::size_t max_len,
                                            std::uint32_t alphabet) {
  std::uniform_int_distribution<std::size_t> count(1, max_paths), len(1, max_len);
  std::uniform_int_distribution<std::uint32_t> symbol(0, alphabet - 1);
  std::vector<SymbolPath> paths(count(rng));
  for (auto& path : paths) {
    path.resize(len(rng));
    for (auto& s : path) s = 'a' + symbol(rng);
  }
  return paths;
}

// A random lattice with arbitrary endpoints, dead ends, parallel arcs and
// possibly an unreachable end.
inline Lattice random_lattice(std::mt19937_64& rng, std::uint64_t max_nodes, std::uint32_t alphabet) {
  const std::uint64_t n = std::uniform_int_distribution<std::uint64_t>(1, max_nodes)(rng);
  std::uint64_t start = std::uniform_int_distribution<std::uint64_t>(0, n - 1)(rng);
  std::uint64_t end = std::uniform_int_distribution<std::uint64_t>(0, n - 1)(rng);
  if (start > end) std::swap(start, end);
  std::vector<Arc> arcs;
  if (n >= 2) {
    const std::size_t m = std::uniform_int_distribution<std::size_t>(0, 3 * n)(rng);
    std::uniform_int_distribution<std::uint64_t> node(0, n - 1);
    std::uniform_int_distribution<std::uint32_t> symbol(0, alphabet - 1);
    for (std::size_t k = 0; k < m; ++k) {
      std::uint64_t a = node(rng), b = node(rng);
      if (a == b) continue;
      if (a > b) std::swap(a, b);
      arcs.push_back(Arc{a, b, 'a' + symbol(rng)});
    }
  }
  return *Lattice::from_edges(n, start, end, std::move(arcs));
}

// The compact lattice built the plain way: a trie of ordered maps,
// recursive minimisation with a register of signatures, a preorder of the
// reachable nodes, heights, a stable sort and the arcs.
inline std::vector<Arc> compact_arcs(const std::vector<SymbolPath>& paths, std::uint64_t& node_count) {
  struct Trie {
    std::map<std::uint32_t, std::size_t> children;
    std::set<std::uint32_t> terminals;
  };
  std::vector<Trie> trie(1);
  for (const auto& path : paths) {
    std::size_t t = 0;
    for (std::size_t i = 0; i + 1 < path.size(); ++i) {
      auto found = trie[t].children.find(path[i]);
      if (found == trie[t].children.end()) {
        trie[t].children[path[i]] = trie.size();
        t = trie.size();
        trie.emplace_back();
      } else {
        t = found->second;
      }
    }
    trie[t].terminals.insert(path.back());
  }
  using Signature = std::pair<std::vector<std::uint32_t>, std::vector<std::pair<std::uint32_t, std::size_t>>>;
  std::vector<Signature> nodes;
  std::map<Signature, std::size_t> registry;
  auto minimise = [&](auto&& self, std::size_t t) -> std::size_t {
    Signature sig;
    for (const auto& [symbol, child] : trie[t].children) sig.second.emplace_back(symbol, self(self, child));
    sig.first.assign(trie[t].terminals.begin(), trie[t].terminals.end());
    auto found = registry.find(sig);
    if (found != registry.end()) return found->second;
    nodes.push_back(sig);
    return registry[sig] = nodes.size() - 1;
  };
  const std::size_t root = minimise(minimise, 0);
  std::vector<std::size_t> order;
  std::set<std::size_t> visited;
  auto collect = [&](auto&& self, std::size_t id) -> void {
    if (!visited.insert(id).second) return;
    order.push_back(id);
    for (const auto& edge : nodes[id].second) self(self, edge.second);
  };
  collect(collect, root);
  std::map<std::size_t, std::uint64_t> height;
  auto height_of = [&](auto&& self, std::size_t id) -> std::uint64_t {
    if (auto found = height.find(id); found != height.end()) return found->second;
    std::uint64_t h = nodes[id].first.empty() ? 0 : 1;
    for (const auto& edge : nodes[id].second) h = std::max(h, self(self, edge.second) + 1);
    return height[id] = h;
  };
  for (auto id : order) height_of(height_of, id);
  std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
    return std::tuple(a != root, -static_cast<std::int64_t>(height[a]), a) <
           std::tuple(b != root, -static_cast<std::int64_t>(height[b]), b);
  });
  std::map<std::size_t, std::uint64_t> position;
  for (std::size_t p = 0; p < order.size(); ++p) position[order[p]] = p;
  std::vector<Arc> arcs;
  for (std::size_t p = 0; p < order.size(); ++p) {
    for (auto symbol : nodes[order[p]].first) arcs.push_back(Arc{p, order.size(), symbol});
    for (const auto& [symbol, target] : nodes[order[p]].second) arcs.push_back(Arc{p, position[target], symbol});
  }
  node_count = order.size() + 1;
  return arcs;
}

}  // namespace orvel::reference
