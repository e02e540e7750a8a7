#pragma once
// The error of Japanese segmentation, romaji expansion, romaji lattices and
// Japanese queries. Its message reaches Python as a ValueError.
#include <cstdint>
#include <string>

#include "core/distance_error.hpp"
#include "core/lattice_error.hpp"

namespace orvel::ja {

// Which limit of a romaji expansion was passed.
enum class ExpansionLimitKind : std::uint8_t {
  InputCharacters = 0,  // "input characters"
  ExpandedPaths = 1,    // "expanded romaji paths"
  ExpandedSymbols = 2,  // "expanded romaji symbols"
};

// One flat record; `kind` says which fields are meaningful:
//   UnsupportedCharacter   character (as it stood in the input), char_index
//   MissingRomajiVariant   text (the kana unit)
//   NoReadings             -
//   InvalidLattice         lattice
//   Distance               distance
//   Dictionary             text (the message of the payload or option error)
//   ExpansionLimit         limit_kind, value, limit
struct JaLatticeError {
  // Tags are fixed: 0 to 6 in this order.
  enum class Kind : std::uint8_t {
    UnsupportedCharacter = 0,
    MissingRomajiVariant = 1,
    NoReadings = 2,
    InvalidLattice = 3,
    Distance = 4,
    Dictionary = 5,
    ExpansionLimit = 6,
  };

  Kind kind = Kind::NoReadings;
  char32_t character = 0;
  std::uint64_t char_index = 0;
  std::string text;
  LatticeError lattice;
  DistanceError distance;
  ExpansionLimitKind limit_kind = ExpansionLimitKind::InputCharacters;
  std::uint64_t value = 0;
  std::uint64_t limit = 0;

  static JaLatticeError unsupported_character(char32_t character, std::uint64_t char_index);
  static JaLatticeError missing_romaji_variant(std::string kana_unit);
  static JaLatticeError no_readings();
  static JaLatticeError invalid_lattice(LatticeError error);
  static JaLatticeError distance_error(DistanceError error);
  static JaLatticeError dictionary(std::string message);
  static JaLatticeError expansion_limit(ExpansionLimitKind kind, std::uint64_t value, std::uint64_t limit);

  // The display text, e.g. "unsupported character '東' at char index 0" or
  // "romaji expansion exceeded input characters limit: 1025 > 1024".
  std::string message() const;
  // Variant name, then its fields in braces.
  std::string debug() const;

  friend bool operator==(const JaLatticeError&, const JaLatticeError&) = default;
};

// "input characters", "expanded romaji paths" or "expanded romaji symbols".
const char* expansion_limit_name(ExpansionLimitKind kind);

}  // namespace orvel::ja
