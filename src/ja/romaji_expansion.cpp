#include "ja/romaji_expansion.hpp"

#include <algorithm>
#include <array>
#include <limits>

#include "ja/romaji_steps.hpp"
#include "ja/romaji_table.hpp"
#include "text/unicode.hpp"
#include "text/utf8.hpp"

namespace orvel::ja {

namespace {

constexpr std::uint64_t kSaturated = std::numeric_limits<std::uint64_t>::max();

std::uint64_t saturating_add(std::uint64_t a, std::uint64_t b) { return b > kSaturated - a ? kSaturated : a + b; }

// A partial string of the expansion; only its length and last vowel when
// the texts are not wanted (the limits never read the text).
template <bool kTexts>
struct Partial {
  std::string text;
  std::uint64_t chars = 0;
  LastVowel vowel = LastVowel::None;  // last_vowel(text), kept up to date
};
template <>
struct Partial<false> {
  std::uint64_t chars = 0;
  LastVowel vowel = LastVowel::None;
};

// Builds one stage's list while counting its characters against the limit.
template <bool kTexts>
class Stage {
 public:
  Stage(std::uint64_t max_symbols, std::size_t reserve) : max_symbols_(max_symbols) { list_.reserve(reserve); }

  // Appends path + alternative; the path's own text is taken over when this
  // is its last alternative, so single-variant steps do not copy it.
  std::expected<void, JaLatticeError> append(Partial<kTexts>& path, std::string_view alternative,
                                             std::uint64_t alternative_chars, bool last_use) {
    total_ = saturating_add(total_, saturating_add(path.chars, alternative_chars));
    if (total_ > max_symbols_) {
      return std::unexpected(
          JaLatticeError::expansion_limit(ExpansionLimitKind::ExpandedSymbols, total_, max_symbols_));
    }
    Partial<kTexts> next;
    next.chars = path.chars + alternative_chars;
    next.vowel = last_vowel_after(path.vowel, alternative);
    if constexpr (kTexts) {
      next.text = last_use ? std::move(path.text) : path.text;
      next.text += alternative;
    }
    list_.push_back(std::move(next));
    return {};
  }
  std::size_t size() const { return list_.size(); }
  std::vector<Partial<kTexts>> take() { return std::move(list_); }

