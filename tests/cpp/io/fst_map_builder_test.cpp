// The builder: byte-identical output to the reference writer, its key order
// contract, and round trips through the reader.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <set>

#include "fst_test_support.hpp"
#include "io/fst_checksum.hpp"
#include "io/fst_map.hpp"
#include "io/fst_map_builder.hpp"

namespace orvel::io {
namespace {

using fst_test::Entries;

class FstBuilderVector : public testing::TestWithParam<std::string> {};

TEST_P(FstBuilderVector, RebuildsReferenceBytes) {
  const Entries manifest = fst_test::read_manifest(GetParam());
  auto built = build_fst_map(manifest);
  ASSERT_TRUE(built.has_value()) << built.error().debug();
  const std::vector<std::uint8_t> expected = fst_test::read_bytes(GetParam() + ".fst");
  ASSERT_EQ(built->size(), expected.size());
  const auto mismatch = std::mismatch(built->begin(), built->end(), expected.begin());
  EXPECT_TRUE(mismatch.first == built->end()) << "first difference at offset " << (mismatch.first - built->begin());
}

INSTANTIATE_TEST_SUITE_P(Vectors, FstBuilderVector,
                         testing::Values("all_bytes_256", "binary_keys", "cjk_words", "common_root", "empty",
                                         "empty_key_0", "empty_key_7", "empty_key_and_more", "extremes", "fanout",
                                         "large_mixed", "long_keys", "prefixes", "random_values", "single_a",
                                         "single_max", "suffix_sharing", "three_keys"),
                         [](const testing::TestParamInfo<std::string>& info) { return info.param; });

TEST(FstChecksum, KnownAnswers) {
  const std::string check = "123456789";
  EXPECT_EQ(fst::crc32c(std::span(reinterpret_cast<const std::uint8_t*>(check.data()), check.size())), 0xE3069283u);
  const std::vector<std::uint8_t> three = fst_test::read_bytes("three_keys.fst");
  EXPECT_EQ(fst::crc32c(std::span(three).first(60)), 0x985C99AEu);
  EXPECT_EQ(fst::masked_crc32c(std::span(three).first(60)), 0xD5E01B91u);
}

TEST(FstMapBuilder, RefusesKeysNotAboveThePrevious) {
  struct Case {
    std::string previous, key;
    FstBuildError::Kind kind;
  };
  const Case cases[] = {
      {"b", "b", FstBuildError::Kind::DuplicateKey},
      {"", "", FstBuildError::Kind::DuplicateKey},
      {"b", "a", FstBuildError::Kind::OutOfOrder},
      {"ab", "a", FstBuildError::Kind::OutOfOrder},  // a prefix sorts first
      {"a", "", FstBuildError::Kind::OutOfOrder},
      {"\xff", "\x7f", FstBuildError::Kind::OutOfOrder},  // bytes compare unsigned
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(fst_test::hex(c.previous) + " then " + fst_test::hex(c.key));
    FstMapBuilder builder;
    ASSERT_TRUE(builder.insert(c.previous, 1).has_value());
    auto refused = builder.insert(c.key, 2);
    ASSERT_FALSE(refused.has_value());
    EXPECT_EQ(refused.error().kind, c.kind);
    EXPECT_EQ(refused.error().key, c.key);
    EXPECT_EQ(refused.error().previous, c.previous);
    // The refused key changed nothing.
    ASSERT_TRUE(builder.insert(c.previous + "\xff", 3).has_value());
    auto map = FstMap::open(builder.finish());
    ASSERT_TRUE(map.has_value());
    EXPECT_EQ(fst_test::visit_all(*map), (Entries{{c.previous, 1}, {c.previous + "\xff", 3}}));
  }
  EXPECT_EQ((FstBuildError{FstBuildError::Kind::OutOfOrder, "\x01", "ab"}).debug(),
            "OutOfOrder { key: \"01\", previous: \"6162\" }");
}

TEST(FstMapBuilder, FinishLeavesAFreshBuilder) {
  FstMapBuilder builder;
  ASSERT_TRUE(builder.insert("z", 1).has_value());
  EXPECT_EQ(builder.key_count(), 1u);
  (void)builder.finish();
  EXPECT_EQ(builder.key_count(), 0u);
  ASSERT_TRUE(builder.insert("a", 0).has_value());  // "a" < "z": the old keys are gone
  EXPECT_EQ(builder.finish(), fst_test::read_bytes("single_a.fst"));
}

// Random key sets, from a few seeds, drawn so that they hit the awkward
// shapes: the empty key, 0x00 and 0xff bytes, long shared prefixes, nodes
// branching on every byte, and the extreme values.
Entries random_entries(std::uint32_t seed) {
  std::mt19937_64 rng(seed);
  std::map<std::string, std::uint64_t> keys;
  const auto value = [&] {
    switch (rng() % 6) {
      case 0: return std::uint64_t{0};
      case 1: return ~std::uint64_t{0};
      case 2: return rng() >> (rng() % 64);
      default: return rng() % 1000;
    }
  };
  if (rng() % 2) keys[""] = value();
  const std::string alphabet("\x00\xff" "ab\x7f\x80", 6);
  const std::size_t n = 1 + rng() % 2000;
  for (std::size_t i = 0; i < n; ++i) {
    std::string key;
    switch (rng() % 4) {
      case 0: {  // short, from a small alphabet: dense sharing
        const std::size_t len = 1 + rng() % 5;
        for (std::size_t j = 0; j < len; ++j) key += alphabet[rng() % alphabet.size()];
        break;
      }
      case 1: {  // long shared prefix with a short random tail
        key.assign(200 + rng() % 3, 'p');
        key += static_cast<char>(rng() % 256);
        break;
      }
      case 2: {  // two arbitrary bytes: wide nodes
        key += static_cast<char>(rng() % 4);
        key += static_cast<char>(rng() % 256);
        break;
      }
      default: {
        const std::size_t len = 1 + rng() % 12;
        for (std::size_t j = 0; j < len; ++j) key += static_cast<char>(rng() % 256);
      }
    }
    keys[key] = value();
  }
  return {keys.begin(), keys.end()};
}

TEST(FstMapBuilder, RandomMapsReadBack) {
  for (std::uint32_t seed = 1; seed <= 40; ++seed) {
    SCOPED_TRACE(seed);
    const Entries entries = random_entries(seed);
    auto bytes = build_fst_map(entries);
    ASSERT_TRUE(bytes.has_value());
    auto map = FstMap::open(*std::move(bytes));
    ASSERT_TRUE(map.has_value()) << map.error().debug();
    EXPECT_EQ(map->key_count(), entries.size());
    ASSERT_EQ(fst_test::visit_all(*map), entries);
    const std::map<std::string, std::uint64_t> expected(entries.begin(), entries.end());
    for (const auto& [key, value] : entries) {
      EXPECT_EQ(map->get(key).value(), std::optional(value));
      // Neighbours of a key: its prefix, and extensions by 0x00 and 0xff.
      for (const std::string& probe : {key.substr(0, key.size() / 2), key + '\0', key + '\xff'}) {
        const auto it = expected.find(probe);
        const std::optional<std::uint64_t> want = it == expected.end() ? std::nullopt : std::optional(it->second);
        EXPECT_EQ(map->get(probe).value(), want) << fst_test::hex(probe);
      }
    }
  }
}

TEST(FstMapBuilder, EveryOneByteKeyAndEveryBranchWidth) {
  // Nodes with 1..256 transitions below distinct first bytes.
  Entries entries;
  for (int width = 1; width <= 256; ++width) {
    for (int b = 0; b < width; ++b) {
      entries.emplace_back(std::string{static_cast<char>(width - 1), static_cast<char>(b)},
                           static_cast<std::uint64_t>(width * 1000 + b));
    }
  }
  std::sort(entries.begin(), entries.end());
  auto map = FstMap::open(build_fst_map(entries).value());
  ASSERT_TRUE(map.has_value()) << map.error().debug();
  EXPECT_EQ(fst_test::visit_all(*map), entries);
  for (const auto& [key, value] : entries) EXPECT_EQ(map->get(key).value(), std::optional(value));
  EXPECT_EQ(map->get(std::string{'\x05', '\x06'}).value(), std::nullopt);
}

}  // namespace
}  // namespace orvel::io
