#pragma once
// Plain, obviously right reference implementations that the fast kernels
// are compared with.
#include <algorithm>
#include <cstdint>
#include <random>
#include <set>
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

}  // namespace orvel::reference
