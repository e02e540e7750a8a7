#include "zh/pinyin.hpp"
#include "zh/typed_pinyin_suffixes.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "text/utf8.hpp"

namespace orvel::zh {
namespace {

struct ReadingCase {
  std::string reading;
  std::string tone3;
  std::string no_tone;
};

TEST(NormalizeArtifactReading, BothViews) {
  const std::vector<ReadingCase> cases = {
      {"Zhong1 Guo2", "zhong1guo2", "zhongguo"},
      {"NU:3", "nv3", "nv"},
      {"nu:3", "nv3", "nv"},
      {"n\u00fc3", "nv3", "nv"},
      {"N\u00dc3", "nv3", "nv"},
      // The space goes only after the "u:" rule, so "u:" survives.
      {"nu :3", "nu:3", "nu:3"},
      // Decomposed u + U+0308 is no "ü"; the 3 follows a mark, not a letter.
      {"nu\u03083", "nu\u03083", "nu\u03083"},
      {"er2hua4", "er2hua4", "erhua"},
      {"a0", "a0", "a0"},
      {"5a", "5a", "5a"},
      {"lv35", "lv35", "lv"},
      {"a16", "a16", "a6"},
      {"a-1", "a-1", "a-1"},
      {"3", "3", "3"},
      {"", "", ""},
      // Full mapping: U+0130 becomes i + U+0307, a final capital sigma the final form.
      {"\u0130", "i\u0307", "i\u0307"},
      {"\u03a3\u0391\u03a3", "\u03c3\u03b1\u03c2", "\u03c3\u03b1\u03c2"},
      // Non-ASCII whitespace is removed too.
      {"ni3\u3000hao3\u00a0", "ni3hao3", "nihao"},
      {"mao2ze2dong1:xian1", "mao2ze2dong1:xian1", "maozedong:xian"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(normalize_artifact_reading(c.reading, true), c.tone3) << c.reading;
    EXPECT_EQ(normalize_artifact_reading(c.reading, false), c.no_tone) << c.reading;
  }
}

TEST(DirectPinyinSet, RangeBoundaries) {
  struct Case {
    char32_t c;
    bool in;
  };
  const std::vector<Case> cases = {
      {0x00, true},    {0x7F, true},    {0x80, false},   {0x85, true},    {0xA0, true},
      {0xB6, false},   {0xB7, true},    {0xB8, false},   {0xFC, false},   {0x308, false},
      {0x1680, true},  {0x1FFF, false}, {0x2000, true},  {0x200A, true},  {0x200B, false},
      {0x200F, false}, {0x2010, true},  {0x2015, true},  {0x2016, false}, {0x2017, false},
      {0x2018, true},  {0x201F, true},  {0x2020, false}, {0x2025, false}, {0x2026, true},
      {0x2027, false}, {0x2028, true},  {0x2029, true},  {0x202A, false}, {0x202F, true},
      {0x205F, true},  {0x20AC, false}, {0x3000, true},  {0x3001, true},  {0x3002, true},
      {0x3003, false}, {0x3007, false}, {0x3008, true},  {0x3011, true},  {0x3012, false},
      {0x3013, false}, {0x3014, true},  {0x301F, true},  {0x3020, false}, {0x3030, true},
      {0x30FB, true},  {0x30FC, false}, {0x4F60, false}, {0x01D0, false}, {0xFF00, false},
      {0xFF01, true},  {0xFF0F, true},  {0xFF10, false}, {0xFF19, false}, {0xFF1A, true},
      {0xFF20, true},  {0xFF21, false}, {0xFF3A, false}, {0xFF3B, true},  {0xFF40, true},
      {0xFF41, false}, {0xFF5A, false}, {0xFF5B, true},  {0xFF65, true},  {0xFF66, false},
      {0x1F600, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(is_direct_pinyin_char(c.c), c.in) << std::hex << static_cast<std::uint32_t>(c.c);
  }
}

TEST(CanBuildDirectPinyinInput, Texts) {
  struct Case {
    std::string text;
    bool ok;
  };
  const std::vector<Case> cases = {
      {"", false},
      {"   ", true},
      {"ni3 hao3!", true},
      {"nihao\uff01", true},
      {"ni\u01d0", false},
      {"\u4f60", false},
      {"ni\u4f60", false},
      {"a\u2014b", true},
      {"a\u20ac", false},
      {"\uff41", false},
      {"n\u00fc", false},
  };
  for (const auto& c : cases) EXPECT_EQ(can_build_direct_pinyin_input(c.text), c.ok) << c.text;
}

TEST(NormalizeDirectPinyinInput, Texts) {
  struct Case {
    std::string text;
    std::string normal;
  };
  const std::vector<Case> cases = {
      {"Ni3 Hao3", "ni3hao3"},
      {"NU:3", "nv3"},
      {"ni hao\u3002", "nihao\u3002"},
      {"   ", ""},
      // Only ASCII capitals are lowered; no tone digit is dropped.
      {"\u00c0 ZHONG1\tGUO2", "\u00c0zhong1guo2"},
      {"nu :3", "nv3"},
      {"u::", "v:"},
  };
  for (const auto& c : cases) EXPECT_EQ(normalize_direct_pinyin_input(c.text), c.normal) << c.text;
}

TEST(TypedPinyinRun, StopsAtFirstNonPinyinCharacter) {
  const std::u32string text = U"ni\u4f60 ma";
  EXPECT_EQ(typed_pinyin_run_end(text, 0), 2u);
  EXPECT_EQ(typed_pinyin_run_end(text, 2), 2u);
  EXPECT_EQ(typed_pinyin_run_end(text, 3), text.size());
  EXPECT_EQ(typed_pinyin_run_end(text, text.size()), text.size());
}

TEST(PinyinView, CanonicalNames) {
  EXPECT_EQ(pinyin_view_name(PinyinView::Tone3), "tone3");
  EXPECT_EQ(pinyin_view_name(PinyinView::NoTone), "no-tone");
}

}  // namespace
}  // namespace orvel::zh

namespace orvel::zh {
namespace {

TEST(TypedPinyinSuffixes, EverySuffixMatchesTheDirectNormalForm) {
  const std::vector<std::string> runs = {
      "Ni3 Hao3", "u:u:", "uu::", "U :3", "nu \u3000:3", ":u:", "a\u2014b\u00b7C", "   ", "u", ":", "Lu:e4 u",
  };
  for (const std::string& run : runs) {
    const TypedPinyinSuffixes forms(run);
    const std::u32string chars = text::decode_utf8(run);
    ASSERT_EQ(forms.size(), chars.size()) << run;
    for (std::size_t k = 0; k < chars.size(); ++k) {
      const std::string suffix = text::encode_utf8(std::u32string_view(chars).substr(k));
      EXPECT_EQ(forms.text(k), normalize_direct_pinyin_input(suffix)) << run << " from " << k;
    }
  }
}

}  // namespace
}  // namespace orvel::zh
