#include "core/lattice.hpp"

#include "common/fatal_error.hpp"
#include "core/grouped_lists.hpp"

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

  // Arcs grouped by destination (incoming) and by source (outgoing); arc
  // indices come out ascending per node.
  const std::size_t n = node_count;
  const std::size_t m = arcs.size();
  lattice.incoming_.indices_.resize(m);
  lattice.outgoing_.indices_.resize(m);
  lattice.in_ends_.resize(m);
  lattice.out_ends_.resize(m);
  lattice.incoming_.offsets_ = detail::group_by<std::uint64_t>(
      n, m, [&](std::size_t k) { return arcs[k].dst; },
      [&](std::uint64_t slot, std::size_t k) {
        lattice.incoming_.indices_[slot] = k;
        lattice.in_ends_[slot] = ArcEnd{arcs[k].src, arcs[k].symbol};
      });
  lattice.outgoing_.offsets_ = detail::group_by<std::uint64_t>(
      n, m, [&](std::size_t k) { return arcs[k].src; },
      [&](std::uint64_t slot, std::size_t k) {
        lattice.outgoing_.indices_[slot] = k;
        lattice.out_ends_[slot] = ArcEnd{arcs[k].dst, arcs[k].symbol};
      });
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
