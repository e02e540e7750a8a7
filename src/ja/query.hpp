#pragma once
// The Japanese query front: how the dictionary classes and the matrices turn
// one Japanese text into a lattice or a list of romaji strings, and how two
// texts are scored, through a UniDic reading index and the merged query
// options. A text may be typed kana or romaji, written with kanji, or a mix.
//
// Every operation first checks the option limits (max_span_chars <= 256,
// max_paths <= 16384, max_readings_per_segment <= 256) and reports a
// violation, like every payload or lookup error met on the way, as the
// Dictionary error carrying that error's message. The operations are pure:
// the index and options are only read, so any number of threads may call
// them at once.
#include <cstdint>
#include <expected>
#include <memory>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/dictionary_options.hpp"
#include "core/lattice.hpp"
#include "core/lattice_similarity.hpp"
#include "ja/ja_lattice_error.hpp"
#include "ja/segmentation.hpp"

namespace orvel::ja {

class UnidicReadingIndex;
class SharedSegmentReader;

// The pronunciation lattice of a text. Attempts, the first that yields a
// lattice or an error winning:
//  - no ASCII letter or digit in the text: the text as typed (a failure is
//    dropped), then the index's whole-text reading lattice
//    (UnidicReadingIndex::romaji_lattice, whose error is returned);
//  - with ASCII letters or digits and directly readable: one lattice of the
//    text as typed, its exact index readings (the first
//    max_readings_per_segment) and, when should_try_hybrid_for_direct_ascii
//    holds, every dictionary segmentation with direct stretches;
//  - the dictionary segmentations without direct stretches;
//  - those with direct stretches, and finally the text as typed, whose error
//    (usually UnsupportedCharacter for the first unreadable character) is
//    then the result.
// The empty text gives the one-node lattice. Lattices built from dictionary
// readings or from a typed text with ASCII letters or digits are reduced
// (reduce_reading_lattice); a typed text's own lattice is the builder's.
std::expected<Lattice, JaLatticeError> unidic_or_direct_lattice(std::string_view text,
                                                               const UnidicReadingIndex& index,
                                                               const DictionaryOptions& options);

// The romaji strings of a text. Never empty: the one empty string for the
// empty text, otherwise non-empty strings only, so a chain lattice can be
// built from the list with Lattice::from_paths.
//  - A text read as typed (at most 1,024 characters, 65,536 strings,
//    1,048,576 symbols) without ASCII letters or digits: its strings in
//    expansion order, duplicates included.
//  - Read as typed with ASCII letters or digits: the distinct strings of the
//    text as typed, of its exact index readings and, when
//    should_try_hybrid_for_direct_ascii holds, of its segmentations with
//    direct stretches, in byte order.
//  - Not readable as typed: the distinct strings of the dictionary
//    segmentations (first without, then with direct stretches) in byte
//    order, or else the error of reading the text as typed.
// A reading or path with an unsupported character or a kana without a row is
// skipped; an ExpansionLimit of one path's strings is returned.
std::expected<std::vector<std::string>, JaLatticeError> unidic_or_direct_romaji_paths(
    std::string_view text, const UnidicReadingIndex& index, const DictionaryOptions& options);

// A lattice spelling exactly the distinct strings of
// unidic_or_direct_romaji_paths, with the same error, built from the same
// typed text, exact readings and dictionary paths without listing their
// strings. A path whose strings pass the expansion limits is expanded as the
// list would be, so that the same error comes out. Reduced when it joins
// several unit lists.
std::expected<ReadingLattice, JaLatticeError> unidic_or_direct_romaji_lattice(
    std::string_view text, const UnidicReadingIndex& index, const DictionaryOptions& options);

// How far the reading sets of a SpanRomajiReader are shrunk: Reduced as
// unidic_or_direct_romaji_lattice gives them (node counts, and the cell limit
// of a lattice distance, follow that form); Built spells the same strings on
// the nodes the builder made, not reduced at all, for a search that reads the
// strings alone and merges what its spans share itself.
enum class SpanLatticeForm { Reduced, Built };

// unidic_or_direct_romaji_lattice of the spans of one text, for a best-span
// search: read(start, end) spells the strings of that of the chars
// [start, end) of the text, with the same error, in the reader's form.
// Spans that end at one place share one segmentation search when they are
// read with their starts descending (spans of a width of at most
// `span_limit` chars); other orders are answered too, with a new search.
// The text must outlive the reader.
class SpanRomajiReader {
 public:
  SpanRomajiReader(const UnidicReadingIndex& index, std::string_view text, const DictionaryOptions& options,
                   std::uint64_t span_limit, SpanLatticeForm form = SpanLatticeForm::Reduced);
  ~SpanRomajiReader();
  SpanRomajiReader(const SpanRomajiReader&) = delete;
  SpanRomajiReader& operator=(const SpanRomajiReader&) = delete;

  std::expected<ReadingLattice, JaLatticeError> read(std::size_t start, std::size_t end);

 private:
  struct Search {
    SuffixSegmenter segmenter;
    // The grouping of the paths of the spans read through this search.
    std::unique_ptr<SharedSegmentReader> grouping;
    std::size_t end;
    std::size_t lowest;
    std::size_t start;  // the last start read
  };
  const UnidicReadingIndex& index_;
  std::string_view text_;
  DictionaryOptions options_;
  std::uint64_t span_limit_;
  SpanLatticeForm form_;
  std::vector<std::size_t> boundaries_;
  // Without and with direct stretches.
  std::optional<Search> searches_[2];
};

// The best normalized Levenshtein similarity between any romaji string of
// `left` and any of `right` (left read first; its error wins), in 0.0..1.0;
// stops at the first 1.0.
std::expected<double, JaLatticeError> normalized_similarity_with_unidic_index(std::string_view left,
                                                                              std::string_view right,
                                                                              const UnidicReadingIndex& index,
                                                                              const DictionaryOptions& options);

// Whether the index has the exact text (after the width-normalised retry).
std::expected<bool, JaLatticeError> has_dictionary_reading(std::string_view text, const UnidicReadingIndex& index);

// Whether a directly readable text mixing ASCII letters or digits with other
// characters should also be read word by word: true when a run of ASCII
// letters and digits is an indexed word. Pure ASCII texts and texts without
// such a run give false; a single-character run that ends the text (ねこa)
// is not looked up.
std::expected<bool, JaLatticeError> should_try_hybrid_for_direct_ascii(std::string_view text,
                                                                      const UnidicReadingIndex& index);

// Adds the romaji strings of each path (romaji_paths_from_segmented_readings
// of that one path) to `strings`; a path with an unsupported character or a
// kana without a row is skipped, any other error returned at once.
std::expected<void, JaLatticeError> extend_supported_dictionary_paths(std::set<std::string>& strings,
                                                                     const KeptPaths& paths);

// The lattice of dictionary paths, each read as its segments' readings (Direct
// mode for direct segments); none for no paths or when every path is skipped.
// Reduced (reduce_reading_lattice): it spells the builder's strings with
// nodes that grow with the text rather than with the number of paths.
std::expected<std::optional<Lattice>, JaLatticeError> lattice_from_dictionary_reading_paths(const KeptPaths& paths);

// True when the text holds a character 0-9, A-Z or a-z (fullwidth forms do not
// count).
bool has_ascii_alphanumeric(std::string_view text);

}  // namespace orvel::ja
