#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>
#include <vector>

#include "ja/romaji_expansion.hpp"
#include "ja/segmentation.hpp"
#include "ja/unidic_reading_index.hpp"
#include "romaji_test_support.hpp"
#include "segmentation_test_support.hpp"
#include "text/utf8.hpp"

namespace orvel::ja {
namespace {

using testing::describe;
using testing::make_index;
using testing::options;
using Strings = std::vector<std::string>;

Strings paths_of(const UnidicReadingIndex& index, std::string_view text, const DictionaryOptions& o,
                 bool include_direct) {
  auto paths = reading_paths_with_stats_inner(index, text, o, include_direct);
  EXPECT_TRUE(paths.has_value()) << paths.error().message();
  return paths ? describe(*paths) : Strings{};
}

TEST(DictionaryOptionsCheck, FirstViolatedLimitInOrder) {
  const UnidicReadingIndex index = make_index({{"東", {"トウ"}}});
  const std::pair<DictionaryOptions, const char*> cases[] = {
      {options(257), "UniDic artifact max_span_chars length/count 257 exceeds limit 256"},
      {options(8, 16385), "UniDic artifact max_paths length/count 16385 exceeds limit 16384"},
      {options(8, 1024, 257), "UniDic artifact max_readings_per_segment length/count 257 exceeds limit 256"},
      {options(300, 20000), "UniDic artifact max_span_chars length/count 300 exceeds limit 256"},
      {options(8, 20000, 300), "UniDic artifact max_paths length/count 20000 exceeds limit 16384"},
  };
  for (const auto& [o, message] : cases) {
    SCOPED_TRACE(message);
    auto checked = validate_dictionary_options(o);
    ASSERT_FALSE(checked.has_value());
    EXPECT_EQ(checked.error(), JaLatticeError::dictionary(message));
    // The searches check too, before anything else (even for the empty text).
    for (bool include_direct : {false, true}) {
      EXPECT_EQ(reading_paths_with_stats_inner(index, "", o, include_direct).error().message(), message);
      EXPECT_EQ(reading_sequences_with_stats_inner(index, "東", o, include_direct).error().message(), message);
    }
  }
  for (const DictionaryOptions& ok : {options(256, 16384, 256), options(0, 0, 0)}) {
    auto checked = validate_dictionary_options(ok);
    ASSERT_TRUE(checked.has_value());
    EXPECT_EQ(*checked, ok);
  }
}

TEST(DictionarySegmentation, NothingToSearch) {
  const UnidicReadingIndex index = make_index({{"かな", {"カナ"}}});
  for (bool include_direct : {false, true}) {
    EXPECT_EQ(paths_of(index, "", options(), include_direct), Strings{});
    EXPECT_EQ(paths_of(index, "かな", options(0), include_direct), Strings{});
    EXPECT_EQ(paths_of(index, "かな", options(8, 0), include_direct), Strings{});
  }
}

TEST(DictionarySegmentation, FirstInsertionOfAReadingWins) {
  // 東+京 and 東京 both read トウキョウ; the shorter first span is tried first.
  const UnidicReadingIndex index =
      make_index({{"東", {"トウ", "ヒガシ"}}, {"京", {"キョウ", "ケイ"}}, {"東京", {"トウキョウ"}}});
  EXPECT_EQ(paths_of(index, "東京", options(), false),
            (Strings{"東/トウ+京/キョウ", "東/トウ+京/ケイ", "東/ヒガシ+京/キョウ", "東/ヒガシ+京/ケイ"}));
  auto sequences = reading_sequences_with_stats_inner(index, "東京", options(), false);
  EXPECT_EQ(*sequences, (Strings{"トウキョウ", "トウケイ", "ヒガシキョウ", "ヒガシケイ"}));
}

TEST(DictionarySegmentation, CapFollowsInsertionOrderNotByteOrder) {
  // Readings in stored order: ヒガシ before トウ. With two paths per position
  // the survivors are the first two inserted, not the first two by bytes.
  const UnidicReadingIndex index = make_index({{"東", {"ヒガシ", "トウ"}}, {"京", {"キョウ", "ケイ"}}});
  EXPECT_EQ(paths_of(index, "東京", options(8, 2), false), (Strings{"東/ヒガシ+京/キョウ", "東/ヒガシ+京/ケイ"}));
  EXPECT_EQ(paths_of(index, "東京", options(8, 1), false), (Strings{"東/ヒガシ+京/キョウ"}));
}

TEST(DictionarySegmentation, ReadingsPerSegment) {
  const UnidicReadingIndex index = make_index({{"東", {"ヒガシ", "トウ"}}, {"かな", {"カナ"}}});
  EXPECT_EQ(paths_of(index, "東", options(8, 1024, 1), false), (Strings{"東/ヒガシ"}));
  EXPECT_EQ(paths_of(index, "東", options(8, 1024, 0), false), Strings{});
  // Only direct stretches remain.
  EXPECT_EQ(paths_of(index, "かな", options(8, 1024, 0), true), (Strings{"かな/かな*"}));
  EXPECT_EQ(paths_of(index, "東かな", options(8, 1024, 0), true), Strings{});
}

TEST(DictionarySegmentation, LongestOnly) {
  const UnidicReadingIndex index =
      make_index({{"東", {"トウ", "ヒガシ"}}, {"京", {"キョウ", "ケイ"}}, {"東京", {"トウキョウ"}}});
  EXPECT_EQ(paths_of(index, "東京", options(8, 1024, std::nullopt, true), false), (Strings{"東京/トウキョウ"}));
  // With direct stretches every span counts.
  EXPECT_EQ(paths_of(index, "東京", options(8, 1024, std::nullopt, true), true).size(), 4u);
}

TEST(DictionarySegmentation, DirectStretches) {
  const UnidicReadingIndex word = make_index({{"東", {"トウ"}}});
  // The rest after an indexed word; the stretch may pass max_span_chars.
  EXPECT_EQ(paths_of(word, "東かなかなかな", options(2), false), Strings{});
  EXPECT_EQ(paths_of(word, "東かなかなかな", options(2), true), (Strings{"東/トウ+かなかなかな/かなかなかな*"}));
  const UnidicReadingIndex index = make_index({{"東", {"トウ"}}, {"かな", {"カナ"}}});
  // A direct stretch is the longest readable run, never a part of it.
  EXPECT_EQ(paths_of(index, "かな", options(), true), (Strings{"かな/かな*", "かな/カナ"}));
  // Nothing covers ゐ.
  EXPECT_EQ(paths_of(index, "東ゐ", options(), true), Strings{});
  EXPECT_EQ(paths_of(index, "ab東", options(), true), (Strings{"ab/ab*+東/トウ"}));
}

TEST(DictionarySegmentation, WidthNormalisedLookupKeepsTypedSurface) {
  const UnidicReadingIndex index = make_index({{"ABC", {"エービーシー"}}, {"A B", {"エービー"}}});
  EXPECT_EQ(paths_of(index, "ＡＢＣ", options(), false), (Strings{"ＡＢＣ/エービーシー"}));
  EXPECT_EQ(paths_of(index, "Ａ\u3000Ｂ", options(), false), (Strings{"Ａ\u3000Ｂ/エービー"}));
}

TEST(DictionaryReadingPath, FromSegments) {
  const DictionaryReadingPath path({{"東", "トウ", false}, {"かな", "かな", true}});
  EXPECT_EQ(path.reading(), "トウかな");
  EXPECT_EQ(path.segment_count(), 2u);
  EXPECT_EQ(describe(path), "東/トウ+かな/かな*");
  EXPECT_EQ(DictionaryReadingPath().reading(), "");
}

// A path is a chain of links, each in a block owning the block after it.
// Releasing a chain as long as a long text must not recurse once per link
// (that overflowed the stack at about 200,000 characters).
TEST(DictionaryReadingPath, LongChainsAreReleasedWithoutDeepRecursion) {
  constexpr std::size_t kLinks = 300000;
  {
    std::vector<DictionaryReadingSegment> segments(kLinks, DictionaryReadingSegment{"東", "トウ", false});
    const DictionaryReadingPath path(std::move(segments));
    EXPECT_EQ(path.segment_count(), kLinks);
    EXPECT_EQ(path.head()->chars, 2 * kLinks);
  }
  const UnidicReadingIndex index = make_index({{"東", {"トウ"}}});
  std::string text;
  for (std::size_t i = 0; i < kLinks; ++i) text += "東";
  auto paths = reading_paths_with_stats_inner(index, text, options(), false);
  ASSERT_TRUE(paths.has_value());
  ASSERT_EQ(paths->size(), 1u);
  EXPECT_EQ(paths->front().head()->chars, 2 * kLinks);
  paths->clear();
}

// Each link knows the reading characters from it to the end of its chain.
TEST(DictionarySegmentation, LinksCountTheReadingCharactersToTheEnd) {
  const UnidicReadingIndex index =
      make_index({{"東", {"トウ", "ヒガシ"}}, {"京", {"キョウ", "ケイ"}}, {"東京", {"トウキョウ"}}});
  auto paths = reading_paths_with_stats_inner(index, "東京東", options(), false);
  ASSERT_TRUE(paths.has_value());
  ASSERT_FALSE(paths->empty());
  for (const DictionaryReadingPath& path : *paths) {
    for (const detail::DictionaryPathNode* node = path.head(); node != nullptr; node = node->next) {
      std::string rest;
      for (const detail::DictionaryPathNode* n = node; n != nullptr; n = n->next) {
        if (n->segment) rest += n->segment->reading;
      }
      EXPECT_EQ(node->chars, orvel::text::count_scalars(rest)) << path.reading();
    }
  }
}

// ---- The programme as stated, with whole strings and copied segment lists ----

struct ReferencePath {
  std::vector<DictionaryReadingSegment> segments;
};

std::optional<std::size_t> reference_direct_fallback_end(std::string_view text, const std::vector<std::size_t>& b,
                                                         std::size_t start, std::size_t end) {
  std::size_t i = start;
  while (i < end && can_build_direct_romaji_path(text.substr(b[start], b[i + 1] - b[start]))) ++i;
  if (i > start) return i;
  return std::nullopt;
}

std::vector<std::string> reference_paths(const UnidicReadingIndex& index, std::string_view text,
                                         const DictionaryOptions& o, bool include_direct) {
  const std::vector<std::size_t> b = char_boundaries(text);
  const std::size_t n = b.size() - 1;
  if (o.max_span_chars == 0 || text.empty() || o.max_paths == 0) return {};
  std::vector<std::map<std::string, ReferencePath>> entries(n + 1);
  entries[n][""] = ReferencePath{};
  for (std::size_t v = n; v-- > 0;) {
    auto& entry = entries[v];
    std::vector<std::pair<std::size_t, std::vector<std::string>>> candidates;
    for (std::size_t e = v + 1; e <= std::min<std::size_t>(v + o.max_span_chars, n); ++e) {
      if (entries[e].empty()) continue;
      auto found = index.try_readings(text.substr(b[v], b[e] - b[v]));
      if (*found) candidates.emplace_back(e, (**found).list());
    }
    if (o.longest_only && !include_direct && !candidates.empty()) candidates.erase(candidates.begin(), candidates.end() - 1);
    bool stop = false;
    for (const auto& [e, readings] : candidates) {
      const std::size_t used = o.max_readings_per_segment ? std::min<std::size_t>(readings.size(), *o.max_readings_per_segment) : readings.size();
      for (std::size_t r = 0; r < used && !stop; ++r) {
        for (const auto& [key, tail] : entries[e]) {
          ReferencePath path;
          path.segments.push_back({std::string(text.substr(b[v], b[e] - b[v])), readings[r], false});
          path.segments.insert(path.segments.end(), tail.segments.begin(), tail.segments.end());
          entry.try_emplace(readings[r] + key, std::move(path));
          if (entry.size() >= o.max_paths) { stop = true; break; }
        }
      }
      if (stop) break;
    }
    if (include_direct && entry.size() < o.max_paths) {
      auto d = reference_direct_fallback_end(text, b, v, n);
      if (d && !entries[*d].empty()) {
        const std::string surface(text.substr(b[v], b[*d] - b[v]));
        for (const auto& [key, tail] : entries[*d]) {
          ReferencePath path;
          path.segments.push_back({surface, surface, true});
          path.segments.insert(path.segments.end(), tail.segments.begin(), tail.segments.end());
          entry.try_emplace(surface + key, std::move(path));
          if (entry.size() >= o.max_paths) break;
        }
      }
    }
  }
  std::vector<std::string> out;
  for (const auto& [key, path] : entries[0]) out.push_back(describe(DictionaryReadingPath(path.segments)));
  return out;
}

std::string random_text(std::mt19937& rng, const std::vector<std::string>& alphabet, std::size_t max_len) {
  std::uniform_int_distribution<std::size_t> len(0, max_len);
  std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
  std::string s;
  for (std::size_t k = len(rng); k > 0; --k) s += alphabet[pick(rng)];
  return s;
}

TEST(DictionarySegmentation, MatchesTheLiteralProgrammeOnRandomTexts) {
  // Words overlap and share readings so that keys collide across
  // segmentations, the cap bites and direct stretches meet words.
  const UnidicReadingIndex index = make_index({
      {"東", {"トウ", "ヒガシ", "ト"}},
      {"京", {"キョウ", "ウキョウ"}},
      {"東京", {"トウキョウ", "トウケイ"}},
      {"都", {"ト", "ミヤコ"}},
      {"京都", {"キョウト"}},
      {"か", {"カ"}},
      {"かな", {"カナ", "かな"}},
      {"な東", {"ナヒガシ"}},
      {"ab", {"エービー"}},
      {"ー", {"ー"}},
  });
  const std::vector<std::string> alphabet = {"東", "京", "都", "か", "な", "a", "b", "ゐ", "ー", "。", "漢"};
  std::mt19937 rng(20261210);
  for (int round = 0; round < 4000; ++round) {
    const std::string text = random_text(rng, alphabet, 12);
    const DictionaryOptions o =
        options(std::uniform_int_distribution<int>(0, 4)(rng), std::uniform_int_distribution<int>(0, 9)(rng),
                round % 4 == 0 ? std::optional<std::uint64_t>(round % 3) : std::nullopt, round % 5 == 0);
    for (bool include_direct : {false, true}) {
      SCOPED_TRACE(text + " span " + std::to_string(o.max_span_chars) + " paths " + std::to_string(o.max_paths) +
                   (include_direct ? " direct" : ""));
      const Strings expected = reference_paths(index, text, o, include_direct);
      ASSERT_EQ(paths_of(index, text, o, include_direct), expected);
      Strings readings;
      const auto paths = reading_paths_with_stats_inner(index, text, o, include_direct);
      for (const auto& p : *paths) readings.push_back(p.reading());
      ASSERT_EQ(*reading_sequences_with_stats_inner(index, text, o, include_direct), readings);
    }
  }
}

TEST(DirectFallbackEnd, MatchesPrefixByPrefixTest) {
  const std::vector<std::string> alphabet = {"か", "キ", "ゃ", "ャ", "ゐ", "ー", "a", " ", "。", "東", "\u3099", "ｶ", "っ"};
  std::mt19937 rng(7);
  for (int round = 0; round < 2000; ++round) {
    const std::string text = random_text(rng, alphabet, 12);
    const std::vector<std::size_t> b = char_boundaries(text);
    const std::size_t n = b.size() - 1;
    for (std::size_t start = 0; start <= n; ++start) {
      for (std::size_t end = start; end <= n; ++end) {
        ASSERT_EQ(direct_fallback_end(text, b, start, end), reference_direct_fallback_end(text, b, start, end))
            << text << " " << start << " " << end;
      }
    }
  }
}

TEST(DictionarySegmentation, LongTextWithManyPathsPerPosition) {
  // 1,000 characters, each with two readings and every pair a word of its
  // own: every position keeps the full 16,384 paths.
  const UnidicReadingIndex index = make_index({{"か", {"カ", "ガ"}}, {"き", {"キ", "ギ"}}, {"かき", {"カキ", "ケ"}}});
  std::string text;
  for (int k = 0; k < 500; ++k) text += "かき";
  auto paths = reading_paths_with_stats_inner(index, text, options(8, 16384), true);
  ASSERT_TRUE(paths.has_value());
  EXPECT_EQ(paths->size(), 16384u);
  EXPECT_EQ(text::count_scalars(paths->front().reading()) <= 1000, true);
  EXPECT_TRUE(std::is_sorted(paths->begin(), paths->end(),
                             [](const auto& a, const auto& b) { return a.reading() < b.reading(); }));
}

}  // namespace
}  // namespace orvel::ja
