#pragma once
// Compact text forms of units and steps for table-driven romaji tests.
#include <ostream>
#include <string>
#include <vector>

#include "ja/ja_lattice_error.hpp"

#include "ja/romaji_segment.hpp"
#include "ja/romaji_steps.hpp"

namespace orvel::ja {
// gtest shows errors in their developer form.
inline void PrintTo(const JaLatticeError& error, std::ostream* os) { *os << error.debug(); }
}  // namespace orvel::ja

namespace orvel::ja::testing {

// "K:きゃ", "A: ", "P:。" joined by "|".
inline std::string describe(const std::vector<Unit>& units) {
  std::string out;
  for (const Unit& u : units) {
    if (!out.empty()) out += '|';
    out += u.kind == Unit::Kind::Kana ? "K:" : u.kind == Unit::Kind::Ascii ? "A:" : "P:";
    out += u.text;
  }
  return out;
}

// "(xtu,ltu,ttu,k)(ka)", with "(ー)" for a long-vowel step.
inline std::string describe(const std::vector<RomajiStep>& steps) {
  std::string out;
  for (const RomajiStep& s : steps) {
    out += '(';
    if (s.kind == RomajiStep::Kind::LongVowel) {
      out += "ー";
    } else {
      for (std::size_t k = 0; k < s.variants.size(); ++k) {
        if (k != 0) out += ',';
        out += s.variants[k];
      }
    }
    out += ')';
  }
  return out;
}

inline std::string join(const std::vector<std::string>& list) {
  std::string out;
  for (std::size_t k = 0; k < list.size(); ++k) {
    if (k != 0) out += ',';
    out += list[k];
  }
  return out;
}

}  // namespace orvel::ja::testing
