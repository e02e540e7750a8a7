#include "core/lattice_similarity.hpp"

#include <algorithm>
#include <limits>
#include <string>

#include "common/fatal_error.hpp"
#include "core/grouped_lists.hpp"
#include "core/sequence_ids.hpp"
#include "core/string_distance.hpp"
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

template <class OnRow>
void LatticeSimilarityWorkspace::run_programme(const UsefulNodes& split, const UsefulNodes& other, OnRow&& on_row) {
  const std::uint32_t n = split.size();
  const std::uint32_t m = other.size();
  prefix_lengths(split);

  // A node's rows are needed until its last successor has been computed;
  // those of a node without successors only by on_row.
  last_use_.resize(n);
  for (std::uint32_t v = 0; v < n; ++v) last_use_[v] = v;
  for (std::uint32_t v = 0; v < n; ++v) {
    for (std::uint32_t a = split.in_offsets[v]; a < split.in_offsets[v + 1]; ++a) {
      last_use_[split.in_sources[a]] = std::max(last_use_[split.in_sources[a]], v);
    }
  }
  released_.assign(n, 0);
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
    on_row(0u, 0u, static_cast<const std::uint32_t*>(cur));
  }

  struct Pred {
    std::uint32_t row;
    std::uint32_t symbol;
  };
  std::vector<Pred> preds;
  const std::uint32_t* const in_offsets = other.in_offsets.data();
  const std::uint32_t* const in_sources = other.in_sources.data();
  const std::uint32_t* const in_symbols = other.in_symbols.data();
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
      std::uint32_t* const cur = row(r);
      // With the predecessors' least row pm, a cell is
      //   min(pm[j] + 1, over arcs src -> j of the other side:
      //       cur[src] + 1, pm[src] + 1, pred[p][src] for each p whose
      //       symbol is the arc's),
      // which is the min over p of pred[p][src] + (symbols differ) unfolded.
      // Every split node past the start has a predecessor of one length less.
      const std::uint32_t* least = row(preds.front().row);
      bool one_symbol = true;
      if (preds.size() > 1) {
        least_.resize(m);
        std::uint32_t* out = least_.data();
        std::copy(least, least + m, out);
        for (std::size_t p = 1; p < preds.size(); ++p) {
          const std::uint32_t* other_row = row(preds[p].row);
          for (std::uint32_t j = 0; j < m; ++j) out[j] = std::min(out[j], other_row[j]);
          one_symbol = one_symbol && preds[p].symbol == preds.front().symbol;
        }
        least = out;
      }
      if (one_symbol) {
        const std::uint32_t symbol = preds.front().symbol;
        for (std::uint32_t j = 0; j < m; ++j) {
          std::uint32_t best = least[j] + 1;
          for (std::uint32_t b = in_offsets[j]; b < in_offsets[j + 1]; ++b) {
            const std::uint32_t src = in_sources[b];
            best = std::min(best, cur[src] + 1);
            best = std::min(best, least[src] + (in_symbols[b] == symbol ? 0u : 1u));
          }
          cur[j] = std::min(best, kUnreached);
        }
      } else {
        for (std::uint32_t j = 0; j < m; ++j) {
          std::uint32_t best = least[j] + 1;
          for (std::uint32_t b = in_offsets[j]; b < in_offsets[j + 1]; ++b) {
            const std::uint32_t src = in_sources[b];
            best = std::min(best, std::min(cur[src], least[src]) + 1);
            const std::uint32_t symbol = in_symbols[b];
            for (const Pred& p : preds) {
              if (p.symbol == symbol) best = std::min(best, row(p.row)[src]);
            }
          }
          cur[j] = std::min(best, kUnreached);
        }
      }
      on_row(u, length, static_cast<const std::uint32_t*>(cur));
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
}

