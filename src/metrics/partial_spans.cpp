#include "metrics/partial_spans.hpp"

#include "text/utf8.hpp"

namespace orvel {

TextSpanIter::TextSpanIter(std::string_view valid_utf8_text, std::uint64_t limit, bool query_is_empty)
    : text_(valid_utf8_text), limit_(limit) {
  char_offsets_.push_back(0);
  std::size_t pos = 0;
  while (pos < text_.size()) {
    pos += text::utf8_sequence_length(static_cast<unsigned char>(text_[pos]));
    if (pos > text_.size()) pos = text_.size();  // truncated tail of invalid input
    char_offsets_.push_back(pos);
  }
  char_count_ = char_offsets_.size() - 1;
  single_empty_span_ = query_is_empty || limit_ == 0 || char_count_ == 0;
}

std::uint64_t TextSpanIter::span_end_limit(std::uint64_t start) const {
  // min(start + limit, n) without wraparound, so a huge limit means none.
  return limit_ >= char_count_ - start ? char_count_ : start + limit_;
}

std::optional<TextSpan> TextSpanIter::next() {
  if (single_empty_span_) {
    if (done_) return std::nullopt;
    done_ = true;
    return TextSpan{text_.substr(0, 0), 0, 0};
  }
  while (start_ < char_count_ && end_ > span_end_limit(start_)) {
    ++start_;
    end_ = start_ + 1;
  }
  if (start_ >= char_count_) return std::nullopt;
  const std::size_t from = char_offsets_[start_];
  const std::size_t to = char_offsets_[end_];
  TextSpan span{text_.substr(from, to - from), start_, end_};
  ++end_;
  return span;
}

TextSpanIter text_spans(std::string_view valid_utf8_text, std::uint64_t limit, bool query_is_empty) {
  return TextSpanIter(valid_utf8_text, limit, query_is_empty);
}

}  // namespace orvel
