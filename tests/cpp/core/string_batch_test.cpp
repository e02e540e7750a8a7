#include "core/string_batch.hpp"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "reference.hpp"

namespace orvel {
namespace {

reference::Seq seq(std::u32string_view s) { return {s.begin(), s.end()}; }

std::vector<BatchKernel> kernels() {
  std::vector<BatchKernel> out = {BatchKernel::Portable};
  if (batch_kernel_available(BatchKernel::Avx2)) out.push_back(BatchKernel::Avx2);
  return out;
}

// Texts over a small alphabet with a character outside the direct table
// and an astral one, so matches, swaps and wide lookups are all common.
std::u32string random_text(std::mt19937_64& rng, std::size_t length) {
  static constexpr char32_t kAlphabet[] = {U'a', U'b', U'c', U'\u3042', U'\U0001F600'};
  std::u32string s(length, U'a');
  for (auto& ch : s) ch = kAlphabet[rng() % std::size(kAlphabet)];
  return s;
}

// Every lane width with full and partial packs, patterns at the lane and
// byte boundaries, against the full-table references, on each kernel.
TEST(QueryBatchTest, EveryLaneWidthMatchesReference) {
  std::mt19937_64 rng(1234);
  const std::size_t boundary_lengths[] = {1, 7, 8, 9, 15, 16, 17, 31, 32, 33, 63, 64};
  QueryBatch batch;
  for (const unsigned lane_bytes : {1u, 2u, 4u, 8u}) {
    const std::size_t width = 8 * lane_bytes;
    for (const std::size_t count : {std::size_t{1}, QueryBatch::lanes(lane_bytes) - 1, QueryBatch::lanes(lane_bytes)}) {
      std::vector<std::u32string> patterns;
      for (std::size_t l = 0; l < count; ++l) {
        std::size_t length = boundary_lengths[l % std::size(boundary_lengths)];
        if (length > width) length = 1 + rng() % width;
        if (l == 0) length = width;  // a pattern that fills its lane
        patterns.push_back(random_text(rng, length));
      }
      const std::vector<std::u32string_view> views(patterns.begin(), patterns.end());
      batch.build(lane_bytes, views);
      ASSERT_EQ(batch.size(), count);
      for (const std::size_t n : {0, 1, 7, 8, 9, 16, 17, 33, 64, 65, 130}) {
        // Near copies of a pattern as well as unrelated texts.
        std::u32string text = random_text(rng, n);
        if (n % 2 == 1) text = patterns[rng() % count] + text.substr(0, n / 4);
        std::vector<std::uint64_t> out(count);
        for (const BatchKernel kernel : kernels()) {
          batch.levenshtein(text, out, kernel);
          for (std::size_t l = 0; l < count; ++l) {
            ASSERT_EQ(out[l], reference::levenshtein(seq(patterns[l]), seq(text)))
                << "lanes " << lane_bytes << " lane " << l << " kernel " << int(kernel);
          }
          batch.damerau_levenshtein(text, out, kernel);
          for (std::size_t l = 0; l < count; ++l) {
            ASSERT_EQ(out[l], reference::osa(seq(patterns[l]), seq(text)))
                << "lanes " << lane_bytes << " lane " << l << " kernel " << int(kernel);
          }
        }
      }
    }
  }
}

// The lane counters hold distances up to the lane's range: 8-bit lanes
// against a text of 255 characters.
TEST(QueryBatchTest, LongestTextOfNarrowLanes) {
  QueryBatch batch;
  const std::u32string ab = U"ab";
  const std::u32string_view views[] = {ab};
  batch.build(1, views);
  const std::u32string text(QueryBatch::max_text_length(1), U'x');
  std::vector<std::uint64_t> out(1);
  for (const BatchKernel kernel : kernels()) {
    batch.levenshtein(text, out, kernel);
    EXPECT_EQ(out[0], 255u);
    batch.damerau_levenshtein(std::u32string(U"ba") + text.substr(2), out, kernel);
    EXPECT_EQ(out[0], 254u);
  }
}

// Rebuilding a pack forgets the previous one's masks.
TEST(QueryBatchTest, RebuildReplacesMasks) {
  QueryBatch batch;
  const std::u32string first = U"xyz\u4e00", second = U"abc";
  std::vector<std::uint64_t> out(1);
  batch.build(1, std::vector<std::u32string_view>{first});
  batch.build(1, std::vector<std::u32string_view>{second});
  for (const BatchKernel kernel : kernels()) {
    batch.levenshtein(U"xyz\u4e00", out, kernel);
    EXPECT_EQ(out[0], 4u);
    batch.levenshtein(U"abc", out, kernel);
    EXPECT_EQ(out[0], 0u);
  }
}

}  // namespace
}  // namespace orvel
