#include "zh/pinyin_reading_paths.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <set>

#include "text/utf8.hpp"
#include "zh/pinyin.hpp"
#include "zh_test_support.hpp"

namespace orvel::zh {
namespace {

using testing::Entries;
using testing::indexed_copy;
using testing::map_index;

DictionaryOptions options(std::uint64_t span = 8, std::uint64_t max_paths = 1024, bool longest_only = false,
                          std::optional<std::uint64_t> per_segment = std::nullopt) {
  DictionaryOptions o;
  o.max_span_chars = span;
  o.max_paths = max_paths;
  o.longest_only = longest_only;
  o.max_readings_per_segment = per_segment;
  return o;
}

std::vector<PinyinReadingPath> paths(const CedictReadingIndex& index, std::string_view text,
                                     const DictionaryOptions& o, bool hybrid = false) {
  auto result = index.reading_paths_with_stats_inner(text, o, hybrid);
  EXPECT_TRUE(result.has_value()) << result.error().message();
  return result ? *result : std::vector<PinyinReadingPath>{};
}

std::vector<std::string> readings(const std::vector<PinyinReadingPath>& ps) {
  std::vector<std::string> out;
  for (const auto& p : ps) out.push_back(p.reading);
  return out;
}

PinyinReadingSegment dict(std::string surface, std::string reading) { return {std::move(surface), std::move(reading), false}; }
PinyinReadingSegment typed(std::string surface, std::string reading) { return {std::move(surface), std::move(reading), true}; }

const Entries kEntries = {
    {"中", {"zhong1", "zhong4"}}, {"国", {"guo2"}},   {"中国", {"zhong1guo2"}}, {"行", {"hang2", "heng2", "xing2"}},
    {"银", {"yin2"}},             {"银行", {"yin2hang2"}}, {"吗", {"ma2", "ma3", "ma5"}}, {"你", {"ni3"}},
    {"好", {"hao3", "hao4"}},     {"你好", {"ni3hao3"}},  {"乐", {"le4", "yue4", "lao4"}},
};

TEST(PinyinReadingPaths, NothingWithoutSpanPathsOrText) {
  const auto index = map_index(kEntries);
  EXPECT_TRUE(paths(index, "中国", options(0)).empty());
  EXPECT_TRUE(paths(index, "中国", options(8, 0)).empty());
  EXPECT_TRUE(paths(index, "", options()).empty());
  // A character in no surface and outside the typed-pinyin set.
  EXPECT_TRUE(paths(index, "中犬", options()).empty());
  EXPECT_TRUE(paths(index, "中犬", options(), true).empty());
}

TEST(PinyinReadingPaths, SplitAndWholeWordPathsInReadingOrder) {
  const auto index = map_index(kEntries);
  const auto all = paths(index, "中国", options());
  EXPECT_EQ(readings(all), (std::vector<std::string>{"zhong1guo2", "zhong4guo2"}));
  // zhong1guo2 comes from the split (shorter first segment) and the whole word:
  // the split is generated first and stays.
  EXPECT_EQ(all[0].segments, (std::vector{dict("中", "zhong1"), dict("国", "guo2")}));
  EXPECT_EQ(all[1].segments, (std::vector{dict("中", "zhong4"), dict("国", "guo2")}));

  const auto longest = paths(index, "中国", options(8, 1024, true));
  ASSERT_EQ(longest.size(), 1u);
  EXPECT_EQ(longest[0].segments, (std::vector{dict("中国", "zhong1guo2")}));
}

TEST(PinyinReadingPaths, ReadingsPerSegmentAndPathCap) {
  const auto index = map_index(kEntries);
  EXPECT_EQ(readings(paths(index, "行", options())), (std::vector<std::string>{"hang2", "heng2", "xing2"}));
  EXPECT_EQ(readings(paths(index, "行", options(8, 1024, false, 1))), (std::vector<std::string>{"hang2"}));
  EXPECT_TRUE(paths(index, "行", options(8, 1024, false, 0)).empty());
  // With max_paths 1 the first generated path wins, not the smallest reading.
  EXPECT_EQ(readings(paths(index, "乐", options(8, 1))), (std::vector<std::string>{"le4"}));
  EXPECT_EQ(readings(paths(index, "行乐", options(8, 1))), (std::vector<std::string>{"hang2le4"}));
  const auto capped = paths(index, "吗吗吗", options(8, 2));
  EXPECT_EQ(readings(capped), (std::vector<std::string>{"ma2ma2ma2", "ma2ma2ma3"}));
}

TEST(PinyinReadingPaths, HybridTypedPinyinSegment) {
  const auto index = map_index(kEntries);
  EXPECT_TRUE(paths(index, "你好ma", options()).empty());
  const auto hybrid = paths(index, "你好 Ma", options(), true);
  ASSERT_EQ(hybrid.size(), 2u);
  EXPECT_EQ(hybrid[0].reading, "ni3hao3ma");
  EXPECT_EQ(hybrid[0].segments, (std::vector{dict("你", "ni3"), dict("好", "hao3"), typed(" Ma", "ma")}));
  EXPECT_EQ(hybrid[1].reading, "ni3hao4ma");

  // The run is one segment however long, and is not bounded by the span.
  const std::string run(300, 'a');
  const auto long_run = paths(index, "中" + run, options(8), true);
  ASSERT_EQ(long_run.size(), 2u);
  EXPECT_EQ(long_run[0].segments, (std::vector{dict("中", "zhong1"), typed(run, run)}));

  // Typed pinyin between Chinese characters; its "u:" spans a space.
  const auto middle = paths(index, "中 Nu :3国", options(), true);
  ASSERT_EQ(middle.size(), 2u);
  EXPECT_EQ(middle[0].segments, (std::vector{dict("中", "zhong1"), typed(" Nu :3", "nv3"), dict("国", "guo2")}));
}

TEST(PinyinReadingPaths, LongestOnlyHoldsInTheHybridFormToo) {
  const auto index = map_index(kEntries);
  // From position 0 only 银行 is used; 银 + 行 paths are gone.
  const auto hybrid = paths(index, "银行ma", options(8, 1024, true), true);
  EXPECT_EQ(readings(hybrid), (std::vector<std::string>{"yin2hang2ma"}));
}

TEST(PinyinReadingPaths, IndexedFormGivesTheSamePaths) {
  const auto map = map_index(kEntries);
  const auto indexed = indexed_copy(map);
  for (const std::string text : {"中国", "银行吗", "你好ma", "行行行", "中 Nu :3国"}) {
    for (const bool hybrid : {false, true}) {
      EXPECT_EQ(paths(map, text, options(), hybrid), paths(indexed, text, options(), hybrid)) << text;
    }
  }
}

TEST(PinyinReadingPaths, OptionLimitsAreCheckedInOrder) {
  const auto index = map_index(kEntries);
  auto fail = [&](DictionaryOptions o) { return index.reading_paths_with_stats_inner("中", o, false).error().message(); };
  EXPECT_EQ(fail(options(257, 20000)), "zh artifact max_span_chars length/count 257 exceeds limit 256");
  EXPECT_EQ(fail(options(8, 16385, false, 300)), "zh artifact max_paths length/count 16385 exceeds limit 16384");
  EXPECT_EQ(fail(options(8, 16, false, 257)), "zh artifact max_readings_per_segment length/count 257 exceeds limit 256");
  EXPECT_TRUE(index.reading_paths_with_stats_inner("中", options(256, 16384, false, 256), false).has_value());
}

// Reference: every segmentation in generation order, the first one per
// joined reading kept; no cap.
std::map<std::string, std::vector<PinyinReadingSegment>> reference(const Entries& entries, const std::u32string& text,
                                                                    std::size_t span, bool longest_only, bool hybrid,
                                                                    std::optional<std::size_t> per_segment) {
  std::map<std::string, std::vector<std::string>> dict_map(entries.begin(), entries.end());
  const std::size_t n = text.size();
  std::vector<std::map<std::string, std::vector<PinyinReadingSegment>>> at(n + 1);
  at[n][""] = {};
  for (std::size_t i = n; i-- > 0;) {
    std::vector<std::pair<std::size_t, std::vector<std::string>>> candidates;
    for (std::size_t j = i + 1; j <= std::min(i + span, n); ++j) {
      const auto it = dict_map.find(text::encode_utf8(text.substr(i, j - i)));
      if (it != dict_map.end() && !at[j].empty()) candidates.push_back({j, it->second});
    }
    if (longest_only && !candidates.empty()) candidates.erase(candidates.begin(), candidates.end() - 1);
    for (const auto& [j, rs] : candidates) {
      const std::size_t k = per_segment ? std::min(*per_segment, rs.size()) : rs.size();
      for (std::size_t r = 0; r < k; ++r) {
        for (const auto& [tail, segments] : at[j]) {
          std::vector<PinyinReadingSegment> s{dict(text::encode_utf8(text.substr(i, j - i)), rs[r])};
          s.insert(s.end(), segments.begin(), segments.end());
          at[i].emplace(rs[r] + tail, std::move(s));
        }
      }
    }
    if (hybrid) {
      std::size_t e = i;
      while (e < n && is_direct_pinyin_char(text[e])) ++e;
      if (e > i && !at[e].empty()) {
        const std::string surface = text::encode_utf8(text.substr(i, e - i));
        const std::string r = normalize_direct_pinyin_input(surface);
        for (const auto& [tail, segments] : at[e]) {
          std::vector<PinyinReadingSegment> s{typed(surface, r)};
          s.insert(s.end(), segments.begin(), segments.end());
          at[i].emplace(r + tail, std::move(s));
        }
      }
    }
  }
  return at[0];
}

TEST(PinyinReadingPaths, MatchesReferenceOnRandomIndexesAndTexts) {
  // Surfaces over a small alphabet with short, overlapping readings, so that
  // many segmentations collide on one joined reading.
  const std::u32string alphabet = U"甲乙丙丁a:u U";
  const std::vector<std::string> syllables = {"a", "ab", "b", "ba", "u", "v", "a1", ":"};
  std::mt19937 rng(20261210);
  for (int round = 0; round < 400; ++round) {
    Entries entries;
    std::set<std::string> surfaces;
    auto readings_for = [&] {
      std::set<std::string> seen;
      std::vector<std::string> out;
      const int reading_count = 1 + static_cast<int>(rng() % 3);
      for (int r = 0; r < reading_count; ++r) {
        std::string reading = syllables[rng() % syllables.size()];
        if (rng() % 2) reading += syllables[rng() % syllables.size()];
        if (normalize_artifact_reading(reading, true) == reading && seen.insert(reading).second) out.push_back(reading);
      }
      return out;
    };
    auto add = [&](const std::u32string& surface) {
      if (!surfaces.insert(text::encode_utf8(surface)).second) return;
      auto rs = readings_for();
      if (!rs.empty()) entries.push_back({text::encode_utf8(surface), rs});
    };
    for (std::size_t c = 0; c < 3; ++c) {
      if (rng() % 5 != 0) add(alphabet.substr(c, 1));
    }
    const int longer = static_cast<int>(rng() % 6);
    for (int s = 0; s < longer; ++s) {
      std::u32string surface;
      const int len = 2 + static_cast<int>(rng() % 2);
      for (int c = 0; c < len; ++c) surface.push_back(alphabet[rng() % 3]);
      add(surface);
    }
    if (entries.empty()) continue;
    const auto map = map_index(entries);
    const auto indexed = indexed_copy(map);
    std::u32string text;
    // Every fifth text is long and mostly typed pinyin, so that runs end
    // beyond the span and position lists are released while still needed
    // as run ends.
    const bool long_text = round % 5 == 0;
    const int text_len = long_text ? 12 + static_cast<int>(rng() % 24) : 1 + static_cast<int>(rng() % 9);
    for (int c = 0; c < text_len; ++c) {
      const bool typed_char = long_text ? rng() % 6 != 0 : rng() % 4 == 0;
      text.push_back(alphabet[typed_char ? 3 + rng() % 6 : rng() % 3]);
    }
    const std::string utf8 = text::encode_utf8(text);
    const std::size_t span = 1 + rng() % 4;
    const bool longest_only = rng() % 4 == 0;
    const bool hybrid = rng() % 2 == 0;
    const std::optional<std::size_t> per_segment =
        rng() % 3 == 0 ? std::optional<std::size_t>(rng() % 3) : std::nullopt;
    const auto expected = reference(entries, text, span, longest_only, hybrid, per_segment);

    DictionaryOptions o = options(span, 16384, longest_only, per_segment);
    const auto got = paths(map, utf8, o, hybrid);
    ASSERT_EQ(got.size(), expected.size()) << utf8;
    std::size_t k = 0;
    for (const auto& [reading, segments] : expected) {
      EXPECT_EQ(got[k].reading, reading) << utf8;
      EXPECT_EQ(got[k].segments, segments) << utf8 << " " << reading;
      ++k;
    }
    EXPECT_EQ(paths(indexed, utf8, o, hybrid), got) << utf8;

    // A cap keeps a sorted, distinct subset of the uncapped result.
    o.max_paths = 1 + rng() % 3;
    const auto capped = paths(map, utf8, o, hybrid);
    EXPECT_LE(capped.size(), o.max_paths);
    EXPECT_TRUE(std::is_sorted(capped.begin(), capped.end(),
                               [](const auto& a, const auto& b) { return a.reading < b.reading; }));
    for (std::size_t c = 1; c < capped.size(); ++c) EXPECT_NE(capped[c - 1].reading, capped[c].reading);
    for (const auto& p : capped) {
      std::string joined;
      std::string covered;
      for (const auto& s : p.segments) {
        joined += s.reading;
        covered += s.surface;
      }
      EXPECT_EQ(joined, p.reading);
      EXPECT_EQ(covered, utf8);
      EXPECT_TRUE(expected.contains(p.reading)) << utf8 << " " << p.reading;
    }
  }
}

}  // namespace
}  // namespace orvel::zh
