#include "core/dictionary_options.hpp"

#include <fmt/format.h>

namespace orvel {

std::string OptionLimitExceeded::debug() const {
  return fmt::format("OptionLimitExceeded {{ field: \"{}\", len: {}, max: {} }}", field, len, max);
}

std::expected<void, OptionLimitExceeded> check_dictionary_option_limits(
    const DictionaryOptions& options) {
  if (options.max_span_chars > kMaxSpanCharsLimit) {
    return std::unexpected(
        OptionLimitExceeded{"max_span_chars", options.max_span_chars, kMaxSpanCharsLimit});
  }
  if (options.max_paths > kMaxPathsLimit) {
    return std::unexpected(OptionLimitExceeded{"max_paths", options.max_paths, kMaxPathsLimit});
  }
  if (options.max_readings_per_segment &&
      *options.max_readings_per_segment > kMaxReadingsPerSegmentLimit) {
    return std::unexpected(OptionLimitExceeded{
        "max_readings_per_segment", *options.max_readings_per_segment,
        kMaxReadingsPerSegmentLimit});
  }
  return {};
}

}  // namespace orvel
