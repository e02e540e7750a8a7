#pragma once
// Lattice distances under the integer cutoff rule, and the combined distance
// of the dictionary classes.
#include <cstdint>
#include <expected>
#include <string_view>

#include "core/lattice.hpp"
#include "core/lattice_distance.hpp"
#include "core/string_distance.hpp"
#include "metrics/metric_error.hpp"
#include "metrics/score_cutoff.hpp"

namespace orvel {

// Lattice Levenshtein distance on a caller's workspace: the bounded search
// with a cutoff (k + 1 when the distance exceeds k), the exact programme
// without. An oversized pair gives MetricError::Kind::Distance.
std::expected<std::uint64_t, MetricError> distance_with_cutoff_workspace(DistanceWorkspace& workspace,
                                                                         const Lattice& left, const Lattice& right,
                                                                         DistanceCutoff cutoff);
std::expected<std::uint64_t, MetricError> damerau_distance_with_cutoff_workspace(DistanceWorkspace& workspace,
                                                                                 const Lattice& left,
                                                                                 const Lattice& right,
                                                                                 DistanceCutoff cutoff);
// The same on a fresh workspace.
std::expected<std::uint64_t, MetricError> distance_with_cutoff(const Lattice& left, const Lattice& right,
                                                               DistanceCutoff cutoff);
std::expected<std::uint64_t, MetricError> damerau_distance_with_cutoff(const Lattice& left, const Lattice& right,
                                                                       DistanceCutoff cutoff);

// min(surface Damerau distance of the texts, reading-lattice Levenshtein
// distance), under the cutoff rule. A reading pair too large for the
// distance table fails the call even when the surface distance is known.
std::expected<std::uint64_t, MetricError> combined_distance_with_cutoff(std::string_view left_text,
                                                                        std::string_view right_text,
                                                                        const Lattice& left_reading,
                                                                        const Lattice& right_reading,
                                                                        DistanceCutoff cutoff);
// The same on caller's workspaces and texts already decoded to scalar values
// (the combined matrix reuses one workspace of each kind for every cell).
std::expected<std::uint64_t, MetricError> combined_distance_with_cutoff(
    std::u32string_view left_text, std::u32string_view right_text, const Lattice& left_reading,
    const Lattice& right_reading, DistanceCutoff cutoff, StringDistanceWorkspace& string_workspace,
    DistanceWorkspace& lattice_workspace);

}  // namespace orvel
