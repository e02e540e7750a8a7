#pragma once
// From units to romaji steps: one step per unit (or per consonant letter with
// a following small ya, yu or yo), each a list of alternatives, with the
// small tsu doubling the next consonant and the long-vowel mark repeating the
// vowel before it.
#include <cstdint>
#include <expected>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "ja/ja_lattice_error.hpp"
#include "ja/romaji_segment.hpp"

namespace orvel::ja {

// The last vowel of a romaji string built so far; the order is the sort order.
enum class LastVowel : std::uint8_t { None = 0, A = 1, I = 2, U = 3, E = 4, O = 5 };

// The vowel that the lowercase ASCII letter `c` is; None for any other
// character (uppercase vowels, "n" and "-" included).
constexpr LastVowel vowel_of(char32_t c) {
  switch (c) {
    case U'a': return LastVowel::A;
    case U'i': return LastVowel::I;
    case U'u': return LastVowel::U;
    case U'e': return LastVowel::E;
    case U'o': return LastVowel::O;
    default: return LastVowel::None;
  }
}

// The last lowercase vowel of `romaji` scanning from its end; None if none.
LastVowel last_vowel(std::string_view romaji);
// `before` updated by every vowel of `romaji` in order.
LastVowel last_vowel_after(LastVowel before, std::string_view romaji);

// The alternatives of the long-vowel mark after a string ending in `vowel`:
// None "-"; A "a","-"; I "i","-"; U "u","-"; E "e","i","-"; O "o","u","-".
std::span<const std::string_view> long_vowel_alternatives(LastVowel vowel);

struct RomajiStep {
  enum class Kind : std::uint8_t {
    Variants,   // exactly one of `variants` is chosen
    LongVowel,  // the mark "ー": alternatives from the last vowel before it
  };
  Kind kind = Kind::Variants;
  // Non-empty and distinct for Variants; empty for LongVowel.
  std::vector<std::string> variants;

  friend bool operator==(const RomajiStep&, const RomajiStep&) = default;
};

// MissingRomajiVariant for the first kana unit, in order, without a row.
std::expected<void, JaLatticeError> validate_romaji_units(std::span<const Unit> units);

// The unit's character for an ASCII or punctuation unit; a copy of its row
// for a kana unit, or MissingRomajiVariant.
std::expected<std::vector<std::string>, JaLatticeError> variants_for_unit(const Unit& unit);

// Whether `unit` and `next` form one step: a consonant letter typed before a
// small ya, yu or yo.
bool combines_with_next(const Unit& unit, const Unit& next);

// The steps of the units. Errors: MissingRomajiVariant.
std::expected<std::vector<RomajiStep>, JaLatticeError> romaji_steps_from_units(std::span<const Unit> units);

}  // namespace orvel::ja
