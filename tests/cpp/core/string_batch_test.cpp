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

// The distances of every packed pattern to every text: [pattern][text].
// Cells the batch skips keep the marker kUnset.
constexpr std::uint64_t kUnset = 0xDEAD;
std::vector<std::vector<std::uint64_t>> run(const QueryBatch& batch, const std::vector<std::u32string>& texts,
                                            bool swaps, BatchKernel kernel,
                                            std::uint64_t cap = ~std::uint64_t{0}) {
  std::vector<BatchText> views;
  for (const auto& t : texts) views.push_back({t.data(), t.size()});
  std::vector<std::vector<std::uint64_t>> out(batch.size(), std::vector<std::uint64_t>(texts.size(), kUnset));
  std::vector<std::uint64_t*> rows;
  for (auto& row : out) rows.push_back(row.data());
  if (swaps) {
    batch.damerau_levenshtein(views, cap, rows, kernel);
  } else {
    batch.levenshtein(views, cap, rows, kernel);
  }
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
      // Near copies of a pattern as well as unrelated texts.
      std::vector<std::u32string> texts;
      for (const std::size_t n : {0, 1, 7, 8, 9, 16, 17, 33, 64, 65, 130}) {
        std::u32string text = random_text(rng, n);
        if (n % 2 == 1) text = patterns[rng() % count] + text.substr(0, n / 4);
        texts.push_back(text);
      }
      for (const BatchKernel kernel : kernels()) {
        for (const bool swaps : {false, true}) {
          for (const std::uint64_t cap : {~std::uint64_t{0}, std::uint64_t{3}}) {
            const auto got = run(batch, texts, swaps, kernel, cap);
            for (std::size_t l = 0; l < count; ++l) {
              for (std::size_t j = 0; j < texts.size(); ++j) {
                const std::uint64_t want = swaps ? reference::osa(seq(patterns[l]), seq(texts[j]))
                                                 : reference::levenshtein(seq(patterns[l]), seq(texts[j]));
                ASSERT_EQ(got[l][j], std::min(want, cap)) << "lanes " << lane_bytes << " lane " << l << " text "
                                                           << j << " kernel " << int(kernel) << " swaps " << swaps;
              }
            }
          }
        }
      }
    }
  }
}

// The lane counters hold distances up to the lane's range: 8-bit lanes
// take a text of 255 characters and skip a longer one.
TEST(QueryBatchTest, LongestTextOfNarrowLanes) {
  QueryBatch batch;
  const std::u32string ab = U"ab";
  const std::u32string_view views[] = {ab};
  batch.build(1, views);
  const std::u32string longest(QueryBatch::max_text_length(1), U'x');
  const std::vector<std::u32string> texts = {longest, U"ba" + longest.substr(2), longest + U"x"};
  for (const BatchKernel kernel : kernels()) {
    EXPECT_EQ(run(batch, texts, false, kernel)[0], (std::vector<std::uint64_t>{255, 254, kUnset}));
    EXPECT_EQ(run(batch, texts, true, kernel)[0], (std::vector<std::uint64_t>{255, 254, kUnset}));
  }
}

// Rebuilding a pack forgets the previous one's masks.
TEST(QueryBatchTest, RebuildReplacesMasks) {
  QueryBatch batch;
  const std::u32string first = U"xyz\u4e00", second = U"abc";
  batch.build(1, std::vector<std::u32string_view>{first});
  batch.build(1, std::vector<std::u32string_view>{second});
  for (const BatchKernel kernel : kernels()) {
    EXPECT_EQ(run(batch, {first, second}, false, kernel)[0], (std::vector<std::uint64_t>{4, 0}));
  }
}

}  // namespace
}  // namespace orvel
