// One content in three files: the sample YAML payload, the binary payload and
// the indexed payload written from it load into indexes that agree on every
// count, lookup and checksum.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "ja/unidic_payload_writer.hpp"
#include "ja/unidic_reading_index.hpp"
#include "ja/unidic_yaml_records.hpp"
#include "unidic_test_support.hpp"

namespace orvel::ja {
namespace {

using unidic_test::TempDir;

// Digests of small.yaml's content, as published with the data.
constexpr const char* kSmallSha256 = "872b8213fd3b8ec05c6771fd9574ca1dc08d8b217890465a690c9a8ec8ebdce0";
constexpr const char* kSmallFnv = "b59446d543b795eb";

UnidicReadingIndexPayload small_payload() {
  std::ifstream in(unidic_test::data_path("small.yaml"), std::ios::binary);
  std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  auto payload = decode_unidic_payload_yaml(text);
  EXPECT_TRUE(payload) << payload.error().message();
  return std::move(*payload);
}

TEST(UnidicThreeForms, SameCountsLookupsAndChecksums) {
  TempDir dir;
  const UnidicReadingIndexPayload payload = small_payload();
  auto yaml = UnidicReadingIndex::from_artifact_payload_path(unidic_test::data_path("small.yaml"));
  ASSERT_TRUE(yaml) << yaml.error().message();

  // The binary file keeps the YAML's entry order; the indexed one sorts.
  auto binary_path = dir.path() / "small.bin";
  ASSERT_TRUE(write_payload_file(binary_path, unidic_binary_payload_bytes(payload)));
  auto binary = UnidicReadingIndex::from_binary_artifact_payload_path(binary_path);
  ASSERT_TRUE(binary) << binary.error().message();

  auto indexed_bytes = unidic_indexed_payload_bytes(payload);
  ASSERT_TRUE(indexed_bytes);
  auto indexed_path = dir.path() / "small.idx";
  ASSERT_TRUE(write_payload_file(indexed_path, *indexed_bytes));
  auto read = unidic::read_payload_file_bounded(indexed_path);
  ASSERT_TRUE(read) << read.error().message();
  auto indexed = UnidicReadingIndex::from_indexed_owned_bytes(std::move(*read));
  ASSERT_TRUE(indexed) << indexed.error().message();

  const std::vector<const UnidicReadingIndex*> forms = {&*yaml, &*binary, &*indexed};
  for (const UnidicReadingIndex* index : forms) {
    EXPECT_EQ(index->entry_count(), 300u);
    EXPECT_EQ(*index->artifact_payload_checksum_for_algorithm("sha256-canonical-v1"), kSmallSha256);
    EXPECT_EQ(*index->artifact_payload_checksum_for_algorithm("fnv1a64-canonical-v1"), kSmallFnv);
  }

  std::vector<std::string> probes;
  for (const auto& entry : payload.entries) {
    probes.push_back(entry.surface);
    probes.push_back(entry.surface + "x");
    probes.push_back(entry.surface.substr(0, entry.surface.size() / 2));
  }
  probes.insert(probes.end(), {"", "ＡＢＣ", "ｶﾅ", "東京\u3000"});
  for (const std::string& probe : probes) {
    SCOPED_TRACE(probe);
    auto expected = yaml->try_readings(probe);
    ASSERT_TRUE(expected);
    for (const UnidicReadingIndex* index : {&*binary, &*indexed}) {
      auto found = index->try_readings(probe);
      ASSERT_TRUE(found);
      ASSERT_EQ(found->has_value(), expected->has_value());
      if (*found) {
        EXPECT_EQ((*found)->list(), (*expected)->list());
      }
    }
  }
}

TEST(UnidicThreeForms, ReadingsOfKnownSurfaces) {
  auto index = UnidicReadingIndex::from_artifact_payload_path(unidic_test::data_path("small.yaml"));
  ASSERT_TRUE(index);
  auto readings = [&](const char* surface) { return (*index->try_readings(surface))->list(); };
  EXPECT_EQ(readings("東京"), std::vector<std::string>{"トウキョウ"});
  EXPECT_EQ(readings("今日"), (std::vector<std::string>{"キョウ", "コンニチ"}));
  EXPECT_EQ(readings("金"), (std::vector<std::string>{"カネ", "ガネ", "カナ", "キム", "キン", "コン", "ゴン"}));
}

}  // namespace
}  // namespace orvel::ja
