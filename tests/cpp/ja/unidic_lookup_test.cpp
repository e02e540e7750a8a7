#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "ja/unidic_payload_writer.hpp"
#include "text/utf8.hpp"
#include "ja/unidic_reading_index.hpp"
#include "unidic_test_support.hpp"

namespace orvel::ja {
namespace {

using unidic_test::Entries;
using unidic_test::payload_of;

TEST(NormalizeAsciiWidth, FoldsOnlyIdeographicSpaceAndFullwidthAscii) {
  struct Case {
    std::string input;
    std::optional<std::string> output;
  };
  const std::vector<Case> cases = {
      {"", std::nullopt},
      {"abc 漢字", std::nullopt},
      {"ＡＢＣ", "ABC"},
      {"ＡＢＣ漢", "ABC漢"},
      {"東京\u3000タワー", "東京 タワー"},
      {"\uFF01\uFF5E", "!~"},            // both ends of the fullwidth block
      {"\uFF3F\uFF40", "_`"},            // across the second byte boundary
      {"\uFF5F\uFF00\uFFE0", std::nullopt},  // outside the table
      {"ｶﾀｶﾅ", std::nullopt},            // halfwidth katakana stay
      {"ａ\u3000ｂ", "a b"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.input);
    EXPECT_EQ(normalize_ascii_width(c.input), c.output);
  }
}

TEST(NormalizeAsciiWidth, MatchesTheScalarRule) {
  // Every scalar of the BMP, one at a time, against the rule on code points.
  for (char32_t c = 1; c < 0x10000; ++c) {
    if (c >= 0xD800 && c <= 0xDFFF) continue;
    std::string text;
    text::append_utf8(text, c);
    std::optional<std::string> expected;
    if (c == 0x3000) expected = " ";
    if (c >= 0xFF01 && c <= 0xFF5E) expected = std::string(1, static_cast<char>(c - 0xFEE0));
    ASSERT_EQ(normalize_ascii_width("x" + text + "y"),
              expected ? std::optional<std::string>("x" + *expected + "y") : std::nullopt)
        << std::hex << static_cast<std::uint32_t>(c);
  }
}

const Entries kEntries = {
    {"ABC", {"エービーシー"}},
    {"ABC漢", {"エービーシーカン"}},
    {"東京 タワー", {"トウキョウタワー"}},
    {"ＸＹ", {"エックスワイ全角"}},
    {"XY", {"エックスワイ"}},
    {"日本", {"ニポン", "ニホン", "ニッポン"}},
};

class UnidicLookupTest : public ::testing::TestWithParam<bool> {
 protected:
  UnidicLookupTest() : index_(make(GetParam())) {}

  static UnidicReadingIndex make(bool indexed) {
    auto map = UnidicReadingIndex::from_artifact_payload(payload_of(kEntries));
    EXPECT_TRUE(map);
    if (!indexed) return std::move(*map);
    auto bytes = unidic_indexed_payload_bytes(*map);
    auto index = UnidicReadingIndex::from_indexed_owned_bytes(std::move(bytes));
    EXPECT_TRUE(index) << index.error().message();
    return std::move(*index);
  }

  std::optional<std::vector<std::string>> lookup(std::string_view text, bool retry = true) const {
    UnidicLookup found = retry ? index_.try_readings(text) : index_.try_readings_exact(text);
    EXPECT_TRUE(found) << found.error().message();
    if (!*found) return std::nullopt;
    return (*found)->list();
  }

  UnidicReadingIndex index_;
};

TEST_P(UnidicLookupTest, ExactLookupKeepsStoredOrder) {
  EXPECT_EQ(index_.is_indexed(), GetParam());
  EXPECT_EQ(index_.entry_count(), kEntries.size());
  EXPECT_EQ(lookup("日本", false), (std::vector<std::string>{"ニポン", "ニホン", "ニッポン"}));
  EXPECT_EQ(lookup("日", false), std::nullopt);  // no prefix matches
  EXPECT_EQ(lookup("日本語", false), std::nullopt);
  EXPECT_EQ(lookup("", false), std::nullopt);
  EXPECT_EQ(lookup("ＡＢＣ", false), std::nullopt);  // the exact form does not fold
}

TEST_P(UnidicLookupTest, RetriesOnceWithTheWholeTextFolded) {
  EXPECT_EQ(lookup("ＡＢＣ"), (std::vector<std::string>{"エービーシー"}));
  EXPECT_EQ(lookup("ＡＢＣ漢"), (std::vector<std::string>{"エービーシーカン"}));
  EXPECT_EQ(lookup("東京\u3000タワー"), (std::vector<std::string>{"トウキョウタワー"}));
  // Stored exactly: the folded form's readings are not consulted.
  EXPECT_EQ(lookup("ＸＹ"), (std::vector<std::string>{"エックスワイ全角"}));
  // Only the whole text is folded: ＡＢＣ日 becomes ABC日, which is absent.
  EXPECT_EQ(lookup("ＡＢＣ日"), std::nullopt);
  EXPECT_EQ(lookup("ｶﾅ"), std::nullopt);
}

INSTANTIATE_TEST_SUITE_P(BothForms, UnidicLookupTest, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Indexed" : "Map"; });

TEST(UnidicLookup, MapFormHandsOutTheStoredList) {
  auto index = UnidicReadingIndex::from_artifact_payload(payload_of(kEntries));
  ASSERT_TRUE(index);
  auto first = index->try_readings("日本");
  auto second = index->try_readings("日本");
  ASSERT_TRUE(first && *first && second && *second);
  EXPECT_EQ(&(*first)->list(), &(*second)->list());
  EXPECT_EQ(&(*first)->list(), &index->map()->at("日本"));
}

TEST(UnidicLookup, EmptyMapAnswersNotFound) {
  auto index = UnidicReadingIndex::from_artifact_payload(payload_of({}));
  ASSERT_TRUE(index);
  EXPECT_EQ(index->entry_count(), 0u);
  auto found = index->try_readings("ＡＢＣ");
  ASSERT_TRUE(found);
  EXPECT_FALSE(*found);
}

}  // namespace
}  // namespace orvel::ja
