#pragma once
// The pronunciation lattice: an acyclic graph whose start-to-end paths spell
// the readings of a text, one symbol per arc. Node numbers are a topological
// order (every arc runs from a lower to a higher node), so a loop over nodes
// in ascending order visits an arc's source before its destination.
#include <concepts>
#include <cstddef>
#include <cstdint>
#include <expected>
#include <initializer_list>
#include <iterator>
#include <ranges>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "core/lattice_error.hpp"
#include "text/utf8.hpp"

namespace orvel {

struct Arc {
  std::uint64_t src = 0;
  std::uint64_t dst = 0;
  std::uint32_t symbol = 0;

  friend bool operator==(const Arc&, const Arc&) = default;
};

// One symbol path as handed to the path constructors.
using SymbolPath = std::vector<std::uint32_t>;

// Per-node lists of arc indices, kept in one flat buffer: entry n is the
// ascending list of the arcs that end (incoming) or start (outgoing) at n.
class ArcIndexLists {
 public:
  std::size_t size() const { return offsets_.empty() ? 0 : offsets_.size() - 1; }
  std::span<const std::uint64_t> operator[](std::uint64_t node) const {
    return {indices_.data() + offsets_[node], indices_.data() + offsets_[node + 1]};
  }

 private:
  friend class Lattice;
  std::vector<std::uint64_t> offsets_;  // node_count + 1 entries
  std::vector<std::uint64_t> indices_;
};

// The far end of an arc as seen from one node, with the arc's symbol: the
// source for incoming arcs, the destination for outgoing ones. The distance
// kernels walk these instead of going through the arc list.
struct ArcEnd {
  std::uint64_t node = 0;
  std::uint32_t symbol = 0;
};

class Lattice {
 public:
  // Validates and builds a lattice; the arc list is taken over and kept in
  // the given order. Checks, first failure wins: node_count 0 (Empty); bad
  // endpoints (InvalidEndpoint); then per arc in order, a source or a
  // destination outside the lattice (InvalidNode) or src >= dst
  // (InvalidArcOrder). Unreachable ends and duplicate arcs are accepted.
  static std::expected<Lattice, LatticeError> from_edges(std::uint64_t node_count, std::uint64_t start,
                                                         std::uint64_t end, std::vector<Arc> arcs);

  // One chain per path between a shared start (0) and end node, interior
  // nodes numbered path by path. No path: Empty; one empty path: the
  // one-node lattice; an empty path among others: MixedEmptyAndNonEmptyPaths.
  // `paths` is any range of ranges of symbols.
  template <class Paths>
  static std::expected<Lattice, LatticeError> try_from_symbol_paths(const Paths& paths);
  static std::expected<Lattice, LatticeError> try_from_symbol_paths(const std::vector<SymbolPath>& paths) {
    return try_from_symbol_paths<std::vector<SymbolPath>>(paths);
  }

  // try_from_symbol_paths over the Unicode scalar values of UTF-8 texts.
  // `paths` is one text (a one-path lattice) or a range of texts.
  template <class Paths>
  static std::expected<Lattice, LatticeError> try_from_paths(const Paths& paths);
  static std::expected<Lattice, LatticeError> try_from_paths(std::initializer_list<std::string_view> paths) {
    return try_from_paths<std::initializer_list<std::string_view>>(paths);
  }

  // try_from_paths for callers whose paths cannot be wrong; a failure throws
  // FatalError "valid string path lattice: <debug form>".
  template <class Paths>
  static Lattice from_paths(const Paths& paths);
  static Lattice from_paths(std::initializer_list<std::string_view> paths) {
    return from_paths<std::initializer_list<std::string_view>>(paths);
  }

  // The minimised lattice with exactly the distinct paths as its readings:
  // common prefixes share nodes and equal remainders are merged
  // (core/compact_lattice.hpp). Path checks as in try_from_symbol_paths.
  static std::expected<Lattice, LatticeError> try_from_symbol_paths_compact(std::span<const SymbolPath> paths);
  static std::expected<Lattice, LatticeError> try_from_symbol_paths_compact(
      std::initializer_list<SymbolPath> paths) {
    return try_from_symbol_paths_compact(std::span<const SymbolPath>(paths.begin(), paths.size()));
  }
  // Fatal form: "valid compact symbol path lattice: <debug form>".
  static Lattice from_symbol_paths_compact(std::span<const SymbolPath> paths);
  static Lattice from_symbol_paths_compact(std::initializer_list<SymbolPath> paths) {
    return from_symbol_paths_compact(std::span<const SymbolPath>(paths.begin(), paths.size()));
  }

  // Every arc in construction order.
  const std::vector<Arc>& arcs() const { return arcs_; }
  // Per node, the ascending indices of the arcs ending / starting there.
  const ArcIndexLists& incoming() const { return incoming_; }
  const ArcIndexLists& outgoing() const { return outgoing_; }
  std::uint64_t node_count() const { return node_count_; }
  std::uint64_t start() const { return start_; }
  std::uint64_t end() const { return end_; }

