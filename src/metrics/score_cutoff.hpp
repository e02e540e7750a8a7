#pragma once
// The two cutoff rules that every metric shares.
//
// Integer cutoff k: a distance d is reported when d <= k, otherwise as
// k + 1, saturating at 2^64 - 1. No cutoff reports the exact distance.
//
// Float cutoff c: valid when 0.0 <= c <= 1.0 (NaN is not). It is checked
// only where a value is produced, after the value is computed; a similarity
// below c is reported as 0.0, a normalized distance above c as 1.0.
#include <cstdint>
#include <expected>
#include <limits>
#include <optional>

#include "metrics/metric_error.hpp"

namespace orvel {

using DistanceCutoff = std::optional<std::uint64_t>;
using ScoreCutoff = std::optional<double>;

constexpr std::uint64_t saturating_successor(std::uint64_t k) {
  return k == std::numeric_limits<std::uint64_t>::max() ? k : k + 1;
}

// The value a bounded computation reports under cutoff k: the distance it
// found, or k + 1 when it found that the distance exceeds k.
constexpr std::uint64_t bounded_or_successor(std::optional<std::uint64_t> bounded, std::uint64_t k) {
  return bounded ? *bounded : saturating_successor(k);
}

// Applies the integer rule to an exact distance.
constexpr std::uint64_t apply_distance_cutoff(std::uint64_t d, DistanceCutoff k) {
  return k && d > *k ? saturating_successor(*k) : d;
}

constexpr bool valid_score_cutoff(double c) { return c >= 0.0 && c <= 1.0; }

std::expected<double, MetricError> apply_similarity_cutoff(double similarity, ScoreCutoff c);
std::expected<double, MetricError> apply_normalized_distance_cutoff(double distance, ScoreCutoff c);

}  // namespace orvel
