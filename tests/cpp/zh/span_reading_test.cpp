// Spans of one text read with one path search per end and kind, against each
// span read as a text of its own.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "../support/lattice_strings.hpp"
#include "../support/random_text.hpp"
#include "../support/span_order.hpp"
#include "text/utf8.hpp"
#include "zh/pinyin_reading_paths.hpp"
#include "zh/zh_query.hpp"
#include "zh_test_support.hpp"

namespace orvel::zh {
namespace {

using testing::data_path;

const CedictReadingIndex& small() {
  static const CedictReadingIndex index =
      *CedictReadingIndex::from_artifact_payload_path(data_path("cedict/small-tone3.yaml"));
  return index;
}

// Indexed words, characters without an entry, and typed pinyin with its
// awkward parts: tone digits, "u:" pairs, colons, spaces and punctuation
// (a stretch of spaces reads as nothing).
const std::vector<std::string> kPieces = {"北京", "北", "京", "重", "庆", "长", "城", "银", "行", "大", "学",
                                          "中", "国", "好", "你", "乐", "音", "猫", "bei", "3", "jing",
                                          "nu", ":", "u:", "lu:4", " ", "  ", "·", "。", "-"};

std::string random_text(std::mt19937& rng, int max_pieces) {
  return test_support::random_text(rng, kPieces, max_pieces);
}

DictionaryOptions random_options(std::mt19937& rng) {
  DictionaryOptions o;
  switch (rng() % 6) {
    case 0:
      o.max_span_chars = 2;
      o.max_paths = 3;
      break;
    case 1:
      o.max_readings_per_segment = 1;
      break;
    case 2:
      o.max_paths = 5;
      o.longest_only = true;
      break;
    case 3:
      o.max_span_chars = 1;
      break;
    case 4:
      o.max_paths = 0;
      break;
    default:
      break;
  }
  return o;
}

std::string outcome(const std::expected<ReadingLattice, CnLatticeError>& read) {
  if (!read) return "error: " + read.error().message();
  std::string out = read->also_empty ? "also empty:" : "";
  for (const std::string& s : test_support::spelt_strings<std::set<std::string>>(read->lattice)) {
    out += " [" + s + "]";
  }
  return out;
}

// In the order of a best-span search (ends ascending, starts descending),
// in a shuffled order, and with widths that leave the starts of an end to
// several searches.
TEST(SpanPinyinReader, ReadsEachSpanAsItsOwnText) {
  std::mt19937 rng(2012);
  for (int round = 0; round < 500; ++round) {
    const std::string text = random_text(rng, 8);
    const DictionaryOptions o = random_options(rng);
    const std::vector<std::size_t> b = text::char_boundaries(text);
    const std::size_t n = b.size() - 1;
    const std::uint64_t width = round % 3 == 0 ? 3 : 100;
    std::vector<std::pair<std::size_t, std::size_t>> spans = test_support::spans_in_search_order(n, width);
    if (round % 4 == 1) std::shuffle(spans.begin(), spans.end(), rng);
    SpanPinyinReader reader(small(), text, o, width);
    for (const auto& [start, end] : spans) {
      const std::string span = text.substr(b[start], b[end] - b[start]);
      ASSERT_EQ(outcome(reader.read(start, end)), outcome(zh_or_direct_pinyin_lattice(span, small(), o)))
          << "[" << span << "] in [" << text << "]";
    }
  }
}

TEST(SpanPinyinReader, OptionLimitsFailEverySpan) {
  DictionaryOptions o;
  o.max_paths = 16385;
  const std::string text = "北京bei";
  SpanPinyinReader reader(small(), text, o, 5);
  for (std::size_t end = 1; end <= 5; ++end) {
    for (std::size_t start = end; start-- > 0;) {
      const auto got = reader.read(start, end);
      ASSERT_FALSE(got.has_value());
      EXPECT_EQ(got.error().message(), "zh artifact max_paths length/count 16385 exceeds limit 16384");
    }
  }
}

// The paths of every suffix, read from one search, spell what the search of
// that suffix alone finds: from the path sets, from the path nodes once the
// sets' budget is spent (at once, or part way through), and in a text of one
// character with many readings, whose positions keep as many paths as the
// options allow.
TEST(PinyinSuffixSearch, EverySuffixAsItsOwnText) {
  std::mt19937 rng(77);
  for (int round = 0; round < 400; ++round) {
    const std::string text = round % 10 == 9 ? std::string("长长长行行长长长") : random_text(rng, 8);
    const DictionaryOptions o = random_options(rng);
    const bool hybrid = round % 2 == 1;
    const std::uint64_t budget = std::vector<std::uint64_t>{kPinyinPathSetBudget, 0, 40}[round % 3];
    const std::vector<std::size_t> b = text::char_boundaries(text);
    PinyinSuffixSearch search(small(), text, o, hybrid, budget);
    for (std::size_t from = b.size() - 1; from-- > 0;) {
      const std::string suffix = text.substr(b[from]);
      const auto alone = PinyinPathSearch::run(small(), suffix, o, hybrid);
      ASSERT_TRUE(alone.has_value());
      std::set<std::string> expected;
      for (std::size_t k = 0; k < alone->size(); ++k) expected.insert(alone->reading(k));
      const auto got = search.readings_from(from);
      ASSERT_TRUE(got.has_value());
      std::set<std::string> spelt;
      if (*got) {
        spelt = test_support::spelt_strings<std::set<std::string>>((*got)->lattice);
        if ((*got)->also_empty) spelt.insert("");
      }
      EXPECT_EQ(spelt, expected) << "[" << suffix << "] in [" << text << "]";
    }
  }
}

}  // namespace
}  // namespace orvel::zh
