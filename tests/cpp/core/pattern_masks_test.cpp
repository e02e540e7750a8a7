#include "core/pattern_masks.hpp"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace orvel {
namespace {

std::vector<std::uint64_t> row_of(const std::uint64_t* row, std::size_t words) { return {row, row + words}; }

// The masks rebuilt from positions (the form used for patterns too large to
// store) are those of the stored table, for every character asked, and the
// previous character's row survives the next request.
TEST(PatternMasksTest, RebuiltRowsEqualStoredRows) {
  std::mt19937_64 rng(11);
  for (const std::size_t length : {1, 63, 64, 65, 200, 1000}) {
    std::u32string pattern(length, U'a');
    for (auto& c : pattern) c = rng() % 3 == 0 ? U'\u3041' + rng() % 40 : U'a' + rng() % 20;
    std::u32string text = pattern + U"zz\u4e00\u3041";
    std::shuffle(text.begin(), text.end(), rng);

    PatternMasks stored, rebuilt;
    stored.build(pattern);
    rebuilt.build(pattern, /*max_stored_words=*/0);
    ASSERT_TRUE(stored.stored());
    ASSERT_FALSE(rebuilt.stored());
    const std::size_t words = stored.words();
    ASSERT_EQ(rebuilt.words(), words);

    std::vector<std::uint64_t> previous_expected = row_of(stored.zero(), words);
    const std::uint64_t* previous = rebuilt.zero();
    for (const char32_t c : text) {
      const auto expected = row_of(stored.masks(c), words);
      const std::uint64_t* row = rebuilt.masks(c);
      ASSERT_EQ(row_of(row, words), expected) << "length " << length;
      ASSERT_EQ(row_of(previous, words), previous_expected) << "length " << length;
      previous = row;
      previous_expected = expected;
    }
    // A fresh build replaces everything, also the characters of the last.
    rebuilt.build(U"b", 0);
    stored.build(U"b");
    EXPECT_EQ(row_of(rebuilt.masks(U'b'), 1), (std::vector<std::uint64_t>{1}));
    EXPECT_EQ(row_of(rebuilt.masks(pattern[0]), 1), row_of(stored.masks(pattern[0]), 1));
  }
}

}  // namespace
}  // namespace orvel
