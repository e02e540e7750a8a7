#include "metrics/text_metrics.hpp"

#include "core/string_distance.hpp"

namespace orvel {

std::uint64_t text_distance(std::string_view left, std::string_view right, DistanceCutoff cutoff) {
  if (!cutoff) return levenshtein_str(left, right);
  return bounded_or_successor(levenshtein_str_with_cutoff(left, right, *cutoff), *cutoff);
}

std::expected<std::uint64_t, MetricError> raw_damerau_distance_pair_with_cutoff(std::string_view left,
                                                                               std::string_view right,
                                                                               DistanceCutoff cutoff) {
  if (!cutoff) {
    auto d = try_damerau_levenshtein_str(left, right);
    if (!d) return std::unexpected(MetricError::from(d.error()));
    return *d;
  }
  auto d = try_damerau_levenshtein_str_with_cutoff(left, right, *cutoff);
  if (!d) return std::unexpected(MetricError::from(d.error()));
  return bounded_or_successor(*d, *cutoff);
}

double raw_normalized_similarity_pair(std::string_view left, std::string_view right) {
  const TextDistance d = levenshtein_str_counted(left, right);
  return normalized_similarity_from_distance(d.distance, d.left_length, d.right_length);
}

std::expected<double, MetricError> text_normalized_similarity(std::string_view left, std::string_view right,
                                                              ScoreCutoff cutoff) {
  return apply_similarity_cutoff(raw_normalized_similarity_pair(left, right), cutoff);
}

std::expected<double, MetricError> text_normalized_distance(std::string_view left, std::string_view right,
                                                            ScoreCutoff cutoff) {
  return apply_normalized_distance_cutoff(1.0 - raw_normalized_similarity_pair(left, right), cutoff);
}

}  // namespace orvel
