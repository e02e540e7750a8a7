#pragma once
// Splitting a Japanese text into romanisable units: kana (katakana folded to
// hiragana, digraphs joined), ASCII characters (every whitespace character
// becomes a space) and, for typed text, punctuation.
#include <cstdint>
#include <expected>
#include <string>
#include <string_view>
#include <vector>

#include "ja/ja_lattice_error.hpp"

namespace orvel::ja {

enum class RomajiSegmentMode : std::uint8_t {
  // Text as typed: the punctuation set is accepted as well.
  Direct = 0,
  // A reading from the dictionary: only kana, ASCII and whitespace.
  Reading = 1,
};

struct Unit {
  enum class Kind : std::uint8_t {
    Kana,         // one hiragana character, a digraph of the table, or "ー"
    Ascii,        // one character below U+0080; whitespace is stored as a space
    Punctuation,  // one character of the Direct-mode punctuation set
  };

  Kind kind = Kind::Ascii;
  // The unit's UTF-8 text (one or two characters).
  std::string text;

  static Unit kana(std::string text) { return Unit{Kind::Kana, std::move(text)}; }
  static Unit ascii(char c) { return Unit{Kind::Ascii, std::string(1, c)}; }
  static Unit punctuation(std::string text) { return Unit{Kind::Punctuation, std::move(text)}; }

  bool is_kana(std::string_view kana_text) const { return kind == Kind::Kana && text == kana_text; }

  friend bool operator==(const Unit&, const Unit&) = default;
};

// Units of `text` in order. Fails with UnsupportedCharacter (the character as
// it stood, its char index) at the first character that is none of the above.
std::expected<std::vector<Unit>, JaLatticeError> segment(std::string_view text, RomajiSegmentMode mode);
// Appends the units of `text` to `units`; on failure `units` is unchanged.
std::expected<void, JaLatticeError> append_segments(std::string_view text, RomajiSegmentMode mode,
                                                    std::vector<Unit>& units);

// The punctuation accepted as typed: U+00B7, U+2010..2015, U+2018..201F,
// U+2026, U+3001..3002, U+3008..3011, U+3014..301F, U+3030, U+30FB and the
// fullwidth forms U+FF01..FF0F, U+FF1A..FF20, U+FF3B..FF40, U+FF5B..FF65.
bool is_direct_punctuation(char32_t c);

// Katakana U+30A1..U+30F6 folded to hiragana; other characters unchanged.
constexpr char32_t fold_katakana(char32_t c) { return c >= 0x30A1 && c <= 0x30F6 ? c - 0x60 : c; }

// A folded character that segments as a kana unit: U+3041..U+3096 or "ー".
constexpr bool is_kana_unit_char(char32_t folded) {
  return folded == 0x30FC || (folded >= 0x3041 && folded <= 0x3096);
}

}  // namespace orvel::ja
