#include "ja/romaji_segment.hpp"

#include "ja/romaji_table.hpp"
#include "text/unicode.hpp"
#include "text/utf8.hpp"

namespace orvel::ja {

bool is_direct_punctuation(char32_t c) {
  return c == 0x00B7 || (c >= 0x2010 && c <= 0x2015) || (c >= 0x2018 && c <= 0x201F) || c == 0x2026 ||
         (c >= 0x3001 && c <= 0x3002) || (c >= 0x3008 && c <= 0x3011) || (c >= 0x3014 && c <= 0x301F) ||
         c == 0x3030 || c == 0x30FB || (c >= 0xFF01 && c <= 0xFF0F) || (c >= 0xFF1A && c <= 0xFF20) ||
         (c >= 0xFF3B && c <= 0xFF40) || (c >= 0xFF5B && c <= 0xFF65);
}

std::expected<void, JaLatticeError> append_segments(std::string_view text, RomajiSegmentMode mode,
                                                    std::vector<Unit>& units) {
  const std::size_t first_new = units.size();
  std::size_t pos = 0;
  std::uint64_t index = 0;
  while (pos < text.size()) {
    const char32_t c = text::next_scalar(text, pos);
    if (text::is_white_space(c)) {
      units.push_back(Unit::ascii(' '));
    } else if (c < 0x80) {
      units.push_back(Unit::ascii(static_cast<char>(c)));
    } else if (mode == RomajiSegmentMode::Direct && is_direct_punctuation(c)) {
      std::string s;
      text::append_utf8(s, c);
      units.push_back(Unit::punctuation(std::move(s)));
    } else {
      const char32_t folded = fold_katakana(c);
      if (!is_kana_unit_char(folded)) {
        units.resize(first_new);
        return std::unexpected(JaLatticeError::unsupported_character(c, index));
      }
      std::string kana;
      text::append_utf8(kana, folded);
      if (pos < text.size()) {
        // Only a digraph row can match a two-character key, and every digraph
        // ends in a small ya, yu or yo.
        std::size_t after = pos;
        const char32_t next = fold_katakana(text::next_scalar(text, after));
        if (next != U'ゃ' && next != U'ゅ' && next != U'ょ') {
          units.push_back(Unit::kana(std::move(kana)));
          ++index;
          continue;
        }
        std::string pair = kana;
        text::append_utf8(pair, next);
        if (RomajiVariantTable::has_row(pair)) {
          units.push_back(Unit::kana(std::move(pair)));
          pos = after;
          index += 2;
          continue;
        }
      }
      units.push_back(Unit::kana(std::move(kana)));
    }
    ++index;
  }
  return {};
}

std::expected<std::vector<Unit>, JaLatticeError> segment(std::string_view text, RomajiSegmentMode mode) {
  std::vector<Unit> units;
  if (auto ok = append_segments(text, mode, units); !ok) return std::unexpected(std::move(ok.error()));
  return units;
}

}  // namespace orvel::ja
