#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "ja/unidic_reading_index.hpp"
#include "unidic_test_support.hpp"

namespace orvel::ja {
namespace {

using unidic_test::TempDir;

std::string load_error(const TempDir& dir, const std::string& yaml) {
  auto index = UnidicReadingIndex::from_artifact_payload_path(dir.write("payload.yaml", yaml));
  if (index) return "loaded";
  return index.error().message();
}

const std::string kHeader =
    "schema_version: 1\n"
    "payload_type: orvel.unidic.reading-index.surface-readings\n";

TEST(UnidicYamlPayload, LoadsTheSmallSample) {
  auto index = UnidicReadingIndex::from_artifact_payload_path(unidic_test::data_path("small.yaml"));
  ASSERT_TRUE(index) << index.error().message();
  EXPECT_EQ(index->entry_count(), 300u);
  auto found = index->try_readings("日本");
  ASSERT_TRUE(found && *found);
  EXPECT_EQ((*found)->list(), (std::vector<std::string>{"ニポン", "ニホン", "ニッポン"}));
}

TEST(UnidicYamlPayload, UnknownKeysAreSkippedAndOrderIsFree) {
  TempDir dir;
  auto index = UnidicReadingIndex::from_artifact_payload_path(dir.write(
      "payload.yaml",
      "entries:\n  - readings: [ネコ]\n    note: x\n    surface: 猫\n" + kHeader + "extra: {a: 1}\n"));
  ASSERT_TRUE(index) << index.error().message();
  EXPECT_EQ(index->entry_count(), 1u);
}

TEST(UnidicYamlPayload, DecodingAndValidationErrors) {
  TempDir dir;
  const std::string long_surface(16385, 'a');
  struct Case {
    const char* name;
    std::string yaml;
    std::string message;
  };
  const std::vector<Case> cases = {
      {"missing entries", kHeader, "invalid UniDic artifact payload YAML: missing field `entries`"},
      {"repeated key", kHeader + "schema_version: 1\nentries: []\n",
       "invalid UniDic artifact payload YAML: duplicate field `schema_version`"},
      {"second surface repeats the first",
       kHeader + "entries:\n  - surface: 日本\n    readings: [ニホン]\n  - surface: 日本\n    readings: [ニッポン]\n",
       "UniDic artifact payload has duplicate surface \"日本\""},
      {"repeat with an empty reading",
       kHeader + "entries:\n  - surface: 日本\n    readings: [ニホン]\n  - surface: 日本\n    readings: [ニッポン, '']\n",
       "UniDic artifact payload surface \"日本\" has an empty reading at index 1"},
      {"long surface", kHeader + "entries:\n  - surface: " + long_surface + "\n    readings: [ア]\n",
       "UniDic artifact surface_bytes length/count 16385 exceeds limit 16384"},
      {"schema version", "schema_version: 2\npayload_type: x\nentries: []\n",
       "unsupported UniDic artifact payload schema version 2"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(load_error(dir, c.yaml), c.message);
  }
  // A wrong type names the record.
  EXPECT_NE(load_error(dir, "[1, 2]\n").find("struct UnidicReadingIndexPayload"), std::string::npos);
  EXPECT_NE(load_error(dir, kHeader + "entries: [3]\n").find("struct UnidicReadingIndexPayloadEntry"),
            std::string::npos);
}

TEST(UnidicYamlPayload, FileFailures) {
  TempDir dir;
  auto missing = UnidicReadingIndex::from_artifact_payload_path(dir.path() / "missing.yaml");
  ASSERT_FALSE(missing);
  EXPECT_EQ(missing.error().message(),
            "failed to read UniDic artifact payload: No such file or directory (os error 2)");
  // No file-type test: a directory passes the size test and fails as YAML.
  auto directory = UnidicReadingIndex::from_artifact_payload_path(dir.path());
  ASSERT_FALSE(directory);
  EXPECT_EQ(directory.error().message(), "invalid UniDic artifact payload YAML: Is a directory (os error 21)");

  auto over = dir.path() / "over.yaml";
  std::filesystem::resize_file(dir.write("over.yaml", std::string()), 536'870'913);
  auto too_big = UnidicReadingIndex::from_artifact_payload_path(over);
  ASSERT_FALSE(too_big);
  EXPECT_EQ(too_big.error().message(),
            "UniDic artifact payload_bytes length/count 536870913 exceeds limit 536870912");
}

}  // namespace
}  // namespace orvel::ja
