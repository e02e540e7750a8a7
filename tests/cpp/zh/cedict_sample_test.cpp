// The full CC-CEDICT sample payloads beside the work tree (both views): they
// load as YAML and, rewritten, as indexed payloads, and give the documented
// entry counts and canonical checksums in both forms. Skipped where the
// shared data is absent.
#include <gtest/gtest.h>

#include <filesystem>

#include "zh/cedict_reading_index.hpp"
#include "zh/zh_indexed_payload_writer.hpp"

namespace orvel::zh {
namespace {

std::filesystem::path shared_cedict(const char* name) {
  return std::filesystem::path(__FILE__).parent_path() / ".." / ".." / ".." / ".." / "shared" / "data" / "cedict" /
         name;
}

TEST(CedictSample, LoadsInBothFormsWithTheDocumentedChecksums) {
  struct Sample {
    const char* name;
    bool tone3;
    const char* checksum;
  };
  const Sample samples[] = {
      {"sample-tone3.yaml", true, "88ff1b834a9172261f4317b6fb92ce74056f5e4e359cd7682970eb21082bacfa"},
      {"sample-no-tone.yaml", false, "248de2d3929696a95ecf732babb0d6ea6ece6a649fa0cca72fb91c63b27ffde8"},
  };
  for (const Sample& sample : samples) {
    const auto path = shared_cedict(sample.name);
    if (!std::filesystem::exists(path)) GTEST_SKIP() << path << " not found";
    auto map = CedictReadingIndex::from_artifact_payload_path(path);
    ASSERT_TRUE(map) << map.error().message();
    EXPECT_EQ(map->entry_count(), 198'075u);
    EXPECT_EQ(map->tone3(), sample.tone3);
    EXPECT_EQ(map->artifact_payload_checksum_for_algorithm("sha256-canonical-v1"), sample.checksum);
    auto indexed = CedictReadingIndex::from_indexed_owned_bytes(zh_indexed_payload_bytes(*map));
    ASSERT_TRUE(indexed) << indexed.error().message();
    EXPECT_EQ(indexed->entry_count(), 198'075u);
    EXPECT_EQ(indexed->artifact_payload_checksum_for_algorithm("sha256-canonical-v1"), sample.checksum);
  }
}

}  // namespace
}  // namespace orvel::zh
