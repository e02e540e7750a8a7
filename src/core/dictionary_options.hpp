#pragma once
// The query options that bound every dictionary reading query, shared by the
// Japanese and Chinese fronts, and their limit check.
#include <cstdint>
#include <expected>
#include <optional>
#include <string>
#include <string_view>

namespace orvel {

struct DictionaryOptions {
  // At most this many readings of one dictionary segment are used, the first
  // ones in stored order; absent means all of them.
  std::optional<std::uint64_t> max_readings_per_segment;
  // Longest dictionary surface, in characters, looked up at one position.
  std::uint64_t max_span_chars = 8;
  // Largest number of distinct reading paths kept at one position.
  std::uint64_t max_paths = 1024;
  // At each position use only the longest dictionary surface found.
  bool longest_only = false;

  friend bool operator==(const DictionaryOptions&, const DictionaryOptions&) = default;
};

inline constexpr std::uint64_t kMaxSpanCharsLimit = 256;
inline constexpr std::uint64_t kMaxPathsLimit = 16384;
inline constexpr std::uint64_t kMaxReadingsPerSegmentLimit = 256;

// A violated option limit. Each language reports it as the ArtifactLimitExceeded
// variant of its own payload error, with these three fields.
struct OptionLimitExceeded {
  std::string_view field;  // "max_span_chars", "max_paths" or "max_readings_per_segment"
  std::uint64_t len = 0;
  std::uint64_t max = 0;

  std::string debug() const;
  friend bool operator==(const OptionLimitExceeded&, const OptionLimitExceeded&) = default;
};

// Checks max_span_chars, max_paths and, when present, max_readings_per_segment
// in that order; the first violated limit is reported. Zero passes every limit.
std::expected<void, OptionLimitExceeded> check_dictionary_option_limits(
    const DictionaryOptions& options);

}  // namespace orvel
