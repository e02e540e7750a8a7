#include "core/grouped_lists.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

namespace orvel {
namespace {

// Against a stable sort by group: same slots, and offsets that bound each
// group's run (empty groups included, at either end too).
TEST(GroupedListsTest, MatchesAStableSortByGroup) {
  std::mt19937 rng(17);
  for (const std::size_t groups : {1u, 2u, 5u, 40u}) {
    for (const std::size_t count : {0u, 1u, 7u, 300u}) {
      std::vector<std::uint32_t> group(count);
      for (auto& g : group) g = static_cast<std::uint32_t>(rng() % (groups > 2 ? groups - 1 : groups));
      std::vector<std::size_t> placed(count, ~std::size_t{0});
      const auto offsets = detail::group_by<std::uint32_t>(
          groups, count, [&](std::size_t i) { return group[i]; },
          [&](std::uint32_t slot, std::size_t i) { placed[slot] = i; });

      std::vector<std::size_t> expected(count);
      for (std::size_t i = 0; i < count; ++i) expected[i] = i;
      std::stable_sort(expected.begin(), expected.end(),
                       [&](std::size_t a, std::size_t b) { return group[a] < group[b]; });
      EXPECT_EQ(placed, expected) << groups << " " << count;
      ASSERT_EQ(offsets.size(), groups + 1);
      EXPECT_EQ(offsets.front(), 0u);
      EXPECT_EQ(offsets.back(), count);
      for (std::size_t g = 0; g < groups; ++g) {
        for (std::size_t slot = offsets[g]; slot < offsets[g + 1]; ++slot) EXPECT_EQ(group[placed[slot]], g);
      }
    }
  }
}

}  // namespace
}  // namespace orvel
