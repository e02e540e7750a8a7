#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "core/dictionary_options.hpp"
#include "ja/unidic_artifact_payload_error.hpp"

namespace orvel::ja {
namespace {

std::string check(std::optional<std::uint64_t> readings, std::uint64_t span, std::uint64_t paths) {
  DictionaryOptions options;
  options.max_readings_per_segment = readings;
  options.max_span_chars = span;
  options.max_paths = paths;
  auto checked = check_dictionary_option_limits(options);
  if (checked) return "ok";
  return UnidicArtifactPayloadError::from_option_limit(checked.error()).message();
}

TEST(DictionaryOptionLimits, CheckedInOrderWithInclusiveLimits) {
  struct Case {
    std::optional<std::uint64_t> readings;
    std::uint64_t span, paths;
    std::string expected;
  };
  const std::vector<Case> cases = {
      {256, 256, 16384, "ok"},
      {0, 0, 0, "ok"},
      {std::nullopt, 8, 1024, "ok"},
      {std::nullopt, 257, 1024, "UniDic artifact max_span_chars length/count 257 exceeds limit 256"},
      {std::nullopt, 8, 16385, "UniDic artifact max_paths length/count 16385 exceeds limit 16384"},
      {257, 8, 1024, "UniDic artifact max_readings_per_segment length/count 257 exceeds limit 256"},
      {std::nullopt, 300, 20000, "UniDic artifact max_span_chars length/count 300 exceeds limit 256"},
      {300, 8, 20000, "UniDic artifact max_paths length/count 20000 exceeds limit 16384"},
      {UINT64_MAX, 8, 1024,
       "UniDic artifact max_readings_per_segment length/count 18446744073709551615 exceeds limit 256"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.expected);
    EXPECT_EQ(check(c.readings, c.span, c.paths), c.expected);
  }
}

TEST(DictionaryOptionLimits, DefaultsOfAFreshRecord) {
  const DictionaryOptions options;
  EXPECT_EQ(options.max_readings_per_segment, std::nullopt);
  EXPECT_EQ(options.max_span_chars, 8u);
  EXPECT_EQ(options.max_paths, 1024u);
  EXPECT_FALSE(options.longest_only);
}

}  // namespace
}  // namespace orvel::ja
