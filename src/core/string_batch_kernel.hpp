#pragma once
// The bit-parallel distance recurrence run on many short patterns at once,
// one pattern per lane of a 256-bit vector. Shared by the portable and the
// AVX2 builds of the batch kernels: everything here is a template over the
// vector type, so each build instantiates its own copy and no inline code
// compiled for one instruction set is ever linked into the other.
//
// V provides, lane-wise for its Lane type (uint8_t .. uint64_t):
//   load(p), store(p), ones(), zero(), splat_one() (1 in every lane),
//   a & b, a | b, a ^ b, andnot(a, b) = ~a & b, add(a, b), sub(a, b),
//   equal(a, b) (all ones where equal, else zero).
#include <cstddef>
#include <cstdint>

namespace orvel::batch {

// Masks of one pack of patterns, as plain pointers into storage that the
// caller keeps alive. Every mask row is 32 bytes: lane l holds the bits of
// pattern l (bit i set when its character i is the row's character).
struct Tables {
  const std::uint8_t* direct;      // 256 rows, characters below U+0100
  const char32_t* wide_chars;      // ascending, characters from U+0100
  const std::uint8_t* wide_masks;  // one row per wide character
  std::size_t wide_count;
  const std::uint8_t* zero;     // a row of zeros: characters in no pattern
  const std::uint8_t* last;     // per lane the bit of its last character
  const std::uint8_t* lengths;  // per lane its pattern length
};

// A text of the batch: its scalar values.
struct Text {
  const char32_t* data;
  std::size_t size;
};

template <class V>
inline const std::uint8_t* mask_row(const Tables& t, char32_t c) {
  if (c < 256) return t.direct + 32 * std::size_t{c};
  std::size_t lo = 0, hi = t.wide_count;
  while (lo < hi) {
    const std::size_t mid = (lo + hi) / 2;
    if (t.wide_chars[mid] < c) {
      lo = mid + 1;
    } else {
      hi = mid;
    }
  }
  return lo < t.wide_count && t.wide_chars[lo] == c ? t.wide_masks + 32 * lo : t.zero;
}

// Distances of every lane's pattern to `text` (n characters), written to
// out as lane values. Counters are lane-wide: the caller keeps n below the
// lane's range. kSwaps adds the adjacent swap of optimal string alignment.
template <class V, bool kSwaps>
inline void distances(const Tables& t, const char32_t* text, std::size_t n, typename V::Lane* out) {
  V vp = V::ones(), vn = V::zero(), d0_prev = V::zero(), pm_prev = V::zero();
  V score = V::load(t.lengths);
  const V last = V::load(t.last);
  const V one = V::splat_one();
  for (std::size_t j = 0; j < n; ++j) {
    const V pm = V::load(mask_row<V>(t, text[j]));
    V d0 = (V::add(pm & vp, vp) ^ vp) | pm | vn;
    if constexpr (kSwaps) {
      const V from = V::andnot(d0_prev, pm);
      d0 = d0 | (V::add(from, from) & pm_prev);
    }
    V hp = vn | V::andnot(d0 | vp, V::ones());
    V hn = vp & d0;
    // equal() is all ones (-1) where the bit is set.
    score = V::add(V::sub(score, V::equal(hp & last, last)), V::equal(hn & last, last));
    hp = V::add(hp, hp) | one;
    hn = V::add(hn, hn);
    vp = hn | V::andnot(d0 | hp, V::ones());
    vn = hp & d0;
    if constexpr (kSwaps) {
      d0_prev = d0;
      pm_prev = pm;
    }
  }
  score.store(out);
}

// distances() of each text of `texts` that has at most max_length
// characters, capped at `cap`: rows[l][j] for lane l and text j (texts
// above max_length are left to the caller).
template <class V, bool kSwaps>
inline void distances_to_rows(const Tables& t, const Text* texts, std::size_t text_count, std::size_t max_length,
                              std::size_t lanes, std::uint64_t cap, std::uint64_t* const* rows) {
  using Lane = typename V::Lane;
  Lane values[32 / sizeof(Lane)];
  for (std::size_t j = 0; j < text_count; ++j) {
    if (texts[j].size > max_length) continue;
    distances<V, kSwaps>(t, texts[j].data, texts[j].size, values);
    for (std::size_t l = 0; l < lanes; ++l) {
      const std::uint64_t d = values[l];
      rows[l][j] = d < cap ? d : cap;
    }
  }
}

}  // namespace orvel::batch
