#include "metrics/path_metrics.hpp"

#include <algorithm>

#include "core/lattice_distance.hpp"
#include "metrics/lattice_metrics.hpp"
#include "text/utf8.hpp"

namespace orvel {

std::expected<void, MetricError> validate_paths(std::span<const std::string> paths, std::string_view name) {
  if (paths.empty()) return std::unexpected(MetricError::empty_path_list(name));
  const bool any_empty = std::ranges::any_of(paths, [](const std::string& p) { return p.empty(); });
  const bool any_non_empty = std::ranges::any_of(paths, [](const std::string& p) { return !p.empty(); });
  if (any_empty && any_non_empty) return std::unexpected(MetricError::mixed_path_list(name));
  return {};
}

std::expected<Lattice, MetricError> lattice_from_paths(PathList paths, std::string_view name) {
  if (auto valid = validate_paths(paths, name); !valid) return std::unexpected(valid.error());
  // Several empty paths all spell the empty reading: one node serves them.
  if (paths.front().empty()) return Lattice::from_paths(std::string_view());
  return Lattice::from_paths(paths);
}

double max_normalized_similarity(std::span<const std::u32string> left, std::span<const std::u32string> right,
                                 StringDistanceWorkspace& workspace) {
  double best = 0.0;
  for (const std::u32string& a : left) {
    for (const std::u32string& b : right) {
      best = std::max(best, normalized_similarity_from_distance(workspace.levenshtein(a, b), a.size(), b.size()));
      if (best == 1.0) return best;
    }
  }
  return best;
}

double max_normalized_similarity(std::span<const std::string> left, std::span<const std::string> right) {
  const auto decode_all = [](std::span<const std::string> texts) {
    std::vector<std::u32string> out;
    out.reserve(texts.size());
    for (const std::string& t : texts) out.push_back(text::decode_utf8(t));
    return out;
  };
  const std::vector<std::u32string> a = decode_all(left);
  const std::vector<std::u32string> b = decode_all(right);
  StringDistanceWorkspace workspace;
  return max_normalized_similarity(a, b, workspace);
}

namespace {

struct LatticePair {
  Lattice left;
  Lattice right;
};

// Left first: an invalid left list is reported whatever the right one holds.
std::expected<LatticePair, MetricError> path_lattices(PathList left, PathList right) {
  auto l = lattice_from_paths(std::move(left), kLeftPaths);
  if (!l) return std::unexpected(l.error());
  auto r = lattice_from_paths(std::move(right), kRightPaths);
  if (!r) return std::unexpected(r.error());
  return LatticePair{std::move(*l), std::move(*r)};
}

std::expected<double, MetricError> validated_similarity(std::span<const std::string> left,
                                                        std::span<const std::string> right) {
  if (auto v = validate_paths(left, kLeftPaths); !v) return std::unexpected(v.error());
  if (auto v = validate_paths(right, kRightPaths); !v) return std::unexpected(v.error());
  return max_normalized_similarity(left, right);
}

// Nodes of the lattice lattice_from_paths builds for a valid list: one
// chain per path between a shared start and end node, or the one node of
// the empty paths.
std::uint64_t path_lattice_nodes(std::span<const std::string> paths) {
  if (paths.front().empty()) return 1;
  std::uint64_t characters = 0;
  for (const std::string& p : paths) characters += text::count_scalars(p);
  return characters - paths.size() + 2;
}

// The readings of a path list's lattice are its paths, so the lattice
// distance is the least string distance over pairs of paths: the threshold
// test asks the bounded string forms pair by pair, after the same checks,
// in the same order, as the lattice kernel (lists, then the cell limit).
template <bool kSwaps>
std::expected<bool, MetricError> within_paths(PathList left, PathList right, std::uint64_t threshold) {
  if (auto v = validate_paths(left, kLeftPaths); !v) return std::unexpected(v.error());
  if (auto v = validate_paths(right, kRightPaths); !v) return std::unexpected(v.error());
  if (auto ok = check_distance_cells(path_lattice_nodes(left), path_lattice_nodes(right)); !ok) {
    return std::unexpected(MetricError::from(ok.error()));
  }
  std::vector<std::u32string> rights;
  rights.reserve(right.size());
  for (const std::string& b : right) rights.push_back(text::decode_utf8(b));
  StringDistanceWorkspace workspace;
  for (const std::string& text : left) {
    const std::u32string a = text::decode_utf8(text);
    for (const std::u32string& b : rights) {
      const auto d = kSwaps ? workspace.damerau_levenshtein_with_cutoff(a, b, threshold)
                            : workspace.levenshtein_with_cutoff(a, b, threshold);
      if (d) return true;
    }
  }
  return false;
}

}  // namespace

std::expected<std::uint64_t, MetricError> distance_paths(PathList left, PathList right, DistanceCutoff cutoff) {
  auto pair = path_lattices(std::move(left), std::move(right));
  if (!pair) return std::unexpected(pair.error());
  return distance_with_cutoff(pair->left, pair->right, cutoff);
}

std::expected<std::uint64_t, MetricError> damerau_distance_paths(PathList left, PathList right,
                                                                 DistanceCutoff cutoff) {
  auto pair = path_lattices(std::move(left), std::move(right));
  if (!pair) return std::unexpected(pair.error());
  return damerau_distance_with_cutoff(pair->left, pair->right, cutoff);
}

std::expected<double, MetricError> normalized_similarity_paths(std::span<const std::string> left,
                                                               std::span<const std::string> right,
                                                               ScoreCutoff cutoff) {
  auto s = validated_similarity(left, right);
  if (!s) return s;
  return apply_similarity_cutoff(*s, cutoff);
}

std::expected<double, MetricError> normalized_distance_paths(std::span<const std::string> left,
                                                             std::span<const std::string> right,
                                                             ScoreCutoff cutoff) {
  auto s = validated_similarity(left, right);
  if (!s) return s;
  return apply_normalized_distance_cutoff(1.0 - *s, cutoff);
}

std::expected<bool, MetricError> within_distance_paths(PathList left, PathList right, std::uint64_t threshold) {
  return within_paths<false>(std::move(left), std::move(right), threshold);
}

std::expected<bool, MetricError> within_damerau_distance_paths(PathList left, PathList right,
                                                               std::uint64_t threshold) {
  return within_paths<true>(std::move(left), std::move(right), threshold);
}

}  // namespace orvel
