#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ja/unidic_canonical.hpp"
#include "ja/unidic_payload_writer.hpp"
#include "ja/unidic_reading_index.hpp"
#include "unidic_test_support.hpp"

namespace orvel::ja {
namespace {

using unidic_test::Entries;
using unidic_test::payload_of;

UnidicReadingIndex map_index(const Entries& entries) {
  auto index = UnidicReadingIndex::from_artifact_payload(payload_of(entries));
  EXPECT_TRUE(index) << index.error().message();
  return std::move(*index);
}

UnidicReadingIndex indexed_index(const Entries& entries) {
  auto index = UnidicReadingIndex::from_indexed_owned_bytes(unidic_indexed_payload_bytes(map_index(entries)));
  EXPECT_TRUE(index) << index.error().message();
  return std::move(*index);
}

TEST(UnidicCanonical, WorkedExample) {
  const Entries entries = {{"日本", {"にほん", "にっぽん"}}};
  const std::string expected =
      "orvel.unidic.reading-index.surface-readings/v1\n"
      "S6\n日本\nR2\nr9\nにほん\nr12\nにっぽん\n";
  ASSERT_EQ(expected.size(), 90u);
  EXPECT_EQ(map_index(entries).canonical_text(), expected);
  EXPECT_EQ(indexed_index(entries).canonical_text(), expected);
}

TEST(UnidicCanonical, EmptyIndexIsTheHeaderLine) {
  const std::string text = map_index({}).canonical_text();
  EXPECT_EQ(text, "orvel.unidic.reading-index.surface-readings/v1\n");
  EXPECT_EQ(text.size(), 47u);
  EXPECT_EQ(*map_index({}).artifact_payload_checksum_for_algorithm("fnv1a64-canonical-v1"),
            io::fnv1a64_canonical_hex(text));
}

TEST(UnidicCanonical, ExportIsInUnsignedByteOrderInBothForms) {
  // "\x7f" < "é" (0xC3 ...) in unsigned bytes; a prefix sorts first.
  const Entries entries = {{"é", {"e"}}, {"ab", {"2"}}, {"a", {"1"}}, {"\x7f", {"del"}}, {"B", {"b"}}};
  std::vector<std::string> expected = {"B", "a", "ab", "\x7f", "é"};
  for (const UnidicReadingIndex& index : {map_index(entries), indexed_index(entries)}) {
    UnidicReadingIndexPayload exported = index.artifact_payload();
    EXPECT_EQ(exported.schema_version, 1u);
    EXPECT_EQ(exported.payload_type, "orvel.unidic.reading-index.surface-readings");
    std::vector<std::string> surfaces;
    for (const auto& e : exported.entries) surfaces.push_back(e.surface);
    EXPECT_EQ(surfaces, expected);
  }
}

TEST(UnidicCanonical, ChecksumNamesAreExact) {
  const UnidicReadingIndex index = map_index({{"a", {"x"}}});
  EXPECT_TRUE(index.artifact_payload_checksum_for_algorithm("sha256-canonical-v1"));
  EXPECT_TRUE(index.artifact_payload_checksum_for_algorithm("fnv1a64-canonical-v1"));
  for (const char* name : {"SHA256-canonical-v1", "sha256-file-v1", "", "sha256-canonical-v1 "}) {
    EXPECT_FALSE(index.artifact_payload_checksum_for_algorithm(name)) << name;
  }
}

TEST(UnidicCanonical, ReadingOrderCountsAndEntryOrderDoesNot) {
  const Entries base = {{"日本", {"ニホン", "ニッポン"}}, {"猫", {"ネコ"}}, {"改\n行", {"カイ\nギョウ"}}};
  const Entries reordered = {base[2], base[1], base[0]};
  const Entries swapped = {{"日本", {"ニッポン", "ニホン"}}, base[1], base[2]};
  for (const char* algorithm : {"sha256-canonical-v1", "fnv1a64-canonical-v1"}) {
    SCOPED_TRACE(algorithm);
    const auto checksum = *map_index(base).artifact_payload_checksum_for_algorithm(algorithm);
    EXPECT_EQ(*map_index(reordered).artifact_payload_checksum_for_algorithm(algorithm), checksum);
    EXPECT_EQ(*indexed_index(reordered).artifact_payload_checksum_for_algorithm(algorithm), checksum);
    EXPECT_NE(*map_index(swapped).artifact_payload_checksum_for_algorithm(algorithm), checksum);
  }
}

TEST(UnidicCanonical, KnownChecksumsOfTheWorkedExample) {
  const UnidicReadingIndex index = map_index({{"日本", {"にほん", "にっぽん"}}});
  EXPECT_EQ(*index.artifact_payload_checksum_for_algorithm("sha256-canonical-v1"),
            "34195a0658ed4d8772149f46338be6f0903fbb885de913312fb4428e7e626d01");
  EXPECT_EQ(*index.artifact_payload_checksum_for_algorithm("fnv1a64-canonical-v1"), "fd8853278bbd72ad");
}

}  // namespace
}  // namespace orvel::ja
