#include "metrics/dictionary_methods.hpp"

#include <utility>

#include "core/lattice_distance.hpp"
#include "ja/query.hpp"
#include "metrics/cdist_reading_lists.hpp"
#include "metrics/cdist_reading_matrices.hpp"
#include "metrics/lattice_metrics.hpp"
#include "metrics/partial_ja_zh.hpp"
#include "zh/zh_query.hpp"

namespace orvel {

std::expected<Lattice, JapaneseFront::ReadingError> JapaneseFront::lattice(std::string_view text, const Index& index,
                                                                           const DictionaryOptions& options) {
  return ja::unidic_or_direct_lattice(text, index, options);
}

std::expected<ReadingLattice, JapaneseFront::ReadingError> JapaneseFront::readings(std::string_view text,
                                                                                   const Index& index,
                                                                                   const DictionaryOptions& options) {
  return ja::unidic_or_direct_romaji_lattice(text, index, options);
}

std::expected<Lattice, ChineseFront::ReadingError> ChineseFront::lattice(std::string_view text, const Index& index,
                                                                         const DictionaryOptions& options) {
  return zh::zh_or_direct_lattice(text, index, options);
}

std::expected<ReadingLattice, ChineseFront::ReadingError> ChineseFront::readings(std::string_view text,
                                                                                 const Index& index,
                                                                                 const DictionaryOptions& options) {
  return zh::zh_or_direct_pinyin_lattice(text, index, options);
}

namespace {

template <class Front>
DictionaryError<Front> reading_error(typename Front::ReadingError error) {
  return DictionaryError<Front>::reading(std::move(error));
}

template <class Front>
DictionaryError<Front> metric_error(MetricError error) {
  return DictionaryError<Front>::metric(std::move(error));
}

// The lattice of left, then of right (left's error wins), and the kernel over
// both.
template <class Front, class Kernel>
auto with_lattices(DictionaryCall<Front> call, std::string_view left, std::string_view right, Kernel kernel)
    -> DictionaryResult<Front, typename std::invoke_result_t<Kernel&, const Lattice&, const Lattice&>::value_type> {
  auto l = Front::lattice(left, call.index, call.options);
  if (!l) return std::unexpected(reading_error<Front>(std::move(l.error())));
  auto r = Front::lattice(right, call.index, call.options);
  if (!r) return std::unexpected(reading_error<Front>(std::move(r.error())));
  auto result = kernel(*l, *r);
  if (!result) return std::unexpected(metric_error<Front>(std::move(result.error())));
  return std::move(*result);
}

template <class Front>
DictionaryResult<Front, double> best_similarity(DictionaryCall<Front> call, std::string_view left,
                                                std::string_view right) {
  auto l = Front::readings(left, call.index, call.options);
  if (!l) return std::unexpected(reading_error<Front>(std::move(l.error())));
  auto r = Front::readings(right, call.index, call.options);
  if (!r) return std::unexpected(reading_error<Front>(std::move(r.error())));
  return best_normalized_similarity(*l, *r);
}

template <class Front, class Read, class Build>
auto matrix_over(DictionaryCall<Front> call, std::span<const std::string> queries,
                 std::span<const std::string> choices, Read read, Build build) {
  using Readings = typename std::invoke_result_t<Read&, DictionaryCall<Front>, std::span<const std::string>>::value_type;
  using Result = DictionaryResult<Front, typename std::invoke_result_t<Build&, const Readings&, const Readings&>::value_type>;
  auto q = read(call, queries);
  if (!q) return Result(std::unexpected(reading_error<Front>(std::move(q.error()))));
  auto c = read(call, choices);
  if (!c) return Result(std::unexpected(reading_error<Front>(std::move(c.error()))));
  auto matrix = build(*q, *c);
  if (!matrix) return Result(std::unexpected(metric_error<Front>(std::move(matrix.error()))));
  return Result(std::move(*matrix));
}

template <class Front, class Build>
auto lattice_matrix(DictionaryCall<Front> call, std::span<const std::string> queries,
                    std::span<const std::string> choices, Build build) {
  return matrix_over(call, queries, choices, dictionary_lattices<Front>, build);
}

template <class Front, class Build>
auto reading_set_matrix(DictionaryCall<Front> call, std::span<const std::string> queries,
                        std::span<const std::string> choices, Build build) {
  return matrix_over(call, queries, choices, dictionary_reading_sets<Front>, build);
}

}  // namespace

template <class Front>
std::expected<std::vector<Lattice>, typename Front::ReadingError> dictionary_lattices(
    DictionaryCall<Front> call, std::span<const std::string> texts) {
  return read_texts(texts, [&](std::string_view t) { return Front::lattice(t, call.index, call.options); });
}

template <class Front>
std::expected<std::vector<ReadingLattice>, typename Front::ReadingError> dictionary_reading_sets(
    DictionaryCall<Front> call, std::span<const std::string> texts) {
  return read_texts(texts, [&](std::string_view t) { return Front::readings(t, call.index, call.options); });
}

template <class Front>
DictionaryResult<Front, std::uint64_t> dictionary_distance(DictionaryCall<Front> call, std::string_view left,
                                                           std::string_view right, DistanceCutoff cutoff) {
  return with_lattices(call, left, right,
                       [&](const Lattice& l, const Lattice& r) { return distance_with_cutoff(l, r, cutoff); });
}

template <class Front>
DictionaryResult<Front, std::uint64_t> dictionary_damerau_distance(DictionaryCall<Front> call, std::string_view left,
                                                                   std::string_view right, DistanceCutoff cutoff) {
  return with_lattices(call, left, right, [&](const Lattice& l, const Lattice& r) {
    return damerau_distance_with_cutoff(l, r, cutoff);
  });
}

template <class Front>
DictionaryResult<Front, std::uint64_t> dictionary_combined_distance(DictionaryCall<Front> call,
                                                                    std::string_view left, std::string_view right,
                                                                    DistanceCutoff cutoff) {
  return with_lattices(call, left, right, [&](const Lattice& l, const Lattice& r) {
    return combined_distance_with_cutoff(left, right, l, r, cutoff);
  });
}

template <class Front>
DictionaryResult<Front, bool> dictionary_within_distance(DictionaryCall<Front> call, std::string_view left,
                                                         std::string_view right, std::uint64_t threshold) {
  return with_lattices(call, left, right, [&](const Lattice& l, const Lattice& r) -> std::expected<bool, MetricError> {
    auto within = try_within_distance(l, r, threshold);
    if (!within) return std::unexpected(MetricError::from(within.error()));
    return *within;
  });
}

template <class Front>
DictionaryResult<Front, bool> dictionary_within_damerau_distance(DictionaryCall<Front> call, std::string_view left,
                                                                 std::string_view right, std::uint64_t threshold) {
  return with_lattices(call, left, right, [&](const Lattice& l, const Lattice& r) -> std::expected<bool, MetricError> {
    auto within = try_within_damerau_distance(l, r, threshold);
    if (!within) return std::unexpected(MetricError::from(within.error()));
    return *within;
  });
}

template <class Front>
DictionaryResult<Front, double> dictionary_normalized_similarity(DictionaryCall<Front> call, std::string_view left,
                                                                 std::string_view right, ScoreCutoff cutoff) {
  auto s = best_similarity(call, left, right);
  if (!s) return std::unexpected(std::move(s.error()));
  auto value = apply_similarity_cutoff(*s, cutoff);
  if (!value) return std::unexpected(metric_error<Front>(std::move(value.error())));
  return *value;
}

template <class Front>
DictionaryResult<Front, double> dictionary_normalized_distance(DictionaryCall<Front> call, std::string_view left,
                                                               std::string_view right, ScoreCutoff cutoff) {
  auto s = best_similarity(call, left, right);
  if (!s) return std::unexpected(std::move(s.error()));
  auto value = apply_normalized_distance_cutoff(1.0 - *s, cutoff);
  if (!value) return std::unexpected(metric_error<Front>(std::move(value.error())));
  return *value;
}

template <class Front>
DictionaryResult<Front, DistanceMatrix> dictionary_cdist_distance(DictionaryCall<Front> call,
                                                                  std::span<const std::string> queries,
                                                                  std::span<const std::string> choices,
                                                                  DistanceCutoff cutoff) {
  return lattice_matrix(call, queries, choices, [&](const std::vector<Lattice>& q, const std::vector<Lattice>& c) {
    return cdist_distance_matrix(q, c, cutoff);
  });
}

template <class Front>
DictionaryResult<Front, DistanceMatrix> dictionary_cdist_damerau_distance(DictionaryCall<Front> call,
                                                                          std::span<const std::string> queries,
                                                                          std::span<const std::string> choices,
                                                                          DistanceCutoff cutoff) {
  return lattice_matrix(call, queries, choices, [&](const std::vector<Lattice>& q, const std::vector<Lattice>& c) {
    return cdist_damerau_distance_matrix(q, c, cutoff);
  });
}

template <class Front>
DictionaryResult<Front, DistanceMatrix> dictionary_cdist_combined_distance(DictionaryCall<Front> call,
                                                                           std::span<const std::string> queries,
                                                                           std::span<const std::string> choices,
                                                                           DistanceCutoff cutoff) {
  return lattice_matrix(call, queries, choices, [&](const std::vector<Lattice>& q, const std::vector<Lattice>& c) {
    return cdist_combined_distance_matrix(queries, choices, q, c, cutoff);
  });
}

template <class Front>
DictionaryResult<Front, ScoreMatrix> dictionary_cdist_normalized_similarity(DictionaryCall<Front> call,
                                                                            std::span<const std::string> queries,
                                                                            std::span<const std::string> choices,
                                                                            ScoreCutoff cutoff) {
  return reading_set_matrix(call, queries, choices,
                            [&](const std::vector<ReadingLattice>& q, const std::vector<ReadingLattice>& c) {
                              return cdist_similarity_matrix(q, c, cutoff);
                            });
}

template <class Front>
DictionaryResult<Front, ScoreMatrix> dictionary_cdist_normalized_distance(DictionaryCall<Front> call,
                                                                          std::span<const std::string> queries,
                                                                          std::span<const std::string> choices,
                                                                          ScoreCutoff cutoff) {
  return reading_set_matrix(call, queries, choices,
                            [&](const std::vector<ReadingLattice>& q, const std::vector<ReadingLattice>& c) {
                              return cdist_normalized_distance_matrix(q, c, cutoff);
                            });
}

template <class Front>
DictionaryResult<Front, std::optional<RatioAlignment>> dictionary_partial_ratio(DictionaryCall<Front> call,
                                                                                std::string_view query,
                                                                                std::string_view text,
                                                                                std::uint64_t max_span_chars,
                                                                                ScoreCutoff cutoff) {
  // The query must be readable, whatever would only skip a span.
  auto readings = Front::readings(query, call.index, call.options);
  if (!readings) return std::unexpected(reading_error<Front>(std::move(readings.error())));
  const std::uint64_t span_limit = effective_partial_span_limit(query, max_span_chars, *readings);
  return partial_ratio_alignment(query, text, span_limit, cutoff, call.index, call.options, *readings);
}

template <class Front>
DictionaryResult<Front, std::optional<DistanceAlignment>> dictionary_partial_distance(DictionaryCall<Front> call,
                                                                                      std::string_view query,
                                                                                      std::string_view text,
                                                                                      std::uint64_t max_span_chars,
                                                                                      DistanceCutoff cutoff) {
  auto readings = Front::readings(query, call.index, call.options);
  if (!readings) return std::unexpected(reading_error<Front>(std::move(readings.error())));
  const std::uint64_t span_limit = effective_partial_span_limit(query, max_span_chars, *readings);
  return partial_distance_alignment(query, text, span_limit, cutoff, call.index, call.options, *readings,
                                    reading_set_lattice(*readings));
}

#define ORVEL_INSTANTIATE_DICTIONARY_METHODS(Front)                                                              \
  template std::expected<std::vector<Lattice>, Front::ReadingError> dictionary_lattices(                         \
      DictionaryCall<Front>, std::span<const std::string>);                                                      \
  template std::expected<std::vector<ReadingLattice>, Front::ReadingError> dictionary_reading_sets(              \
      DictionaryCall<Front>, std::span<const std::string>);                                                      \
  template DictionaryResult<Front, std::uint64_t> dictionary_distance(DictionaryCall<Front>, std::string_view,   \
                                                                      std::string_view, DistanceCutoff);         \
  template DictionaryResult<Front, std::uint64_t> dictionary_damerau_distance(                                   \
      DictionaryCall<Front>, std::string_view, std::string_view, DistanceCutoff);                                \
  template DictionaryResult<Front, std::uint64_t> dictionary_combined_distance(                                  \
      DictionaryCall<Front>, std::string_view, std::string_view, DistanceCutoff);                                \
  template DictionaryResult<Front, bool> dictionary_within_distance(DictionaryCall<Front>, std::string_view,     \
                                                                    std::string_view, std::uint64_t);            \
  template DictionaryResult<Front, bool> dictionary_within_damerau_distance(DictionaryCall<Front>,               \
                                                                            std::string_view, std::string_view,  \
                                                                            std::uint64_t);                      \
  template DictionaryResult<Front, double> dictionary_normalized_similarity(DictionaryCall<Front>,               \
                                                                            std::string_view, std::string_view,  \
                                                                            ScoreCutoff);                        \
  template DictionaryResult<Front, double> dictionary_normalized_distance(DictionaryCall<Front>, std::string_view, \
                                                                          std::string_view, ScoreCutoff);        \
  template DictionaryResult<Front, DistanceMatrix> dictionary_cdist_distance(                                    \
      DictionaryCall<Front>, std::span<const std::string>, std::span<const std::string>, DistanceCutoff);        \
  template DictionaryResult<Front, DistanceMatrix> dictionary_cdist_damerau_distance(                            \
      DictionaryCall<Front>, std::span<const std::string>, std::span<const std::string>, DistanceCutoff);        \
  template DictionaryResult<Front, DistanceMatrix> dictionary_cdist_combined_distance(                           \
      DictionaryCall<Front>, std::span<const std::string>, std::span<const std::string>, DistanceCutoff);        \
  template DictionaryResult<Front, ScoreMatrix> dictionary_cdist_normalized_similarity(                          \
      DictionaryCall<Front>, std::span<const std::string>, std::span<const std::string>, ScoreCutoff);           \
  template DictionaryResult<Front, ScoreMatrix> dictionary_cdist_normalized_distance(                            \
      DictionaryCall<Front>, std::span<const std::string>, std::span<const std::string>, ScoreCutoff);           \
  template DictionaryResult<Front, std::optional<RatioAlignment>> dictionary_partial_ratio(                      \
      DictionaryCall<Front>, std::string_view, std::string_view, std::uint64_t, ScoreCutoff);                    \
  template DictionaryResult<Front, std::optional<DistanceAlignment>> dictionary_partial_distance(                \
      DictionaryCall<Front>, std::string_view, std::string_view, std::uint64_t, DistanceCutoff)

ORVEL_INSTANTIATE_DICTIONARY_METHODS(JapaneseFront);
ORVEL_INSTANTIATE_DICTIONARY_METHODS(ChineseFront);

#undef ORVEL_INSTANTIATE_DICTIONARY_METHODS

}  // namespace orvel
