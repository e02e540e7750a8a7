#pragma once
// The work of every metric method of the dictionary classes, one function per
// method, over a language's reading front (JapaneseFront, ChineseFront). Each
// runs with the interpreter lock released in the module, on owned texts and
// the call's merged, already checked options; the binding layer only converts
// arguments, merges the options and calls one of these.
//
// Readings are made left before right (queries before choices, the query
// before any span); the first reading error ends the call. Errors carry
// either that reading error or a MetricError (a lattice pair over the cell
// limit, a float cutoff outside 0.0..1.0); message() is the ValueError's text.
//
// Similarities are the best normalized Levenshtein similarity over all pairs
// of the two texts' reading strings, computed on their reading sets
// (core/lattice_similarity.hpp) without listing the strings.
#include <cstdint>
#include <expected>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/dictionary_options.hpp"
#include "core/lattice.hpp"
#include "core/lattice_similarity.hpp"
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

// The Japanese reading front: unidic_or_direct_lattice for the lattice
// distances, the strings of unidic_or_direct_romaji_paths as a reading set
// for similarities and span searches.
struct JapaneseFront {
  using Index = ja::UnidicReadingIndex;
  using ReadingError = ja::JaLatticeError;
  static std::expected<Lattice, ReadingError> lattice(std::string_view text, const Index& index,
                                                      const DictionaryOptions& options);
  static std::expected<ReadingLattice, ReadingError> readings(std::string_view text, const Index& index,
                                                              const DictionaryOptions& options);
};

// The Chinese reading front: zh_or_direct_lattice, and the strings of
// zh_or_direct_pinyin_paths as a reading set.
struct ChineseFront {
  using Index = zh::CedictReadingIndex;
  using ReadingError = zh::CnLatticeError;
  static std::expected<Lattice, ReadingError> lattice(std::string_view text, const Index& index,
                                                      const DictionaryOptions& options);
  static std::expected<ReadingLattice, ReadingError> readings(std::string_view text, const Index& index,
                                                              const DictionaryOptions& options);
};

template <class Front>
using DictionaryError = DictionaryAlignmentError<typename Front::ReadingError>;
template <class Front, class T>
using DictionaryResult = std::expected<T, DictionaryError<Front>>;

// What every method reads with: the dictionary's index and the call's
// options.
template <class Front>
struct DictionaryCall {
  const typename Front::Index& index;
  const DictionaryOptions& options;
};

// Every text read by the front, in order; the first text that cannot be read
// ends the reading with its error (no kind is skipped). The matrices read
// their queries, then their choices, this way.
template <class Front>
std::expected<std::vector<Lattice>, typename Front::ReadingError> dictionary_lattices(
    DictionaryCall<Front> call, std::span<const std::string> texts);
template <class Front>
std::expected<std::vector<ReadingLattice>, typename Front::ReadingError> dictionary_reading_sets(
    DictionaryCall<Front> call, std::span<const std::string> texts);

// Pairwise methods.
template <class Front>
DictionaryResult<Front, std::uint64_t> dictionary_distance(DictionaryCall<Front> call, std::string_view left,
                                                           std::string_view right, DistanceCutoff cutoff);
template <class Front>
DictionaryResult<Front, std::uint64_t> dictionary_damerau_distance(DictionaryCall<Front> call, std::string_view left,
                                                                   std::string_view right, DistanceCutoff cutoff);
// The smaller of the texts' own Damerau distance and their readings'
// lattice distance.
template <class Front>
DictionaryResult<Front, std::uint64_t> dictionary_combined_distance(DictionaryCall<Front> call,
                                                                    std::string_view left, std::string_view right,
                                                                    DistanceCutoff cutoff);
template <class Front>
DictionaryResult<Front, bool> dictionary_within_distance(DictionaryCall<Front> call, std::string_view left,
                                                         std::string_view right, std::uint64_t threshold);
template <class Front>
DictionaryResult<Front, bool> dictionary_within_damerau_distance(DictionaryCall<Front> call, std::string_view left,
                                                                 std::string_view right, std::uint64_t threshold);
// s, or 0.0 below the cutoff (whose range is checked once s is known).
template <class Front>
DictionaryResult<Front, double> dictionary_normalized_similarity(DictionaryCall<Front> call, std::string_view left,
                                                                 std::string_view right, ScoreCutoff cutoff);
// 1 - s, or 1.0 above the cutoff.
template <class Front>
DictionaryResult<Front, double> dictionary_normalized_distance(DictionaryCall<Front> call, std::string_view left,
                                                               std::string_view right, ScoreCutoff cutoff);

// Matrices: every query, then every choice, is read once; then the cells.
template <class Front>
DictionaryResult<Front, DistanceMatrix> dictionary_cdist_distance(DictionaryCall<Front> call,
                                                                  std::span<const std::string> queries,
                                                                  std::span<const std::string> choices,
                                                                  DistanceCutoff cutoff);
template <class Front>
DictionaryResult<Front, DistanceMatrix> dictionary_cdist_damerau_distance(DictionaryCall<Front> call,
                                                                          std::span<const std::string> queries,
                                                                          std::span<const std::string> choices,
                                                                          DistanceCutoff cutoff);
template <class Front>
DictionaryResult<Front, DistanceMatrix> dictionary_cdist_combined_distance(DictionaryCall<Front> call,
                                                                           std::span<const std::string> queries,
                                                                           std::span<const std::string> choices,
                                                                           DistanceCutoff cutoff);
template <class Front>
DictionaryResult<Front, ScoreMatrix> dictionary_cdist_normalized_similarity(DictionaryCall<Front> call,
                                                                            std::span<const std::string> queries,
                                                                            std::span<const std::string> choices,
                                                                            ScoreCutoff cutoff);
template <class Front>
DictionaryResult<Front, ScoreMatrix> dictionary_cdist_normalized_distance(DictionaryCall<Front> call,
                                                                          std::span<const std::string> queries,
                                                                          std::span<const std::string> choices,
                                                                          ScoreCutoff cutoff);

// Best spans: the query's reading set (its error, of any kind, fails the
// call), the span width (effective_partial_span_limit), then the search over
// the spans of `text`, each read by the same front (a span the front cannot
// read is skipped).
template <class Front>
DictionaryResult<Front, std::optional<RatioAlignment>> dictionary_partial_ratio(DictionaryCall<Front> call,
                                                                                std::string_view query,
                                                                                std::string_view text,
                                                                                std::uint64_t max_span_chars,
                                                                                ScoreCutoff cutoff);
template <class Front>
DictionaryResult<Front, std::optional<DistanceAlignment>> dictionary_partial_distance(DictionaryCall<Front> call,
                                                                                      std::string_view query,
                                                                                      std::string_view text,
                                                                                      std::uint64_t max_span_chars,
                                                                                      DistanceCutoff cutoff);

}  // namespace orvel
