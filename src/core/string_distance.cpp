#include "core/string_distance.hpp"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <tuple>

#include "core/few_edits.hpp"
#include "text/utf8.hpp"

namespace orvel {

std::pair<std::u32string_view, std::u32string_view> trim_common_affixes(std::u32string_view a,
                                                                        std::u32string_view b) {
  return detail::trim_affixes(a, b);
}

namespace {

// The one-word kernels: a pattern of 1 to 64 characters whose match mask
// for a text character c is mask_of(c).
template <class MaskOf>
std::uint64_t one_word_levenshtein(const MaskOf& mask_of, std::size_t m, std::u32string_view text) {
  const std::uint64_t last = std::uint64_t{1} << (m - 1);
  std::uint64_t score = m;
  std::uint64_t vp = ~std::uint64_t{0}, vn = 0;
  for (const char32_t c : text) {
    const std::uint64_t pm = mask_of(c);
    const std::uint64_t x = pm | vn;
    const std::uint64_t d0 = (((x & vp) + vp) ^ vp) | x;
    std::uint64_t hp = vn | ~(d0 | vp);
    std::uint64_t hn = vp & d0;
    score += (hp & last) != 0;
    score -= (hn & last) != 0;
    hp = (hp << 1) | 1;  // the top row grows by one per text character
    hn <<= 1;
    vp = hn | ~(d0 | hp);
    vn = hp & d0;
  }
  return score;
}

template <class MaskOf>
std::uint64_t one_word_osa(const MaskOf& mask_of, std::size_t m, std::u32string_view text) {
  const std::uint64_t last = std::uint64_t{1} << (m - 1);
  std::uint64_t score = m;
  std::uint64_t vp = ~std::uint64_t{0}, vn = 0, d0 = 0, pm_prev = 0;
  for (const char32_t c : text) {
    const std::uint64_t pm = mask_of(c);
    // Swaps: pattern positions i-1, i matching text characters j, j-1.
    const std::uint64_t tr = (((~d0) & pm) << 1) & pm_prev;
    d0 = (((pm & vp) + vp) ^ vp) | pm | vn | tr;
    std::uint64_t hp = vn | ~(d0 | vp);
    std::uint64_t hn = d0 & vp;
    score += (hp & last) != 0;
    score -= (hn & last) != 0;
    hp = (hp << 1) | 1;
    hn <<= 1;
    vp = hn | ~(d0 | hp);
    vn = hp & d0;
    pm_prev = pm;
  }
  return score;
}

}  // namespace

std::uint64_t StringDistanceWorkspace::levenshtein_bits(std::u32string_view pattern, std::u32string_view text) {
  const std::size_t words = masks_.words();
  if (words == 1) {
    return one_word_levenshtein([this](char32_t c) { return *masks_.masks(c); }, pattern.size(), text);
  }
  const std::size_t top = (pattern.size() - 1) % 64;
  std::uint64_t score = pattern.size();

  vp_.assign(words, ~std::uint64_t{0});
  vn_.assign(words, 0);
  std::uint64_t* const vps = vp_.data();
  std::uint64_t* const vns = vn_.data();
  for (const char32_t c : text) {
    const std::uint64_t* const pm = masks_.masks(c);
    // Horizontal deltas leaving the top row of one word enter the next.
    std::uint64_t hp_carry = 1, hn_carry = 0;
    for (std::size_t w = 0; w < words; ++w) {
      const std::uint64_t vp = vps[w], vn = vns[w];
      const std::uint64_t x = pm[w] | hn_carry;
      const std::uint64_t d0 = (((x & vp) + vp) ^ vp) | x | vn;
      std::uint64_t hp = vn | ~(d0 | vp);
      std::uint64_t hn = vp & d0;
      const std::uint64_t hp_in = hp_carry, hn_in = hn_carry;
      const unsigned shift_out = w + 1 < words ? 63 : top;
      hp_carry = (hp >> shift_out) & 1;
      hn_carry = (hn >> shift_out) & 1;
      hp = (hp << 1) | hp_in;
      hn = (hn << 1) | hn_in;
      vps[w] = hn | ~(d0 | hp);
      vns[w] = hp & d0;
    }
    score += hp_carry;
    score -= hn_carry;
  }
  return score;
}

std::uint64_t StringDistanceWorkspace::osa_bits(std::u32string_view pattern, std::u32string_view text) {
  const std::size_t words = masks_.words();
  if (words == 1) return one_word_osa([this](char32_t c) { return *masks_.masks(c); }, pattern.size(), text);
  const std::size_t top = (pattern.size() - 1) % 64;
  std::uint64_t score = pattern.size();
  const std::uint64_t* pm_old = masks_.zero();

  vp_.assign(words, ~std::uint64_t{0});
  vn_.assign(words, 0);
  d0_.assign(words, 0);
  std::uint64_t* const vps = vp_.data();
  std::uint64_t* const vns = vn_.data();
  std::uint64_t* const d0s = d0_.data();
  for (const char32_t c : text) {
    const std::uint64_t* const pm = masks_.masks(c);
    std::uint64_t hp_carry = 1, hn_carry = 0, tr_carry = 0;
    for (std::size_t w = 0; w < words; ++w) {
      const std::uint64_t vp = vps[w], vn = vns[w];
      const std::uint64_t swap_from = (~d0s[w]) & pm[w];  // previous column's D0
      const std::uint64_t tr = ((swap_from << 1) | tr_carry) & pm_old[w];
      tr_carry = swap_from >> 63;
      const std::uint64_t x = pm[w] | hn_carry;
      const std::uint64_t d0 = (((x & vp) + vp) ^ vp) | x | vn | tr;
      std::uint64_t hp = vn | ~(d0 | vp);
      std::uint64_t hn = vp & d0;
      const std::uint64_t hp_in = hp_carry, hn_in = hn_carry;
      const unsigned shift_out = w + 1 < words ? 63 : top;
      hp_carry = (hp >> shift_out) & 1;
      hn_carry = (hn >> shift_out) & 1;
      hp = (hp << 1) | hp_in;
      hn = (hn << 1) | hn_in;
      vps[w] = hn | ~(d0 | hp);
      vns[w] = hp & d0;
      d0s[w] = d0;
    }
    score += hp_carry;
    score -= hn_carry;
    pm_old = pm;
  }
  return score;
}

namespace {

// The pattern of the bit-parallel kernels is the shorter side.
std::pair<std::u32string_view, std::u32string_view> pattern_and_text(std::u32string_view a, std::u32string_view b) {
  if (a.size() <= b.size()) return {a, b};
  return {b, a};
}

template <class Char>
std::size_t length_gap(std::basic_string_view<Char> a, std::basic_string_view<Char> b) {
  return a.size() > b.size() ? a.size() - b.size() : b.size() - a.size();
}

std::optional<std::uint64_t> within(std::uint64_t distance, std::uint64_t cutoff) {
  if (distance > cutoff) return std::nullopt;
  return distance;
}


// A look at the first rows of a small band before the masks of a long
// pattern are built: the plain programme over the cells |row - column| <= k
// (rows over the text, values capped at k + 1), true as soon as a row has
// no cell <= k, which settles that the distance exceeds k. Texts that part
// at once cost O(k) instead of the pattern's length.
constexpr std::size_t kProbeRows = 64;
constexpr std::size_t kProbeMaxCutoff = 31;

bool band_exceeds_early(std::u32string_view pattern, std::u32string_view text, std::size_t k, bool swaps) {
  const std::size_t width = 2 * k + 3;  // offsets 0..2k+2; column = row + offset - k - 1
  const std::uint64_t cap = k + 1;
  const auto column = [k](std::size_t row, std::size_t off) {
    return static_cast<std::ptrdiff_t>(row + off) - static_cast<std::ptrdiff_t>(k) - 1;
  };
  const auto w = static_cast<std::ptrdiff_t>(pattern.size());
  std::uint64_t rows[3][2 * kProbeMaxCutoff + 3];
  std::uint64_t* two = rows[0];
  std::uint64_t* prev = rows[1];
  std::uint64_t* cur = rows[2];
  for (std::size_t off = 0; off < width; ++off) {
    const std::ptrdiff_t c = column(0, off);
    two[off] = cap;
    prev[off] = c >= 0 && c <= w ? std::min<std::uint64_t>(static_cast<std::uint64_t>(c), cap) : cap;
  }
  const std::size_t last = std::min(text.size(), kProbeRows);
  for (std::size_t r = 1; r <= last; ++r) {
    std::uint64_t row_min = cap;
    for (std::size_t off = 0; off < width; ++off) {
      const std::ptrdiff_t c = column(r, off);
      if (c < 0 || c > w) {
        cur[off] = cap;
        continue;
      }
      if (c == 0) {
        cur[off] = std::min<std::uint64_t>(r, cap);
      } else {
        const auto ci = static_cast<std::size_t>(c);
        const std::uint64_t up = off + 1 < width ? prev[off + 1] : cap;
        const std::uint64_t left = off > 0 ? cur[off - 1] : cap;
        std::uint64_t v = std::min({prev[off] + (text[r - 1] != pattern[ci - 1]), up + 1, left + 1});
        if (swaps && r >= 2 && ci >= 2 && text[r - 1] == pattern[ci - 2] && text[r - 2] == pattern[ci - 1]) {
          v = std::min(v, two[off] + 1);
        }
        cur[off] = std::min(v, cap);
      }
      row_min = std::min(row_min, cur[off]);
    }
    if (row_min > k) return true;
    std::uint64_t* const spare = two;
    two = prev;
    prev = cur;
    cur = spare;
  }
  return false;
}

// The band of a cutoff k <= 31 in one word, for patterns of characters
// below U+0100: bit b of column j stands for row t + b, t = max(1, j - k),
// so the band |row - column| <= k (width 2k + 1) fits. From column k + 2 on
// the band moves down one row per column: the previous column's words are
// shifted to the new rows, the row entering at the bottom starts one more
// than the row above it, and the row leaving at the top is taken to grow by
// one per column (both values of real alignments, never below the
// distance; cells reached by a band path of cost <= k keep their values).
// Match masks slide with the band: each character keeps its bits and the
// top row they were stored for, shifted on use, and each pattern character
// is entered once as its row joins the band. The value of the top band row
// is followed column by column; the bottom row is reached from it at the
// end. Costs O(n) word steps and no table of the whole pattern.
constexpr std::size_t kSmallBandMaxCutoff = 31;

bool below_u0100(std::u32string_view s) {
  char32_t any = 0;
  for (const char32_t c : s) any |= c;
  return any < 256;
}

template <bool kSwaps>
std::optional<std::uint64_t> small_band(std::u32string_view pattern, std::u32string_view text, std::size_t k) {
  const std::size_t m = pattern.size(), n = text.size();
  const std::size_t width = 2 * k + 1;
  const std::uint64_t full = (std::uint64_t{1} << width) - 1;
  const std::uint64_t bottom = std::uint64_t{1} << (width - 1);
  struct Slot {
    std::uint64_t bits = 0;
    std::size_t top = 0;
  };
  // Slot 256 stands for every character from U+0100 on: never entered.
  std::array<Slot, 257> slots{};
  // Bits occupy fewer than 63 places, so a shift of 63 clears them.
  const auto mask_of = [&](char32_t c, std::size_t top) -> std::uint64_t {
    const Slot& slot = slots[c < 256 ? c : 256];
    return slot.bits >> std::min<std::size_t>(top - slot.top, 63);
  };
  const auto enter = [&](std::size_t row, std::size_t top) {
    Slot& slot = slots[pattern[row - 1]];
    slot.bits = (slot.bits >> std::min<std::size_t>(top - slot.top, 63)) | (std::uint64_t{1} << (row - top));
    slot.top = top;
  };

  std::size_t top = 1;
  for (std::size_t row = 1; row <= std::min(width, m); ++row) enter(row, top);
  // vp may carry bits above the band: the shift brings one of them to the
  // bottom row, which is set anyway; vn's are cleared.
  std::uint64_t vp = full, vn = 0, d0_prev = full;
  std::uint64_t top_value = 1;  // D[1][0]
  // One column: returns the horizontal +1 and -1 of the band's top row.
  const auto column = [&](std::size_t j, std::uint64_t& hp_top, std::uint64_t& hn_top) {
    const std::uint64_t pm = mask_of(text[j - 1], top);
    std::uint64_t d0 = (((pm & vp) + vp) ^ vp) | pm | vn;
    if constexpr (kSwaps) {
      const std::uint64_t pm_prev = j >= 2 ? mask_of(text[j - 2], top) : 0;
      d0 |= ((~d0_prev & pm) << 1) & pm_prev;
      d0_prev = d0;
    }
    const std::uint64_t hp = vn | ~(d0 | vp);
    const std::uint64_t hn = vp & d0;
    hp_top = hp & 1;
    hn_top = hn & 1;
    const std::uint64_t hp_in = (hp << 1) | 1, hn_in = hn << 1;
    vp = hn_in | ~(d0 | hp_in);
    vn = hp_in & d0 & full;
  };
  // Every 64 columns: stop once no band cell is <= k.
  const auto band_exceeds = [&] {
    std::uint64_t v = top_value, low = top_value;
    for (std::size_t b = 1; b < width && top + b <= m; ++b) {
      v = v + ((vp >> b) & 1) - ((vn >> b) & 1);
      low = std::min(low, v);
    }
    return low > k;
  };

  // Columns 1..k+1: the band starts at row 1, whose top row follows its
  // horizontal steps.
  std::size_t j = 1;
  for (; j <= n && j <= k + 1; ++j) {
    std::uint64_t hp_top, hn_top;
    column(j, hp_top, hn_top);
    top_value = top_value + hp_top - hn_top;
  }
  // Then the band moves down a row per column: the new top row is reached
  // from the old one by the row above's +1 and its own vertical step.
  for (; j <= n; ++j) {
    ++top;
    vp = (vp >> 1) | bottom;
    vn >>= 1;
    if constexpr (kSwaps) d0_prev = (d0_prev >> 1) | bottom;
    if (top + width - 1 <= m) enter(top + width - 1, top);
    std::uint64_t hp_top, hn_top;
    column(j, hp_top, hn_top);
    top_value = top_value + 1 + (vp & 1) - (vn & 1);
    if (j % 64 == 0 && band_exceeds()) return std::nullopt;
  }
  const std::uint64_t down = ((std::uint64_t{1} << (m - top + 1)) - 1) & ~std::uint64_t{1};
  const std::uint64_t d = top_value + static_cast<std::uint64_t>(std::popcount(vp & down)) -
                          static_cast<std::uint64_t>(std::popcount(vn & down));
  if (d > k) return std::nullopt;
  return d;
}

}  // namespace

template <bool kSwaps>
std::optional<std::uint64_t> StringDistanceWorkspace::banded_bits(std::u32string_view pattern,
                                                                  std::u32string_view text, std::uint64_t cutoff) {
  const std::size_t m = pattern.size();
  const std::size_t n = text.size();
  const std::size_t words = masks_.words();
  const unsigned top = static_cast<unsigned>((m - 1) % 64);
  // Cutoffs beyond the longer length change nothing; clamping keeps j + k
  // from overflowing.
  const std::size_t k = static_cast<std::size_t>(std::min<std::uint64_t>(cutoff, std::max(m, n)));
  auto rows_in = [&](std::size_t w) { return w + 1 < words ? std::size_t{64} : m - 64 * w; };
  auto last_row = [&](std::size_t w) { return std::min(64 * (w + 1), m); };
  // The word holding band row min(m, j + k) (rows count from 1).
  auto last_word = [&](std::size_t j) { return (std::min(m, j + k) - 1) / 64; };

  vp_.resize(words);
  vn_.resize(words);
  d0_.resize(words);
  scores_.resize(words);
  std::uint64_t* const vps = vp_.data();
  std::uint64_t* const vns = vn_.data();
  std::uint64_t* const d0s = d0_.data();
  std::uint64_t* const scores = scores_.data();

  // Column 0: D[i][0] = i.
  std::size_t first = 0;
  std::size_t last = last_word(1);
  for (std::size_t w = 0; w <= last; ++w) {
    vps[w] = ~std::uint64_t{0};
    vns[w] = 0;
    d0s[w] = ~std::uint64_t{0};
    scores[w] = last_row(w);
  }
  const std::uint64_t* pm_old = masks_.zero();

  for (std::size_t j = 1; j <= n; ++j) {
    // Words entering the band start one more per row than the word above.
    for (const std::size_t reach = last_word(j); last < reach;) {
      ++last;
      vps[last] = ~std::uint64_t{0};
      vns[last] = 0;
      d0s[last] = ~std::uint64_t{0};
      scores[last] = scores[last - 1] + rows_in(last);
    }
    // Words whose rows all lie above the band (row < j - k) are frozen.
    while (j > k && 64 * (first + 1) < j - k) ++first;

    const std::uint64_t* const pm = masks_.masks(text[j - 1]);
    std::uint64_t hp_carry = 1, hn_carry = 0, tr_carry = 0;
    for (std::size_t w = first; w <= last; ++w) {
      const std::uint64_t vp = vps[w], vn = vns[w];
      std::uint64_t tr = 0;
      if constexpr (kSwaps) {
        const std::uint64_t swap_from = (~d0s[w]) & pm[w];
        tr = ((swap_from << 1) | tr_carry) & pm_old[w];
        tr_carry = swap_from >> 63;
      }
      const std::uint64_t x = pm[w] | hn_carry;
      const std::uint64_t d0 = (((x & vp) + vp) ^ vp) | x | vn | tr;
      std::uint64_t hp = vn | ~(d0 | vp);
      std::uint64_t hn = vp & d0;
      const std::uint64_t hp_in = hp_carry, hn_in = hn_carry;
      const unsigned shift_out = w + 1 < words ? 63 : top;
      hp_carry = (hp >> shift_out) & 1;
      hn_carry = (hn >> shift_out) & 1;
      scores[w] = scores[w] + hp_carry - hn_carry;
      hp = (hp << 1) | hp_in;
      hn = (hn << 1) | hn_in;
      vps[w] = hn | ~(d0 | hp);
      vns[w] = hp & d0;
      if constexpr (kSwaps) d0s[w] = d0;
    }
    pm_old = pm;

    // A word's rows are at least its last row's value minus their distance
    // to it; once every band word is above k, so is the distance.
    bool open = false;
    for (std::size_t w = first; w <= last && !open; ++w) open = scores[w] < k + rows_in(w);
    if (!open) return std::nullopt;
  }
  return within(scores[words - 1], cutoff);
}

std::uint64_t StringDistanceWorkspace::levenshtein(std::u32string_view a, std::u32string_view b) {
  std::tie(a, b) = trim_common_affixes(a, b);
  const auto [pattern, text] = pattern_and_text(a, b);
  if (pattern.empty()) return text.size();
  masks_.build(pattern);
  return levenshtein_bits(pattern, text);
}

std::optional<std::uint64_t> StringDistanceWorkspace::levenshtein_with_cutoff(std::u32string_view a,
                                                                              std::u32string_view b,
                                                                              std::uint64_t cutoff) {
  std::tie(a, b) = trim_common_affixes(a, b);
  if (length_gap(a, b) > cutoff) return std::nullopt;
  const auto [pattern, text] = pattern_and_text(a, b);
  if (pattern.empty()) return text.size();
  if (pattern.size() > 64 && cutoff <= detail::kFewEditsMaxCutoff) {
    return within(detail::few_edits<false>(pattern, text, cutoff), cutoff);
  }
  if (pattern.size() > 64 && cutoff <= kProbeMaxCutoff && band_exceeds_early(pattern, text, cutoff, false)) {
    return std::nullopt;
  }
  if (pattern.size() > 64 && cutoff <= kSmallBandMaxCutoff && below_u0100(pattern)) {
    return small_band<false>(pattern, text, cutoff);
  }
  masks_.build(pattern);
  if (pattern.size() > 64) return banded_bits<false>(pattern, text, cutoff);
  return within(levenshtein_bits(pattern, text), cutoff);
}

std::uint64_t StringDistanceWorkspace::damerau_levenshtein(std::u32string_view a, std::u32string_view b) {
  std::tie(a, b) = trim_common_affixes(a, b);
  const auto [pattern, text] = pattern_and_text(a, b);
  if (pattern.empty()) return text.size();
  masks_.build(pattern);
  return osa_bits(pattern, text);
}

std::optional<std::uint64_t> StringDistanceWorkspace::damerau_levenshtein_with_cutoff(std::u32string_view a,
                                                                                      std::u32string_view b,
                                                                                      std::uint64_t cutoff) {
  if (length_gap(a, b) > cutoff) return std::nullopt;
  std::tie(a, b) = trim_common_affixes(a, b);
  const auto [pattern, text] = pattern_and_text(a, b);
  if (pattern.empty()) return within(text.size(), cutoff);
  if (pattern.size() > 64 && cutoff <= detail::kFewEditsMaxCutoff) {
    return within(detail::few_edits<true>(pattern, text, cutoff), cutoff);
  }
  if (pattern.size() > 64 && cutoff <= kProbeMaxCutoff && band_exceeds_early(pattern, text, cutoff, true)) {
    return std::nullopt;
  }
  if (pattern.size() > 64 && cutoff <= kSmallBandMaxCutoff && below_u0100(pattern)) {
    return small_band<true>(pattern, text, cutoff);
  }
  masks_.build(pattern);
  // The banded multi-word form of the swap model can overestimate by one
  // where a pattern word enters the band; the full form is exact.
  return within(osa_bits(pattern, text), cutoff);
}

void StringDistanceWorkspace::prepare(std::u32string_view pattern) { masks_.build(pattern); }

std::uint64_t StringDistanceWorkspace::prepared_levenshtein(std::u32string_view pattern, std::u32string_view text) {
  if (pattern.empty() || text.empty()) return pattern.size() + text.size();
  return levenshtein_bits(pattern, text);
}

std::optional<std::uint64_t> StringDistanceWorkspace::prepared_levenshtein_with_cutoff(std::u32string_view pattern,
                                                                                       std::u32string_view text,
                                                                                       std::uint64_t cutoff) {
  if (length_gap(pattern, text) > cutoff) return std::nullopt;
  if (pattern.empty() || text.empty()) return pattern.size() + text.size();
  if (pattern.size() > 64) return banded_bits<false>(pattern, text, cutoff);
  return within(levenshtein_bits(pattern, text), cutoff);
}

std::uint64_t StringDistanceWorkspace::prepared_damerau_levenshtein(std::u32string_view pattern,
                                                                    std::u32string_view text) {
  if (pattern.empty() || text.empty()) return pattern.size() + text.size();
  return osa_bits(pattern, text);
}

std::optional<std::uint64_t> StringDistanceWorkspace::prepared_damerau_levenshtein_with_cutoff(
    std::u32string_view pattern, std::u32string_view text, std::uint64_t cutoff) {
  if (length_gap(pattern, text) > cutoff) return std::nullopt;
  if (pattern.empty() || text.empty()) return pattern.size() + text.size();
  return within(osa_bits(pattern, text), cutoff);
}

namespace {

// Texts of up to kShort characters are decoded onto the stack and compared
// with stack tables: a single call of the text forms then allocates nothing.
constexpr std::size_t kShort = 64;

// Decodes `text` into out[0..kShort) when it has at most kShort characters.
bool decode_short(std::string_view text, char32_t* out, std::size_t& size) {
  if (text.size() > 4 * kShort) return false;
  size = 0;
  const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
  std::size_t pos = 0;
  // Eight ASCII bytes at a time, then character by character.
  while (pos + 8 <= text.size() && size + 8 <= kShort) {
    std::uint64_t word;
    std::memcpy(&word, bytes + pos, 8);
    if ((word & 0x8080'8080'8080'8080u) != 0) break;
    for (unsigned k = 0; k < 8; ++k) out[size + k] = bytes[pos + k];
    size += 8;
    pos += 8;
  }
  while (pos < text.size()) {
    if (size == kShort) return false;
    if (bytes[pos] < 0x80) {
      out[size++] = bytes[pos++];  // ASCII, the common case
    } else {
      out[size++] = text::next_scalar(text, pos);
    }
  }
  return true;
}

// Match masks of a pattern of at most 64 characters against one text. Only
// the direct entries of characters of the pattern or the text are zeroed
// and then read, so the table needs no clearing in bulk.
class ShortPatternMasks {
 public:
  ShortPatternMasks(std::u32string_view pattern, std::u32string_view text) {
    for (const char32_t c : text) {
      if (c < kDirect) direct_[c] = 0;
    }
    for (const char32_t c : pattern) {
      if (c < kDirect) direct_[c] = 0;
    }
    for (std::size_t i = 0; i < pattern.size(); ++i) {
      const char32_t c = pattern[i];
      const std::uint64_t bit = std::uint64_t{1} << i;
      if (c < kDirect) {
        direct_[c] |= bit;
        continue;
      }
      std::size_t k = 0;
      while (k < wide_count_ && wide_chars_[k] != c) ++k;
      if (k == wide_count_) {
        wide_chars_[k] = c;
        wide_masks_[k] = 0;
        ++wide_count_;
      }
      wide_masks_[k] |= bit;
    }
  }

  std::uint64_t operator()(char32_t c) const {
    if (c < kDirect) return direct_[c];
    for (std::size_t k = 0; k < wide_count_; ++k) {
      if (wide_chars_[k] == c) return wide_masks_[k];
    }
    return 0;
  }

 private:
  static constexpr char32_t kDirect = 128;
  std::uint64_t direct_[kDirect];  // written before read, see above
  char32_t wide_chars_[kShort];
  std::uint64_t wide_masks_[kShort];
  std::size_t wide_count_ = 0;
};

std::uint64_t short_levenshtein(std::u32string_view a, std::u32string_view b) {
  std::tie(a, b) = trim_common_affixes(a, b);
  const auto [pattern, text] = pattern_and_text(a, b);
  if (pattern.empty()) return text.size();
  return one_word_levenshtein(ShortPatternMasks(pattern, text), pattern.size(), text);
}

std::uint64_t short_osa(std::u32string_view a, std::u32string_view b) {
  std::tie(a, b) = trim_common_affixes(a, b);
  const auto [pattern, text] = pattern_and_text(a, b);
  if (pattern.empty()) return text.size();
  return one_word_osa(ShortPatternMasks(pattern, text), pattern.size(), text);
}

// Two ASCII texts under a small cutoff: their bytes are their characters,
// so they are compared as they are, without decoding.
bool few_edits_on_bytes(std::string_view a, std::string_view b, std::uint64_t cutoff) {
  return cutoff <= detail::kFewEditsMaxCutoff && detail::all_ascii(a) && detail::all_ascii(b);
}

template <bool kSwaps>
std::optional<std::uint64_t> ascii_few_edits(std::string_view a, std::string_view b, std::uint64_t cutoff) {
  std::tie(a, b) = detail::trim_affixes(a, b);
  if (length_gap(a, b) > cutoff) return std::nullopt;
  return within(detail::few_edits<kSwaps>(a, b, cutoff), cutoff);
}

// Both texts decoded onto the stack, when both are short.
struct ShortPair {
  char32_t a[kShort], b[kShort];
  std::size_t a_size = 0, b_size = 0;
  bool decode(std::string_view ta, std::string_view tb) {
    return decode_short(ta, a, a_size) && decode_short(tb, b, b_size);
  }
  std::u32string_view left() const { return {a, a_size}; }
  std::u32string_view right() const { return {b, b_size}; }
};

}  // namespace

TextDistance levenshtein_str_counted(std::string_view a, std::string_view b) {
  ShortPair pair;
  if (pair.decode(a, b)) return {short_levenshtein(pair.left(), pair.right()), pair.a_size, pair.b_size};
  const std::u32string left = text::decode_utf8(a), right = text::decode_utf8(b);
  StringDistanceWorkspace workspace;
  return {workspace.levenshtein(left, right), left.size(), right.size()};
}

std::uint64_t levenshtein_str(std::string_view a, std::string_view b) {
  ShortPair pair;
  if (pair.decode(a, b)) return short_levenshtein(pair.left(), pair.right());
  StringDistanceWorkspace workspace;
  return workspace.levenshtein(text::decode_utf8(a), text::decode_utf8(b));
}

std::optional<std::uint64_t> levenshtein_str_with_cutoff(std::string_view a, std::string_view b,
                                                         std::uint64_t cutoff) {
  ShortPair pair;
  if (pair.decode(a, b)) {
    // The exact distance of two short texts costs no more than the bounded one.
    return within(short_levenshtein(pair.left(), pair.right()), cutoff);
  }
  if (few_edits_on_bytes(a, b, cutoff)) return ascii_few_edits<false>(a, b, cutoff);
  StringDistanceWorkspace workspace;
  return workspace.levenshtein_with_cutoff(text::decode_utf8(a), text::decode_utf8(b), cutoff);
}

std::expected<std::uint64_t, DistanceError> try_damerau_levenshtein_str(std::string_view a, std::string_view b) {
  ShortPair pair;
  if (pair.decode(a, b)) return short_osa(pair.left(), pair.right());
  StringDistanceWorkspace workspace;
  return workspace.damerau_levenshtein(text::decode_utf8(a), text::decode_utf8(b));
}

std::expected<std::optional<std::uint64_t>, DistanceError> try_damerau_levenshtein_str_with_cutoff(
    std::string_view a, std::string_view b, std::uint64_t cutoff) {
  ShortPair pair;
  if (pair.decode(a, b)) return within(short_osa(pair.left(), pair.right()), cutoff);
  if (few_edits_on_bytes(a, b, cutoff)) return ascii_few_edits<true>(a, b, cutoff);
  StringDistanceWorkspace workspace;
  return workspace.damerau_levenshtein_with_cutoff(text::decode_utf8(a), text::decode_utf8(b), cutoff);
}

double normalized_similarity_from_distance(std::uint64_t distance, std::uint64_t left_len, std::uint64_t right_len) {
  const std::uint64_t longest = std::max(left_len, right_len);
  if (longest == 0) return 1.0;
  const double x = 1.0 - static_cast<double>(distance) / static_cast<double>(longest);
  return std::min(std::max(x, 0.0), 1.0);
}

}  // namespace orvel
