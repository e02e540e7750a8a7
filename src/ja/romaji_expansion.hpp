#pragma once
// Listing every romaji string of a text, under limits that are checked before
// memory is taken for each stage.
#include <cstdint>
#include <expected>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "ja/ja_lattice_error.hpp"
#include "ja/romaji_segment.hpp"
#include "ja/romaji_steps.hpp"

namespace orvel::ja {

struct RomajiExpansionLimits {
  std::uint64_t max_input_chars = 0;  // characters of the text
  std::uint64_t max_paths = 0;        // romaji strings
  std::uint64_t max_symbols = 0;      // characters over all strings of one step
};

// The limits of the query front.
inline constexpr RomajiExpansionLimits kQueryRomajiLimits{1024, 65536, 1048576};

// Every choice of one alternative per step, path-major in step order;
// duplicates stay (んんい gives nnni twice). No units give the one empty
// string. A Variants step fails with ExpansionLimit (paths, p x m saturated)
// before it is built; a long-vowel step with the count + 1 when the list is
// full; either fails with ExpansionLimit (symbols, running total) when the
// characters of the step's new list pass `max_symbols`.
std::expected<std::vector<std::string>, JaLatticeError> romaji_paths_from_units(std::span<const Unit> units,
                                                                                std::uint64_t max_paths,
                                                                                std::uint64_t max_symbols);

// The outcome of romaji_paths_from_units(units of `steps`, max_paths,
// max_symbols) without the strings' texts: the same expansion over lengths
// and last vowels, so an error carries the same counts.
std::expected<void, JaLatticeError> check_romaji_expansion(std::span<const RomajiStep> steps, std::uint64_t max_paths,
                                                           std::uint64_t max_symbols);

// Whether romaji_paths_from_units(units of `steps`, max_paths, max_symbols)
// succeeds, found by counting the strings and characters per last vowel
// instead of listing them.
bool romaji_expansion_fits(std::span<const RomajiStep> steps, std::uint64_t max_paths, std::uint64_t max_symbols);

// The romaji strings of a typed text (Direct mode): ExpansionLimit (input
// characters) first, then the errors of segment and romaji_paths_from_units.
std::expected<std::vector<std::string>, JaLatticeError> romaji_paths_with_limits(std::string_view text,
                                                                                 const RomajiExpansionLimits& limits);

// True when the text segments in Direct mode and every kana unit has a row.
// No limit applies; the empty text gives true.
bool can_build_direct_romaji_path(std::string_view text);

// True for a character that can_build_direct_romaji_path accepts on its own:
// whitespace, ASCII, Direct-mode punctuation, or kana (after katakana
// folding) with a row of its own. A digraph's parts each have a row and no
// row-less kana can join a digraph, so a text is directly readable exactly
// when every one of its characters is.
bool is_directly_readable_char(char32_t c);

}  // namespace orvel::ja
