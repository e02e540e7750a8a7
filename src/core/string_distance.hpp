#pragma once
// Edit distances between character sequences (Unicode scalar values compared
// by value: no normalisation, no case folding; lengths count scalar values).
//
// Levenshtein: insert, delete, substitute at cost 1. The common prefix and
// suffix are trimmed first.
// Restricted Damerau (optimal string alignment): Levenshtein plus the swap
// of two adjacent characters at cost 1, with no edit inside a swapped pair.
// Its common prefix and suffix are trimmed as well, which leaves the
// distance unchanged: in an optimal alignment of cA and cB the two leading
// c can always be matched to each other (a swap of them swaps two equal
// characters; a deleted c whose partner aligns further on can take that
// partner's place at no higher cost), and the reversed texts have the same
// distance.
// Cutoff forms answer the exact distance when it is <= the cutoff and
// nothing otherwise; a length difference above the cutoff answers at once.
// Cutoffs of up to 3 on patterns over 64 characters enumerate the edit
// sequences after the common affixes (core/few_edits.hpp); the text forms
// do the same on the bytes of two long ASCII texts, without decoding them.
//
// Both run bit-parallel (Myers' algorithm in Hyyro's formulation, and
// Hyyro's extension for adjacent swaps): the shorter side is the pattern,
// one bit per character, so a pair costs O(ceil(m / 64) x n) word steps
// for lengths m <= n.
//
// The cutoff forms of patterns longer than one word compute only the words
// that meet the diagonal band |row - column| <= k (an alignment of cost
// <= k never leaves it), so they cost O((k / 64 + 2) x n) word steps, and
// they stop at the first column whose band cells all exceed k. Words above
// the band are frozen (the row above the first computed word is taken to
// grow by one per column) and words below it start as if each row were one
// more than the row above; both give values of real alignments, never
// smaller than the distance, so cells reached by a band path of cost <= k
// keep their exact values.
#include <cstdint>
#include <expected>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "core/distance_error.hpp"
#include "core/pattern_masks.hpp"

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

  // Matrix rows: prepare() builds the masks of one pattern, and the
  // prepared forms then compare that same pattern with many texts, without
  // trimming, with the results of the forms above.
  void prepare(std::u32string_view pattern);
  std::uint64_t prepared_levenshtein(std::u32string_view pattern, std::u32string_view text);
  std::optional<std::uint64_t> prepared_levenshtein_with_cutoff(std::u32string_view pattern,
                                                                std::u32string_view text, std::uint64_t cutoff);
  std::uint64_t prepared_damerau_levenshtein(std::u32string_view pattern, std::u32string_view text);
  std::optional<std::uint64_t> prepared_damerau_levenshtein_with_cutoff(std::u32string_view pattern,
                                                                        std::u32string_view text,
                                                                        std::uint64_t cutoff);

 private:
  // Bit-parallel kernels over the pattern whose masks are in masks_ (one
  // bit per pattern character, 64 to a word) and a non-empty text scanned
  // character by character.
  std::uint64_t levenshtein_bits(std::u32string_view pattern, std::u32string_view text);
  std::uint64_t osa_bits(std::u32string_view pattern, std::u32string_view text);
  // Banded multi-word kernels: the exact distance when it is <= cutoff,
  // nothing otherwise. Need a length gap <= cutoff.
  template <bool kSwaps>
  std::optional<std::uint64_t> banded_bits(std::u32string_view pattern, std::u32string_view text,
                                           std::uint64_t cutoff);

  PatternMasks masks_;
  // Per pattern word: vertical +1 and -1 deltas of the current column, and
  // the diagonal-zero bits of the previous one (Damerau).
  std::vector<std::uint64_t> vp_;
  std::vector<std::uint64_t> vn_;
  std::vector<std::uint64_t> d0_;
  // Banded kernels: per pattern word, the value of its last row.
  std::vector<std::uint64_t> scores_;
};

// The four text forms: UTF-8 texts decoded to scalar values, on a fresh
// workspace. The Damerau forms share the lattice distances' result type but
// have no size limit and never fail. Texts of up to 64 characters each are
// decoded onto the stack and compared with stack tables, without any heap
// allocation.
std::uint64_t levenshtein_str(std::string_view a, std::string_view b);
std::optional<std::uint64_t> levenshtein_str_with_cutoff(std::string_view a, std::string_view b,
                                                         std::uint64_t cutoff);
std::expected<std::uint64_t, DistanceError> try_damerau_levenshtein_str(std::string_view a, std::string_view b);
std::expected<std::optional<std::uint64_t>, DistanceError> try_damerau_levenshtein_str_with_cutoff(
    std::string_view a, std::string_view b, std::uint64_t cutoff);

// The Levenshtein distance of two UTF-8 texts with their lengths in
// characters (what a normalized similarity needs), as levenshtein_str.
struct TextDistance {
  std::uint64_t distance;
  std::uint64_t left_length;
  std::uint64_t right_length;
};
TextDistance levenshtein_str_counted(std::string_view a, std::string_view b);

// The middles of a and b once their longest common prefix, and then the
// longest common suffix of what follows it, are removed.
std::pair<std::u32string_view, std::u32string_view> trim_common_affixes(std::u32string_view a,
                                                                        std::u32string_view b);

// 1 - distance / max(left_len, right_len), clamped to 0..1; 1.0 when both
// lengths are 0. Callers pass the untrimmed lengths.
double normalized_similarity_from_distance(std::uint64_t distance, std::uint64_t left_len,
                                           std::uint64_t right_len);

}  // namespace orvel
