#include "core/compact_lattice.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>
#include <vector>

#include "core/lattice_distance.hpp"
#include "reference.hpp"

namespace orvel {
namespace {

SymbolPath sym(std::string_view s) { return {s.begin(), s.end()}; }

std::vector<SymbolPath> syms(std::initializer_list<std::string_view> texts) {
  std::vector<SymbolPath> out;
  for (auto t : texts) out.push_back(sym(t));
  return out;
}

TEST(CompactLatticeTest, KnownShapes) {
  struct Case {
    std::vector<SymbolPath> paths;
    std::uint64_t node_count;
    std::vector<Arc> arcs;
  };
  const Case cases[] = {
      {syms({"a"}), 2, {{0, 1, 'a'}}},
      {syms({"abc"}), 4, {{0, 1, 'a'}, {1, 2, 'b'}, {2, 3, 'c'}}},
      // The same path twice is one reading.
      {syms({"abc", "abc"}), 4, {{0, 1, 'a'}, {1, 2, 'b'}, {2, 3, 'c'}}},
      {syms({"ab", "cb"}), 3, {{0, 1, 'a'}, {0, 1, 'c'}, {1, 2, 'b'}}},
      // A path that is a prefix of another: the root's terminal comes first.
      {syms({"a", "ab"}), 3, {{0, 2, 'a'}, {0, 1, 'a'}, {1, 2, 'b'}}},
      {syms({"ka", "ga", "kya", "gya"}), 4, {{0, 1, 'g'}, {0, 1, 'k'}, {1, 3, 'a'}, {1, 2, 'y'}, {2, 3, 'a'}}},
  };
  for (const auto& c : cases) {
    const auto lattice = Lattice::try_from_symbol_paths_compact(c.paths);
    ASSERT_TRUE(lattice.has_value());
    EXPECT_EQ(lattice->node_count(), c.node_count);
    EXPECT_EQ(lattice->start(), 0u);
    EXPECT_EQ(lattice->end(), c.node_count - 1);
    EXPECT_EQ(lattice->arcs(), c.arcs);
  }
}

TEST(CompactLatticeTest, PathListShapesAsChains) {
  EXPECT_EQ(Lattice::try_from_symbol_paths_compact(std::vector<SymbolPath>{}).error(), LatticeError::empty());
  EXPECT_EQ(Lattice::try_from_symbol_paths_compact({{}, {}}).error(),
            LatticeError::mixed_empty_and_non_empty_paths());
  EXPECT_EQ(Lattice::try_from_symbol_paths_compact({{'a'}, {}}).error(),
            LatticeError::mixed_empty_and_non_empty_paths());
  const auto one = Lattice::try_from_symbol_paths_compact({{}});
  ASSERT_TRUE(one.has_value());
  EXPECT_EQ(one->node_count(), 1u);
  EXPECT_EQ(one->end(), 0u);
  EXPECT_TRUE(one->arcs().empty());
  EXPECT_EQ(Lattice::from_symbol_paths_compact({{'a'}}).arcs(), (std::vector<Arc>{{0, 1, 'a'}}));
}

TEST(CompactLatticeTest, LongPathDoesNotRecurseDeeply) {
  const SymbolPath path(100'000, 'x');
  const auto lattice = Lattice::try_from_symbol_paths_compact({path});
  ASSERT_TRUE(lattice.has_value());
  EXPECT_EQ(lattice->node_count(), 100'001u);
}

// Against random path lists: the arcs are those of the plain construction,
// the readings are exactly the distinct paths, every arc ascends, every node
// is on a start-to-end path, the lattice does not depend on the order of
// the paths, and every distance equals the one over the chain lattice of
// the same paths.
TEST(CompactLatticeTest, SameReadingsAndDistancesAsChains) {
  std::mt19937_64 rng(99);
  DistanceWorkspace ws;
  for (int round = 0; round < 400; ++round) {
    auto paths = round % 2 ? reference::random_paths(rng, 6, 5, 3) : reference::random_paths(rng, 24, 7, 2);
    const Lattice compact = *Lattice::try_from_symbol_paths_compact(paths);
    const Lattice chains = *Lattice::try_from_symbol_paths(paths);

    const std::set<SymbolPath> distinct(paths.begin(), paths.end());
    ASSERT_EQ(reference::readings(compact), distinct) << "round " << round;
    for (const Arc& arc : compact.arcs()) ASSERT_LT(arc.src, arc.dst);
    // Every node lies on a path: reachable from the start (node 0 comes
    // first) and able to reach the end.
    for (std::uint64_t n = 1; n < compact.node_count(); ++n) ASSERT_FALSE(compact.incoming()[n].empty());
    for (std::uint64_t n = 0; n + 1 < compact.node_count(); ++n) ASSERT_FALSE(compact.outgoing()[n].empty());
    ASSERT_LE(compact.node_count(), chains.node_count());

    auto shuffled = paths;
    std::shuffle(shuffled.begin(), shuffled.end(), rng);
    const Lattice again = *Lattice::try_from_symbol_paths_compact(shuffled);
    ASSERT_EQ(again.arcs(), compact.arcs());
    ASSERT_EQ(again.node_count(), compact.node_count());

    std::uint64_t node_count = 0;
    ASSERT_EQ(compact.arcs(), reference::compact_arcs(paths, node_count)) << "round " << round;
    ASSERT_EQ(compact.node_count(), node_count);

    const Lattice other = *Lattice::try_from_symbol_paths(reference::random_paths(rng, 3, 5, 3));
    ASSERT_EQ(*ws.try_distance(compact, other), *ws.try_distance(chains, other));
    ASSERT_EQ(*ws.try_damerau_distance(other, compact), *ws.try_damerau_distance(other, chains));
  }
}

}  // namespace
}  // namespace orvel
