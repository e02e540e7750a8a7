#pragma once
// Shared by the reading front targets: query options from one input byte,
// and the invariants every lattice and string list of a text must meet.
#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "core/dictionary_options.hpp"
#include "core/lattice_distance.hpp"
#include "fuzz_support.hpp"

namespace orvel::fuzz {

// Bits 0-2: max_span_chars 1..8; 3-4: max_paths 1, 4, 64 or 1024; 5:
// longest_only; 6-7: max_readings_per_segment absent, 0, 1 or 2.
inline DictionaryOptions options_from_byte(std::uint8_t o) {
  static constexpr std::uint64_t kPaths[] = {1, 4, 64, 1024};
  DictionaryOptions options;
  options.max_span_chars = 1 + (o & 7u);
  options.max_paths = kPaths[(o >> 3) & 3u];
  options.longest_only = (o & 0x20u) != 0;
  if (const unsigned r = (o >> 6) & 3u; r != 0) options.max_readings_per_segment = r - 1;
  return options;
}

// A text's lattice is at distance 0 from itself in both models, by every
// form; its end is reachable.
inline void check_self_distance(const Lattice& lattice) {
  if (lattice.node_count() > 400) return;  // keeps a run short
  DistanceWorkspace ws;
  auto lev = ws.try_distance(lattice, lattice);
  auto osa = ws.try_damerau_distance(lattice, lattice);
  ORVEL_FUZZ_CHECK(lev && *lev == 0);
  ORVEL_FUZZ_CHECK(osa && *osa == 0);
  auto cut = ws.try_damerau_distance_with_cutoff(lattice, lattice, 0);
  ORVEL_FUZZ_CHECK(cut && *cut == std::optional<std::uint64_t>(0));
  auto within = ws.try_within_distance(lattice, lattice, 0);
  ORVEL_FUZZ_CHECK(within && *within);
}

// The string list of a text: never empty, the one empty string exactly for
// the empty text, otherwise non-empty strings only.
inline void check_string_list(std::string_view text, const std::vector<std::string>& strings) {
  ORVEL_FUZZ_CHECK(!strings.empty());
  if (text.empty()) {
    ORVEL_FUZZ_CHECK(strings.size() == 1 && strings[0].empty());
  }
}

// The lattice spells exactly the listed strings (checked when it spells few).
inline void check_same_strings(const Lattice& lattice, const std::vector<std::string>& strings) {
  if (path_count(lattice, 4097) > 4096) return;
  ORVEL_FUZZ_CHECK(sorted_spelt_strings(lattice) == sorted_unique(strings));
}

// The spans of n characters up to `width` wide, in the order of the
// best-span searches (ends ascending, starts descending) or, with
// `shuffled`, in an order drawn from `seed`.
inline std::vector<std::pair<std::size_t, std::size_t>> spans_in_order(std::size_t n, std::uint64_t width,
                                                                        bool shuffled, std::uint32_t seed) {
  std::vector<std::pair<std::size_t, std::size_t>> spans;
  for (std::size_t end = 1; end <= n; ++end) {
    for (std::size_t start = end; start-- > 0 && end - start <= width;) spans.emplace_back(start, end);
  }
  if (shuffled) {
    std::mt19937 rng(seed);
    std::shuffle(spans.begin(), spans.end(), rng);
  }
  return spans;
}

}  // namespace orvel::fuzz
