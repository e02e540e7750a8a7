// The lattice of many dictionary paths read from their shared segments
// against the same paths read one at a time.
#include <gtest/gtest.h>

#include <random>
#include <set>
#include <string>
#include <vector>

#include "ja/romaji_lattice_builder.hpp"
#include "ja/romaji_lattice_fronts.hpp"
#include "ja/romaji_lattice_reduction.hpp"
#include "ja/shared_path_lattice.hpp"
#include "ja/unidic_reading_index.hpp"
#include "../support/lattice_strings.hpp"
#include "segmentation_test_support.hpp"

namespace orvel::ja {
namespace {

using testing::make_index;
using testing::options;

std::set<std::string> spelt(RomajiLatticeBuilder builder) {
  if (builder.empty()) return {};
  auto lattice = std::move(builder).into_lattice();
  EXPECT_TRUE(lattice.has_value());
  if (!lattice) return {};
  return test_support::spelt_strings<std::set<std::string>>(reduce_reading_lattice(std::move(*lattice)));
}

// Each path alone, as the lattice fronts read it: segment by segment, or as
// its whole reading; a path with an unsupported character or a kana without
// a row adds nothing.
std::set<std::string> path_by_path(const std::vector<DictionaryReadingPath>& paths, bool whole_readings) {
  RomajiLatticeBuilder builder;
  std::vector<Unit> units;
  for (const DictionaryReadingPath& path : paths) {
    if (whole_readings) {
      units.clear();
      if (append_segments(path.reading(), RomajiSegmentMode::Reading, units)) (void)builder.add_units(units);
      continue;
    }
    std::vector<RomajiSegmentInput> stretches;
    path.for_each_segment([&](const DictionaryReadingSegment& segment) {
      stretches.push_back({segment.reading, segment.direct ? RomajiSegmentMode::Direct : RomajiSegmentMode::Reading});
    });
    EXPECT_TRUE(add_segmented_input(builder, stretches, units).has_value());
  }
  return spelt(std::move(builder));
}

// Words whose readings end in a small tsu or a consonant letter, begin with
// a small ya, or hold kana without a row, next to plain ones.
UnidicReadingIndex boundary_index() {
  return make_index({{"東", {"トウ", "ヒガシ"}},
                     {"京", {"キョウ", "ケイ"}},
                     {"東京", {"トウキョウ", "トーキョー"}},
                     {"行", {"イッ", "ギョウ", "コウ"}},
                     {"茶", {"チャ", "サ"}},
                     {"小", {"ャ", "ショウ"}},
                     {"子", {"コ", "シ", "ゝ", "ヵ"}},
                     {"k", {"k", "ケー"}},
                     {"大", {"ダイ", "オオ", "タイ"}},
                     {"阪", {"サカ", "ハン"}},
                     {"長", {"ナガ", "チョウ", "ー"}},
                     {"都", {"ト", "ツ", "ミヤコ"}}});
}

const std::vector<std::string> kPieces = {"東", "京", "行", "茶", "小", "子", "k", "大", "阪", "長", "都",
                                          "っ", "ゃ", "ょ", "か", "ー", "t", "y", " ", "、", "ア"};

TEST(SharedPathLattice, SpellsWhatThePathsSpellOneByOne) {
  const UnidicReadingIndex index = boundary_index();
  std::mt19937 rng(20261210);
  std::uniform_int_distribution<std::size_t> piece(0, kPieces.size() - 1);
  std::uniform_int_distribution<int> length(1, 6);
  int shared = 0;
  int tried = 0;
  for (int round = 0; round < 2500; ++round) {
    std::string text;
    for (int k = length(rng); k > 0; --k) text += kPieces[piece(rng)];
    const bool include_direct = round % 2 == 0;
    const bool whole_readings = !include_direct && round % 4 == 1;
    const DictionaryOptions o = options(round % 3 == 0 ? 2 : 8, round % 5 == 0 ? 3 : 1024,
                                        round % 7 == 0 ? std::optional<std::uint64_t>(1) : std::nullopt);
    auto paths = reading_paths_with_stats_inner(index, text, o, include_direct);
    ASSERT_TRUE(paths.has_value());
    if (paths->size() < 2) continue;
    ++tried;
    RomajiLatticeBuilder builder(true);
    const auto added = add_paths_by_shared_segments(builder, *paths, SharedPathReading{.whole_readings = whole_readings});
    if (!added) {
      EXPECT_TRUE(builder.empty()) << text;
      continue;
    }
    ++shared;
    const std::set<std::string> expected = path_by_path(*paths, whole_readings);
    EXPECT_EQ(*added, !expected.empty()) << text;
    EXPECT_EQ(spelt(std::move(builder)), expected) << text << " direct " << include_direct << " whole " << whole_readings;
  }
  // The construction itself must be what is checked, not the fallback.
  EXPECT_GT(shared, tried * 3 / 4);
}

TEST(SharedPathLattice, GivesWayWhereThePathsCannotBeReadTogether) {
  // Whole readings join シ and ャ of two words into one digraph, after a
  // small tsu whose step would need the digraph.
  const UnidicReadingIndex sokuon = make_index({{"促", {"ッシ", "ソク"}}, {"小", {"ャ", "ショウ"}}});
  auto joined = reading_paths_with_stats_inner(sokuon, "促小", options(), false);
  ASSERT_TRUE(joined.has_value());
  RomajiLatticeBuilder builder(true);
  EXPECT_FALSE(add_paths_by_shared_segments(builder, *joined, SharedPathReading{.whole_readings = true}));
  EXPECT_TRUE(builder.empty());
  // Segment by segment the same paths are read together.
  EXPECT_TRUE(add_paths_by_shared_segments(builder, *joined, SharedPathReading{}));
  EXPECT_EQ(spelt(std::move(builder)), path_by_path(*joined, false));

  // A path that may pass the string limit of one path: 3^11 > 65,536.
  std::string many_shi;
  for (int k = 0; k < 11; ++k) many_shi += "シ";
  const UnidicReadingIndex limits = make_index({{"多", {many_shi, "タ"}}, {"東", {"トウ", "ヒガシ"}}});
  auto paths = reading_paths_with_stats_inner(limits, "東多", options(), false);
  ASSERT_TRUE(paths.has_value());
  RomajiLatticeBuilder limited(true);
  EXPECT_FALSE(add_paths_by_shared_segments(limited, *paths, SharedPathReading{.query_limits = true}));
  EXPECT_TRUE(limited.empty());
}

}  // namespace
}  // namespace orvel::ja
