#include "metrics/cdist_ja_zh.hpp"

#include "ja/query.hpp"
#include "metrics/cdist_reading_lists.hpp"
#include "zh/zh_query.hpp"

namespace orvel {

std::expected<std::vector<Lattice>, ja::JaLatticeError> ja_lattices(std::span<const std::string> texts,
                                                                    const ja::UnidicReadingIndex& index,
                                                                    const DictionaryOptions& options) {
  return read_texts(texts, [&](std::string_view t) { return ja::unidic_or_direct_lattice(t, index, options); });
}

std::expected<std::vector<Lattice>, zh::CnLatticeError> zh_lattices(std::span<const std::string> texts,
                                                                    const zh::CedictReadingIndex& index,
                                                                    const DictionaryOptions& options) {
  return read_texts(texts, [&](std::string_view t) { return zh::zh_or_direct_lattice(t, index, options); });
}

std::expected<std::vector<ReadingLattice>, ja::JaLatticeError> ja_reading_sets(std::span<const std::string> texts,
                                                                               const ja::UnidicReadingIndex& index,
                                                                               const DictionaryOptions& options) {
  return read_texts(texts,
                    [&](std::string_view t) { return ja::unidic_or_direct_romaji_lattice(t, index, options); });
}

std::expected<std::vector<ReadingLattice>, zh::CnLatticeError> zh_reading_sets(std::span<const std::string> texts,
                                                                               const zh::CedictReadingIndex& index,
                                                                               const DictionaryOptions& options) {
  return read_texts(texts, [&](std::string_view t) { return zh::zh_or_direct_pinyin_lattice(t, index, options); });
}

}  // namespace orvel
