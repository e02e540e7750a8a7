// Spans of one text read with one segmentation search per end, against each
// span read as a text of its own.
#include <gtest/gtest.h>

#include <random>
#include <set>
#include <string>
#include <vector>

#include "ja/query.hpp"
#include "ja/romaji_lattice_builder.hpp"
#include "ja/segmentation.hpp"
#include "ja/shared_path_lattice.hpp"
#include "ja/unidic_reading_index.hpp"
#include "../support/lattice_strings.hpp"
#include "../support/random_text.hpp"
#include "../support/span_order.hpp"
#include "segmentation_test_support.hpp"

namespace orvel::ja {
namespace {

using testing::describe;
using testing::make_index;
using testing::options;

UnidicReadingIndex span_index() {
  return make_index({{"東", {"トウ", "ヒガシ"}},
                     {"京", {"キョウ", "ケイ"}},
                     {"東京", {"トウキョウ", "トーキョー"}},
                     {"京都", {"キョウト"}},
                     {"行", {"イッ", "ギョウ", "コウ"}},
                     {"茶", {"チャ", "サ"}},
                     {"小", {"ャ", "ショウ"}},
                     {"k", {"k", "ケー"}},
                     {"ab", {"エービー"}},
                     {"大阪", {"オオサカ"}},
                     {"大", {"ダイ", "オオ"}},
                     {"都", {"ト", "ツ", "ミヤコ"}}});
}

const std::vector<std::string> kPieces = {"東", "京", "都", "行", "茶", "小", "k", "a", "b", "大", "阪",
                                          "っ", "ゃ", "か", "ー", " ", "、", "ア", "?"};

std::string random_text(std::mt19937& rng, int max_pieces) {
  return test_support::random_text(rng, kPieces, max_pieces);
}

DictionaryOptions random_options(std::mt19937& rng) {
  switch (rng() % 5) {
    case 0:
      return options(2, 3);
    case 1:
      return options(8, 1024, 1);
    case 2:
      return options(8, 5, std::nullopt, true);
    case 3:
      return options(1, 1024);
    default:
      return options();
  }
}

std::string outcome(const std::expected<ReadingLattice, JaLatticeError>& read) {
  if (!read) return "error: " + read.error().message();
  std::string out = read->also_empty ? "also empty:" : "";
  for (const std::string& s : test_support::spelt_strings<std::set<std::string>>(read->lattice)) out += " " + s;
  return out;
}

TEST(SuffixSegmenter, EverySuffixAsItsOwnText) {
  const UnidicReadingIndex index = span_index();
  std::mt19937 rng(1210);
  for (int round = 0; round < 400; ++round) {
    const std::string text = random_text(rng, 9);
    const DictionaryOptions o = random_options(rng);
    const bool include_direct = round % 2 == 1;
    const std::vector<std::size_t> b = char_boundaries(text);
    const std::size_t n = b.size() - 1;
    for (std::size_t end = 1; end <= n; ++end) {
      const std::size_t lowest = round % 3 == 0 && end > 3 ? end - 3 : 0;
      SuffixSegmenter search(index, text, b, end, lowest, o, include_direct);
      for (std::size_t from = end; from-- > lowest;) {
        const std::string span = text.substr(b[from], b[end] - b[from]);
        const auto expected = reading_paths_with_stats_inner(index, span, o, include_direct);
        const auto got = search.paths_from(from);
        ASSERT_TRUE(expected.has_value() && got.has_value());
        ASSERT_EQ(describe(*got), describe(*expected)) << span << " in " << text;
      }
    }
  }
}

TEST(SuffixSegmenter, OptionLimitsFailEverySuffix) {
  const UnidicReadingIndex index = span_index();
  const std::string text = "東京都";
  const std::vector<std::size_t> b = char_boundaries(text);
  SuffixSegmenter search(index, text, b, 3, 0, options(257), false);
  for (std::size_t from = 3; from-- > 0;) {
    const auto got = search.paths_from(from);
    const auto expected = reading_paths_with_stats_inner(index, text.substr(b[from]), options(257), false);
    ASSERT_FALSE(got.has_value());
    ASSERT_FALSE(expected.has_value());
    EXPECT_EQ(got.error().message(), expected.error().message());
  }
}

// The reader gives what unidic_or_direct_romaji_lattice gives for the span
// alone, in the order of a best-span search (ends ascending, starts
// descending) and in any other order: the same lattice in the reduced form,
// the same strings in the built one.
TEST(SpanRomajiReader, ReadsEachSpanAsItsOwnText) {
  const UnidicReadingIndex index = span_index();
  std::mt19937 rng(77);
  for (int round = 0; round < 150; ++round) {
    const std::string text = random_text(rng, 7);
    const DictionaryOptions o = random_options(rng);
    const std::vector<std::size_t> b = char_boundaries(text);
    const std::size_t n = b.size() - 1;
    const std::uint64_t width = round % 2 ? 3 : 100;
    std::vector<std::pair<std::size_t, std::size_t>> spans = test_support::spans_in_search_order(n, width);
    if (round % 3 == 0) std::shuffle(spans.begin(), spans.end(), rng);
    SpanRomajiReader reader(index, text, o, width);
    SpanRomajiReader built(index, text, o, width, SpanLatticeForm::Built);
    for (const auto& [start, end] : spans) {
      const std::string span = text.substr(b[start], b[end] - b[start]);
      const auto expected = unidic_or_direct_romaji_lattice(span, index, o);
      const auto got = reader.read(start, end);
      ASSERT_EQ(outcome(got), outcome(expected)) << span << " in " << text;
      if (got) {
        EXPECT_EQ(got->lattice.node_count(), expected->lattice.node_count()) << span;
        EXPECT_EQ(got->lattice.arcs().size(), expected->lattice.arcs().size()) << span;
      }
      ASSERT_EQ(outcome(built.read(start, end)), outcome(expected)) << span << " in " << text;
    }
  }
}

// What a grouping kept across the spans of one end gives each span: the same
// answer as grouping its paths alone with the same budget, and a lattice of
// the same strings and shape; small budgets are met by single spans and
// spent part way through an end.
TEST(SharedSegmentReader, GivesEachSpanWhatItsPathsGiveAlone) {
  const UnidicReadingIndex index = span_index();
  std::mt19937 rng(4242);
  const auto lattice_of = [](RomajiLatticeBuilder& builder) -> std::string {
    if (builder.empty()) return "none";
    auto lattice = std::move(builder).into_lattice();
    if (!lattice) return "error: " + lattice.error().message();
    std::string out = std::to_string(lattice->node_count()) + " nodes " + std::to_string(lattice->arcs().size()) +
                      " arcs:";
    for (const std::string& s : test_support::spelt_strings<std::set<std::string>>(*lattice)) out += " " + s;
    return out;
  };
  int shared_answers = 0;
  int refused = 0;
  for (int round = 0; round < 300; ++round) {
    const std::string text = random_text(rng, 9);
    const DictionaryOptions o = random_options(rng);
    const bool include_direct = round % 2 == 1;
    const SharedPathReading how{.query_limits = round % 3 != 0};
    const std::uint64_t budget = round % 4 == 0 ? rng() % 40 : kSharedGroupingBudget;
    const std::vector<std::size_t> b = char_boundaries(text);
    const std::size_t n = b.size() - 1;
    for (std::size_t end = 1; end <= n; ++end) {
      SuffixSegmenter search(index, text, b, end, 0, o, include_direct);
      SharedSegmentReader kept(how, budget);
      for (std::size_t from = end; from-- > 0;) {
        const auto paths = search.kept_from(from);
        ASSERT_TRUE(paths.has_value());
        RomajiLatticeBuilder alone_builder(true), kept_builder(true);
        const std::optional<bool> alone = add_paths_by_shared_segments(alone_builder, paths->paths(), how, budget);
        const std::optional<bool> got = kept.add_paths(kept_builder, *paths);
        ASSERT_EQ(got, alone) << text << " from " << from << " to " << end;
        ASSERT_EQ(lattice_of(kept_builder), lattice_of(alone_builder)) << text << " from " << from << " to " << end;
        shared_answers += got.has_value() && *got ? 1 : 0;
        refused += got.has_value() ? 0 : 1;
      }
    }
  }
  EXPECT_GT(shared_answers, 1000);
  EXPECT_GT(refused, 20);
}

}  // namespace
}  // namespace orvel::ja
