#include <gtest/gtest.h>

#include <string>

#include "ja/romaji_segment.hpp"
#include "romaji_test_support.hpp"

namespace orvel::ja {
namespace {

using testing::describe;

struct SegmentCase {
  const char* text;
  RomajiSegmentMode mode;
  const char* units;
};

TEST(Segment, UnitsOfText) {
  const SegmentCase cases[] = {
      {"", RomajiSegmentMode::Direct, ""},
      {"カタカナ", RomajiSegmentMode::Direct, "K:か|K:た|K:か|K:な"},
      {"かたかな", RomajiSegmentMode::Reading, "K:か|K:た|K:か|K:な"},
      {"キャ", RomajiSegmentMode::Direct, "K:きゃ"},
      {"キア", RomajiSegmentMode::Direct, "K:き|K:あ"},
      // The second character is folded whatever the first was.
      {"きャ", RomajiSegmentMode::Reading, "K:きゃ"},
      {"しゃしん", RomajiSegmentMode::Reading, "K:しゃ|K:し|K:ん"},
      // ゃ only joins the character before it; a lone small kana is a unit.
      {"ゃき", RomajiSegmentMode::Reading, "K:ゃ|K:き"},
      {"あゃ", RomajiSegmentMode::Reading, "K:あ|K:ゃ"},
      {"コーヒー", RomajiSegmentMode::Direct, "K:こ|K:ー|K:ひ|K:ー"},
      // Row-less kana still segment; they fail later.
      {"ゐヰゎ", RomajiSegmentMode::Reading, "K:ゐ|K:ゐ|K:ゎ"},
      // Whitespace of any kind becomes a space; other ASCII stays as it is.
      {"a\tB", RomajiSegmentMode::Reading, "A:a|A: |A:B"},
      {"\u3000\u00a0\u0085\u2028", RomajiSegmentMode::Reading, "A: |A: |A: |A: "},
      {"\x01~", RomajiSegmentMode::Reading, "A:\x01|A:~"},
      {"こんにちは。", RomajiSegmentMode::Direct, "K:こ|K:ん|K:に|K:ち|K:は|P:。"},
      {"！・「」…", RomajiSegmentMode::Direct, "P:！|P:・|P:「|P:」|P:…"},
      {"kゃ", RomajiSegmentMode::Direct, "A:k|K:ゃ"},
  };
  for (const SegmentCase& c : cases) {
    SCOPED_TRACE(c.text);
    auto units = segment(c.text, c.mode);
    ASSERT_TRUE(units.has_value()) << units.error().message();
    EXPECT_EQ(describe(*units), c.units);
  }
}

struct RejectCase {
  const char* text;
  RomajiSegmentMode mode;
  char32_t character;
  std::uint64_t index;
};

TEST(Segment, FirstUnsupportedCharacterWithItsCharIndex) {
  const RejectCase cases[] = {
      {"東京", RomajiSegmentMode::Direct, U'東', 0},
      {"かa東", RomajiSegmentMode::Direct, U'東', 2},
      // A digraph counts two characters.
      {"きゃ東", RomajiSegmentMode::Direct, U'東', 2},
      {"こんにちは。", RomajiSegmentMode::Reading, U'。', 5},
      {"！", RomajiSegmentMode::Reading, U'！', 0},
      // Fullwidth letters and digits are not punctuation.
      {"Ａ", RomajiSegmentMode::Direct, U'Ａ', 0},
      {"１", RomajiSegmentMode::Direct, U'１', 0},
      // Katakana outside the folded block keeps its own form in the error.
      {"ヷ", RomajiSegmentMode::Direct, U'ヷ', 0},
      {"か\u3099", RomajiSegmentMode::Direct, U'\u3099', 1},
      {"ｶ", RomajiSegmentMode::Direct, U'ｶ', 0},
  };
  for (const RejectCase& c : cases) {
    SCOPED_TRACE(c.text);
    auto units = segment(c.text, c.mode);
    ASSERT_FALSE(units.has_value());
    EXPECT_EQ(units.error(), JaLatticeError::unsupported_character(c.character, c.index));
  }
}

TEST(Segment, AppendLeavesUnitsUnchangedOnFailure) {
  std::vector<Unit> units{Unit::ascii('x')};
  EXPECT_FALSE(append_segments("か東", RomajiSegmentMode::Direct, units).has_value());
  EXPECT_EQ(describe(units), "A:x");
  EXPECT_TRUE(append_segments("か", RomajiSegmentMode::Direct, units).has_value());
  EXPECT_EQ(describe(units), "A:x|K:か");
}

TEST(Segment, DirectPunctuationSetBoundaries) {
  const char32_t inside[] = {0x00B7, 0x2010, 0x2015, 0x2018, 0x201F, 0x2026, 0x3001, 0x3002, 0x3008, 0x3011,
                             0x3014, 0x301F, 0x3030, 0x30FB, 0xFF01, 0xFF0F, 0xFF1A, 0xFF20, 0xFF3B, 0xFF40,
                             0xFF5B, 0xFF65};
  const char32_t outside[] = {0x00B6, 0x00B8, 0x2016, 0x2017, 0x2020, 0x2025, 0x2027, 0x3003, 0x3007, 0x3012,
                              0x3013, 0x3020, 0x302F, 0x3031, 0x30FA, 0xFF00, 0xFF10, 0xFF19, 0xFF21, 0xFF3A,
                              0xFF41, 0xFF5A, 0xFF66};
  for (char32_t c : inside) EXPECT_TRUE(is_direct_punctuation(c)) << std::hex << static_cast<unsigned>(c);
  for (char32_t c : outside) EXPECT_FALSE(is_direct_punctuation(c)) << std::hex << static_cast<unsigned>(c);
}

}  // namespace
}  // namespace orvel::ja
