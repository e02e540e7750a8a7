#include "metrics/score_cutoff.hpp"

namespace orvel {

std::expected<double, MetricError> apply_similarity_cutoff(double similarity, ScoreCutoff c) {
  if (!c) return similarity;
  if (!valid_score_cutoff(*c)) return std::unexpected(MetricError::score_cutoff_range());
  return similarity < *c ? 0.0 : similarity;
}

std::expected<double, MetricError> apply_normalized_distance_cutoff(double distance, ScoreCutoff c) {
  if (!c) return distance;
  if (!valid_score_cutoff(*c)) return std::unexpected(MetricError::score_cutoff_range());
  return distance > *c ? 1.0 : distance;
}

}  // namespace orvel
