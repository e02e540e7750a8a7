#include "core/lattice_distance.hpp"

#include <algorithm>
#include <limits>
#include <span>

namespace orvel {

namespace {

// Stand-in for UNREACHED_COST in the 32-bit tables. Reachable costs are at
// most (L - 1) + (R - 1) < 2^25 under the cell limit, and kUnreached + 1
// still fits, so min(kUnreached, pred + 1) never wraps and an unreachable
// cell keeps exactly kUnreached, as UNREACHED_COST would under saturation.
constexpr std::uint32_t kUnreached = std::numeric_limits<std::uint32_t>::max() - 1;

std::uint64_t widen(std::uint32_t cost) { return cost == kUnreached ? UNREACHED_COST : cost; }

}  // namespace

std::expected<void, DistanceError> check_distance_cells(std::uint64_t left_nodes, std::uint64_t right_nodes) {
  std::uint64_t cells = 0;
  if (__builtin_mul_overflow(left_nodes, right_nodes, &cells) || cells > MAX_DISTANCE_CELLS) {
    return std::unexpected(DistanceError{.left_nodes = left_nodes, .right_nodes = right_nodes});
  }
  return {};
}

std::expected<void, DistanceError> check_distance_cells(const Lattice& left, const Lattice& right) {
  return check_distance_cells(left.node_count(), right.node_count());
}

namespace {

// The exact table: one 32-bit cost per node pair, row-major by left node,
// with R cells per row.
struct CostTable {
  std::uint32_t* cost;
  std::size_t R;
  std::uint32_t* row(std::uint64_t i) const { return cost + i * R; }
};

// The cheapest swap into (i, j), given v so far: left reads x' then x (x the
// arc into i, with symbol xs; in_x the arcs into its source), right reads y
// then y' (y among in_j), with x' = y and x = y'. Inlined: it runs for
// nearly every cell of a Damerau table.
[[gnu::always_inline]] inline std::uint32_t with_swaps(std::uint32_t v, const CostTable& table, const Lattice& right,
                                                       std::uint32_t xs, std::span<const ArcEnd> in_x,
                                                       std::span<const ArcEnd> in_j) {
  for (const ArcEnd& y : in_j) {
    if (xs == y.symbol) continue;  // a swap of equal symbols never beats the match
    for (const ArcEnd& x2 : in_x) {
      if (x2.symbol != y.symbol) continue;  // rare: look at y's sources only now
      const std::uint32_t* const from = table.row(x2.node);
      for (const ArcEnd& y2 : right.incoming_ends(y.node)) {
        if (xs == y2.symbol) v = std::min(v, from[y2.node] + 1);
      }
    }
  }
  return v;
}

// Row i of the table when the one arc x leads into i. Most nodes of a
// reading lattice are like that, mostly with x from the node just before:
// then the cells left of (i, j) and of its source cell are the ones computed
// and read one step earlier, kept in registers instead of reloaded right
// after the store. Outside the rectangle (j = rs) both are kUnreached, as
// the table holds.
template <bool Damerau>
void exact_row_one_arc(const CostTable& table, const Lattice& left, const Lattice& right, std::uint64_t i,
                       const ArcEnd& x) {
  std::uint32_t* const row = table.row(i);
  const std::uint32_t* const from = table.row(x.node);
  const auto in_x = left.incoming_ends(x.node);  // swaps only
  std::uint32_t last_v = kUnreached, last_from = kUnreached;
  for (std::uint64_t j = right.start(); j <= right.end(); ++j) {
    const auto in_j = right.incoming_ends(j);
    const std::uint32_t del = from[j];
    std::uint32_t v = std::min(kUnreached, del + 1);
    if (in_j.size() == 1 && in_j[0].node + 1 == j) {
      v = std::min(v, last_from + (x.symbol != in_j[0].symbol ? 1u : 0u));
      v = std::min(v, last_v + 1);
    } else {
      for (const ArcEnd& y : in_j) v = std::min(v, from[y.node] + (x.symbol != y.symbol ? 1u : 0u));
      for (const ArcEnd& y : in_j) v = std::min(v, row[y.node] + 1);
    }
    if constexpr (Damerau) {
      if (!in_x.empty()) v = with_swaps(v, table, right, x.symbol, in_x, in_j);
    }
    row[j] = v;
    last_v = v;
    last_from = del;
  }
}

// Row i of the table for any number of arcs into i; the start pair keeps
// its cost 0.
template <bool Damerau>
void exact_row(const CostTable& table, const Lattice& left, const Lattice& right, std::uint64_t i) {
  const auto in_i = left.incoming_ends(i);
  std::uint32_t* const row = table.row(i);
  for (std::uint64_t j = right.start(); j <= right.end(); ++j) {
    if (i == left.start() && j == right.start()) continue;
    const auto in_j = right.incoming_ends(j);
    std::uint32_t v = kUnreached;
    for (const ArcEnd& x : in_i) {
      const std::uint32_t* const from = table.row(x.node);
      v = std::min(v, from[j] + 1);  // deletion
      for (const ArcEnd& y : in_j) v = std::min(v, from[y.node] + (x.symbol != y.symbol ? 1u : 0u));
    }
    for (const ArcEnd& y : in_j) v = std::min(v, row[y.node] + 1);  // insertion
    if constexpr (Damerau) {
      for (const ArcEnd& x : in_i) {
        const auto in_x = left.incoming_ends(x.node);
        if (!in_x.empty()) v = with_swaps(v, table, right, x.symbol, in_x, in_j);
      }
    }
    row[j] = v;
  }
}

}  // namespace

template <bool Damerau>
std::uint64_t DistanceWorkspace::exact(const Lattice& left, const Lattice& right) {
  const std::size_t R = right.node_count();
  costs_.assign(left.node_count() * R, kUnreached);
  const CostTable table{costs_.data(), R};
  table.row(left.start())[right.start()] = 0;

  // Node numbers are a topological order, so every predecessor pair of
  // (i, j) is final when (i, j) is computed. Pairs outside the start..end
  // rectangle keep kUnreached.
  for (std::uint64_t i = left.start(); i <= left.end(); ++i) {
    const auto in_i = left.incoming_ends(i);
    if (in_i.size() == 1 && i != left.start()) {
      exact_row_one_arc<Damerau>(table, left, right, i, in_i[0]);
    } else {
      exact_row<Damerau>(table, left, right, i);
    }
  }
  return widen(table.row(left.end())[right.end()]);
}

template <bool Damerau>
std::optional<std::uint64_t> DistanceWorkspace::bounded(const Lattice& left, const Lattice& right,
                                                        std::uint64_t limit) {
  const std::size_t R = right.node_count();
  const std::size_t cell_count = left.node_count() * R;
  if (cells_.size() < cell_count) cells_.resize(cell_count, Cell{0, 0});
  if (++generation_ == 0) {
    for (Cell& cell : cells_) cell.generation = 0;
    generation_ = 1;
  }
  const std::uint32_t generation = generation_;
  Cell* const cells = cells_.data();
  const std::uint64_t end_cell = left.end() * R + right.end();

  level_.clear();
  next_level_.clear();
  cells[left.start() * R + right.start()] = Cell{generation, 0};
  level_.push_back(left.start() << 32 | right.start());

  // Moves cost 0 or 1, so pairs are expanded level by level in order of
  // cost, each at most once, with its exact cost: a pair taken at level c
  // has exact cost c. Zero-cost moves stay in the current level.
  for (std::uint64_t c = 0;; ++c) {
    const std::uint32_t here = static_cast<std::uint32_t>(c);
    const std::uint32_t step = here + 1;
    const bool can_step = c + 1 <= limit;
    auto relax = [&](std::uint64_t i, std::uint64_t j, std::uint32_t w) {
      Cell& cell = cells[i * R + j];
      if (cell.generation == generation && cell.cost <= w) return;
      cell = Cell{generation, w};
      (w == here ? level_ : next_level_).push_back(i << 32 | j);
    };
    for (std::size_t q = 0; q < level_.size(); ++q) {
      const std::uint64_t i = level_[q] >> 32;
      const std::uint64_t j = level_[q] & 0xFFFFFFFFu;
      const std::uint64_t index = i * R + j;
      if (cells[index].cost != here) continue;  // improved since it was queued
      if (index == end_cell) return c;
      const auto out_i = left.outgoing_ends(i);
      const auto out_j = right.outgoing_ends(j);
      if (can_step) {
        for (const ArcEnd& y : out_j) relax(i, y.node, step);  // insertion
        for (const ArcEnd& x : out_i) relax(x.node, j, step);  // deletion
      }
      for (const ArcEnd& x : out_i) {
        for (const ArcEnd& y : out_j) {
          if (x.symbol == y.symbol) relax(x.node, y.node, here);
          else if (can_step) relax(x.node, y.node, step);
        }
      }
      if constexpr (Damerau) {
        if (can_step) {
          for (const ArcEnd& x1 : out_i) {
            const auto out_x1 = left.outgoing_ends(x1.node);
            for (const ArcEnd& y1 : out_j) {
              if (x1.symbol == y1.symbol) continue;  // never beats the two matches
              const auto out_y1 = right.outgoing_ends(y1.node);
              for (const ArcEnd& x2 : out_x1) {
                if (x2.symbol != y1.symbol) continue;
                for (const ArcEnd& y2 : out_y1) {
                  if (x1.symbol == y2.symbol) relax(x2.node, y2.node, step);
                }
              }
            }
          }
        }
      }
    }
    if (next_level_.empty()) return std::nullopt;
    std::swap(level_, next_level_);
    next_level_.clear();
  }
}

std::expected<std::uint64_t, DistanceError> DistanceWorkspace::try_distance(const Lattice& left,
                                                                           const Lattice& right) {
  if (auto ok = check_distance_cells(left, right); !ok) return std::unexpected(ok.error());
  return exact<false>(left, right);
}

std::expected<std::uint64_t, DistanceError> DistanceWorkspace::try_damerau_distance(const Lattice& left,
                                                                                   const Lattice& right) {
  if (auto ok = check_distance_cells(left, right); !ok) return std::unexpected(ok.error());
  return exact<true>(left, right);
}

namespace {

// An unreachable end pair is never found by the bounded search; its cost is
// UNREACHED_COST, which only a cutoff that large admits. Any reachable pair
// costs far less, so a miss under such a cutoff means unreachable.
std::optional<std::uint64_t> cutoff_result(std::optional<std::uint64_t> found, std::uint64_t cutoff) {
  if (!found && cutoff >= UNREACHED_COST) return UNREACHED_COST;
  return found;
}

}  // namespace

std::expected<std::optional<std::uint64_t>, DistanceError> DistanceWorkspace::try_distance_with_cutoff(
    const Lattice& left, const Lattice& right, std::uint64_t cutoff) {
  if (auto ok = check_distance_cells(left, right); !ok) return std::unexpected(ok.error());
  return cutoff_result(bounded<false>(left, right, cutoff), cutoff);
}

std::expected<std::optional<std::uint64_t>, DistanceError> DistanceWorkspace::try_damerau_distance_with_cutoff(
    const Lattice& left, const Lattice& right, std::uint64_t cutoff) {
  if (auto ok = check_distance_cells(left, right); !ok) return std::unexpected(ok.error());
  return cutoff_result(bounded<true>(left, right, cutoff), cutoff);
}

std::expected<bool, DistanceError> DistanceWorkspace::try_within_distance(const Lattice& left, const Lattice& right,
                                                                         std::uint64_t threshold) {
  if (auto ok = check_distance_cells(left, right); !ok) return std::unexpected(ok.error());
  return bounded<false>(left, right, threshold).has_value();
}

std::expected<bool, DistanceError> DistanceWorkspace::try_within_damerau_distance(const Lattice& left,
                                                                                 const Lattice& right,
                                                                                 std::uint64_t threshold) {
  if (auto ok = check_distance_cells(left, right); !ok) return std::unexpected(ok.error());
  return bounded<true>(left, right, threshold).has_value();
}

std::expected<bool, DistanceError> try_within_distance(const Lattice& left, const Lattice& right,
                                                       std::uint64_t threshold) {
  DistanceWorkspace workspace;
  return workspace.try_within_distance(left, right, threshold);
}

std::expected<bool, DistanceError> try_within_damerau_distance(const Lattice& left, const Lattice& right,
                                                               std::uint64_t threshold) {
  DistanceWorkspace workspace;
  return workspace.try_within_damerau_distance(left, right, threshold);
}

}  // namespace orvel
