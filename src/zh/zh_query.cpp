#include "zh/zh_query.hpp"

#include "core/string_distance.hpp"
#include "text/utf8.hpp"
#include "zh/pinyin.hpp"
#include "zh/pinyin_reading_paths.hpp"

namespace orvel::zh {

namespace {

// The compact lattice of a search's paths, or none when there are none.
std::optional<Lattice> lattice_of(const PinyinPathSearch& search) {
  if (search.empty()) return std::nullopt;
  std::vector<SymbolPath> paths;
  paths.reserve(search.size());
  for (std::size_t k = 0; k < search.size(); ++k) paths.push_back(search.symbols(k));
  return Lattice::from_symbol_paths_compact(paths);
}

std::expected<std::optional<Lattice>, CnLatticeError> search_lattice(const CedictReadingIndex& index,
                                                                     std::string_view text,
                                                                     const DictionaryOptions& options, bool hybrid) {
  auto search = PinyinPathSearch::run(index, text, options, hybrid);
  if (!search) return std::unexpected(CnLatticeError::dictionary(search.error()));
  return lattice_of(*search);
}

// The readings of a search's paths; empty when there are none.
std::expected<std::vector<std::string>, CnLatticeError> search_readings(const CedictReadingIndex& index,
                                                                        std::string_view text,
                                                                        const DictionaryOptions& options,
                                                                        bool hybrid) {
  auto search = PinyinPathSearch::run(index, text, options, hybrid);
  if (!search) return std::unexpected(CnLatticeError::dictionary(search.error()));
  std::vector<std::string> readings;
  readings.reserve(search->size());
  for (std::size_t k = 0; k < search->size(); ++k) readings.push_back(search->reading(k));
  return readings;
}

}  // namespace

std::expected<DictionaryOptions, CnLatticeError> validate_pinyin_options(const DictionaryOptions& options) {
  if (auto limits = check_dictionary_option_limits(options); !limits) {
    return std::unexpected(CnLatticeError::dictionary(ZhArtifactPayloadError::from_option_limit(limits.error())));
  }
  return options;
}

std::optional<Lattice> direct_pinyin_lattice(std::string_view text) {
  if (!can_build_direct_pinyin_input(text)) return std::nullopt;
  return Lattice::from_paths(normalize_direct_pinyin_input(text));
}

std::vector<SymbolPath> pinyin_lattice_from_reading_paths(std::span<const PinyinReadingPath> paths) {
  std::vector<SymbolPath> out;
  out.reserve(paths.size());
  for (const PinyinReadingPath& path : paths) {
    SymbolPath symbols;
    std::size_t pos = 0;
    while (pos < path.reading.size()) {
      symbols.push_back(static_cast<std::uint32_t>(text::next_scalar(path.reading, pos)));
    }
    out.push_back(std::move(symbols));
  }
  return out;
}

std::expected<std::optional<Lattice>, CnLatticeError> CedictReadingIndex::pinyin_lattice(
    std::string_view text, const DictionaryOptions& options) const {
  return search_lattice(*this, text, options, false);
}

std::expected<std::optional<Lattice>, CnLatticeError> CedictReadingIndex::hybrid_pinyin_lattice(
    std::string_view text, const DictionaryOptions& options) const {
  return search_lattice(*this, text, options, true);
}

std::expected<Lattice, CnLatticeError> zh_or_direct_lattice(std::string_view text, const CedictReadingIndex& index,
                                                            const DictionaryOptions& options) {
  if (auto valid = validate_pinyin_options(options); !valid) return std::unexpected(std::move(valid.error()));
  if (auto direct = direct_pinyin_lattice(text)) return std::move(*direct);
  for (const bool hybrid : {false, true}) {
    auto lattice = search_lattice(index, text, options, hybrid);
    if (!lattice) return std::unexpected(std::move(lattice.error()));
    if (*lattice) return std::move(**lattice);
  }
  return std::unexpected(CnLatticeError::unsupported_direct_pinyin(std::string(text)));
}

std::expected<std::vector<std::string>, CnLatticeError> zh_or_direct_pinyin_paths(std::string_view text,
                                                                                  const CedictReadingIndex& index,
                                                                                  const DictionaryOptions& options) {
  if (auto valid = validate_pinyin_options(options); !valid) return std::unexpected(std::move(valid.error()));
  if (can_build_direct_pinyin_input(text)) return std::vector<std::string>{normalize_direct_pinyin_input(text)};
  for (const bool hybrid : {false, true}) {
    auto readings = search_readings(index, text, options, hybrid);
    if (!readings) return std::unexpected(std::move(readings.error()));
    if (!readings->empty()) return std::move(*readings);
  }
  return std::unexpected(CnLatticeError::unsupported_direct_pinyin(std::string(text)));
}

std::expected<ReadingLattice, CnLatticeError> zh_or_direct_pinyin_lattice(std::string_view text,
                                                                         const CedictReadingIndex& index,
                                                                         const DictionaryOptions& options) {
  auto paths = zh_or_direct_pinyin_paths(text, index, options);
  if (!paths) return std::unexpected(std::move(paths.error()));
  return reading_lattice_from_paths(*paths);
}

SpanPinyinReader::SpanPinyinReader(const CedictReadingIndex& index, std::string_view text,
                                   const DictionaryOptions& options, std::uint64_t span_limit)
    : index_(index), text_(text), options_(options), span_limit_(span_limit), boundaries_(text::char_boundaries(text)) {}

std::expected<ReadingLattice, CnLatticeError> SpanPinyinReader::read(std::size_t start, std::size_t end) {
  const std::string_view span = text_.substr(boundaries_[start], boundaries_[end] - boundaries_[start]);
  if (auto valid = validate_pinyin_options(options_); !valid) return std::unexpected(std::move(valid.error()));
  // Typed pinyin is read without any search.
  if (can_build_direct_pinyin_input(span)) return zh_or_direct_pinyin_lattice(span, index_, options_);
  for (const bool hybrid : {false, true}) {
    std::optional<Search>& search = searches_[hybrid ? 1 : 0];
    // One search serves the spans of one end while their starts descend.
    if (!search || search->end != end || start > search->start || start < search->lowest) {
      const std::size_t widest = span_limit_ >= end ? 0 : static_cast<std::size_t>(end - span_limit_);
      const std::size_t lowest = std::min(widest, start);
      const std::string_view searched = text_.substr(boundaries_[lowest], boundaries_[end] - boundaries_[lowest]);
      search.emplace(Search{PinyinSuffixSearch(index_, searched, options_, hybrid), end, lowest, start});
    }
    search->start = start;
    auto readings = search->search.readings_from(start - search->lowest);
    if (!readings) return std::unexpected(CnLatticeError::dictionary(std::move(readings.error())));
    if (*readings) return std::move(**readings);
  }
  return std::unexpected(CnLatticeError::unsupported_direct_pinyin(std::string(span)));
}

std::expected<double, CnLatticeError> normalized_similarity_with_zh_index(std::string_view left,
                                                                         std::string_view right,
                                                                         const CedictReadingIndex& index,
                                                                         const DictionaryOptions& options) {
  if (auto valid = validate_pinyin_options(options); !valid) return std::unexpected(std::move(valid.error()));
  auto left_set = zh_or_direct_pinyin_lattice(left, index, options);
  if (!left_set) return std::unexpected(std::move(left_set.error()));
  auto right_set = zh_or_direct_pinyin_lattice(right, index, options);
  if (!right_set) return std::unexpected(std::move(right_set.error()));
  return best_normalized_similarity(*left_set, *right_set);
}

}  // namespace orvel::zh
