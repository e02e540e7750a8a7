#pragma once
// Edit distances between character sequences (Unicode scalar values compared
// by value: no normalisation, no case folding; lengths count scalar values).
//
// Levenshtein: insert, delete, substitute at cost 1. The common prefix and
// suffix are trimmed first; the rest runs over the shorter side.
// Restricted Damerau (optimal string alignment): Levenshtein plus the swap
// of two adjacent characters at cost 1, with no edit inside a swapped pair.
// Cutoff forms answer the exact distance when it is <= the cutoff and
// nothing otherwise; they give up early once the cutoff cannot be met.
#include <cstdint>
#include <expected>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "core/distance_error.hpp"

namespace orvel {

// Scratch rows owned by the caller and lent to one operation at a time. Each
// operation overwrites what it uses and keeps the capacity, so a loop over
// many pairs allocates nothing once the rows have grown to the longest side.
class StringDistanceWorkspace {
 public:
  StringDistanceWorkspace() = default;

  std::uint64_t levenshtein(std::u32string_view a, std::u32string_view b);
  std::optional<std::uint64_t> levenshtein_with_cutoff(std::u32string_view a, std::u32string_view b,
                                                       std::uint64_t cutoff);
  std::uint64_t damerau_levenshtein(std::u32string_view a, std::u32string_view b);
  std::optional<std::uint64_t> damerau_levenshtein_with_cutoff(std::u32string_view a, std::u32string_view b,
                                                               std::uint64_t cutoff);

 private:
  std::vector<std::uint64_t> two_back_;
  std::vector<std::uint64_t> previous_;
  std::vector<std::uint64_t> current_;
  // Per-character match masks of the bit-parallel kernels.
  std::vector<std::pair<char32_t, std::uint64_t>> masks_;
};

// The four text forms: UTF-8 texts decoded to scalar values, on a fresh
// workspace. The Damerau forms share the lattice distances' result type but
// have no size limit and never fail.
std::uint64_t levenshtein_str(std::string_view a, std::string_view b);
std::optional<std::uint64_t> levenshtein_str_with_cutoff(std::string_view a, std::string_view b,
                                                         std::uint64_t cutoff);
std::expected<std::uint64_t, DistanceError> try_damerau_levenshtein_str(std::string_view a, std::string_view b);
std::expected<std::optional<std::uint64_t>, DistanceError> try_damerau_levenshtein_str_with_cutoff(
    std::string_view a, std::string_view b, std::uint64_t cutoff);

// The middles of a and b once their longest common prefix, and then the
// longest common suffix of what follows it, are removed.
std::pair<std::u32string_view, std::u32string_view> trim_common_affixes(std::u32string_view a,
                                                                        std::u32string_view b);

// 1 - distance / max(left_len, right_len), clamped to 0..1; 1.0 when both
// lengths are 0. Callers pass the untrimmed lengths.
double normalized_similarity_from_distance(std::uint64_t distance, std::uint64_t left_len,
                                           std::uint64_t right_len);

}  // namespace orvel
