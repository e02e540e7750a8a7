#include "core/lattice.hpp"

#include "common/fatal_error.hpp"

namespace orvel {

std::expected<Lattice, LatticeError> Lattice::from_edges(std::uint64_t node_count, std::uint64_t start,
                                                         std::uint64_t end, std::vector<Arc> arcs) {
  if (node_count == 0) return std::unexpected(LatticeError::empty());
  if (start > end || start >= node_count || end >= node_count) {
    return std::unexpected(LatticeError::invalid_endpoint(start, end));
  }
  // Validate every arc before allocating anything per node, so a bad arc
  // list costs nothing and the first failing arc decides the error.
  for (const Arc& arc : arcs) {
    if (arc.src >= node_count) return std::unexpected(LatticeError::invalid_node(arc.src, node_count));
    if (arc.dst >= node_count) return std::unexpected(LatticeError::invalid_node(arc.dst, node_count));
    if (arc.src >= arc.dst) return std::unexpected(LatticeError::invalid_arc_order(arc.src, arc.dst));
  }

  Lattice lattice;
  lattice.node_count_ = node_count;
  lattice.start_ = start;
  lattice.end_ = end;

  // Counting sort by destination (incoming) and by source (outgoing): one
  // pass counts, one pass places; arc indices come out ascending per node.
  const std::size_t n = node_count;
  const std::size_t m = arcs.size();
  auto& in_offsets = lattice.incoming_.offsets_;
  auto& out_offsets = lattice.outgoing_.offsets_;
  in_offsets.assign(n + 1, 0);
  out_offsets.assign(n + 1, 0);
  for (const Arc& arc : arcs) {
    ++in_offsets[arc.dst + 1];
    ++out_offsets[arc.src + 1];
  }
  for (std::size_t v = 0; v < n; ++v) {
    in_offsets[v + 1] += in_offsets[v];
    out_offsets[v + 1] += out_offsets[v];
  }
  lattice.incoming_.indices_.resize(m);
  lattice.outgoing_.indices_.resize(m);
  lattice.in_ends_.resize(m);
  lattice.out_ends_.resize(m);
  std::vector<std::uint64_t> in_fill(in_offsets.begin(), in_offsets.end() - 1);
  std::vector<std::uint64_t> out_fill(out_offsets.begin(), out_offsets.end() - 1);
  for (std::size_t k = 0; k < m; ++k) {
    const Arc& arc = arcs[k];
    const std::uint64_t in_slot = in_fill[arc.dst]++;
    lattice.incoming_.indices_[in_slot] = k;
    lattice.in_ends_[in_slot] = ArcEnd{arc.src, arc.symbol};
    const std::uint64_t out_slot = out_fill[arc.src]++;
    lattice.outgoing_.indices_[out_slot] = k;
    lattice.out_ends_[out_slot] = ArcEnd{arc.dst, arc.symbol};
  }
  lattice.arcs_ = std::move(arcs);
  return lattice;
}

Lattice Lattice::from_symbol_paths_compact(std::span<const SymbolPath> paths) {
  return expect_valid(try_from_symbol_paths_compact(paths), "valid compact symbol path lattice");
}

void fail_string_path_lattice(const LatticeError& error) { fail_fatal("valid string path lattice", error.debug()); }

namespace detail {

std::expected<Lattice, LatticeError> empty_path_lattice() { return Lattice::from_edges(1, 0, 0, {}); }

std::expected<Lattice, LatticeError> chain_lattice(std::uint64_t interior, std::vector<Arc> arcs) {
  return Lattice::from_edges(interior + 2, 0, interior + 1, std::move(arcs));
}

}  // namespace detail

}  // namespace orvel
