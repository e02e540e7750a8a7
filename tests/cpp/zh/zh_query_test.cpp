#include "zh/zh_query.hpp"
#include "../support/lattice_strings.hpp"

#include <gtest/gtest.h>

#include <set>

#include "text/utf8.hpp"
#include "zh_test_support.hpp"

namespace orvel::zh {
namespace {

using testing::data_path;

const CedictReadingIndex& small(bool tone3) {
  static const CedictReadingIndex tone3_index =
      *CedictReadingIndex::from_artifact_payload_path(data_path("cedict/small-tone3.yaml"));
  static const CedictReadingIndex no_tone_index =
      *CedictReadingIndex::from_artifact_payload_path(data_path("cedict/small-no-tone.yaml"));
  return tone3 ? tone3_index : no_tone_index;
}

DictionaryOptions defaults() { return DictionaryOptions{}; }

std::vector<std::string> strings(std::string_view text, const DictionaryOptions& o = defaults(), bool tone3 = true) {
  auto result = zh_or_direct_pinyin_paths(text, small(tone3), o);
  EXPECT_TRUE(result.has_value()) << text << ": " << result.error().message();
  return result ? *result : std::vector<std::string>{};
}

// Every start-to-end symbol string of a lattice.
std::set<std::u32string> lattice_strings(const Lattice& lattice) {
  return test_support::spelt_strings<std::set<std::u32string>>(lattice);
}

std::set<std::u32string> as_set(const std::vector<std::string>& texts) {
  std::set<std::u32string> out;
  for (const auto& t : texts) out.insert(text::decode_utf8(t));
  return out;
}

TEST(ZhQuery, DictionaryReadingsOfCommonWords) {
  struct Case {
    std::string text;
    bool tone3;
    std::vector<std::string> readings;
  };
  const std::vector<Case> cases = {
      {"中国", true, {"zhong1guo2", "zhong4guo2"}},
      {"中国", false, {"zhongguo"}},
      {"行", true, {"hang2", "heng2", "xing2"}},
      {"银行", true, {"yin2hang2", "yin2heng2", "yin2xing2"}},
      {"重庆", true, {"chong2qing4", "zhong4qing4"}},
      {"长城", true, {"chang2cheng2", "zhang3cheng2"}},
      {"音乐", true, {"yin1lao4", "yin1le4", "yin1yue4"}},
      {"你好", false, {"nihao"}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(strings(c.text, defaults(), c.tone3), c.readings) << c.text;
    // The lattice spells exactly the same readings.
    auto lattice = zh_or_direct_lattice(c.text, small(c.tone3), defaults());
    ASSERT_TRUE(lattice) << lattice.error().message();
    EXPECT_EQ(lattice_strings(*lattice), as_set(c.readings)) << c.text;
  }
}

TEST(ZhQuery, OptionsShapeTheReadings) {
  DictionaryOptions longest;
  longest.longest_only = true;
  EXPECT_EQ(strings("银行", longest), (std::vector<std::string>{"yin2hang2"}));
  DictionaryOptions one_reading;
  one_reading.max_readings_per_segment = 1;
  EXPECT_EQ(strings("行", one_reading), (std::vector<std::string>{"hang2"}));
  DictionaryOptions one_path;
  one_path.max_paths = 1;
  EXPECT_EQ(strings("音乐", one_path).size(), 1u);
  EXPECT_EQ(strings("乐", one_path), (std::vector<std::string>{"le4"}));
}

TEST(ZhQuery, TypedPinyinNeverReachesTheIndex) {
  for (const bool tone3 : {true, false}) {
    EXPECT_EQ(strings("Ni3Hao3", defaults(), tone3), (std::vector<std::string>{"ni3hao3"}));
    auto lattice = zh_or_direct_lattice("Ni3 Hao3", small(tone3), defaults());
    ASSERT_TRUE(lattice);
    EXPECT_EQ(lattice_strings(*lattice), as_set({"ni3hao3"}));
  }
  // Whitespace alone: the single empty path.
  EXPECT_EQ(strings("   "), (std::vector<std::string>{""}));
  auto blank = zh_or_direct_lattice("   ", small(true), defaults());
  ASSERT_TRUE(blank);
  EXPECT_EQ(blank->node_count(), 1u);
  EXPECT_TRUE(blank->arcs().empty());
  EXPECT_FALSE(direct_pinyin_lattice("中").has_value());
}

TEST(ZhQuery, HybridOnlyWhenTheDictionaryFindsNothing) {
  EXPECT_EQ(strings("你好 ma"), (std::vector<std::string>{"ni3hao3ma", "ni3hao4ma"}));
  auto lattice = zh_or_direct_lattice("你好 ma", small(true), defaults());
  ASSERT_TRUE(lattice);
  EXPECT_EQ(lattice_strings(*lattice), as_set({"ni3hao3ma", "ni3hao4ma"}));
  // "A" is a surface of its own, so 中A is a dictionary text: no typed "a".
  EXPECT_EQ(strings("中A"), (std::vector<std::string>{"zhong1a", "zhong4a"}));
  EXPECT_EQ(small(true).hybrid_pinyin_lattice("中国", defaults())->has_value(), true);
  EXPECT_FALSE(small(true).pinyin_lattice("你好 ma", defaults())->has_value());
}

TEST(ZhQuery, Errors) {
  auto empty = zh_or_direct_lattice("", small(true), defaults());
  ASSERT_FALSE(empty);
  EXPECT_EQ(empty.error().kind, CnLatticeError::Kind::UnsupportedDirectPinyin);
  EXPECT_EQ(empty.error().message(), "unsupported direct pinyin input \"\"");
  auto unknown = zh_or_direct_pinyin_paths("犬\t", small(true), defaults());
  ASSERT_FALSE(unknown);
  EXPECT_EQ(unknown.error().message(), "unsupported direct pinyin input \"犬\\t\"");

  // Bytes that are not UTF-8 are refused without being decoded.
  for (const std::string bad : {"\xff", "ni\xe4\xb8", "\xe4\xb8\xad\xe4"}) {
    for (const bool hybrid_needed : {false, true}) {
      const std::string text = hybrid_needed ? "中" + bad : bad;
      auto lattice = zh_or_direct_lattice(text, small(true), defaults());
      ASSERT_FALSE(lattice);
      EXPECT_EQ(lattice.error().kind, CnLatticeError::Kind::UnsupportedDirectPinyin);
    }
  }

  DictionaryOptions wide;
  wide.max_span_chars = 257;
  for (const std::string text : {"ni3", "中国", ""}) {
    auto lattice = zh_or_direct_lattice(text, small(true), wide);
    ASSERT_FALSE(lattice);
    EXPECT_EQ(lattice.error(),
              CnLatticeError::dictionary("zh artifact max_span_chars length/count 257 exceeds limit 256"));
    EXPECT_FALSE(zh_or_direct_pinyin_paths(text, small(true), wide));
  }
  DictionaryOptions many;
  many.max_paths = 16385;
  EXPECT_EQ(validate_pinyin_options(many).error().message(),
            "zh artifact max_paths length/count 16385 exceeds limit 16384");
  many.max_paths = 16384;
  EXPECT_EQ(validate_pinyin_options(many), many);

  // The left text is read first.
  auto both = normalized_similarity_with_zh_index("犬", "", small(true), defaults());
  ASSERT_FALSE(both);
  EXPECT_EQ(both.error().message(), "unsupported direct pinyin input \"犬\"");
}

TEST(ZhQuery, NormalizedSimilarity) {
  auto similarity = [](std::string_view a, std::string_view b, bool tone3 = true) {
    auto s = normalized_similarity_with_zh_index(a, b, small(tone3), defaults());
    EXPECT_TRUE(s) << s.error().message();
    return s.value_or(-1.0);
  };
  EXPECT_EQ(similarity("你好", "ni3hao3"), 1.0);
  EXPECT_DOUBLE_EQ(similarity("你好", "nihao"), 1.0 - 2.0 / 7.0);
  EXPECT_EQ(similarity("你好", "nihao", false), 1.0);
  EXPECT_DOUBLE_EQ(similarity("ni3", "ni"), 1.0 - 1.0 / 3.0);
  // 行 shares hang2 with one reading of 银行's second character only.
  EXPECT_DOUBLE_EQ(similarity("银行", "行"), 1.0 - 4.0 / 9.0);
  EXPECT_EQ(similarity("   ", " "), 1.0);
}

}  // namespace
}  // namespace orvel::zh
