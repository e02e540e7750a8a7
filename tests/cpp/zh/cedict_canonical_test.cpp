#include <gtest/gtest.h>

#include "io/sha256.hpp"
#include "zh/cedict_reading_index.hpp"
#include "zh/cedict_yaml_records.hpp"
#include "zh_test_support.hpp"

namespace orvel::zh {
namespace {

using testing::indexed_copy;
using testing::map_index;

std::string sha(const CedictReadingIndex& index) {
  return index.artifact_payload_checksum_for_algorithm("sha256-canonical-v1").value_or("none");
}

TEST(CedictCanonical, TextOfOneEntry) {
  const auto index = map_index({{"a", {"a1"}}});
  const std::string expected = "orvel.zh.reading-index.surface-readings/v1\nV5\ntone3\nS1\na\nR1\nr2\na1\n";
  EXPECT_EQ(index.canonical_text(), expected);
  EXPECT_EQ(indexed_copy(index).canonical_text(), expected);
  EXPECT_EQ(sha(index), io::to_lower_hex(io::sha256(expected)));
  EXPECT_EQ(map_index({}, "notone").canonical_text(), "orvel.zh.reading-index.surface-readings/v1\nV7\nno-tone\n");
}

TEST(CedictCanonical, ExportOrderAndViewName) {
  const auto index = map_index({{"中国", {"zhongguo"}}, {"b", {"b"}}, {"中", {"zhong"}}, {"ab", {"ab"}}, {"a", {"a"}}},
                               "normal");
  const CedictReadingIndex copy = indexed_copy(index);
  for (const CedictReadingIndex* which : {&index, &copy}) {
    const ZhReadingIndexPayload payload = which->artifact_payload();
    EXPECT_EQ(payload.schema_version, 1u);
    EXPECT_EQ(payload.payload_type, "orvel.zh.reading-index.surface-readings");
    EXPECT_EQ(payload.pinyin_view, "no-tone");
    std::vector<std::string> surfaces;
    for (const auto& e : payload.entries) surfaces.push_back(e.surface);
    EXPECT_EQ(surfaces, (std::vector<std::string>{"a", "ab", "b", "中", "中国"}));
  }
}

TEST(CedictCanonical, WhatTheChecksumCovers) {
  const auto base = map_index({{"中", {"zhong1", "zhong4"}}, {"国", {"guo2"}}});
  EXPECT_EQ(sha(base), sha(map_index({{"国", {"guo2"}}, {"中", {"zhong1", "zhong4"}}})));
  EXPECT_EQ(sha(base), sha(indexed_copy(base)));
  EXPECT_NE(sha(base), sha(map_index({{"中", {"zhong4", "zhong1"}}, {"国", {"guo2"}}})));
  // The view record alone tells two indexes apart.
  EXPECT_NE(sha(map_index({{"中", {"zhong"}}}, "tone3")), sha(map_index({{"中", {"zhong"}}}, "no-tone")));
  EXPECT_EQ(sha(map_index({{"中", {"zhong"}}}, "normal")), sha(map_index({{"中", {"zhong"}}}, "no-tone")));
  for (const std::string name : {"SHA256-canonical-v1", " sha256-canonical-v1", "fnv1a64-canonical-v1", "sha256-file-v1", ""}) {
    EXPECT_FALSE(base.artifact_payload_checksum_for_algorithm(name).has_value()) << name;
  }
}

}  // namespace
}  // namespace orvel::zh
