#include "metrics/partial_ja_zh.hpp"

#include "common/fatal_error.hpp"
#include "ja/query.hpp"
#include "text/utf8.hpp"
#include "zh/zh_query.hpp"

namespace orvel {

namespace {

// Spans that end at one place are read with one segmentation search, into
// lattices as built (the similarity programme of a group of spans merges
// their nodes with the same continuations itself): the ratio search reads
// only their strings, and the distance search asks for a span's reduced
// lattice (exact_reading) only where the cell limit or the distance
// programme needs it.
class JaSpanReader {
 public:
  JaSpanReader(const ja::UnidicReadingIndex& index, std::string_view text, const DictionaryOptions& options,
               std::uint64_t span_limit)
      : index_(index), options_(options), reader_(index, text, options, span_limit, ja::SpanLatticeForm::Built) {}

  auto operator()(const TextSpan& span) { return optional_ja_paths(reader_.read(span.start, span.end)); }

  // Read alone, a span gives the reduced form of what the reader gave.
  ReadingLattice exact_reading(const TextSpan& span) const {
    auto alone = ja::unidic_or_direct_romaji_lattice(span.slice, index_, options_);
    if (!alone) throw FatalError("a span read alone fails where the span reader did not: " + alone.error().message());
    return std::move(*alone);
  }

 private:
  const ja::UnidicReadingIndex& index_;
  const DictionaryOptions& options_;
  ja::SpanRomajiReader reader_;
};

// The same for Chinese: spans of one end share one path search of each
// kind, and are read onto lattices of the sets their paths form. A text
// that is not UTF-8 has its spans read alone.
class ZhSpanReader {
 public:
  ZhSpanReader(const zh::CedictReadingIndex& index, std::string_view text, const DictionaryOptions& options,
               std::uint64_t span_limit)
      : index_(index), options_(options) {
    if (text::validate_utf8(text)) reader_.emplace(index, text, options, span_limit);
  }

  auto operator()(const TextSpan& span) {
    if (!reader_) return optional_zh_paths(zh::zh_or_direct_pinyin_lattice(span.slice, index_, options_));
    return optional_zh_paths(reader_->read(span.start, span.end));
  }

  // Read alone, a span gives the minimised form of what the reader gave.
  ReadingLattice exact_reading(const TextSpan& span) const {
    auto alone = zh::zh_or_direct_pinyin_lattice(span.slice, index_, options_);
    if (!alone) throw FatalError("a span read alone fails where the span reader did not: " + alone.error().message());
    return std::move(*alone);
  }

 private:
  const zh::CedictReadingIndex& index_;
  const DictionaryOptions& options_;
  std::optional<zh::SpanPinyinReader> reader_;
};

}  // namespace

std::expected<std::optional<RatioAlignment>, JaAlignmentError> partial_ratio_alignment(
    std::string_view query, std::string_view text, std::uint64_t span_limit, ScoreCutoff cutoff,
    const ja::UnidicReadingIndex& index, const DictionaryOptions& options, const ReadingLattice& query_readings) {
  JaSpanReader reader(index, text, options, span_limit);
  return dictionary_partial_ratio_alignment(query, text, span_limit, cutoff, query_readings, reader);
}

std::expected<std::optional<RatioAlignment>, ZhAlignmentError> partial_ratio_alignment(
    std::string_view query, std::string_view text, std::uint64_t span_limit, ScoreCutoff cutoff,
    const zh::CedictReadingIndex& index, const DictionaryOptions& options, const ReadingLattice& query_readings) {
  ZhSpanReader reader(index, text, options, span_limit);
  return dictionary_partial_ratio_alignment(query, text, span_limit, cutoff, query_readings, reader);
}

std::expected<std::optional<DistanceAlignment>, JaAlignmentError> partial_distance_alignment(
    std::string_view query, std::string_view text, std::uint64_t span_limit, DistanceCutoff cutoff,
    const ja::UnidicReadingIndex& index, const DictionaryOptions& options, const ReadingLattice& query_readings,
    const Lattice& query_lattice) {
  JaSpanReader reader(index, text, options, span_limit);
  return dictionary_partial_distance_alignment(query, text, span_limit, cutoff, query_readings, query_lattice, reader);
}

std::expected<std::optional<DistanceAlignment>, ZhAlignmentError> partial_distance_alignment(
    std::string_view query, std::string_view text, std::uint64_t span_limit, DistanceCutoff cutoff,
    const zh::CedictReadingIndex& index, const DictionaryOptions& options, const ReadingLattice& query_readings,
    const Lattice& query_lattice) {
  ZhSpanReader reader(index, text, options, span_limit);
  return dictionary_partial_distance_alignment(query, text, span_limit, cutoff, query_readings, query_lattice, reader);
}

}  // namespace orvel
