#pragma once
// Reading a list of texts through the Japanese or Chinese reading front, for
// the matrix methods of the dictionary classes: one entry per text, in text
// order, with the dictionary's index and the call's merged options.
//
// Caller's side: merge and check the options first (their limit errors are
// the caller's); then, without the interpreter lock, read the queries, then
// the choices, and hand both to a builder of metrics/cdist_reading_matrices.
// The first text that cannot be read fails the conversion with its reading
// error, of any kind (an unsupported character or direct pinyin input fails
// the whole matrix); its message() is the ValueError's text.
#include <expected>
#include <span>
#include <string>
#include <vector>

#include "core/dictionary_options.hpp"
#include "core/lattice.hpp"
#include "ja/ja_lattice_error.hpp"
#include "metrics/cdist_matrix.hpp"
#include "zh/cn_lattice_error.hpp"

namespace orvel {

namespace ja {
class UnidicReadingIndex;
}
namespace zh {
class CedictReadingIndex;
}

// unidic_or_direct_lattice of each text.
std::expected<std::vector<Lattice>, ja::JaLatticeError> ja_lattices(std::span<const std::string> texts,
                                                                    const ja::UnidicReadingIndex& index,
                                                                    const DictionaryOptions& options);
// zh_or_direct_lattice of each text.
std::expected<std::vector<Lattice>, zh::CnLatticeError> zh_lattices(std::span<const std::string> texts,
                                                                    const zh::CedictReadingIndex& index,
                                                                    const DictionaryOptions& options);
// The strings of unidic_or_direct_romaji_paths of each text, as lattices
// (unidic_or_direct_romaji_lattice).
std::expected<std::vector<ReadingLattice>, ja::JaLatticeError> ja_reading_sets(std::span<const std::string> texts,
                                                                               const ja::UnidicReadingIndex& index,
                                                                               const DictionaryOptions& options);
// The strings of zh_or_direct_pinyin_paths of each text, as lattices.
std::expected<std::vector<ReadingLattice>, zh::CnLatticeError> zh_reading_sets(std::span<const std::string> texts,
                                                                               const zh::CedictReadingIndex& index,
                                                                               const DictionaryOptions& options);

}  // namespace orvel
