#pragma once
// The best-span searches of the Japanese and Chinese dictionary classes: the
// searches of metrics/partial_dictionary.hpp with each span read by the
// language's reading front (unidic_or_direct_romaji_paths,
// zh_or_direct_pinyin_paths) through the dictionary's index and the call's
// options.
//
// Caller's side, without the interpreter lock:
//   1. query_readings = the reading set of the query
//      (unidic_or_direct_romaji_lattice, zh_or_direct_pinyin_lattice; its
//      error, of any kind, fails the call before any span is read);
//   2. span_limit = effective_partial_span_limit(query, max_span_chars,
//      query_readings);
//   3. the distance search also takes reading_set_lattice(query_readings);
//   4. call the search; an error's message() is the ValueError's text.
// A span the front cannot read (Japanese UnsupportedCharacter, Chinese
// UnsupportedDirectPinyin) is skipped; any other reading error of a span
// ends the search.
#include <cstdint>
#include <expected>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "core/dictionary_options.hpp"
#include "core/lattice.hpp"
#include "ja/ja_lattice_error.hpp"
#include "metrics/cdist_matrix.hpp"
#include "metrics/partial_alignment.hpp"
#include "metrics/partial_dictionary.hpp"
#include "metrics/score_cutoff.hpp"
#include "zh/cn_lattice_error.hpp"

namespace orvel {

namespace ja {
class UnidicReadingIndex;
}
namespace zh {
class CedictReadingIndex;
}

// A span's readings, or none when the span cannot be read.
template <class Readings>
std::expected<std::optional<Readings>, ja::JaLatticeError> optional_ja_paths(
    std::expected<Readings, ja::JaLatticeError> outcome) {
  return optional_reading_paths(std::move(outcome), [](const ja::JaLatticeError& e) {
    return e.kind == ja::JaLatticeError::Kind::UnsupportedCharacter;
  });
}
template <class Readings>
std::expected<std::optional<Readings>, zh::CnLatticeError> optional_zh_paths(
    std::expected<Readings, zh::CnLatticeError> outcome) {
  return optional_reading_paths(std::move(outcome), [](const zh::CnLatticeError& e) {
    return e.kind == zh::CnLatticeError::Kind::UnsupportedDirectPinyin;
  });
}

using JaAlignmentError = DictionaryAlignmentError<ja::JaLatticeError>;
using ZhAlignmentError = DictionaryAlignmentError<zh::CnLatticeError>;

std::expected<std::optional<RatioAlignment>, JaAlignmentError> partial_ratio_alignment(
    std::string_view query, std::string_view text, std::uint64_t span_limit, ScoreCutoff cutoff,
    const ja::UnidicReadingIndex& index, const DictionaryOptions& options, const ReadingLattice& query_readings);
std::expected<std::optional<RatioAlignment>, ZhAlignmentError> partial_ratio_alignment(
    std::string_view query, std::string_view text, std::uint64_t span_limit, ScoreCutoff cutoff,
    const zh::CedictReadingIndex& index, const DictionaryOptions& options, const ReadingLattice& query_readings);

std::expected<std::optional<DistanceAlignment>, JaAlignmentError> partial_distance_alignment(
    std::string_view query, std::string_view text, std::uint64_t span_limit, DistanceCutoff cutoff,
    const ja::UnidicReadingIndex& index, const DictionaryOptions& options, const ReadingLattice& query_readings,
    const Lattice& query_lattice);
std::expected<std::optional<DistanceAlignment>, ZhAlignmentError> partial_distance_alignment(
    std::string_view query, std::string_view text, std::uint64_t span_limit, DistanceCutoff cutoff,
    const zh::CedictReadingIndex& index, const DictionaryOptions& options, const ReadingLattice& query_readings,
    const Lattice& query_lattice);

}  // namespace orvel
