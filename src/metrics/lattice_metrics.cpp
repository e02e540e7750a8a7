#include "metrics/lattice_metrics.hpp"

#include <algorithm>

#include "text/utf8.hpp"

namespace orvel {

namespace {

using CutoffResult = std::expected<std::optional<std::uint64_t>, DistanceError>;
using ExactResult = std::expected<std::uint64_t, DistanceError>;

std::expected<std::uint64_t, MetricError> with_cutoff_rule(DistanceWorkspace& workspace, const Lattice& left,
                                                           const Lattice& right, DistanceCutoff cutoff,
                                                           bool damerau) {
  if (cutoff) {
    const CutoffResult d = damerau ? workspace.try_damerau_distance_with_cutoff(left, right, *cutoff)
                                   : workspace.try_distance_with_cutoff(left, right, *cutoff);
    if (!d) return std::unexpected(MetricError::from(d.error()));
    return bounded_or_successor(*d, *cutoff);
  }
  const ExactResult d = damerau ? workspace.try_damerau_distance(left, right) : workspace.try_distance(left, right);
  if (!d) return std::unexpected(MetricError::from(d.error()));
  return *d;
}

}  // namespace

std::expected<std::uint64_t, MetricError> distance_with_cutoff_workspace(DistanceWorkspace& workspace,
                                                                         const Lattice& left, const Lattice& right,
                                                                         DistanceCutoff cutoff) {
  return with_cutoff_rule(workspace, left, right, cutoff, false);
}

std::expected<std::uint64_t, MetricError> damerau_distance_with_cutoff_workspace(DistanceWorkspace& workspace,
                                                                                 const Lattice& left,
                                                                                 const Lattice& right,
                                                                                 DistanceCutoff cutoff) {
  return with_cutoff_rule(workspace, left, right, cutoff, true);
}

std::expected<std::uint64_t, MetricError> distance_with_cutoff(const Lattice& left, const Lattice& right,
                                                               DistanceCutoff cutoff) {
  DistanceWorkspace workspace;
  return distance_with_cutoff_workspace(workspace, left, right, cutoff);
}

std::expected<std::uint64_t, MetricError> damerau_distance_with_cutoff(const Lattice& left, const Lattice& right,
                                                                       DistanceCutoff cutoff) {
  DistanceWorkspace workspace;
  return damerau_distance_with_cutoff_workspace(workspace, left, right, cutoff);
}

std::expected<std::uint64_t, MetricError> combined_distance_with_cutoff(
    std::u32string_view left_text, std::u32string_view right_text, const Lattice& left_reading,
    const Lattice& right_reading, DistanceCutoff cutoff, StringDistanceWorkspace& string_workspace,
    DistanceWorkspace& lattice_workspace) {
  const std::uint64_t surface =
      cutoff ? bounded_or_successor(string_workspace.damerau_levenshtein_with_cutoff(left_text, right_text, *cutoff),
                                    *cutoff)
             : string_workspace.damerau_levenshtein(left_text, right_text);
  const auto reading = distance_with_cutoff_workspace(lattice_workspace, left_reading, right_reading, cutoff);
  if (!reading) return std::unexpected(reading.error());
  return apply_distance_cutoff(std::min(surface, *reading), cutoff);
}

std::expected<std::uint64_t, MetricError> combined_distance_with_cutoff(std::string_view left_text,
                                                                        std::string_view right_text,
                                                                        const Lattice& left_reading,
                                                                        const Lattice& right_reading,
                                                                        DistanceCutoff cutoff) {
  const std::u32string a = text::decode_utf8(left_text);
  const std::u32string b = text::decode_utf8(right_text);
  StringDistanceWorkspace string_workspace;
  DistanceWorkspace lattice_workspace;
  return combined_distance_with_cutoff(a, b, left_reading, right_reading, cutoff, string_workspace,
                                       lattice_workspace);
}

}  // namespace orvel
