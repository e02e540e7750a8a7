#pragma once
// The Chinese query front: one text to a pronunciation lattice, to a list of
// pinyin strings, or two texts to their best pinyin similarity, through a
// CedictReadingIndex.
//
// A text is read in the first of these ways that applies:
//   1. as typed pinyin, when every character is a direct-pinyin character
//      (zh/pinyin.hpp): its normal form is the one reading, and the index is
//      never consulted (tone digits stay, even for a no-tone index);
//   2. by dictionary segmentation (zh/pinyin_reading_paths.hpp);
//   3. by the hybrid segmentation, where typed-pinyin stretches stand for
//      themselves inside Chinese text;
// and otherwise it is refused with UnsupportedDirectPinyin. Every operation
// checks the option limits first (max_span_chars <= 256, max_paths <= 16384,
// max_readings_per_segment <= 256) and reports a violation, like any lookup
// failure, as CnLatticeError Dictionary with the payload error's message.
//
// Pure functions of their arguments: they keep nothing between calls and may
// run on one index from any number of threads.
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
#include "zh/cedict_reading_index.hpp"
#include "zh/cn_lattice_error.hpp"
#include "zh/pinyin_reading_paths.hpp"

namespace orvel::zh {

// The options unchanged, or Dictionary naming the first violated limit
// ("zh artifact max_paths length/count 16385 exceeds limit 16384").
std::expected<DictionaryOptions, CnLatticeError> validate_pinyin_options(const DictionaryOptions& options);

// The one-chain lattice of the text's typed-pinyin normal form, or none when
// the text is not typed pinyin. Whitespace alone gives the lattice of the
// single empty path.
std::optional<Lattice> direct_pinyin_lattice(std::string_view text);

// The symbol paths (Unicode scalar values of each path's reading), in order.
std::vector<SymbolPath> pinyin_lattice_from_reading_paths(std::span<const PinyinReadingPath> paths);

// The lattice of a text: typed pinyin, else the compact lattice of its
// dictionary paths, else of its hybrid paths. Used by the lattice distances
// and the lattice matrices.
std::expected<Lattice, CnLatticeError> zh_or_direct_lattice(std::string_view text, const CedictReadingIndex& index,
                                                            const DictionaryOptions& options);

// The pinyin strings of a text, never empty: the typed-pinyin normal form
// alone, else the readings of the dictionary paths, else of the hybrid
// paths, each list in ascending byte order without repeats. Used by the
// similarity matrices and partial alignment.
std::expected<std::vector<std::string>, CnLatticeError> zh_or_direct_pinyin_paths(std::string_view text,
                                                                                  const CedictReadingIndex& index,
                                                                                  const DictionaryOptions& options);

// The strings of zh_or_direct_pinyin_paths as one minimised lattice, with its
// error.
std::expected<ReadingLattice, CnLatticeError> zh_or_direct_pinyin_lattice(std::string_view text,
                                                                         const CedictReadingIndex& index,
                                                                         const DictionaryOptions& options);

// zh_or_direct_pinyin_lattice of the spans of one text, for a best-span
// search: read(start, end) spells the strings of that of the chars
// [start, end) of the text, with the same error, on other nodes: those of
// its dictionary paths, which the spans that end alike share. Spans that end
// at one place share one path search of each kind when they are read with
// their starts descending (spans of a width of at most `span_limit` chars);
// other orders are answered too, with a new search. The text must be UTF-8
// and outlive the reader.
class SpanPinyinReader {
 public:
  SpanPinyinReader(const CedictReadingIndex& index, std::string_view text, const DictionaryOptions& options,
                   std::uint64_t span_limit);

  std::expected<ReadingLattice, CnLatticeError> read(std::size_t start, std::size_t end);

 private:
  struct Search {
    PinyinSuffixSearch search;
    std::size_t end;
    std::size_t lowest;
    std::size_t start;  // the last start read
  };
  const CedictReadingIndex& index_;
  std::string_view text_;
  DictionaryOptions options_;
  std::uint64_t span_limit_;
  // Byte offset of every character, then the text's length.
  std::vector<std::size_t> boundaries_;
  // Without and with typed-pinyin stretches.
  std::optional<Search> searches_[2];
};

// The best normalized Levenshtein similarity over all pairs of pinyin
// strings of the two texts (left strings outer, right inner), 0.0 to 1.0;
// stops at the first pair that scores 1.0. The left text is read first, so
// its error wins when both fail.
std::expected<double, CnLatticeError> normalized_similarity_with_zh_index(std::string_view left,
                                                                         std::string_view right,
                                                                         const CedictReadingIndex& index,
                                                                         const DictionaryOptions& options);

}  // namespace orvel::zh