 private:
  std::uint64_t max_symbols_;
  std::uint64_t total_ = 0;
  std::vector<Partial<kTexts>> list_;
};

// Every choice of one alternative per step, as romaji_paths_from_units
// lists them, with the same errors.
template <bool kTexts>
std::expected<std::vector<Partial<kTexts>>, JaLatticeError> expand_steps(std::span<const RomajiStep> steps,
                                                                         std::uint64_t max_paths,
                                                                         std::uint64_t max_symbols) {
  std::vector<Partial<kTexts>> paths(1);
  for (const RomajiStep& step : steps) {
    if (step.kind == RomajiStep::Kind::Variants) {
      const std::uint64_t p = paths.size();
      const std::uint64_t m = step.variants.size();
      const std::uint64_t product = m != 0 && p > kSaturated / m ? kSaturated : p * m;
      if (product > max_paths) {
        return std::unexpected(JaLatticeError::expansion_limit(ExpansionLimitKind::ExpandedPaths, product, max_paths));
      }
      std::vector<std::uint64_t> variant_chars;
      variant_chars.reserve(step.variants.size());
      for (const std::string& v : step.variants) variant_chars.push_back(text::count_scalars(v));
      Stage<kTexts> stage(max_symbols, static_cast<std::size_t>(std::min<std::uint64_t>(product, 1u << 16)));
      for (Partial<kTexts>& path : paths) {
        for (std::size_t k = 0; k < step.variants.size(); ++k) {
          const bool last_use = k + 1 == step.variants.size();
          if (auto ok = stage.append(path, step.variants[k], variant_chars[k], last_use); !ok) {
            return std::unexpected(std::move(ok.error()));
          }
        }
      }
      paths = stage.take();
    } else {
      Stage<kTexts> stage(max_symbols, paths.size());
      for (Partial<kTexts>& path : paths) {
        const auto alternatives = long_vowel_alternatives(path.vowel);
        for (std::size_t k = 0; k < alternatives.size(); ++k) {
          if (stage.size() >= max_paths) {
            return std::unexpected(JaLatticeError::expansion_limit(ExpansionLimitKind::ExpandedPaths,
                                                                   saturating_add(stage.size(), 1), max_paths));
          }
          const bool last_use = k + 1 == alternatives.size();
          if (auto ok = stage.append(path, alternatives[k], 1, last_use); !ok) {
            return std::unexpected(std::move(ok.error()));
          }
        }
      }
      paths = stage.take();
    }
  }
  return paths;
}

}  // namespace

std::expected<std::vector<std::string>, JaLatticeError> romaji_paths_from_units(std::span<const Unit> units,
                                                                                std::uint64_t max_paths,
                                                                                std::uint64_t max_symbols) {
  auto steps = romaji_steps_from_units(units);
  if (!steps) return std::unexpected(std::move(steps.error()));
  auto paths = expand_steps<true>(*steps, max_paths, max_symbols);
  if (!paths) return std::unexpected(std::move(paths.error()));
  std::vector<std::string> result;
  result.reserve(paths->size());
  for (Partial<true>& path : *paths) result.push_back(std::move(path.text));
  return result;
}

std::expected<void, JaLatticeError> check_romaji_expansion(std::span<const RomajiStep> steps, std::uint64_t max_paths,
                                                           std::uint64_t max_symbols) {
  auto paths = expand_steps<false>(steps, max_paths, max_symbols);
  if (!paths) return std::unexpected(std::move(paths.error()));
  return {};
}

bool romaji_expansion_fits(std::span<const RomajiStep> steps, std::uint64_t max_paths, std::uint64_t max_symbols) {
  // Per last vowel: how many partial strings end in it and their characters
  // in all. Once a count passes its limit the answer is known, so nothing
  // below can overflow (counts stay <= max_paths, characters <= max_symbols
  // before each step).
  constexpr std::size_t kVowels = 6;
  std::array<std::uint64_t, kVowels> count{};
  std::array<std::uint64_t, kVowels> chars{};
  count[static_cast<std::size_t>(LastVowel::None)] = 1;
  std::vector<std::uint64_t> variant_chars;
  for (const RomajiStep& step : steps) {
    std::array<std::uint64_t, kVowels> next_count{};
    std::array<std::uint64_t, kVowels> next_chars{};
    std::uint64_t paths = 0;
    std::uint64_t symbols = 0;
    auto add = [&](std::size_t from, std::string_view alternative, std::uint64_t alternative_chars) {
      const auto to = static_cast<std::size_t>(last_vowel_after(static_cast<LastVowel>(from), alternative));
      const std::uint64_t c = saturating_add(chars[from], count[from] > kSaturated / std::max<std::uint64_t>(alternative_chars, 1)
                                                              ? kSaturated
                                                              : count[from] * alternative_chars);
      next_count[to] = saturating_add(next_count[to], count[from]);
      next_chars[to] = saturating_add(next_chars[to], c);
      paths = saturating_add(paths, count[from]);
      symbols = saturating_add(symbols, c);
    };
    if (step.kind == RomajiStep::Kind::Variants) {
      std::uint64_t total = 0;
      for (const std::uint64_t c : count) total = saturating_add(total, c);
      const std::uint64_t m = step.variants.size();
      const std::uint64_t product = m != 0 && total > kSaturated / m ? kSaturated : total * m;
      if (product > max_paths) return false;
      variant_chars.clear();
      for (const std::string& v : step.variants) variant_chars.push_back(text::count_scalars(v));
      for (std::size_t v = 0; v < kVowels; ++v) {
        if (count[v] == 0) continue;
        for (std::size_t k = 0; k < step.variants.size(); ++k) add(v, step.variants[k], variant_chars[k]);
      }
    } else {
      for (std::size_t v = 0; v < kVowels; ++v) {
        if (count[v] == 0) continue;
        for (std::string_view alternative : long_vowel_alternatives(static_cast<LastVowel>(v))) add(v, alternative, 1);
      }
      if (paths > max_paths) return false;
    }
    if (symbols > max_symbols) return false;
    count = next_count;
    chars = next_chars;
  }
  return true;
}

std::expected<std::vector<std::string>, JaLatticeError> romaji_paths_with_limits(std::string_view text,
                                                                                 const RomajiExpansionLimits& limits) {
  const std::uint64_t chars = text::count_scalars(text);
  if (chars > limits.max_input_chars) {
    return std::unexpected(
        JaLatticeError::expansion_limit(ExpansionLimitKind::InputCharacters, chars, limits.max_input_chars));
  }
  auto units = segment(text, RomajiSegmentMode::Direct);
  if (!units) return std::unexpected(std::move(units.error()));
  return romaji_paths_from_units(*units, limits.max_paths, limits.max_symbols);
}

bool can_build_direct_romaji_path(std::string_view text) {
  auto units = segment(text, RomajiSegmentMode::Direct);
  return units && validate_romaji_units(*units).has_value();
}

bool is_directly_readable_char(char32_t c) {
  if (c < 0x80 || text::is_white_space(c) || is_direct_punctuation(c)) return true;
  const char32_t folded = fold_katakana(c);
  if (!is_kana_unit_char(folded)) return false;
  std::string kana;
  text::append_utf8(kana, folded);
  return RomajiVariantTable::has_row(kana);
}

}  // namespace orvel::ja
