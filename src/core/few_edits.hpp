#pragma once
// Exact edit distances under a small cutoff by enumerating edit sequences
// (after the idea known as mbleven), on any character type: bytes of ASCII
// texts or scalar values.
//
// After the common prefix of a and b, the first characters differ, and an
// optimal alignment treats them in one of four ways: substitute them,
// delete a[0], insert b[0], or (restricted Damerau) swap a[0..2) with
// b[0..2) when they are each other's reverse. Each way costs 1 plus the
// distance of what remains, and a common prefix can always be matched at
// no cost (see trim_common_affixes), so
//   d(a, b) = d(a', b')                       after the common prefix,
//   d(a, b) = |a| + |b|                        when either is empty,
//   d(a, b) = 1 + min over the four ways       otherwise,
// which is the plain recurrence read from the front. The search follows it
// with a budget: a branch stops as soon as its lower bound (1 at a
// mismatch, and the length gap) exceeds what is left, so a cutoff k visits
// at most 4^k branches, each walking its texts once; texts that part at
// once cost O(k) whatever their length.
#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace orvel::detail {

// Cutoffs up to this many edits take the enumeration: 4^3 branches at most.
inline constexpr std::size_t kFewEditsMaxCutoff = 3;

// Length of the common prefix (kFromEnd false) or suffix of a and b,
// eight bytes at a time. A word's first characters in memory are its low
// bytes, so the prefix ends at the lowest differing byte and the suffix
// at the highest.
template <bool kFromEnd, class Char>
std::size_t common_run_length(std::basic_string_view<Char> a, std::basic_string_view<Char> b) {
  constexpr std::size_t kPerWord = 8 / sizeof(Char);
  const std::size_t shorter = std::min(a.size(), b.size());
  const auto at = [](std::basic_string_view<Char> s, std::size_t i, std::size_t width) {
    return s.data() + (kFromEnd ? s.size() - i - width : i);
  };
  std::size_t i = 0;
  for (; i + kPerWord <= shorter; i += kPerWord) {
    std::uint64_t x, y;
    std::memcpy(&x, at(a, i, kPerWord), 8);
    std::memcpy(&y, at(b, i, kPerWord), 8);
    if (x != y) {
      const int equal_bits = kFromEnd ? std::countl_zero(x ^ y) : std::countr_zero(x ^ y);
      return i + static_cast<std::size_t>(equal_bits) / (8 * sizeof(Char));
    }
  }
  while (i < shorter && *at(a, i, 1) == *at(b, i, 1)) ++i;
  return i;
}

template <class Char>
std::size_t common_prefix_length(std::basic_string_view<Char> a, std::basic_string_view<Char> b) {
  return common_run_length<false>(a, b);
}

template <class Char>
std::size_t common_suffix_length(std::basic_string_view<Char> a, std::basic_string_view<Char> b) {
  return common_run_length<true>(a, b);
}

// The middles of a and b once their longest common prefix, and then the
// longest common suffix of what follows it, are removed.
template <class Char>
std::pair<std::basic_string_view<Char>, std::basic_string_view<Char>> trim_affixes(std::basic_string_view<Char> a,
                                                                                   std::basic_string_view<Char> b) {
  const std::size_t prefix = common_prefix_length(a, b);
  a.remove_prefix(prefix);
  b.remove_prefix(prefix);
  const std::size_t suffix = common_suffix_length(a, b);
  a.remove_suffix(suffix);
  b.remove_suffix(suffix);
  return {a, b};
}

// The distance of a and b when it is <= budget, budget + 1 otherwise.
template <bool kSwaps, class Char>
std::size_t few_edits(std::basic_string_view<Char> a, std::basic_string_view<Char> b, std::size_t budget) {
  const std::size_t skip = common_prefix_length(a, b);
  a.remove_prefix(skip);
  b.remove_prefix(skip);
  if (a.empty() || b.empty()) return std::min(a.size() + b.size(), budget + 1);
  const std::size_t gap = a.size() > b.size() ? a.size() - b.size() : b.size() - a.size();
  if (std::max<std::size_t>(gap, 1) > budget) return budget + 1;
  std::size_t best = budget + 1;
  // One edit, then the rest within what would still improve on `best`.
  const auto after = [&best](std::basic_string_view<Char> x, std::basic_string_view<Char> y) {
    if (best <= 1) return;
    best = std::min(best, 1 + few_edits<kSwaps>(x, y, best - 2));
  };
  after(a.substr(1), b.substr(1));
  after(a.substr(1), b);
  after(a, b.substr(1));
  if constexpr (kSwaps) {
    if (a.size() >= 2 && b.size() >= 2 && a[0] == b[1] && a[1] == b[0]) after(a.substr(2), b.substr(2));
  }
  return best;
}

// True when every byte of `text` is ASCII.
inline bool all_ascii(std::string_view text) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
  std::size_t i = 0;
#if defined(__SSE2__)
  for (; i + 64 <= text.size(); i += 64) {
    const auto* p = reinterpret_cast<const __m128i*>(bytes + i);
    const __m128i any = _mm_or_si128(_mm_or_si128(_mm_loadu_si128(p), _mm_loadu_si128(p + 1)),
                                     _mm_or_si128(_mm_loadu_si128(p + 2), _mm_loadu_si128(p + 3)));
    if (_mm_movemask_epi8(any) != 0) return false;
  }
#endif
  unsigned char any = 0;
  for (; i < text.size(); ++i) any |= bytes[i];
  return any < 0x80;
}

}  // namespace orvel::detail
