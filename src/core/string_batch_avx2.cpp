// The batch kernels for processors with AVX2. The whole file is compiled
// with -mavx2 (src/core/CMakeLists.txt) and is entered only after a run-time
// check of the processor; it includes no standard header with inline code,
// so nothing compiled here can stand in for code of the other files.
#include <immintrin.h>

#include "core/string_batch_kernel.hpp"

namespace orvel::batch {

namespace {

template <class L>
struct Avx2 {
  using Lane = L;
  __m256i v;

  static Avx2 load(const void* p) { return {_mm256_loadu_si256(static_cast<const __m256i*>(p))}; }
  void store(void* p) const { _mm256_storeu_si256(static_cast<__m256i*>(p), v); }
  static Avx2 ones() { return {_mm256_set1_epi32(-1)}; }
  static Avx2 zero() { return {_mm256_setzero_si256()}; }
  static Avx2 splat_one() {
    if constexpr (sizeof(L) == 1) return {_mm256_set1_epi8(1)};
    if constexpr (sizeof(L) == 2) return {_mm256_set1_epi16(1)};
    if constexpr (sizeof(L) == 4) return {_mm256_set1_epi32(1)};
    if constexpr (sizeof(L) == 8) return {_mm256_set1_epi64x(1)};
  }
  friend Avx2 operator&(Avx2 a, Avx2 b) { return {_mm256_and_si256(a.v, b.v)}; }
  friend Avx2 operator|(Avx2 a, Avx2 b) { return {_mm256_or_si256(a.v, b.v)}; }
  friend Avx2 operator^(Avx2 a, Avx2 b) { return {_mm256_xor_si256(a.v, b.v)}; }
  static Avx2 andnot(Avx2 a, Avx2 b) { return {_mm256_andnot_si256(a.v, b.v)}; }
  static Avx2 add(Avx2 a, Avx2 b) {
    if constexpr (sizeof(L) == 1) return {_mm256_add_epi8(a.v, b.v)};
    if constexpr (sizeof(L) == 2) return {_mm256_add_epi16(a.v, b.v)};
    if constexpr (sizeof(L) == 4) return {_mm256_add_epi32(a.v, b.v)};
    if constexpr (sizeof(L) == 8) return {_mm256_add_epi64(a.v, b.v)};
  }
  static Avx2 sub(Avx2 a, Avx2 b) {
    if constexpr (sizeof(L) == 1) return {_mm256_sub_epi8(a.v, b.v)};
    if constexpr (sizeof(L) == 2) return {_mm256_sub_epi16(a.v, b.v)};
    if constexpr (sizeof(L) == 4) return {_mm256_sub_epi32(a.v, b.v)};
    if constexpr (sizeof(L) == 8) return {_mm256_sub_epi64(a.v, b.v)};
  }
  static Avx2 equal(Avx2 a, Avx2 b) {
    if constexpr (sizeof(L) == 1) return {_mm256_cmpeq_epi8(a.v, b.v)};
    if constexpr (sizeof(L) == 2) return {_mm256_cmpeq_epi16(a.v, b.v)};
    if constexpr (sizeof(L) == 4) return {_mm256_cmpeq_epi32(a.v, b.v)};
    if constexpr (sizeof(L) == 8) return {_mm256_cmpeq_epi64(a.v, b.v)};
  }
};

template <class L>
void run(bool swaps, const Tables& t, const Text* texts, std::size_t text_count, std::size_t max_length,
         std::size_t lanes, std::uint64_t cap, std::uint64_t* const* rows) {
  if (swaps) {
    distances_to_rows<Avx2<L>, true>(t, texts, text_count, max_length, lanes, cap, rows);
  } else {
    distances_to_rows<Avx2<L>, false>(t, texts, text_count, max_length, lanes, cap, rows);
  }
}

}  // namespace

void avx2_distances(bool swaps, unsigned lane_bytes, const Tables& t, const Text* texts, std::size_t text_count,
                    std::size_t max_length, std::size_t lanes, std::uint64_t cap, std::uint64_t* const* rows) {
  switch (lane_bytes) {
    case 1: return run<std::uint8_t>(swaps, t, texts, text_count, max_length, lanes, cap, rows);
    case 2: return run<std::uint16_t>(swaps, t, texts, text_count, max_length, lanes, cap, rows);
    case 4: return run<std::uint32_t>(swaps, t, texts, text_count, max_length, lanes, cap, rows);
    default: return run<std::uint64_t>(swaps, t, texts, text_count, max_length, lanes, cap, rows);
  }
}

}  // namespace orvel::batch
