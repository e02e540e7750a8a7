#pragma once
// Candidate spans of a text for best-span alignment: every run of
// consecutive characters up to a length limit, in ascending order of start
// and, for one start, of end. Positions count Unicode scalar values.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace orvel {

struct TextSpan {
  std::string_view slice;  // borrowed from the text given to text_spans
  std::uint64_t start = 0;  // char index, inclusive
  std::uint64_t end = 0;    // char index, exclusive
};

// Lazy span enumeration over a borrowed text (the text must outlive it).
//
// Normal mode yields every (start, end) with 0 <= start < n and
// start < end <= min(start + limit, n); there is always at least one span.
// Single-empty-span mode (the query is empty, the limit is 0 or the text is
// empty) yields the empty slice (0, 0) once.
class TextSpanIter {
 public:
  TextSpanIter(std::string_view valid_utf8_text, std::uint64_t limit, bool query_is_empty);

  std::optional<TextSpan> next();

  std::uint64_t char_count() const { return char_count_; }
  std::uint64_t limit() const { return limit_; }
  bool single_empty_span() const { return single_empty_span_; }
  // Largest end reachable from `start` (start < char_count()).
  std::uint64_t span_end_limit(std::uint64_t start) const;
  // Smallest start of a span ending at `end` (0 < end <= char_count()).
  std::uint64_t span_start_limit(std::uint64_t end) const { return limit_ >= end ? 0 : end - limit_; }
  // The span of chars [start, end) (start <= end <= char_count()).
  TextSpan span(std::uint64_t start, std::uint64_t end) const {
    const std::size_t from = char_offsets_[start];
    return TextSpan{text_.substr(from, char_offsets_[end] - from), start, end};
  }

 private:
  std::vector<std::size_t> char_offsets_;
  std::string_view text_;
  std::uint64_t char_count_;
  std::uint64_t limit_;
  std::uint64_t start_ = 0;
  std::uint64_t end_ = 1;
  bool single_empty_span_;
  bool done_ = false;
};

// The text must be valid UTF-8.
TextSpanIter text_spans(std::string_view valid_utf8_text, std::uint64_t limit, bool query_is_empty);

}  // namespace orvel
