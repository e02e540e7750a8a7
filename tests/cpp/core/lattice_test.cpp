#include "core/lattice.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/fatal_error.hpp"

namespace orvel {
namespace {

std::vector<Arc> arcs_of(const Lattice& lattice) { return lattice.arcs(); }

std::vector<std::vector<std::uint64_t>> lists_of(const ArcIndexLists& lists) {
  std::vector<std::vector<std::uint64_t>> out;
  for (std::size_t n = 0; n < lists.size(); ++n) out.emplace_back(lists[n].begin(), lists[n].end());
  return out;
}

TEST(LatticeErrorTest, MessagesAndDebugForms) {
  struct Case {
    LatticeError error;
    const char* message;
    const char* debug;
  };
  const Case cases[] = {
      {LatticeError::empty(), "lattice must contain at least one node", "Empty"},
      {LatticeError::mixed_empty_and_non_empty_paths(),
       "mixed empty and non-empty paths need epsilon arcs, which orvel-core does not model yet",
       "MixedEmptyAndNonEmptyPaths"},
      {LatticeError::invalid_node(7, 4), "node 7 is outside 0..4", "InvalidNode { node: 7, node_count: 4 }"},
      {LatticeError::invalid_arc_order(3, 1), "arc 3->1 violates topological node order",
       "InvalidArcOrder { src: 3, dst: 1 }"},
      {LatticeError::invalid_endpoint(2, 1), "invalid endpoints start=2, end=1",
       "InvalidEndpoint { start: 2, end: 1 }"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.error.message(), c.message);
    EXPECT_EQ(c.error.debug(), c.debug);
  }
  EXPECT_EQ(static_cast<int>(LatticeError::Kind::InvalidEndpoint), 4);
}

TEST(LatticeFromEdgesTest, RejectsInCheckOrder) {
  struct Case {
    std::uint64_t node_count, start, end;
    std::vector<Arc> arcs;
    LatticeError expected;
  };
  const Case cases[] = {
      // Empty wins over everything else.
      {0, 5, 1, {{9, 3, 1}}, LatticeError::empty()},
      // Endpoints are tested before any arc.
      {3, 2, 1, {{5, 9, 1}}, LatticeError::invalid_endpoint(2, 1)},
      {3, 0, 3, {}, LatticeError::invalid_endpoint(0, 3)},
      {3, 3, 3, {}, LatticeError::invalid_endpoint(3, 3)},
      // The source is tested before the destination.
      {4, 0, 3, {{0, 1, 1}, {5, 9, 1}}, LatticeError::invalid_node(5, 4)},
      {4, 0, 3, {{1, 4, 1}}, LatticeError::invalid_node(4, 4)},
      {4, 0, 3, {{2, 2, 1}}, LatticeError::invalid_arc_order(2, 2)},
      {4, 0, 3, {{3, 1, 1}, {7, 8, 1}}, LatticeError::invalid_arc_order(3, 1)},
  };
  for (const auto& c : cases) {
    auto result = Lattice::from_edges(c.node_count, c.start, c.end, c.arcs);
    ASSERT_FALSE(result.has_value());
    EXPECT_EQ(result.error(), c.expected) << c.expected.debug() << " got " << result.error().debug();
  }
}

TEST(LatticeFromEdgesTest, KeepsArcOrderAndIndexesPerNode) {
  // Unreachable end, parallel and duplicate arcs are all accepted.
  const std::vector<Arc> arcs = {{1, 3, 'b'}, {0, 1, 'a'}, {0, 1, 'a'}, {0, 3, 'c'}, {1, 3, 'x'}};
  auto lattice = Lattice::from_edges(5, 0, 4, arcs);
  ASSERT_TRUE(lattice.has_value());
  EXPECT_EQ(lattice->node_count(), 5u);
  EXPECT_EQ(lattice->start(), 0u);
  EXPECT_EQ(lattice->end(), 4u);
  EXPECT_EQ(arcs_of(*lattice), arcs);
  using Lists = std::vector<std::vector<std::uint64_t>>;
  EXPECT_EQ(lists_of(lattice->incoming()), (Lists{{}, {1, 2}, {}, {0, 3, 4}, {}}));
  EXPECT_EQ(lists_of(lattice->outgoing()), (Lists{{1, 2, 3}, {0, 4}, {}, {}, {}}));
  const auto in3 = lattice->incoming_ends(3);
  ASSERT_EQ(in3.size(), 3u);
  EXPECT_EQ(in3[0].node, 1u);
  EXPECT_EQ(in3[0].symbol, U'b');
  EXPECT_EQ(in3[2].symbol, U'x');
  const auto out1 = lattice->outgoing_ends(1);
  ASSERT_EQ(out1.size(), 2u);
  EXPECT_EQ(out1[1].node, 3u);
  EXPECT_EQ(out1[1].symbol, U'x');
}

TEST(LatticeFromPathsTest, PathListShapes) {
  using Paths = std::vector<std::string>;
  EXPECT_EQ(Lattice::try_from_paths(Paths{}).error(), LatticeError::empty());
  EXPECT_EQ(Lattice::try_from_paths(Paths{"", ""}).error(), LatticeError::mixed_empty_and_non_empty_paths());
  EXPECT_EQ(Lattice::try_from_paths(Paths{"ab", ""}).error(), LatticeError::mixed_empty_and_non_empty_paths());
  EXPECT_EQ(Lattice::try_from_symbol_paths(std::vector<SymbolPath>{}).error(), LatticeError::empty());
  EXPECT_EQ(Lattice::try_from_symbol_paths({{}, {1}}).error(), LatticeError::mixed_empty_and_non_empty_paths());

  auto single_empty = Lattice::try_from_paths(Paths{""});
  ASSERT_TRUE(single_empty.has_value());
  EXPECT_EQ(single_empty->node_count(), 1u);
  EXPECT_EQ(single_empty->start(), 0u);
  EXPECT_EQ(single_empty->end(), 0u);
  EXPECT_TRUE(single_empty->arcs().empty());
}

TEST(LatticeFromPathsTest, ChainsPerPath) {
  struct Case {
    std::vector<std::string> paths;
    std::uint64_t node_count;
    std::vector<Arc> arcs;
  };
  const Case cases[] = {
      {{"a"}, 2, {{0, 1, 97}}},
      {{"ab", "c", "de"}, 4, {{0, 1, 'a'}, {1, 3, 'b'}, {0, 3, 'c'}, {0, 2, 'd'}, {2, 3, 'e'}}},
      // Equal paths stay parallel chains.
      {{"ab", "ab"}, 4, {{0, 1, 'a'}, {1, 3, 'b'}, {0, 2, 'a'}, {2, 3, 'b'}}},
      // One symbol per scalar value, not per byte; nothing is normalised.
      {{"\u00e9"}, 2, {{0, 1, 0xE9}}},
      {{"e\u0301"}, 3, {{0, 1, 'e'}, {1, 2, 0x301}}},
      {{"\U0001F600x"}, 3, {{0, 1, 0x1F600}, {1, 2, 'x'}}},
      // Bytes that are not UTF-8 become U+FFFD, a broken-off sequence at
      // the end included.
      {{"\xE3" "a\x80", "\xE6\x9D"}, 4, {{0, 1, 0xFFFD}, {1, 2, 'a'}, {2, 3, 0xFFFD}, {0, 3, 0xFFFD}}},
  };
  for (const auto& c : cases) {
    auto lattice = Lattice::try_from_paths(c.paths);
    ASSERT_TRUE(lattice.has_value());
    EXPECT_EQ(lattice->node_count(), c.node_count);
    EXPECT_EQ(lattice->start(), 0u);
    EXPECT_EQ(lattice->end(), c.node_count - 1);
    EXPECT_EQ(arcs_of(*lattice), c.arcs) << c.paths[0];

    std::vector<SymbolPath> symbols;
    for (const auto& path : c.paths) {
      const auto decoded = text::decode_utf8(path);
      symbols.emplace_back(decoded.begin(), decoded.end());
    }
    EXPECT_EQ(arcs_of(*Lattice::try_from_symbol_paths(symbols)), c.arcs);
  }
}

TEST(LatticeFromPathsTest, AcceptsOneTextOrAnyRangeOfTexts) {
  const std::vector<Arc> expected = {{0, 1, 'k'}, {1, 2, 'a'}};
  EXPECT_EQ(arcs_of(*Lattice::try_from_paths("ka")), expected);
  EXPECT_EQ(arcs_of(*Lattice::try_from_paths(std::string("ka"))), expected);
  EXPECT_EQ(arcs_of(*Lattice::try_from_paths({"ka"})), expected);
  const std::vector<std::string_view> views = {"ka"};
  EXPECT_EQ(arcs_of(*Lattice::try_from_paths(views)), expected);
  EXPECT_EQ(arcs_of(Lattice::from_paths(std::span<const std::string_view>(views))), expected);
}

TEST(LatticeFromPathsTest, MalformedUtf8StaysInsideTheText) {
  // One U+FFFD per broken sequence (a run of stray continuation bytes is
  // one), one chain per text inside its bytes (checked under ASan).
  struct Case {
    std::string text;
    std::size_t symbols;
  };
  const Case cases[] = {
      {"\xE3\x81", 1}, {"a\xF0", 2}, {"\x80\x80", 1}, {"\xF4\x8F\xBF", 1}, {"\xC3", 1},
  };
  for (const auto& c : cases) {
    const auto lattice = Lattice::try_from_paths(c.text);
    ASSERT_TRUE(lattice.has_value());
    EXPECT_EQ(lattice->arcs().size(), c.symbols);
    EXPECT_EQ(lattice->node_count(), c.symbols + 1);
    for (const Arc& arc : lattice->arcs()) EXPECT_TRUE(arc.symbol == 0xFFFD || arc.symbol == 'a') << c.text;
  }
}

TEST(LatticeFatalWrappersTest, ThrowWithFixedTextAndDebugForm) {
  try {
    Lattice::from_paths(std::vector<std::string>{});
    FAIL() << "expected FatalError";
  } catch (const FatalError& e) {
    EXPECT_STREQ(e.what(), "valid string path lattice: Empty");
  }
  try {
    Lattice::from_symbol_paths_compact({{}, {1, 2}});
    FAIL() << "expected FatalError";
  } catch (const FatalError& e) {
    EXPECT_STREQ(e.what(), "valid compact symbol path lattice: MixedEmptyAndNonEmptyPaths");
  }
}

}  // namespace
}  // namespace orvel
