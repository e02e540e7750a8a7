#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "zh/cedict_reading_index.hpp"
#include "zh/cedict_yaml_records.hpp"
#include "zh/pinyin.hpp"
#include "zh_test_support.hpp"

namespace orvel::zh {
namespace {

using testing::data_path;
using testing::Entries;
using testing::payload_of;
using Kind = ZhArtifactPayloadError::Kind;

std::string load_error(ZhReadingIndexPayload payload) {
  auto index = CedictReadingIndex::from_artifact_payload(std::move(payload));
  if (index) return "loaded";
  return index.error().message();
}

TEST(CedictPayload, PinyinViewSpellings) {
  for (const auto& [name, tone3] : std::vector<std::pair<std::string, bool>>{
           {"tone3", true}, {"no-tone", false}, {"notone", false}, {"normal", false}}) {
    auto index = CedictReadingIndex::from_artifact_payload(payload_of({{"中", {"zhong"}}}, name));
    ASSERT_TRUE(index.has_value()) << name;
    EXPECT_EQ(index->tone3(), tone3);
    EXPECT_EQ(index->pinyin_view(), tone3 ? "tone3" : "no-tone");
  }
  for (const std::string name : {"Tone3", " tone3", "tone3 ", "no_tone", ""}) {
    auto index = CedictReadingIndex::from_artifact_payload(payload_of({{"中", {"zhong"}}}, name));
    ASSERT_FALSE(index.has_value()) << name;
    EXPECT_EQ(index.error().kind, Kind::UnsupportedPinyinView);
  }
  EXPECT_EQ(load_error(payload_of({}, "Tone3")), "unsupported zh artifact pinyin view \"Tone3\"");
}

TEST(CedictPayload, ValidationMessages) {
  struct Case {
    const char* what;
    Entries entries;
    std::string view;
    std::string message;
  };
  const std::vector<Case> cases = {
      {"not lowercase", {{"你", {"Ni3"}}}, "tone3",
       "zh artifact payload surface \"你\" has non-normalized reading \"Ni3\"; expected \"ni3\""},
      {"tone digit in no-tone", {{"你", {"ni3"}}}, "no-tone",
       "zh artifact payload surface \"你\" has non-normalized reading \"ni3\"; expected \"ni\""},
      {"u: spelling", {{"女", {"nu:3"}}}, "tone3",
       "zh artifact payload surface \"女\" has non-normalized reading \"nu:3\"; expected \"nv3\""},
      {"space inside", {{"中国", {"zhong1 guo2"}}}, "tone3",
       "zh artifact payload surface \"中国\" has non-normalized reading \"zhong1 guo2\"; expected \"zhong1guo2\""},
      {"empty reading in no-tone", {{"你", {"ni", ""}}}, "no-tone",
       "zh artifact payload surface \"你\" has an empty reading at index 1"},
      {"duplicate reading", {{"你", {"ni3", "ni3"}}}, "tone3",
       "zh artifact payload surface \"你\" has duplicate reading \"ni3\""},
      // The non-normalized spelling is met before its normalized twin repeats.
      {"twins", {{"女", {"nv3", "nu:3"}}}, "tone3",
       "zh artifact payload surface \"女\" has non-normalized reading \"nu:3\"; expected \"nv3\""},
      {"empty surface", {{"你", {"ni3"}}, {"", {"a"}}}, "tone3", "zh artifact payload entry 1 has an empty surface"},
      {"no readings", {{"你", {}}}, "tone3", "zh artifact payload surface \"你\" has no readings"},
      {"duplicate surface", {{"你", {"ni3"}}, {"你", {"ni2"}}}, "tone3",
       "zh artifact payload has duplicate surface \"你\""},
      // Of two faults the earlier entry's is reported; within an entry the
      // reading checks come before the repeated surface.
      {"fault order", {{"你", {"ni3"}}, {"你", {""}}}, "tone3",
       "zh artifact payload surface \"你\" has an empty reading at index 0"},
      {"surface length", {{std::string(16385, 'a'), {"a"}}}, "tone3",
       "zh artifact surface_bytes length/count 16385 exceeds limit 16384"},
      {"reading length", {{"a", {std::string(16385, 'a')}}}, "tone3",
       "zh artifact reading_bytes length/count 16385 exceeds limit 16384"},
      {"quoted surface", {{"a\n\"", {"A"}}}, "tone3",
       "zh artifact payload surface \"a\\n\\\"\" has non-normalized reading \"A\"; expected \"a\""},
  };
  for (const Case& c : cases) EXPECT_EQ(load_error(payload_of(c.entries, c.view)), c.message) << c.what;

  // Digits alone pass in both views: no letter precedes them.
  EXPECT_EQ(load_error(payload_of({{"三", {"3"}}}, "no-tone")), "loaded");
  EXPECT_EQ(load_error(payload_of({{"a", {std::string(16384, 'a')}}, {std::string(16384, 'b'), {"b"}}})), "loaded");
}

TEST(CedictPayload, ReadingCountIsCheckedBeforeAnEmptySurface) {
  std::vector<std::string> readings;
  for (int i = 0; i < 257; ++i) readings.push_back("a" + std::to_string(i));
  EXPECT_EQ(load_error(payload_of({{"", readings}})), "zh artifact reading_count length/count 257 exceeds limit 256");
  readings.pop_back();
  EXPECT_EQ(load_error(payload_of({{"", readings}})), "zh artifact payload entry 0 has an empty surface");
}

TEST(CedictPayload, HeaderFieldsAndEntryCount) {
  auto payload = payload_of({});
  payload.schema_version = 2;
  EXPECT_EQ(load_error(payload), "unsupported zh artifact payload schema version 2");
  payload = payload_of({});
  payload.payload_type = "orvel.unidic.reading-index.surface-readings";
  EXPECT_EQ(load_error(payload), "unsupported zh artifact payload type \"orvel.unidic.reading-index.surface-readings\"");

  // The count is checked before any entry is looked at: 2,000,000 empty
  // entries pass it and fail on the first entry, one more fails at the count.
  payload = payload_of({});
  payload.entries.resize(2'000'000);
  EXPECT_EQ(load_error(std::move(payload)), "zh artifact payload entry 0 has an empty surface");
  payload = payload_of({});
  payload.entries.resize(2'000'001);
  EXPECT_EQ(load_error(std::move(payload)), "zh artifact entry_count length/count 2000001 exceeds limit 2000000");
}

TEST(CedictPayload, LookupIsExactBytes) {
  const auto index = testing::map_index({{"A", {"a"}}, {"中", {"zhong1"}}});
  EXPECT_TRUE(index.try_readings("A")->has_value());
  // No width or case folding.
  EXPECT_FALSE(index.try_readings("\uff21")->has_value());
  EXPECT_FALSE(index.try_readings("a")->has_value());
  EXPECT_FALSE(index.try_readings("中 ")->has_value());
}

class TempDir : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("orvel_zh_" + std::to_string(::getpid()) + "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  std::filesystem::path write(const std::string& name, const std::string& text) {
    const auto path = dir_ / name;
    std::ofstream(path, std::ios::binary) << text;
    return path;
  }
  std::filesystem::path dir_;
};

using CedictPayloadFile = TempDir;

TEST_F(CedictPayloadFile, YamlFileErrors) {
  auto missing = CedictReadingIndex::from_artifact_payload_path(dir_ / "absent.yaml");
  ASSERT_FALSE(missing);
  EXPECT_EQ(missing.error().message(), "failed to read zh artifact payload: No such file or directory (os error 2)");

  // A directory passes the size test and fails when it is read.
  auto directory = CedictReadingIndex::from_artifact_payload_path(dir_);
  ASSERT_FALSE(directory);
  EXPECT_EQ(directory.error().kind, ZhArtifactPayloadError::Kind::Yaml);
  EXPECT_EQ(directory.error().message(), "invalid zh artifact payload YAML: Is a directory (os error 21)");

  auto no_view = CedictReadingIndex::from_artifact_payload_path(
      write("a.yaml", "schema_version: 1\npayload_type: orvel.zh.reading-index.surface-readings\nentries: []\n"));
  ASSERT_FALSE(no_view);
  EXPECT_EQ(no_view.error().kind, ZhArtifactPayloadError::Kind::Yaml);
  EXPECT_NE(no_view.error().message().find("missing field `pinyin_view`"), std::string::npos)
      << no_view.error().message();

  auto normal = CedictReadingIndex::from_artifact_payload_path(
      write("b.yaml",
            "pinyin_view: normal\nextra: 1\nschema_version: 1\npayload_type: orvel.zh.reading-index.surface-readings\n"
            "entries:\n  - {surface: 中, readings: [zhong]}\n"));
  ASSERT_TRUE(normal) << normal.error().message();
  EXPECT_EQ(normal->pinyin_view(), "no-tone");
}

struct SmallFile {
  const char* name;
  bool tone3;
  std::uint64_t entries;
  const char* checksum;
};

const SmallFile kSmallFiles[] = {
    {"cedict/small-tone3.yaml", true, 287, "e3f093458e74fd4a774d9283ddde84a1132b7c716a90cd15b14850981575a56f"},
    {"cedict/small-no-tone.yaml", false, 287, "531a0439c3080ac4bb5bdd30ecc0e0a1bbb33ec16228c3581d4212b4f2f5ae91"},
};

TEST(CedictSmallPayloads, LoadInBothFormsWithEqualLookupsAndChecksums) {
  for (const SmallFile& file : kSmallFiles) {
    auto map = CedictReadingIndex::from_artifact_payload_path(data_path(file.name));
    ASSERT_TRUE(map) << map.error().message();
    EXPECT_EQ(map->entry_count(), file.entries);
    EXPECT_EQ(map->tone3(), file.tone3);
    const auto indexed = testing::indexed_copy(*map);
    EXPECT_TRUE(indexed.is_indexed());
    EXPECT_EQ(indexed.entry_count(), file.entries);
    EXPECT_EQ(indexed.tone3(), file.tone3);
    EXPECT_EQ(map->artifact_payload_checksum_for_algorithm("sha256-canonical-v1"), file.checksum);
    EXPECT_EQ(indexed.artifact_payload_checksum_for_algorithm("sha256-canonical-v1"), file.checksum);
    for (const auto& entry : map->artifact_payload().entries) {
      auto found = indexed.try_readings(entry.surface);
      ASSERT_TRUE(found && *found) << entry.surface;
      EXPECT_EQ((*found)->list(), entry.readings);
    }
  }
}

TEST(CedictSmallPayloads, NoToneViewIsTheToneThreeViewWithoutDigits) {
  auto tone3 = CedictReadingIndex::from_artifact_payload_path(data_path("cedict/small-tone3.yaml"));
  auto no_tone = CedictReadingIndex::from_artifact_payload_path(data_path("cedict/small-no-tone.yaml"));
  ASSERT_TRUE(tone3 && no_tone);
  EXPECT_NE(tone3->artifact_payload_checksum_for_algorithm("sha256-canonical-v1"),
            no_tone->artifact_payload_checksum_for_algorithm("sha256-canonical-v1"));
  for (const auto& entry : tone3->artifact_payload().entries) {
    std::vector<std::string> stripped;
    for (const std::string& r : entry.readings) {
      std::string s = normalize_artifact_reading(r, false);
      if (std::find(stripped.begin(), stripped.end(), s) == stripped.end()) stripped.push_back(std::move(s));
    }
    auto found = no_tone->try_readings(entry.surface);
    ASSERT_TRUE(found && *found) << entry.surface;
    EXPECT_EQ((*found)->list(), stripped) << entry.surface;
  }
}

TEST(CedictSmallPayloads, KnownReadings) {
  auto tone3 = CedictReadingIndex::from_artifact_payload_path(data_path("cedict/small-tone3.yaml"));
  auto no_tone = CedictReadingIndex::from_artifact_payload_path(data_path("cedict/small-no-tone.yaml"));
  ASSERT_TRUE(tone3 && no_tone);
  auto readings = [](const CedictReadingIndex& index, std::string_view surface) {
    auto found = index.try_readings(surface);
    return found && *found ? (*found)->list() : std::vector<std::string>{};
  };
  EXPECT_EQ(readings(*tone3, "中国"), (std::vector<std::string>{"zhong1guo2"}));
  EXPECT_EQ(readings(*no_tone, "中国"), (std::vector<std::string>{"zhongguo"}));
  EXPECT_EQ(readings(*tone3, "行"), (std::vector<std::string>{"hang2", "heng2", "xing2"}));
  EXPECT_EQ(readings(*no_tone, "中"), (std::vector<std::string>{"zhong"}));
  EXPECT_EQ(readings(*tone3, "女孩儿"), (std::vector<std::string>{"nv3hai2r5"}));
  EXPECT_EQ(readings(*no_tone, "女孩儿"), (std::vector<std::string>{"nvhair"}));
  EXPECT_EQ(readings(*tone3, "3C"), (std::vector<std::string>{"san1c"}));
}

}  // namespace
}  // namespace orvel::zh
