#include "metrics/lattice_metrics.hpp"

#include <gtest/gtest.h>

#include <limits>

namespace orvel {
namespace {

constexpr std::uint64_t kMax = std::numeric_limits<std::uint64_t>::max();

Lattice paths(std::initializer_list<std::string_view> p) { return Lattice::from_paths(p); }

TEST(LatticeDistanceWithCutoff, CutoffRuleOnOneWorkspace) {
  DistanceWorkspace ws;
  const Lattice abc = paths({"abc"});
  const Lattice xyz = paths({"xyz"});
  const Lattice ab = paths({"ab"});
  const Lattice ba = paths({"ba"});
  EXPECT_EQ(*distance_with_cutoff_workspace(ws, abc, xyz, std::nullopt), 3u);
  EXPECT_EQ(*distance_with_cutoff_workspace(ws, abc, xyz, 1), 2u);
  EXPECT_EQ(*distance_with_cutoff_workspace(ws, abc, xyz, 3), 3u);
  EXPECT_EQ(*distance_with_cutoff_workspace(ws, ab, ba, kMax), 2u);
  EXPECT_EQ(*damerau_distance_with_cutoff_workspace(ws, ab, ba, std::nullopt), 1u);
  EXPECT_EQ(*damerau_distance_with_cutoff_workspace(ws, ab, ba, 0), 1u);
  EXPECT_EQ(*damerau_distance_with_cutoff(ab, ba, 1), 1u);
  EXPECT_EQ(*distance_with_cutoff(ab, ba, kMax), 2u);
}

TEST(CombinedDistance, MinimumOfSurfaceAndReading) {
  // Same surface, different readings: the surface distance 0 wins.
  EXPECT_EQ(*combined_distance_with_cutoff("abc", "abc", paths({"x"}), paths({"yyy"}), 0), 0u);
  // Same readings, different surfaces.
  EXPECT_EQ(*combined_distance_with_cutoff("abc", "xyz", paths({"to"}), paths({"to"}), std::nullopt), 0u);
  // Neither is 0: with cutoff 0 the answer is 1.
  EXPECT_EQ(*combined_distance_with_cutoff("ab", "ba", paths({"aaaa"}), paths({"bbbb"}), 0), 1u);
  EXPECT_EQ(*combined_distance_with_cutoff("ab", "ba", paths({"aaaa"}), paths({"bbbb"}), std::nullopt), 1u);
  EXPECT_EQ(*combined_distance_with_cutoff("abcd", "wxyz", paths({"ka"}), paths({"ga"}), std::nullopt), 1u);
  EXPECT_EQ(*combined_distance_with_cutoff("abcd", "wxyz", paths({"kaaa"}), paths({"gbbb"}), 2), 3u);
}

TEST(CombinedDistance, OversizedReadingsFailEvenWithEqualSurfaces) {
  const Lattice big = Lattice::from_paths(std::string(4000, 'a'));
  const auto result = combined_distance_with_cutoff("a", "a", big, big, 0);
  ASSERT_FALSE(result.has_value());
  EXPECT_EQ(result.error().message(), "distance matrix 4001x4001 exceeds the maximum of 16000000 cells");
}

}  // namespace
}  // namespace orvel
