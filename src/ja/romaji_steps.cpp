#include "ja/romaji_steps.hpp"

#include <algorithm>
#include <array>

#include "common/fatal_error.hpp"
#include "ja/romaji_table.hpp"
#include "text/utf8.hpp"

namespace orvel::ja {

namespace {

constexpr std::string_view kLongVowelMark = "ー";
constexpr std::string_view kSmallTsu = "っ";

constexpr std::string_view kAfterNone[] = {"-"};
constexpr std::string_view kAfterA[] = {"a", "-"};
constexpr std::string_view kAfterI[] = {"i", "-"};
constexpr std::string_view kAfterU[] = {"u", "-"};
constexpr std::string_view kAfterE[] = {"e", "i", "-"};
constexpr std::string_view kAfterO[] = {"o", "u", "-"};

void push_distinct(std::vector<std::string>& list, std::string value) {
  if (std::find(list.begin(), list.end(), value) == list.end()) list.push_back(std::move(value));
}

bool is_ascii_consonant_letter(const Unit& unit) {
  if (unit.kind != Unit::Kind::Ascii) return false;
  const char c = unit.text[0];
  const bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
  if (!letter) return false;
  const char lower = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
  return lower != 'a' && lower != 'e' && lower != 'i' && lower != 'o' && lower != 'u';
}

// The "ya", "yu" or "yo" that a small ya, yu or yo unit spells after a
// consonant letter, or empty for any other unit.
std::string_view small_y_kana_tail(const Unit& unit) {
  if (unit.kind != Unit::Kind::Kana) return {};
  if (unit.text == "ゃ") return "ya";
  if (unit.text == "ゅ") return "yu";
  if (unit.text == "ょ") return "yo";
  return {};
}

// A consonant letter typed before a small ya, yu or yo: the letter with "ya"
// first, then the letter with each romanisation of the small kana.
RomajiStep ascii_small_kana_step(const Unit& letter, const Unit& small, std::string_view tail) {
  const RomajiRow* row = RomajiVariantTable::find(small.text);
  if (row == nullptr) {
    fail_fatal("can_combine_ascii_small_kana requires a supported small kana", small.text);
  }
  RomajiStep step;
  step.variants.push_back(letter.text + std::string(tail));
  for (std::string_view variant : row->variants) push_distinct(step.variants, letter.text + std::string(variant));
  return step;
}

// The small tsu: its own romanisations, then the first character of each
// variant of the next unit, unless that is a vowel, "n" or "-".
std::expected<RomajiStep, JaLatticeError> sokuon_step(std::span<const Unit> units, std::size_t i) {
  const RomajiRow* row = RomajiVariantTable::find(kSmallTsu);
  if (row == nullptr) fail_fatal("small tsu must have explicit variants", kSmallTsu);
  RomajiStep step;
  for (std::string_view variant : row->variants) step.variants.emplace_back(variant);
  if (i + 1 < units.size()) {
    auto next = variants_for_unit(units[i + 1]);
    if (!next) return std::unexpected(std::move(next.error()));
    for (const std::string& variant : *next) {
      if (variant.empty()) continue;
      const std::string first = variant.substr(0, text::utf8_sequence_length(static_cast<unsigned char>(variant[0])));
      if (first.size() == 1 && std::string_view("aeinou-").find(first[0]) != std::string_view::npos) continue;
      push_distinct(step.variants, first);
    }
  }
  return step;
}

}  // namespace

bool combines_with_next(const Unit& unit, const Unit& next) {
  return is_ascii_consonant_letter(unit) && !small_y_kana_tail(next).empty();
}

LastVowel last_vowel(std::string_view romaji) {
  for (std::size_t k = romaji.size(); k-- > 0;) {
    const LastVowel v = vowel_of(static_cast<unsigned char>(romaji[k]));
    if (v != LastVowel::None) return v;
  }
  return LastVowel::None;
}

LastVowel last_vowel_after(LastVowel before, std::string_view romaji) {
  const LastVowel v = last_vowel(romaji);
  return v == LastVowel::None ? before : v;
}

std::span<const std::string_view> long_vowel_alternatives(LastVowel vowel) {
  switch (vowel) {
    case LastVowel::None: return kAfterNone;
    case LastVowel::A: return kAfterA;
    case LastVowel::I: return kAfterI;
    case LastVowel::U: return kAfterU;
    case LastVowel::E: return kAfterE;
    case LastVowel::O: return kAfterO;
  }
  return kAfterNone;
}

std::expected<void, JaLatticeError> validate_romaji_units(std::span<const Unit> units) {
  for (const Unit& unit : units) {
    if (unit.kind == Unit::Kind::Kana && !RomajiVariantTable::has_row(unit.text)) {
      return std::unexpected(JaLatticeError::missing_romaji_variant(unit.text));
    }
  }
  return {};
}

std::expected<std::vector<std::string>, JaLatticeError> variants_for_unit(const Unit& unit) {
  if (unit.kind != Unit::Kind::Kana) return std::vector<std::string>{unit.text};
  const RomajiRow* row = RomajiVariantTable::find(unit.text);
  if (row == nullptr) return std::unexpected(JaLatticeError::missing_romaji_variant(unit.text));
  return std::vector<std::string>(row->variants.begin(), row->variants.end());
}

std::expected<std::vector<RomajiStep>, JaLatticeError> romaji_steps_from_units(std::span<const Unit> units) {
  std::vector<RomajiStep> steps;
  steps.reserve(units.size());
  const std::size_t n = units.size();
  std::size_t i = 0;
  while (i < n) {
    const Unit& unit = units[i];
    if (unit.is_kana(kLongVowelMark)) {
      steps.push_back(RomajiStep{RomajiStep::Kind::LongVowel, {}});
      i += 1;
      continue;
    }
    if (i + 1 < n && combines_with_next(unit, units[i + 1])) {
      steps.push_back(ascii_small_kana_step(unit, units[i + 1], small_y_kana_tail(units[i + 1])));
      i += 2;
      continue;
    }
    if (unit.is_kana(kSmallTsu)) {
      auto step = sokuon_step(units, i);
      if (!step) return std::unexpected(std::move(step.error()));
      steps.push_back(std::move(*step));
      i += 1;
      continue;
    }
    auto variants = variants_for_unit(unit);
    if (!variants) return std::unexpected(std::move(variants.error()));
    RomajiStep step;
    for (std::string& variant : *variants) push_distinct(step.variants, std::move(variant));
    steps.push_back(std::move(step));
    i += 1;
  }
  return steps;
}

}  // namespace orvel::ja
