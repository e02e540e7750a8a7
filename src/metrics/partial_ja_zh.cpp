#include "metrics/partial_ja_zh.hpp"

#include "ja/query.hpp"
#include "zh/zh_query.hpp"

namespace orvel {

namespace {

auto ja_span_reader(const ja::UnidicReadingIndex& index, const DictionaryOptions& options) {
  return [&index, &options](std::string_view span) {
    return optional_ja_paths(ja::unidic_or_direct_romaji_lattice(span, index, options));
  };
}

auto zh_span_reader(const zh::CedictReadingIndex& index, const DictionaryOptions& options) {
  return [&index, &options](std::string_view span) {
    return optional_zh_paths(zh::zh_or_direct_pinyin_lattice(span, index, options));
  };
}

}  // namespace

std::expected<std::optional<RatioAlignment>, JaAlignmentError> partial_ratio_alignment(
    std::string_view query, std::string_view text, std::uint64_t span_limit, ScoreCutoff cutoff,
    const ja::UnidicReadingIndex& index, const DictionaryOptions& options, const ReadingLattice& query_readings) {
  return dictionary_partial_ratio_alignment(query, text, span_limit, cutoff, query_readings,
                                            ja_span_reader(index, options));
}

std::expected<std::optional<RatioAlignment>, ZhAlignmentError> partial_ratio_alignment(
    std::string_view query, std::string_view text, std::uint64_t span_limit, ScoreCutoff cutoff,
    const zh::CedictReadingIndex& index, const DictionaryOptions& options, const ReadingLattice& query_readings) {
  return dictionary_partial_ratio_alignment(query, text, span_limit, cutoff, query_readings,
                                            zh_span_reader(index, options));
}

std::expected<std::optional<DistanceAlignment>, JaAlignmentError> partial_distance_alignment(
    std::string_view query, std::string_view text, std::uint64_t span_limit, DistanceCutoff cutoff,
    const ja::UnidicReadingIndex& index, const DictionaryOptions& options, const ReadingLattice& query_readings,
    const Lattice& query_lattice) {
  return dictionary_partial_distance_alignment(query, text, span_limit, cutoff, query_readings, query_lattice,
                                               ja_span_reader(index, options));
}

std::expected<std::optional<DistanceAlignment>, ZhAlignmentError> partial_distance_alignment(
    std::string_view query, std::string_view text, std::uint64_t span_limit, DistanceCutoff cutoff,
    const zh::CedictReadingIndex& index, const DictionaryOptions& options, const ReadingLattice& query_readings,
    const Lattice& query_lattice) {
  return dictionary_partial_distance_alignment(query, text, span_limit, cutoff, query_readings, query_lattice,
                                               zh_span_reader(index, options));
}

}  // namespace orvel
