#include "metrics/partial_spans.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <tuple>
#include <vector>

namespace orvel {
namespace {

using SpanTuple = std::tuple<std::string, std::uint64_t, std::uint64_t>;

std::vector<SpanTuple> all_spans(std::string_view text, std::uint64_t limit, bool query_is_empty) {
  std::vector<SpanTuple> out;
  auto it = text_spans(text, limit, query_is_empty);
  while (auto span = it.next()) out.emplace_back(std::string(span->slice), span->start, span->end);
  // Exhausted iterators stay exhausted.
  EXPECT_FALSE(it.next().has_value());
  return out;
}

TEST(TextSpans, OrdersByStartThenEndWithinTheLimit) {
  const std::vector<SpanTuple> expected = {
      {"a", 0, 1}, {"ab", 0, 2}, {"b", 1, 2}, {"bc", 1, 3}, {"c", 2, 3},
  };
  EXPECT_EQ(all_spans("abc", 2, false), expected);
}

TEST(TextSpans, SlicesMultibyteCharactersByScalarValue) {
  // é is two bytes, 東 three, 😀 four: slices and indices stay on characters.
  const std::vector<SpanTuple> expected = {
      {"é", 0, 1}, {"é東", 0, 2}, {"東", 1, 2}, {"東😀", 1, 3}, {"😀", 2, 3},
  };
  EXPECT_EQ(all_spans("é東😀", 2, false), expected);
}

TEST(TextSpans, HugeLimitAndLimitOfTextLengthEnumerateEverySubstring) {
  const auto unlimited = all_spans("wxyz", std::numeric_limits<std::uint64_t>::max(), false);
  EXPECT_EQ(unlimited, all_spans("wxyz", 4, false));
  EXPECT_EQ(unlimited.size(), 10u);  // 4 + 3 + 2 + 1
  EXPECT_EQ(unlimited.back(), SpanTuple("z", 3, 4));
}

TEST(TextSpans, SingleEmptySpanModeYieldsOneEmptySpan) {
  const std::vector<SpanTuple> only_empty = {{"", 0, 0}};
  EXPECT_EQ(all_spans("abc", 3, true), only_empty);   // empty query
  EXPECT_EQ(all_spans("abc", 0, false), only_empty);  // limit 0
  EXPECT_EQ(all_spans("", 5, false), only_empty);     // empty text
}

TEST(TextSpans, SpanCountIsSumOfClampedLengths) {
  auto it = text_spans("abcdefg", 3, false);
  std::uint64_t count = 0;
  while (it.next()) ++count;
  EXPECT_EQ(count, 3u * 5 + 2 + 1);  // starts 0..4 have 3 ends, then 2, then 1
}

}  // namespace
}  // namespace orvel
