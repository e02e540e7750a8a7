// Damaged maps: each check of the reader on a small fixture that fails it,
// and sweeps of every single-byte change, truncation and extension of small
// maps, which must be refused or read without fault (the sanitizer build
// catches any out-of-bounds read).
#include <gtest/gtest.h>

#include "fst_test_support.hpp"
#include "io/fst_map.hpp"

namespace orvel::io {
namespace {

using fst_test::Entries;
using Bytes = std::vector<std::uint8_t>;
using Kind = FstError::Kind;

void put_u64(Bytes& bytes, std::size_t at, std::uint64_t n) {
  for (int i = 0; i < 8; ++i) bytes.at(at + i) = static_cast<std::uint8_t>(n >> (8 * i));
}

// {"a" -> 2^64 - 1 + 1}: the root's transition carries 2^64 - 1 and the
// final node below it carries 1 more. No writer makes this; only damage can.
Bytes overflowing_map() {
  Bytes b = {
      3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  // version 3, type 0
      0x01, 0x01, 0x00, 0x40,                          // @19: final, no transitions, final output 1
      0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,  // root: output 2^64 - 1
      0x01, 0x18, 0x85,                                // delta 1 (to @19), tsize 1 osize 8, input 'a': root @30
  };
  b.resize(b.size() + 16 + 4, 0);  // key count, root address, checksum (not verified)
  put_u64(b, 31, 1);
  put_u64(b, 39, 30);
  return b;
}

Bytes three_keys() { return fst_test::read_bytes("three_keys.fst"); }

TEST(FstMapDamage, HandBuiltMapReads) {
  // The fixture itself is sound apart from the sum.
  Bytes b = overflowing_map();
  b[16] = 0;  // final output 0 (kept 1 byte wide)
  auto map = FstMap::open(b);
  ASSERT_TRUE(map.has_value()) << map.error().debug();
  EXPECT_EQ(fst_test::visit_all(*map), (Entries{{"a", ~std::uint64_t{0}}}));
}

// Damage found when the map is opened: the header, the trailer or the root.
TEST(FstMapDamage, RefusedAtOpen) {
  struct Case {
    const char* what;
    std::size_t offset;
    std::uint8_t byte;
    Kind kind;
  };
  // three_keys: root @43 = 02 (2 transitions), 42 = 12 (pack sizes),
  // 41/40 = inputs 'c' 'd', 44.. key count, 52.. root address.
  const Case cases[] = {
      {"delta width above 8", 42, 0x92, Kind::InvalidFieldSize},
      {"output width above 8", 42, 0x19, Kind::InvalidFieldSize},
      {"no delta width", 42, 0x02, Kind::InvalidFieldSize},
      {"node reaching into the header", 43, 0x3F, Kind::NodeOutOfBounds},
      {"inputs out of order", 41, 'e', Kind::UnsortedTransitions},
      {"inputs repeated", 41, 'd', Kind::UnsortedTransitions},
      {"root moved down", 52, 42, Kind::MisplacedRoot},
      {"root moved up", 52, 44, Kind::MisplacedRoot},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Bytes b = three_keys();
    b.at(c.offset) = c.byte;
    auto map = FstMap::open(b);
    ASSERT_FALSE(map.has_value());
    EXPECT_EQ(map.error().kind, c.kind) << map.error().debug();
    EXPECT_EQ(map.error().message(), "FST error");
  }
  // An index entry of the 256-way root naming another input.
  Bytes all = fst_test::read_bytes("all_bytes_256.fst");
  const std::size_t root = 1810;
  all.at(root - 1 - 257 + 'a') = 'b';
  auto map = FstMap::open(all);
  ASSERT_FALSE(map.has_value());
  EXPECT_EQ(map.error().kind, Kind::InvalidIndex);
  // A root that is too small to be a node at all.
  Bytes tiny(37, 0);
  tiny[0] = 3;
  put_u64(tiny, 25, 16);
  map = FstMap::open(tiny);
  ASSERT_FALSE(map.has_value());
  EXPECT_EQ(map.error().kind, Kind::NodeOutOfBounds) << map.error().debug();
}

// Damage below the root: opening succeeds, the lookup or visit that reaches
// it fails.
TEST(FstMapDamage, FoundWhereReached) {
  {
    SCOPED_TRACE("target inside the header");
    Bytes b = three_keys();
    b.at(39) = 0x20;  // delta of 'c': 34 - 32 = 2
    auto map = FstMap::open(b);
    ASSERT_TRUE(map.has_value());
    EXPECT_EQ(map->get("dog").value(), std::optional<std::uint64_t>(300));
    EXPECT_EQ(map->get("cat").error().debug(), "InvalidTarget { address: 43, target: 2 }");
    EXPECT_EQ(map->for_each([](std::string_view, std::uint64_t) {}).error().kind, Kind::InvalidTarget);
  }
  {
    SCOPED_TRACE("outputs overflowing");
    auto map = FstMap::open(overflowing_map());
    ASSERT_TRUE(map.has_value());
    EXPECT_EQ(map->get("a").error().kind, Kind::OutputOverflow);
    EXPECT_EQ(map->for_each([](std::string_view, std::uint64_t) {}).error().kind, Kind::OutputOverflow);
  }
  {
    SCOPED_TRACE("path without a key");
    Bytes b = overflowing_map();
    b[19] = 0x00;  // the node below the root: not final, no transitions
    auto map = FstMap::open(b);
    ASSERT_TRUE(map.has_value());
    EXPECT_EQ(map->get("a").value(), std::nullopt);
    EXPECT_EQ(map->for_each([](std::string_view, std::uint64_t) {}).error().debug(), "DeadEnd { address: 19 }");
  }
}

TEST(FstMapDamage, KeyCountDisagreeingWithTheKeys) {
  struct Case {
    std::uint64_t stored;
    std::size_t keys_seen;  // keys handed to the visitor before the error
  };
  for (const Case c : {Case{2, 2}, Case{4, 3}, Case{0, 0}}) {
    SCOPED_TRACE(c.stored);
    Bytes b = three_keys();
    put_u64(b, 44, c.stored);
    auto map = FstMap::open(b);
    ASSERT_TRUE(map.has_value());
    EXPECT_EQ(map->key_count(), c.stored);  // as stored
    std::size_t seen = 0;
    auto visited = map->for_each([&](std::string_view, std::uint64_t) { ++seen; });
    ASSERT_FALSE(visited.has_value());
    EXPECT_EQ(visited.error().kind, Kind::KeyCountMismatch);
    EXPECT_EQ(visited.error().key_count, c.stored);
    EXPECT_EQ(seen, c.keys_seen);
    EXPECT_EQ(map->get("cow").value(), std::optional<std::uint64_t>(3));
  }
}

// Reads everything a damaged map offers. Whatever it holds, nothing may
// fault; and once a visit succeeds, its keys ascend, their number is the
// stored count, and each lookup agrees with the visit.
void read_everything(const Bytes& bytes, const Entries& probes) {
  auto map = FstMap::open(bytes);
  if (!map) {
    EXPECT_EQ(map.error().message(), "FST error");
    return;
  }
  Entries seen;
  auto visited = map->for_each([&](std::string_view key, std::uint64_t value) { seen.emplace_back(key, value); });
  if (!visited) {
    for (const auto& probe : probes) (void)map->get(probe.first);
    return;
  }
  ASSERT_EQ(seen.size(), map->key_count());
  for (std::size_t i = 0; i < seen.size(); ++i) {
    if (i > 0) {
      ASSERT_LT(seen[i - 1].first, seen[i].first);
    }
    auto found = map->get(seen[i].first);
    ASSERT_TRUE(found.has_value()) << found.error().debug();
    ASSERT_EQ(*found, std::optional(seen[i].second));
  }
  for (const auto& probe : probes) ASSERT_TRUE(map->get(probe.first).has_value());
}

class FstMutationSweep : public testing::TestWithParam<std::string> {};

TEST_P(FstMutationSweep, EverySingleByteChange) {
  const Bytes original = fst_test::read_bytes(GetParam() + ".fst");
  Entries probes = fst_test::read_manifest(GetParam());
  for (std::size_t n = probes.size(), i = 0; i < n; ++i) probes.emplace_back(probes[i].first + "a", 0);
  for (std::size_t at = 0; at < original.size(); ++at) {
    Bytes b = original;
    for (int value = 0; value < 256; ++value) {
      if (value == original[at]) continue;
      b[at] = static_cast<std::uint8_t>(value);
      read_everything(b, probes);
      if (testing::Test::HasFatalFailure()) FAIL() << "byte " << at << " set to " << value;
    }
  }
}

TEST_P(FstMutationSweep, EveryTruncationAndExtension) {
  const Bytes original = fst_test::read_bytes(GetParam() + ".fst");
  const Entries probes = fst_test::read_manifest(GetParam());
  for (std::size_t size = 0; size < original.size(); ++size) {
    read_everything(Bytes(original.begin(), original.begin() + static_cast<std::ptrdiff_t>(size)), probes);
    if (testing::Test::HasFatalFailure()) FAIL() << "truncated to " << size;
  }
  for (const std::uint8_t extra : {0x00, 0x15, 0xFF}) {
    for (std::size_t count = 1; count <= 24; ++count) {
      Bytes b = original;
      b.insert(b.end(), count, extra);
      read_everything(b, probes);
      if (testing::Test::HasFatalFailure()) FAIL() << count << " bytes appended";
    }
  }
}

INSTANTIATE_TEST_SUITE_P(SmallMaps, FstMutationSweep,
                         testing::Values("three_keys", "prefixes", "empty_key_and_more", "single_max", "empty",
                                         "empty_key_0", "v2_prefixes", "binary_keys"),
                         [](const testing::TestParamInfo<std::string>& info) { return info.param; });

// The indexed nodes are in larger maps: one change per byte there.
TEST(FstMutationSweep, FlippedBytesOfIndexedMaps) {
  for (const std::string name : {"fanout", "v1_fanout"}) {
    SCOPED_TRACE(name);
    const Bytes original = fst_test::read_bytes(name + ".fst");
    const Entries probes;
    for (std::size_t at = 0; at < original.size(); ++at) {
      Bytes b = original;
      b[at] ^= 0xFF;
      read_everything(b, probes);
      if (testing::Test::HasFatalFailure()) FAIL() << "byte " << at << " flipped";
    }
  }
}

}  // namespace
}  // namespace orvel::io
