#pragma once
// The per-call query options of the dictionary methods: the values a caller
// gave replace the object's defaults, then the option limits are checked.
#include <cstddef>
#include <cstdint>
#include <expected>
#include <optional>

#include "core/dictionary_options.hpp"
#include "python/arguments.hpp"
#include "python/dictionary_language.hpp"
#include "python/errors.hpp"

namespace orvel::py {

// The four option values of one call; a value left out or given as None is
// absent.
struct OptionArguments {
  std::optional<std::uint64_t> max_readings_per_segment;
  std::optional<std::uint64_t> max_span_chars;
  std::optional<std::uint64_t> max_paths;
  std::optional<bool> longest_only;
};

// The options at parameters first .. first + 3 of a converted call, in the
// order max_readings_per_segment, max_span_chars (or its alias), max_paths,
// longest_only.
inline OptionArguments option_arguments(const Arguments& a, std::size_t first) {
  return {a.optional_count(first), a.optional_count(first + 1), a.optional_count(first + 2),
          a.optional_flag(first + 3)};
}

// Each given value replaces the stored one; a given max_readings_per_segment
// becomes present, and no call can make a stored count absent again.
inline DictionaryOptions merged_options(const DictionaryOptions& stored, const OptionArguments& given) {
  DictionaryOptions merged = stored;
  if (given.max_readings_per_segment) merged.max_readings_per_segment = given.max_readings_per_segment;
  if (given.max_span_chars) merged.max_span_chars = *given.max_span_chars;
  if (given.max_paths) merged.max_paths = *given.max_paths;
  if (given.longest_only) merged.longest_only = *given.longest_only;
  return merged;
}

// The merged options, or the first violated limit (max_span_chars, then
// max_paths, then max_readings_per_segment) as the language's payload error.
// The stored options are never changed.
template <class Lang>
std::expected<DictionaryOptions, typename Lang::PayloadError> dictionary_options(
    const DictionaryContents<Lang>& contents, const OptionArguments& given) {
  DictionaryOptions merged = merged_options(contents.options, given);
  if (auto checked = check_dictionary_option_limits(merged); !checked) {
    return std::unexpected(Lang::PayloadError::from_option_limit(checked.error()));
  }
  return merged;
}

// dictionary_options with its limit error raised as ValueError; false then.
template <class Lang>
bool merge_call_options(const DictionaryContents<Lang>& contents, const OptionArguments& given,
                        DictionaryOptions& out) {
  auto merged = dictionary_options(contents, given);
  if (!merged) {
    raise_error(describe(merged.error()));
    return false;
  }
  out = *merged;
  return true;
}

}  // namespace orvel::py
