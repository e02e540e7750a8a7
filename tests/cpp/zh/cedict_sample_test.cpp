// The CC-CEDICT sample (198,075 entries, tone3) as shipped in
// bundles/zh-cedict-sample: it loads from its indexed payload with the
// documented entry count and canonical checksum, and writing the loaded index
// again gives the same file. Where the full YAML samples of both views are
// configured (ORVEL_SAMPLE_DATA_DIR), they load as YAML and, rewritten, as
// indexed payloads with the documented checksums.
#include <gtest/gtest.h>

#include <filesystem>

#include "zh/cedict_reading_index.hpp"
#include "zh/zh_indexed_payload_writer.hpp"

namespace orvel::zh {
namespace {

constexpr const char* kTone3Checksum = "88ff1b834a9172261f4317b6fb92ce74056f5e4e359cd7682970eb21082bacfa";

TEST(CedictSample, ShippedBundlePayloadHasTheDocumentedChecksum) {
  const auto path =
      std::filesystem::path(ORVEL_TEST_DATA_DIR) / ".." / ".." / "bundles" / "zh-cedict-sample" / "payload" / "readings.idx";
  auto bytes = read_payload_file_bounded(path);
  ASSERT_TRUE(bytes) << bytes.error().message();
  const std::vector<std::uint8_t> shipped = *bytes;
  auto index = CedictReadingIndex::from_indexed_owned_bytes(std::move(*bytes));
  ASSERT_TRUE(index) << index.error().message();
  EXPECT_EQ(index->entry_count(), 198'075u);
  EXPECT_TRUE(index->tone3());
  EXPECT_EQ(index->artifact_payload_checksum_for_algorithm("sha256-canonical-v1"), kTone3Checksum);
  EXPECT_EQ(zh_indexed_payload_bytes(*index), shipped);
}

#ifdef ORVEL_SAMPLE_DATA_DIR
TEST(CedictSample, FullYamlSamplesLoadInBothFormsWithTheDocumentedChecksums) {
  struct Sample {
    const char* name;
    bool tone3;
    const char* checksum;
  };
  const Sample samples[] = {
      {"sample-tone3.yaml", true, kTone3Checksum},
      {"sample-no-tone.yaml", false, "248de2d3929696a95ecf732babb0d6ea6ece6a649fa0cca72fb91c63b27ffde8"},
  };
  for (const Sample& sample : samples) {
    const auto path = std::filesystem::path(ORVEL_SAMPLE_DATA_DIR) / "cedict" / sample.name;
    SCOPED_TRACE(path.string());
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
#endif

}  // namespace
}  // namespace orvel::zh
