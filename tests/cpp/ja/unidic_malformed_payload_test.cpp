// Seeded random damage to valid binary and indexed payloads: every load
// either fails with an error or yields an index whose lookups and export
// work. Run under the sanitizers, this also shows that no damaged input
// reads out of bounds.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "ja/unidic_payload_writer.hpp"
#include "ja/unidic_reading_index.hpp"
#include "unidic_test_support.hpp"

namespace orvel::ja {
namespace {

using unidic_test::Bytes;
using unidic_test::TempDir;

UnidicReadingIndexPayload base_payload() {
  return unidic_test::payload_of({{"日本", {"ニポン", "ニホン", "ニッポン"}},
                                  {"東京", {"トウキョウ"}},
                                  {"今日", {"キョウ", "コンニチ"}},
                                  {"a", {"エー"}},
                                  {"ab", {"エービー"}},
                                  {"猫", {"ネコ"}},
                                  {"ＡＢＣ", {"エービーシー"}}});
}

// One random change: flipped bytes, a cut, an inserted or removed run, or a
// length-like value written over four or eight bytes.
Bytes damage(Bytes bytes, std::mt19937_64& rng) {
  auto pick = [&](std::size_t n) { return n == 0 ? 0 : static_cast<std::size_t>(rng() % n); };
  switch (rng() % 5) {
    case 0:
      for (int i = 0, n = 1 + static_cast<int>(rng() % 4); i < n && !bytes.empty(); ++i) {
        bytes[pick(bytes.size())] ^= static_cast<std::uint8_t>(1u << (rng() % 8));
      }
      break;
    case 1: bytes.resize(pick(bytes.size())); break;
    case 2: {
      const std::size_t at = pick(bytes.size() + 1);
      bytes.insert(bytes.begin() + static_cast<std::ptrdiff_t>(at), 1 + pick(8), static_cast<std::uint8_t>(rng()));
      break;
    }
    case 3:
      if (!bytes.empty()) {
        const std::size_t at = pick(bytes.size());
        bytes.erase(bytes.begin() + static_cast<std::ptrdiff_t>(at),
                    bytes.begin() + static_cast<std::ptrdiff_t>(std::min(bytes.size(), at + 1 + pick(8))));
      }
      break;
    default: {
      static const std::uint64_t kValues[] = {0, 1, 2, 3, 4, 39, 40, 255, 256, 257, 16384, 16385,
                                              3'000'000, 3'000'001, 0xffffffffULL, 0xffffffffffffffd8ULL,
                                              0xffffffffffffffffULL};
      const std::uint64_t value = kValues[pick(std::size(kValues))] + (rng() % 3) - 1;
      const std::size_t width = rng() % 2 == 0 ? 4 : 8;
      if (bytes.size() >= width) {
        const std::size_t at = pick(bytes.size() - width + 1);
        for (std::size_t i = 0; i < width; ++i) bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
      }
    }
  }
  return bytes;
}

// Everything an index offers, on every surface it exports.
void exercise(const UnidicReadingIndex& index) {
  const UnidicReadingIndexPayload exported = index.artifact_payload();
  ASSERT_EQ(exported.entries.size(), index.entry_count());
  for (const auto& entry : exported.entries) {
    auto found = index.try_readings(entry.surface);
    ASSERT_TRUE(found) << found.error().message();
    ASSERT_TRUE(*found);
    ASSERT_EQ((*found)->list(), entry.readings);
    ASSERT_FALSE(entry.readings.empty());
  }
  ASSERT_TRUE(index.artifact_payload_checksum_for_algorithm("sha256-canonical-v1"));
}

TEST(UnidicMalformedPayload, DamagedIndexedPayloadsNeverFault) {
  auto clean = unidic_indexed_payload_bytes(base_payload());
  ASSERT_TRUE(clean);
  std::mt19937_64 rng(20261210);
  int loaded = 0;
  for (int round = 0; round < 4000; ++round) {
    Bytes bytes = damage(*clean, rng);
    if (round % 4 == 3) bytes = damage(std::move(bytes), rng);
    auto index = UnidicReadingIndex::from_indexed_owned_bytes(std::move(bytes));
    if (!index) {
      EXPECT_FALSE(index.error().message().empty());
      continue;
    }
    ++loaded;
    ASSERT_NO_FATAL_FAILURE(exercise(*index)) << "round " << round;
  }
  // Some damage (trailing bytes, unused flips) leaves a loadable payload.
  EXPECT_GT(loaded, 0);
}

TEST(UnidicMalformedPayload, DamagedBinaryPayloadsNeverFault) {
  TempDir dir;
  const Bytes clean = unidic_binary_payload_bytes(base_payload());
  std::mt19937_64 rng(1210);
  for (int round = 0; round < 800; ++round) {
    Bytes bytes = damage(clean, rng);
    if (round % 4 == 3) bytes = damage(std::move(bytes), rng);
    auto index = UnidicReadingIndex::from_binary_artifact_payload_path(dir.write("damaged.bin", bytes));
    if (!index) {
      EXPECT_FALSE(index.error().message().empty());
      continue;
    }
    ASSERT_NO_FATAL_FAILURE(exercise(*index)) << "round " << round;
  }
}

TEST(UnidicMalformedPayload, RandomBytesBehindAValidHeader) {
  std::mt19937_64 rng(7);
  for (int round = 0; round < 2000; ++round) {
    Bytes bytes = {'O', 'R', 'V', 'E', 'L', 'I', '0', '1', 1, 0, 0, 0, 0, 0, 0, 0};
    const std::size_t tail = rng() % 200;
    for (std::size_t i = 0; i < tail; ++i) bytes.push_back(static_cast<std::uint8_t>(rng()));
    // Keep the entry count small and the section lengths inside the buffer
    // often enough to reach the fst and the records.
    if (bytes.size() >= 40) {
      unidic_test::store_u64(bytes, 16, rng() % 4);
      const std::uint64_t room = bytes.size() - 40;
      const std::uint64_t fst_len = rng() % (room + 1);
      unidic_test::store_u64(bytes, 24, fst_len);
      unidic_test::store_u64(bytes, 32, rng() % (room - fst_len + 1));
    }
    auto index = UnidicReadingIndex::from_indexed_owned_bytes(std::move(bytes));
    if (index) {
      ASSERT_NO_FATAL_FAILURE(exercise(*index));
    }
  }
}

}  // namespace
}  // namespace orvel::ja
