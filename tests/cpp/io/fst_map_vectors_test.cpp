// The reader against maps written by the format's reference writer, in all
// three format versions, and against damaged files.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "fst_test_support.hpp"
#include "io/fst_map.hpp"

namespace orvel::io {
namespace {

using fst_test::Entries;

const std::vector<std::string> kValidVectors = {
    "all_bytes_256", "binary_keys", "cjk_words",    "common_root",    "empty",       "empty_key_0",
    "empty_key_7",   "empty_key_and_more", "extremes", "fanout",      "large_mixed", "long_keys",
    "prefixes",      "random_values", "single_a",   "single_max",     "suffix_sharing", "three_keys",
    "v1_fanout",     "v2_empty_key_7", "v2_fanout", "v2_prefixes"};

FstMap open_vector(const std::string& name) {
  auto map = FstMap::open(fst_test::read_bytes(name + ".fst"));
  if (!map) throw std::runtime_error(name + " refused: " + map.error().debug());
  return *std::move(map);
}

class FstVector : public testing::TestWithParam<std::string> {};

TEST_P(FstVector, CountVisitAndLookupsMatchManifest) {
  const Entries manifest = fst_test::read_manifest(GetParam());
  const FstMap map = open_vector(GetParam());
  EXPECT_EQ(map.key_count(), manifest.size());
  EXPECT_EQ(fst_test::visit_all(map), manifest);
  for (const auto& [key, value] : manifest) {
    auto found = map.get(key);
    ASSERT_TRUE(found.has_value()) << fst_test::hex(key) << ": " << found.error().debug();
    EXPECT_EQ(*found, value) << fst_test::hex(key);
  }
}

INSTANTIATE_TEST_SUITE_P(Vectors, FstVector, testing::ValuesIn(kValidVectors),
                         [](const testing::TestParamInfo<std::string>& info) { return info.param; });

TEST(FstVectors, AbsentKeysAreNotFound) {
  // The older versions of the same maps hold the same keys, so the probes
  // apply to them too (v1_fanout has no transition index to probe).
  const std::multimap<std::string, std::string> same_keys = {
      {"fanout", "v1_fanout"}, {"fanout", "v2_fanout"}, {"prefixes", "v2_prefixes"}};
  std::map<std::string, FstMap> maps;
  std::size_t probes = 0;
  for (const auto& row : fst_test::read_tsv("absent_keys.tsv")) {
    std::vector<std::string> names = {row.at(0)};
    for (auto [it, end] = same_keys.equal_range(row.at(0)); it != end; ++it) names.push_back(it->second);
    const std::string key = fst_test::from_hex(row.at(1));
    for (const std::string& name : names) {
      if (!maps.contains(name)) maps.emplace(name, open_vector(name));
      auto found = maps.at(name).get(key);
      ASSERT_TRUE(found.has_value()) << name << " " << row.at(1) << ": " << found.error().debug();
      EXPECT_EQ(*found, std::nullopt) << name << " " << row.at(1);
    }
    ++probes;
  }
  EXPECT_EQ(probes, 3102u);
}

// Open results of every file: the reference reader's answers, except the
// damaged maps it accepts and then crashes on, which are refused here.
TEST(FstVectors, OpenResults) {
  const std::map<std::string, FstError::Kind> refused = {
      {"v2_empty.fst", FstError::Kind::TooShort},
      {"malformed/bad_empty_file.fst", FstError::Kind::TooShort},
      {"malformed/bad_short_35.fst", FstError::Kind::TooShort},
      {"malformed/bad_version_0.fst", FstError::Kind::UnsupportedVersion},
      {"malformed/bad_version_4.fst", FstError::Kind::UnsupportedVersion},
      {"malformed/bad_root_0.fst", FstError::Kind::MisplacedRoot},
      {"malformed/bad_truncated_1.fst", FstError::Kind::MisplacedRoot},
      {"malformed/bad_extra_byte.fst", FstError::Kind::MisplacedRoot},
      {"malformed/bad_root_past_end.fst", FstError::Kind::MisplacedRoot},
      {"malformed/bad_v3_labelled_v2.fst", FstError::Kind::MisplacedRoot},
  };
  const Entries prefixes = fst_test::read_manifest("prefixes");
  std::size_t files = 0;
  const auto rows = fst_test::read_tsv("open_results.tsv");
  for (std::size_t r = 1; r < rows.size(); ++r) {
    const std::string& file = rows[r].at(0);
    SCOPED_TRACE(file);
    ++files;
    auto map = FstMap::open(fst_test::read_bytes(file));
    if (auto it = refused.find(file); it != refused.end()) {
      ASSERT_FALSE(map.has_value());
      EXPECT_EQ(map.error().kind, it->second) << map.error().debug();
      EXPECT_EQ(map.error().message(), "FST error");
      continue;
    }
    ASSERT_EQ(rows[r].at(2), "ok");
    ASSERT_TRUE(map.has_value()) << map.error().debug();
    EXPECT_EQ(map->version(), std::stoull(rows[r].at(4)));
    EXPECT_EQ(map->key_count(), std::stoull(rows[r].at(6)));
    // The accepted damaged files (wrong checksum, odd type word) still hold
    // the keys of the map they came from.
    if (file.starts_with("malformed/")) {
      EXPECT_EQ(fst_test::visit_all(*map), prefixes);
    }
  }
  EXPECT_EQ(files, 34u);
}

TEST(FstVectors, OpenedFromRangeOfSharedBuffer) {
  const std::vector<std::uint8_t> map_bytes = fst_test::read_bytes("three_keys.fst");
  auto buffer = std::make_shared<std::vector<std::uint8_t>>(7 + map_bytes.size() + 5, 0xEE);
  std::copy(map_bytes.begin(), map_bytes.end(), buffer->begin() + 7);
  const std::span<const std::uint8_t> range(buffer->data() + 7, map_bytes.size());
  auto map = FstMap::open(buffer, range);
  buffer.reset();  // the map keeps the buffer alive
  ASSERT_TRUE(map.has_value()) << map.error().debug();
  EXPECT_EQ(fst_test::visit_all(*map), fst_test::read_manifest("three_keys"));
  const FstMap copy = *map;
  EXPECT_EQ(copy.get("dog").value(), std::optional<std::uint64_t>(300));
}

TEST(FstVectors, VisitStopsWhenAsked) {
  const FstMap map = open_vector("fanout");
  std::size_t seen = 0;
  auto ok = map.for_each([&](std::string_view, std::uint64_t) { return ++seen < 10; });
  ASSERT_TRUE(ok.has_value());
  EXPECT_EQ(seen, 10u);
}

}  // namespace
}  // namespace orvel::io