void LatticeSimilarityWorkspace::distances_by_length(const UsefulNodes& split, const UsefulNodes& other,
                                                     std::vector<std::pair<std::uint64_t, std::uint64_t>>& out) {
  out.clear();
  const std::uint32_t end = split.size() - 1;
  const std::uint32_t last = other.size() - 1;
  run_programme(split, other, [&](std::uint32_t node, std::uint32_t length, const std::uint32_t* row) {
    if (node == end && row[last] < kUnreached) out.emplace_back(length, row[last]);
  });
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

void LatticeSimilarityWorkspace::reversed(const UsefulNodes& side, UsefulNodes& out) {
  const std::uint32_t n = side.size();
  out.dense.clear();
  out.nodes.assign(side.nodes.rbegin(), side.nodes.rend());
  out.in_offsets.assign(static_cast<std::size_t>(n) + 1, 0);
  for (std::uint32_t v = 0; v < n; ++v) {
    for (std::uint32_t a = side.in_offsets[v]; a < side.in_offsets[v + 1]; ++a) ++out.in_offsets[n - side.in_sources[a]];
  }
  for (std::uint32_t r = 0; r < n; ++r) out.in_offsets[r + 1] += out.in_offsets[r];
  out.in_sources.resize(side.in_sources.size());
  out.in_symbols.resize(side.in_symbols.size());
  std::vector<std::uint32_t> next(out.in_offsets.begin(), out.in_offsets.end() - 1);
  for (std::uint32_t v = 0; v < n; ++v) {
    for (std::uint32_t a = side.in_offsets[v]; a < side.in_offsets[v + 1]; ++a) {
      const std::uint32_t slot = next[n - 1 - side.in_sources[a]]++;
      out.in_sources[slot] = n - 1 - v;
      out.in_symbols[slot] = side.in_symbols[a];
    }
  }
}

void LatticeSimilarityWorkspace::best_similarities_sharing_endings(const ReadingLattice& query,
                                                                  std::span<const ReadingLattice* const> others,
                                                                  std::vector<SharedSimilarity>& out, bool exact,
                                                                  double floor) {
  out.assign(others.size(), SharedSimilarity{});
  // Pairs where the empty string decides, or a side without non-empty
  // strings, are answered one by one.
  std::vector<std::size_t> shared;
  for (std::size_t i = 0; i < others.size(); ++i) {
    const ReadingLattice& other = *others[i];
    if ((query.contains_empty() && other.contains_empty()) || other.lattice.start() == other.lattice.end()) {
      out[i].similarity = best_normalized_similarity(query, other);
    } else {
      shared.push_back(i);
    }
  }
  if (shared.empty()) return;
  if (query.lattice.start() == query.lattice.end() || !useful_nodes(query.lattice, left_, marks_)) {
    for (const std::size_t i : shared) out[i].similarity = best_normalized_similarity(query, *others[i]);
    return;
  }
  reversed(left_, query_backwards_);

  // The classes: class 0 is every lattice's end; a node's class is the set
  // of (class, symbol) of its arcs. As a lattice read backwards, a class's
  // incoming arcs come from the classes its arcs lead to, made before it.
  classes_.dense.clear();
  classes_.nodes.assign(1, 0);
  classes_.in_offsets.assign({0, 0});
  classes_.in_sources.clear();
  classes_.in_symbols.clear();
  // Class 0 is keyed by no arcs: no other node is without arcs.
  detail::SequenceIds class_of_key;
  class_of_key.intern({});
  std::vector<std::uint32_t> out_offsets;
  std::vector<std::pair<std::uint32_t, std::uint32_t>> out_arcs;
  std::vector<std::pair<std::uint32_t, std::uint32_t>> key_arcs;
  std::vector<std::uint32_t> key;
  class_of_start_.assign(others.size(), 0);
  std::vector<std::size_t> with_strings;
  for (const std::size_t i : shared) {
    if (!useful_nodes(others[i]->lattice, right_, marks_)) continue;  // no strings: 0.0
    with_strings.push_back(i);
    const std::uint32_t k = right_.size();
    out_offsets.assign(static_cast<std::size_t>(k) + 1, 0);
    for (std::uint32_t a = 0; a < right_.in_sources.size(); ++a) ++out_offsets[right_.in_sources[a] + 1];
    for (std::uint32_t d = 0; d < k; ++d) out_offsets[d + 1] += out_offsets[d];
    out_arcs.resize(right_.in_sources.size());
    {
      std::vector<std::uint32_t> next(out_offsets.begin(), out_offsets.end() - 1);
      for (std::uint32_t v = 0; v < k; ++v) {
        for (std::uint32_t a = right_.in_offsets[v]; a < right_.in_offsets[v + 1]; ++a) {
          out_arcs[next[right_.in_sources[a]]++] = {v, right_.in_symbols[a]};
        }
      }
    }
    node_class_.assign(k, 0);
    for (std::uint32_t d = k - 1; d-- > 0;) {
      key_arcs.clear();
      for (std::uint32_t a = out_offsets[d]; a < out_offsets[d + 1]; ++a) {
        key_arcs.emplace_back(node_class_[out_arcs[a].first], out_arcs[a].second);
      }
      std::sort(key_arcs.begin(), key_arcs.end());
      key_arcs.erase(std::unique(key_arcs.begin(), key_arcs.end()), key_arcs.end());
      key.clear();
      for (const auto& [target, symbol] : key_arcs) {
        key.push_back(target);
        key.push_back(symbol);
      }
      const auto [id, added] = class_of_key.intern(key);
      if (added) {
        if (classes_.size() >= kMaxNodes || classes_.in_sources.size() + key_arcs.size() >= kMaxNodes) {
          throw FatalError("lattice too large for the similarity programme");
        }
        classes_.nodes.push_back(classes_.size());
        for (const auto& [target, symbol] : key_arcs) {
          classes_.in_sources.push_back(target);
          classes_.in_symbols.push_back(symbol);
        }
        classes_.in_offsets.push_back(static_cast<std::uint32_t>(classes_.in_sources.size()));
      }
      node_class_[d] = id;
    }
    class_of_start_[i] = node_class_[0];
  }
  if (with_strings.empty()) return;

  // Query strings against the classes, the query split by length; then the
  // classes split by length against the query.
  const std::uint32_t class_count = classes_.size();
  std::vector<double> best(class_count, 0.0);
  std::vector<std::uint32_t> least(class_count, kUnreached);
  // The least distance of each class to the query strings of each length.
  std::vector<std::uint32_t> query_lengths;
  std::vector<std::uint32_t> least_by_length;
  const std::uint32_t query_end = query_backwards_.size() - 1;
  run_programme(query_backwards_, classes_, [&](std::uint32_t node, std::uint32_t length, const std::uint32_t* row) {
    if (node != query_end || length == 0) return;
    query_lengths.push_back(length);
    least_by_length.insert(least_by_length.end(), row, row + class_count);
    for (std::uint32_t c = 0; c < class_count; ++c) {
      if (row[c] >= kUnreached) continue;
      least[c] = std::min(least[c], row[c]);
      best[c] = std::max(best[c], similarity_term(row[c], length));
    }
  });
  // The shortest and longest strings of each class (class 0 is the end).
  std::vector<StringLengths> class_lengths(class_count, StringLengths{kUnreached, 0});
  class_lengths[0] = StringLengths{0, 0};
  for (std::uint32_t c = 1; c < class_count; ++c) {
    for (std::uint32_t a = classes_.in_offsets[c]; a < classes_.in_offsets[c + 1]; ++a) {
      const StringLengths& after = class_lengths[classes_.in_sources[a]];
      class_lengths[c].shortest = std::min<std::uint64_t>(class_lengths[c].shortest, after.shortest + 1);
      class_lengths[c].longest = std::max<std::uint64_t>(class_lengths[c].longest, after.longest + 1);
    }
  }
  // The second pass gives the terms of the others' string lengths. A set
  // needs them unless their bound from the first pass shows they cannot
  // raise its value, or keep it below the floor.
  std::vector<std::uint8_t> wanted(class_count, 0);
  bool second_pass = false;
  std::vector<std::pair<std::uint64_t, std::uint64_t>> first_distances;
  std::vector<std::uint32_t> second_lengths;
  for (const std::size_t i : with_strings) {
    const std::uint32_t c = class_of_start_[i];
    // Where only a zero matters, a value above it is decided already.
    if (!exact && best[c] > 0.0) continue;
    if (best[c] == 1.0 || wanted[c]) continue;
    first_distances.clear();
    for (std::size_t l = 0; l < query_lengths.size(); ++l) {
      const std::uint32_t d = least_by_length[l * class_count + c];
      if (d < kUnreached) first_distances.emplace_back(query_lengths[l], d);
    }
    second_lengths.clear();
    for (std::uint64_t l = class_lengths[c].shortest; l <= class_lengths[c].longest; ++l) {
      second_lengths.push_back(static_cast<std::uint32_t>(l));
    }
    const double bound = second_terms_bound(first_distances, second_lengths);
    if (bound <= best[c] || (exact && bound < floor)) continue;
    wanted[c] = 1;
    second_pass = true;
  }
  const std::uint32_t last_column = query_backwards_.size() - 1;
  if (second_pass) {
    run_programme(classes_, query_backwards_, [&](std::uint32_t node, std::uint32_t length, const std::uint32_t* row) {
      if (!wanted[node] || length == 0 || row[last_column] >= kUnreached) return;
      best[node] = std::max(best[node], similarity_term(row[last_column], length));
    });
  }
  for (const std::size_t i : with_strings) {
    const std::uint32_t c = class_of_start_[i];
    out[i].similarity = best[c];
    if (least[c] < kUnreached) out[i].least_distance = least[c];
  }
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

std::optional<StringLengths> string_lengths(const Lattice& lattice) {
  const std::uint64_t start = lattice.start();
  const std::uint64_t end = lattice.end();
  if (end < start) return std::nullopt;
  constexpr std::uint64_t kUnset = std::numeric_limits<std::uint64_t>::max();
  std::vector<StringLengths> at(end - start + 1, StringLengths{kUnset, 0});
  at[0] = StringLengths{0, 0};
  for (std::uint64_t u = start; u < end; ++u) {
    const StringLengths here = at[u - start];
    if (here.shortest == kUnset) continue;
    for (const ArcEnd& next : lattice.outgoing_ends(u)) {
      if (next.node > end) continue;
      StringLengths& slot = at[next.node - start];
      slot.shortest = std::min(slot.shortest, here.shortest + 1);
      slot.longest = std::max(slot.longest, here.longest + 1);
    }
  }
  if (at[end - start].shortest == kUnset) return std::nullopt;
  return at[end - start];
}

std::uint64_t length_gap(const StringLengths& a, const StringLengths& b) {
  if (a.longest < b.shortest) return b.shortest - a.longest;
  if (b.longest < a.shortest) return a.shortest - b.longest;
  return 0;
}

// A pair of lengths la <= lb scores at most 1 - (lb - la) / lb, which grows
// with la and falls with lb; the rounded forms keep that order.
double similarity_bound(const StringLengths& a, const StringLengths& b) {
  if (a.longest < b.shortest) return normalized_similarity_from_distance(b.shortest - a.longest, a.longest, b.shortest);
  if (b.longest < a.shortest) return normalized_similarity_from_distance(a.shortest - b.longest, a.shortest, b.longest);
  return 1.0;
}

}  // namespace orvel
