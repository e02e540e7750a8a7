#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ja/unidic_reading_index.hpp"
#include "unidic_test_support.hpp"

namespace orvel::ja {
namespace {

using unidic_test::Entries;
using unidic_test::payload_of;

std::string load_error(UnidicReadingIndexPayload payload) {
  auto index = UnidicReadingIndex::from_artifact_payload(std::move(payload));
  if (index) return "loaded";
  return index.error().message();
}

std::vector<std::string> readings_of(std::size_t n) {
  std::vector<std::string> readings;
  for (std::size_t i = 0; i < n; ++i) readings.push_back("r" + std::to_string(i));
  return readings;
}

TEST(UnidicPayloadValidation, FirstFailingCheckDecides) {
  struct Case {
    const char* name;
    UnidicReadingIndexPayload payload;
    std::string message;
  };
  auto with_header = [](std::uint32_t version, std::string type) {
    UnidicReadingIndexPayload p = payload_of({{"", {}}});
    p.schema_version = version;
    p.payload_type = std::move(type);
    return p;
  };
  const std::string long_text(16385, 'a');
  const std::vector<Case> cases = {
      {"schema before type", with_header(2, "x"), "unsupported UniDic artifact payload schema version 2"},
      {"type quoted", with_header(1, "orvel.unidic.reading-index.surface-readings\n\"x\""),
       "unsupported UniDic artifact payload type \"orvel.unidic.reading-index.surface-readings\\n\\\"x\\\"\""},
      {"type compared exactly", with_header(1, "orvel.unidic.reading-index.surface-readings "),
       "unsupported UniDic artifact payload type \"orvel.unidic.reading-index.surface-readings \""},
      {"surface length before emptiness checks", payload_of({{long_text, {}}}),
       "UniDic artifact surface_bytes length/count 16385 exceeds limit 16384"},
      {"reading count before empty surface", payload_of({{"", readings_of(257)}}),
       "UniDic artifact reading_count length/count 257 exceeds limit 256"},
      {"empty surface position", payload_of({{"a", {"x"}}, {"", {}}}),
       "UniDic artifact payload entry 1 has an empty surface"},
      {"no readings", payload_of({{"猫", {}}}), "UniDic artifact payload surface \"猫\" has no readings"},
      {"reading length", payload_of({{"a", {"x", long_text}}}),
       "UniDic artifact reading_bytes length/count 16385 exceeds limit 16384"},
      {"empty reading", payload_of({{"a", {"x", "", "x"}}}),
       "UniDic artifact payload surface \"a\" has an empty reading at index 1"},
      {"duplicate reading", payload_of({{"a", {"x", "y", "x", ""}}}),
       "UniDic artifact payload surface \"a\" has duplicate reading \"x\""},
      {"duplicate surface", payload_of({{"日本", {"ニホン"}}, {"日本", {"ニッポン"}}}),
       "UniDic artifact payload has duplicate surface \"日本\""},
      {"entry checks before the duplicate surface", payload_of({{"日本", {"ニホン"}}, {"日本", {"ニッポン", ""}}}),
       "UniDic artifact payload surface \"日本\" has an empty reading at index 1"},
      {"earlier entry wins", payload_of({{"a", {"x", "x"}}, {"", {}}}),
       "UniDic artifact payload surface \"a\" has duplicate reading \"x\""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(load_error(c.payload), c.message);
  }
}

TEST(UnidicPayloadValidation, LimitsAreInclusive) {
  const std::string at_limit(16384, 'a');
  auto index = UnidicReadingIndex::from_artifact_payload(
      payload_of({{at_limit, {at_limit}}, {"b", readings_of(256)}}));
  ASSERT_TRUE(index) << index.error().message();
  EXPECT_EQ(index->entry_count(), 2u);
}

TEST(UnidicPayloadValidation, EntryCountIsCheckedBeforeAnyEntry) {
  UnidicReadingIndexPayload payload;
  payload.entries.resize(3'000'001);  // every surface empty
  auto over = UnidicReadingIndex::from_artifact_payload(payload);
  ASSERT_FALSE(over);
  EXPECT_EQ(over.error().message(), "UniDic artifact entry_count length/count 3000001 exceeds limit 3000000");
  payload.entries.pop_back();
  auto at_limit = UnidicReadingIndex::from_artifact_payload(std::move(payload));
  ASSERT_FALSE(at_limit);
  EXPECT_EQ(at_limit.error().message(), "UniDic artifact payload entry 0 has an empty surface");
}

TEST(UnidicPayloadValidation, KeepsReadingsExactlyAsStored) {
  auto index = UnidicReadingIndex::from_artifact_payload(
      payload_of({{"日本", {"ニポン", "ニホン", "ニッポン"}}, {"ｶﾅ", {" ｶﾅ\t"}}}));
  ASSERT_TRUE(index);
  const auto* map = index->map();
  ASSERT_NE(map, nullptr);
  EXPECT_EQ(map->at("日本"), (std::vector<std::string>{"ニポン", "ニホン", "ニッポン"}));
  EXPECT_EQ(map->at("ｶﾅ"), (std::vector<std::string>{" ｶﾅ\t"}));
}

}  // namespace
}  // namespace orvel::ja
