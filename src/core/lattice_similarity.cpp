#include "core/lattice_similarity.hpp"

#include <algorithm>
#include <limits>

#include "common/fatal_error.hpp"
#include "core/grouped_lists.hpp"
#include "text/utf8.hpp"

namespace orvel {

namespace {

constexpr std::uint32_t kNone = std::numeric_limits<std::uint32_t>::max();
// Unreached cells; far enough below the type's maximum that adding one edit
// cannot wrap.
constexpr std::uint32_t kUnreached = std::numeric_limits<std::uint32_t>::max() / 2;

// Lattices beyond this many nodes or arcs cannot be numbered in 32 bits; no
// reading lattice comes near it (it would need hundreds of gigabytes).
constexpr std::uint64_t kMaxNodes = std::numeric_limits<std::uint32_t>::max() / 4;

double similarity_term(std::uint64_t distance, std::uint64_t length) {
  const double x = 1.0 - static_cast<double>(distance) / static_cast<double>(length);
  return std::min(std::max(x, 0.0), 1.0);
}

}  // namespace

bool LatticeSimilarityWorkspace::useful_nodes(const Lattice& lattice, UsefulNodes& out,
                                              std::vector<std::uint8_t>& marks) {
  const std::uint64_t n = lattice.node_count();
  if (n > kMaxNodes || lattice.arcs().size() > kMaxNodes) {
    throw FatalError("lattice too large for the similarity programme");
  }
  const std::uint64_t start = lattice.start();
  const std::uint64_t end = lattice.end();
  // Bit 1: reached from the start; bit 2: reaches the end. Arcs ascend, so
  // only nodes start..end can carry both.
  marks.assign(n, 0);
  marks[start] |= 1;
  for (std::uint64_t u = start; u <= end; ++u) {
    if ((marks[u] & 1) == 0) continue;
    for (const ArcEnd& next : lattice.outgoing_ends(u)) marks[next.node] |= 1;
  }
  out.nodes.clear();
  out.in_offsets.clear();
  out.in_sources.clear();
  out.in_symbols.clear();
  out.dense.assign(n, kNone);
  if ((marks[end] & 1) == 0) return false;
  marks[end] |= 2;
  for (std::uint64_t u = end + 1; u-- > start;) {
    if ((marks[u] & 2) == 0) continue;
    for (const ArcEnd& prev : lattice.incoming_ends(u)) marks[prev.node] |= 2;
  }
  for (std::uint64_t u = start; u <= end; ++u) {
    if (marks[u] == 3) {
      out.dense[u] = static_cast<std::uint32_t>(out.nodes.size());
      out.nodes.push_back(u);
    }
  }
  out.in_offsets.reserve(out.nodes.size() + 1);
  out.in_offsets.push_back(0);
  for (const std::uint64_t u : out.nodes) {
    for (const ArcEnd& prev : lattice.incoming_ends(u)) {
      if (out.dense[prev.node] == kNone) continue;
      out.in_sources.push_back(out.dense[prev.node]);
      out.in_symbols.push_back(prev.symbol);
    }
    out.in_offsets.push_back(static_cast<std::uint32_t>(out.in_sources.size()));
  }
  return true;
}

void LatticeSimilarityWorkspace::prefix_lengths(const UsefulNodes& split) {
  const std::uint32_t n = split.size();
  // The lengths of the prefixes reaching each node, ascending, without
  // repeats: the start has {0}; every other node the union of its sources'
  // lengths plus one.
  length_offsets_.assign(1, 0);
  lengths_.clear();
  lengths_.push_back(0);
  length_offsets_.push_back(1);
  for (std::uint32_t u = 1; u < n; ++u) {
    merge_.clear();
    for (std::uint32_t a = split.in_offsets[u]; a < split.in_offsets[u + 1]; ++a) {
      const std::uint32_t src = split.in_sources[a];
      for (std::uint32_t k = length_offsets_[src]; k < length_offsets_[src + 1]; ++k) {
        merge_.push_back(lengths_[k] + 1);
      }
    }
    std::sort(merge_.begin(), merge_.end());
    merge_.erase(std::unique(merge_.begin(), merge_.end()), merge_.end());
    lengths_.insert(lengths_.end(), merge_.begin(), merge_.end());
    if (lengths_.size() >= kMaxNodes) throw FatalError("lattice too large for the similarity programme");
    length_offsets_.push_back(static_cast<std::uint32_t>(lengths_.size()));
  }
}

void LatticeSimilarityWorkspace::string_lengths(const UsefulNodes& side, std::vector<std::uint32_t>& out) {
  prefix_lengths(side);
  const std::uint32_t end = side.size() - 1;
  out.assign(lengths_.begin() + length_offsets_[end], lengths_.begin() + length_offsets_[end + 1]);
}

void LatticeSimilarityWorkspace::distances_by_length(const UsefulNodes& split, const UsefulNodes& other,
                                                     std::vector<std::pair<std::uint64_t, std::uint64_t>>& out) {
  out.clear();
  const std::uint32_t n = split.size();
  const std::uint32_t m = other.size();
  prefix_lengths(split);

  // A node's rows are needed until its last successor has been computed.
  last_use_.assign(n, 0);
  for (std::uint32_t v = 0; v < n; ++v) {
    for (std::uint32_t a = split.in_offsets[v]; a < split.in_offsets[v + 1]; ++a) {
      last_use_[split.in_sources[a]] = std::max(last_use_[split.in_sources[a]], v);
    }
  }
  released_.assign(n == 0 ? 0 : n - 1, 0);
  release_offsets_ = detail::group_by<std::uint32_t>(
      n, released_.size(), [&](std::size_t u) { return last_use_[u]; },
      [&](std::uint32_t slot, std::size_t u) { released_[slot] = static_cast<std::uint32_t>(u); });

  row_of_.assign(lengths_.size(), kNone);
  free_rows_.clear();
  pool_.clear();
  std::uint32_t rows_made = 0;
  auto take_row = [&]() -> std::uint32_t {
    if (!free_rows_.empty()) {
      const std::uint32_t r = free_rows_.back();
      free_rows_.pop_back();
      return r;
    }
    pool_.resize(static_cast<std::size_t>(rows_made + 1) * m);
    return rows_made++;
  };
  auto row = [&](std::uint32_t r) { return pool_.data() + static_cast<std::size_t>(r) * m; };

  // The split start (start, 0): only insertions of the other side.
  {
    const std::uint32_t r = take_row();
    row_of_[0] = r;
    std::uint32_t* cur = row(r);
    cur[0] = 0;
    for (std::uint32_t j = 1; j < m; ++j) {
      std::uint32_t best = kUnreached;
      for (std::uint32_t b = other.in_offsets[j]; b < other.in_offsets[j + 1]; ++b) {
        best = std::min(best, cur[other.in_sources[b]] + 1);
      }
      cur[j] = best;
    }
  }

  struct Pred {
    std::uint32_t row;
    std::uint32_t symbol;
  };
  std::vector<Pred> preds;
  std::vector<const std::uint32_t*> pred_rows;
  for (std::uint32_t u = 1; u < n; ++u) {
    for (std::uint32_t k = length_offsets_[u]; k < length_offsets_[u + 1]; ++k) {
      const std::uint32_t length = lengths_[k];
      preds.clear();
      for (std::uint32_t a = split.in_offsets[u]; a < split.in_offsets[u + 1]; ++a) {
        const std::uint32_t src = split.in_sources[a];
        const auto first = lengths_.begin() + length_offsets_[src];
        const auto last = lengths_.begin() + length_offsets_[src + 1];
        const auto at = std::lower_bound(first, last, length - 1);
        if (at == last || *at != length - 1) continue;
        preds.push_back(Pred{row_of_[static_cast<std::uint32_t>(at - lengths_.begin())], split.in_symbols[a]});
      }
      const std::uint32_t r = take_row();
      row_of_[k] = r;
      // take_row may have moved the pool: take the pointers afterwards.
      std::uint32_t* cur = row(r);
      pred_rows.clear();
      for (const Pred& p : preds) pred_rows.push_back(row(p.row));
      const std::size_t pc = preds.size();
      for (std::uint32_t j = 0; j < m; ++j) {
        std::uint32_t best = kUnreached;
        for (std::size_t p = 0; p < pc; ++p) best = std::min(best, pred_rows[p][j] + 1);
        for (std::uint32_t b = other.in_offsets[j]; b < other.in_offsets[j + 1]; ++b) {
          const std::uint32_t src = other.in_sources[b];
          best = std::min(best, cur[src] + 1);
          const std::uint32_t symbol = other.in_symbols[b];
          for (std::size_t p = 0; p < pc; ++p) {
            best = std::min(best, pred_rows[p][src] + (preds[p].symbol == symbol ? 0u : 1u));
          }
        }
        cur[j] = std::min(best, kUnreached);
      }
    }
    // Rows whose node has no successor after u are free again.
    for (std::uint32_t q = release_offsets_[u]; q < release_offsets_[u + 1]; ++q) {
      const std::uint32_t done = released_[q];
      for (std::uint32_t k = length_offsets_[done]; k < length_offsets_[done + 1]; ++k) {
        free_rows_.push_back(row_of_[k]);
        row_of_[k] = kNone;
      }
    }
  }

  const std::uint32_t end = n - 1;
  for (std::uint32_t k = length_offsets_[end]; k < length_offsets_[end + 1]; ++k) {
    const std::uint32_t d = row(row_of_[k])[m - 1];
    if (d < kUnreached) out.emplace_back(lengths_[k], d);
  }
}

double LatticeSimilarityWorkspace::best_normalized_similarity(const Lattice& left, const Lattice& right) {
  if (!useful_nodes(left, left_, marks_) || !useful_nodes(right, right_, marks_)) return 0.0;
  const bool left_empty = left.start() == left.end();
  const bool right_empty = right.start() == right.end();
  if (left_empty && right_empty) return 1.0;
  // The empty string against non-empty strings only: every pair scores 0.
  if (left_empty || right_empty) return 0.0;

  // Each pass gives the terms of one side's lengths. The side with the
  // longer strings usually holds the best term, so it goes first; the other
  // pass runs only when a bound on its terms can pass the best so far.
  string_lengths(left_, left_lengths_);
  string_lengths(right_, right_lengths_);
  const bool right_first = right_lengths_.back() > left_lengths_.back();
  const UsefulNodes& first = right_first ? right_ : left_;
  const UsefulNodes& second = right_first ? left_ : right_;
  const std::vector<std::uint32_t>& second_lengths = right_first ? left_lengths_ : right_lengths_;

  double best = 0.0;
  distances_by_length(first, second, by_length_first_);
  for (const auto& [length, distance] : by_length_first_) {
    if (length > 0) best = std::max(best, similarity_term(distance, length));
  }
  if (best == 1.0) return best;
  if (second_terms_bound(by_length_first_, second_lengths) <= best) return best;
  distances_by_length(second, first, by_length_second_);
  for (const auto& [length, distance] : by_length_second_) {
    if (length > 0) best = std::max(best, similarity_term(distance, length));
  }
  return best;
}

double LatticeSimilarityWorkspace::second_terms_bound(
    const std::vector<std::pair<std::uint64_t, std::uint64_t>>& first_distances,
    std::span<const std::uint32_t> second_lengths) {
  // A pair of strings of lengths l1 and l2 is at least max(D1[l1], |l1 - l2|)
  // apart, D1[l1] being the least distance of any first-side string of
  // length l1; so the term of length l2 is at most that of the least such
  // bound over l1.
  if (first_distances.empty()) return 1.0;
  double bound = 0.0;
  for (const std::uint32_t l2 : second_lengths) {
    if (l2 == 0) continue;
    std::uint64_t least = std::numeric_limits<std::uint64_t>::max();
    for (const auto& [l1, d1] : first_distances) {
      const std::uint64_t gap = l1 > l2 ? l1 - l2 : l2 - l1;
      least = std::min(least, std::max(d1, gap));
    }
    bound = std::max(bound, similarity_term(least, l2));
  }
  return bound;
}

double LatticeSimilarityWorkspace::best_normalized_similarity(const ReadingLattice& left,
                                                              const ReadingLattice& right) {
  if (left.contains_empty() && right.contains_empty()) return 1.0;
  return best_normalized_similarity(left.lattice, right.lattice);
}

ReadingLattice reading_lattice_from_paths(std::span<const std::string> paths) {
  std::vector<SymbolPath> symbols;
  symbols.reserve(paths.size());
  bool any_empty = false;
  for (const std::string& path : paths) {
    if (path.empty()) {
      any_empty = true;
      continue;
    }
    SymbolPath& out = symbols.emplace_back();
    std::size_t pos = 0;
    while (pos < path.size()) out.push_back(static_cast<std::uint32_t>(text::next_scalar(path, pos)));
  }
  if (symbols.empty()) {
    if (any_empty) return ReadingLattice{expect_valid(Lattice::from_edges(1, 0, 0, {}), "valid empty reading lattice"), false};
    return ReadingLattice{expect_valid(Lattice::from_edges(2, 0, 1, {}), "valid lattice without readings"), false};
  }
  return ReadingLattice{Lattice::from_symbol_paths_compact(symbols), any_empty};
}

double best_normalized_similarity(const ReadingLattice& left, const ReadingLattice& right) {
  LatticeSimilarityWorkspace workspace;
  return workspace.best_normalized_similarity(left, right);
}

double best_normalized_similarity(const Lattice& left, const Lattice& right) {
  LatticeSimilarityWorkspace workspace;
  return workspace.best_normalized_similarity(left, right);
}

std::optional<std::vector<std::uint64_t>> string_lengths(const Lattice& lattice) {
  constexpr std::uint64_t kMaxLengthNodes = 4096;
  const std::uint64_t n = lattice.node_count();
  if (n > kMaxLengthNodes) return std::nullopt;
  // Bit k of a node's row: some prefix of length k reaches it. Lengths stay
  // below the node count, since arcs ascend.
  const std::uint64_t words = n / 64 + 1;
  std::vector<std::uint64_t> rows(n * words, 0);
  const std::uint64_t start = lattice.start();
  const std::uint64_t end = lattice.end();
  rows[start * words] = 1;
  for (std::uint64_t u = start; u < end; ++u) {
    const std::uint64_t* from = rows.data() + u * words;
    if (std::all_of(from, from + words, [](std::uint64_t w) { return w == 0; })) continue;
    for (const ArcEnd& next : lattice.outgoing_ends(u)) {
      if (next.node > end) continue;
      std::uint64_t* to = rows.data() + next.node * words;
      for (std::uint64_t w = 0; w < words; ++w) to[w] |= (from[w] << 1) | (w > 0 ? from[w - 1] >> 63 : 0);
    }
  }
  std::vector<std::uint64_t> lengths;
  const std::uint64_t* at_end = rows.data() + end * words;
  for (std::uint64_t k = 0; k < words * 64; ++k) {
    if ((at_end[k / 64] >> (k % 64)) & 1) lengths.push_back(k);
  }
  return lengths;
}

std::optional<std::vector<std::uint64_t>> string_lengths(const ReadingLattice& set) {
  auto lengths = string_lengths(set.lattice);
  if (lengths && set.also_empty && (lengths->empty() || lengths->front() != 0)) lengths->insert(lengths->begin(), 0);
  return lengths;
}

double similarity_upper_bound(std::span<const std::uint64_t> left, std::span<const std::uint64_t> right) {
  double bound = 0.0;
  for (const std::uint64_t a : left) {
    for (const std::uint64_t b : right) {
      const std::uint64_t longer = std::max(a, b);
      bound = std::max(bound, longer == 0 ? 1.0 : similarity_term(longer - std::min(a, b), longer));
    }
  }
  return bound;
}

std::uint64_t distance_lower_bound(std::span<const std::uint64_t> left, std::span<const std::uint64_t> right) {
  std::uint64_t bound = std::numeric_limits<std::uint64_t>::max();
  for (const std::uint64_t a : left) {
    for (const std::uint64_t b : right) bound = std::min(bound, std::max(a, b) - std::min(a, b));
  }
  return bound;
}

std::uint64_t longest_string_length(const Lattice& lattice) {
  const std::uint64_t start = lattice.start();
  const std::uint64_t end = lattice.end();
  constexpr std::uint64_t kUnset = std::numeric_limits<std::uint64_t>::max();
  std::vector<std::uint64_t> longest(end - start + 1, kUnset);
  longest[0] = 0;
  for (std::uint64_t u = start; u < end; ++u) {
    if (longest[u - start] == kUnset) continue;
    for (const ArcEnd& next : lattice.outgoing_ends(u)) {
      if (next.node > end) continue;
      std::uint64_t& slot = longest[next.node - start];
      if (slot == kUnset || slot < longest[u - start] + 1) slot = longest[u - start] + 1;
    }
  }
  return longest[end - start] == kUnset ? 0 : longest[end - start];
}

}  // namespace orvel