  // The arcs of incoming()[node] (resp. outgoing()[node]), in the same
  // order, as (source, symbol) (resp. (destination, symbol)).
  std::span<const ArcEnd> incoming_ends(std::uint64_t node) const {
    return {in_ends_.data() + incoming_.offsets_[node], in_ends_.data() + incoming_.offsets_[node + 1]};
  }
  std::span<const ArcEnd> outgoing_ends(std::uint64_t node) const {
    return {out_ends_.data() + outgoing_.offsets_[node], out_ends_.data() + outgoing_.offsets_[node + 1]};
  }

 private:
  Lattice() = default;

  std::vector<Arc> arcs_;
  ArcIndexLists incoming_;
  ArcIndexLists outgoing_;
  std::vector<ArcEnd> in_ends_;
  std::vector<ArcEnd> out_ends_;
  std::uint64_t node_count_ = 0;
  std::uint64_t start_ = 0;
  std::uint64_t end_ = 0;
};

namespace detail {

// Emits the arcs of one chain per path: interior nodes are numbered from 1
// path by path, the last symbol of each path goes to the end node.
class ChainArcWriter {
 public:
  ChainArcWriter(std::uint64_t interior, std::size_t arc_count) : end_(interior + 1) { arcs_.reserve(arc_count); }
  // Symbol `index` of a path of `length` symbols.
  void push(std::uint32_t symbol, std::size_t index, std::size_t length) {
    const std::uint64_t src = index == 0 ? 0 : next_ - 1;
    const std::uint64_t dst = index + 1 == length ? end_ : next_++;
    arcs_.push_back(Arc{src, dst, symbol});
  }
  std::uint64_t end() const { return end_; }
  std::vector<Arc> take() { return std::move(arcs_); }

 private:
  std::uint64_t end_;
  std::uint64_t next_ = 1;
  std::vector<Arc> arcs_;
};

// The one-node lattice of the single empty path.
std::expected<Lattice, LatticeError> empty_path_lattice();
// The chain lattice with `interior` interior nodes and the given arcs.
std::expected<Lattice, LatticeError> chain_lattice(std::uint64_t interior, std::vector<Arc> arcs);

template <class T>
concept TextLike = std::convertible_to<const T&, std::string_view>;

}  // namespace detail

template <class Paths>
std::expected<Lattice, LatticeError> Lattice::try_from_symbol_paths(const Paths& paths) {
  std::size_t count = 0;
  std::size_t total = 0;
  bool any_empty = false;
  for (const auto& path : paths) {
    const auto length = static_cast<std::size_t>(std::ranges::distance(path));
    ++count;
    total += length;
    any_empty |= length == 0;
  }
  if (count == 0) return std::unexpected(LatticeError::empty());
  if (any_empty) {
    if (count == 1) return detail::empty_path_lattice();
    return std::unexpected(LatticeError::mixed_empty_and_non_empty_paths());
  }
  detail::ChainArcWriter writer(total - count, total);
  for (const auto& path : paths) {
    const auto length = static_cast<std::size_t>(std::ranges::distance(path));
    std::size_t index = 0;
    for (const auto symbol : path) writer.push(static_cast<std::uint32_t>(symbol), index++, length);
  }
  return detail::chain_lattice(total - count, writer.take());
}

template <class Paths>
std::expected<Lattice, LatticeError> Lattice::try_from_paths(const Paths& paths) {
  if constexpr (detail::TextLike<Paths>) {
    const std::string_view one(paths);
    return try_from_paths(std::span<const std::string_view>(&one, 1));
  } else {
    std::size_t count = 0;
    std::size_t total = 0;
    bool any_empty = false;
    for (const auto& path : paths) {
      const std::size_t length = text::count_scalars(std::string_view(path));
      ++count;
      total += length;
      any_empty |= length == 0;
    }
    if (count == 0) return std::unexpected(LatticeError::empty());
    if (any_empty) {
      if (count == 1) return detail::empty_path_lattice();
      return std::unexpected(LatticeError::mixed_empty_and_non_empty_paths());
    }
    detail::ChainArcWriter writer(total - count, total);
    for (const auto& path : paths) {
      const std::string_view text(path);
      const std::size_t length = text::count_scalars(text);
      std::size_t pos = 0;
      for (std::size_t index = 0; index < length; ++index) {
        writer.push(static_cast<std::uint32_t>(text::next_scalar(text, pos)), index, length);
      }
    }
    return detail::chain_lattice(total - count, writer.take());
  }
}

// Throws FatalError "valid string path lattice: <debug form>".
[[noreturn]] void fail_string_path_lattice(const LatticeError& error);

template <class Paths>
Lattice Lattice::from_paths(const Paths& paths) {
  auto lattice = try_from_paths(paths);
  if (!lattice) fail_string_path_lattice(lattice.error());
  return std::move(*lattice);
}

}  // namespace orvel
