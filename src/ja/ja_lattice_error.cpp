#include "ja/ja_lattice_error.hpp"

#include <fmt/format.h>

#include "text/quoted.hpp"

namespace orvel::ja {

JaLatticeError JaLatticeError::unsupported_character(char32_t character, std::uint64_t char_index) {
  JaLatticeError e;
  e.kind = Kind::UnsupportedCharacter;
  e.character = character;
  e.char_index = char_index;
  return e;
}

JaLatticeError JaLatticeError::missing_romaji_variant(std::string kana_unit) {
  JaLatticeError e;
  e.kind = Kind::MissingRomajiVariant;
  e.text = std::move(kana_unit);
  return e;
}

JaLatticeError JaLatticeError::no_readings() {
  JaLatticeError e;
  e.kind = Kind::NoReadings;
  return e;
}

JaLatticeError JaLatticeError::invalid_lattice(LatticeError error) {
  JaLatticeError e;
  e.kind = Kind::InvalidLattice;
  e.lattice = error;
  return e;
}

JaLatticeError JaLatticeError::distance_error(DistanceError error) {
  JaLatticeError e;
  e.kind = Kind::Distance;
  e.distance = error;
  return e;
}

JaLatticeError JaLatticeError::dictionary(std::string message) {
  JaLatticeError e;
  e.kind = Kind::Dictionary;
  e.text = std::move(message);
  return e;
}

JaLatticeError JaLatticeError::expansion_limit(ExpansionLimitKind kind, std::uint64_t value, std::uint64_t limit) {
  JaLatticeError e;
  e.kind = Kind::ExpansionLimit;
  e.limit_kind = kind;
  e.value = value;
  e.limit = limit;
  return e;
}

const char* expansion_limit_name(ExpansionLimitKind kind) {
  switch (kind) {
    case ExpansionLimitKind::InputCharacters: return "input characters";
    case ExpansionLimitKind::ExpandedPaths: return "expanded romaji paths";
    case ExpansionLimitKind::ExpandedSymbols: return "expanded romaji symbols";
  }
  return "";
}

std::string JaLatticeError::message() const {
  switch (kind) {
    case Kind::UnsupportedCharacter:
      return fmt::format("unsupported character {} at char index {}", text::quoted_char(character), char_index);
    case Kind::MissingRomajiVariant:
      return fmt::format("missing romaji variant for kana unit {}", text::quoted_text(text));
    case Kind::NoReadings: return "at least one reading is required";
    case Kind::InvalidLattice: return lattice.message();
    case Kind::Distance: return distance.message();
    case Kind::Dictionary: return text;
    case Kind::ExpansionLimit:
      return fmt::format("romaji expansion exceeded {} limit: {} > {}", expansion_limit_name(limit_kind), value,
                         limit);
  }
  return {};
}

std::string JaLatticeError::debug() const {
  switch (kind) {
    case Kind::UnsupportedCharacter:
      return fmt::format("UnsupportedCharacter {{ character: {}, char_index: {} }}", text::quoted_char(character),
                         char_index);
    case Kind::MissingRomajiVariant:
      return fmt::format("MissingRomajiVariant({})", text::quoted_text(text));
    case Kind::NoReadings: return "NoReadings";
    case Kind::InvalidLattice: return fmt::format("InvalidLattice({})", lattice.debug());
    case Kind::Distance: return fmt::format("Distance({})", distance.debug());
    case Kind::Dictionary: return fmt::format("Dictionary({})", text::quoted_text(text));
    case Kind::ExpansionLimit:
      return fmt::format("ExpansionLimit {{ kind: {}, value: {}, limit: {} }}", static_cast<int>(limit_kind), value,
                         limit);
  }
  return {};
}

}  // namespace orvel::ja
