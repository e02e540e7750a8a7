#include "core/string_batch.hpp"

#include <algorithm>
#include <bit>
#include <cstring>
#include <limits>

#include "core/string_batch_kernel.hpp"

namespace orvel {

namespace batch {

// string_batch_avx2.cpp; call only when the processor has AVX2.
void avx2_distances(bool swaps, unsigned lane_bytes, const Tables& t, const Text* texts, std::size_t text_count,
                    std::size_t max_length, std::size_t lanes, std::uint64_t cap, std::uint64_t* const* rows);

namespace {

// The lanes as an array of plain integers.
template <class L>
struct Portable {
  using Lane = L;
  static constexpr std::size_t kLanes = 32 / sizeof(L);
  L v[kLanes];

  static Portable load(const void* p) {
    Portable r;
    std::memcpy(r.v, p, sizeof r.v);
    return r;
  }
  void store(void* p) const { std::memcpy(p, v, sizeof v); }
  template <class F>
  static Portable each(F f) {
    Portable r;
    for (std::size_t i = 0; i < kLanes; ++i) r.v[i] = static_cast<L>(f(i));
    return r;
  }
  static Portable ones() {
    return each([](std::size_t) { return std::numeric_limits<L>::max(); });
  }
  static Portable zero() {
    return each([](std::size_t) { return 0; });
  }
  static Portable splat_one() {
    return each([](std::size_t) { return 1; });
  }
  friend Portable operator&(const Portable& a, const Portable& b) {
    return each([&](std::size_t i) { return a.v[i] & b.v[i]; });
  }
  friend Portable operator|(const Portable& a, const Portable& b) {
    return each([&](std::size_t i) { return a.v[i] | b.v[i]; });
  }
  friend Portable operator^(const Portable& a, const Portable& b) {
    return each([&](std::size_t i) { return a.v[i] ^ b.v[i]; });
  }
  static Portable andnot(const Portable& a, const Portable& b) {
    return each([&](std::size_t i) { return static_cast<L>(~a.v[i]) & b.v[i]; });
  }
  static Portable add(const Portable& a, const Portable& b) {
    return each([&](std::size_t i) { return static_cast<L>(a.v[i] + b.v[i]); });
  }
  static Portable sub(const Portable& a, const Portable& b) {
    return each([&](std::size_t i) { return static_cast<L>(a.v[i] - b.v[i]); });
  }
  static Portable equal(const Portable& a, const Portable& b) {
    return each([&](std::size_t i) { return a.v[i] == b.v[i] ? std::numeric_limits<L>::max() : L{0}; });
  }
};

template <class L>
void portable_run(bool swaps, const Tables& t, const Text* texts, std::size_t text_count, std::size_t max_length,
                  std::size_t lanes, std::uint64_t cap, std::uint64_t* const* rows) {
  if (swaps) {
    distances_to_rows<Portable<L>, true>(t, texts, text_count, max_length, lanes, cap, rows);
  } else {
    distances_to_rows<Portable<L>, false>(t, texts, text_count, max_length, lanes, cap, rows);
  }
}

void portable_distances(bool swaps, unsigned lane_bytes, const Tables& t, const Text* texts,
                        std::size_t text_count, std::size_t max_length, std::size_t lanes, std::uint64_t cap,
                        std::uint64_t* const* rows) {
  switch (lane_bytes) {
    case 1: return portable_run<std::uint8_t>(swaps, t, texts, text_count, max_length, lanes, cap, rows);
    case 2: return portable_run<std::uint16_t>(swaps, t, texts, text_count, max_length, lanes, cap, rows);
    case 4: return portable_run<std::uint32_t>(swaps, t, texts, text_count, max_length, lanes, cap, rows);
    default: return portable_run<std::uint64_t>(swaps, t, texts, text_count, max_length, lanes, cap, rows);
  }
}

}  // namespace
}  // namespace batch

// Lanes are filled byte by byte below.
static_assert(std::endian::native == std::endian::little);

bool batch_kernel_available(BatchKernel kernel) {
  if (kernel == BatchKernel::Portable) return true;
  static const bool avx2 = __builtin_cpu_supports("avx2");
  return avx2;
}

BatchKernel fastest_batch_kernel() {
  return batch_kernel_available(BatchKernel::Avx2) ? BatchKernel::Avx2 : BatchKernel::Portable;
}

unsigned QueryBatch::lane_bytes_for(std::size_t length) {
  if (length <= 8) return 1;
  if (length <= 16) return 2;
  if (length <= 32) return 4;
  return 8;
}

std::size_t QueryBatch::max_text_length(unsigned lane_bytes) {
  if (lane_bytes == 1) return 0xFF;
  if (lane_bytes == 2) return 0xFFFF;
  if (lane_bytes == 4) return 0xFFFF'FFFF;
  return std::numeric_limits<std::size_t>::max();
}

void QueryBatch::build(unsigned lane_bytes, std::span<const std::u32string_view> patterns) {
  for (const char32_t c : used_direct_) std::memset(direct_.data() + kVectorBytes * c, 0, kVectorBytes);
  used_direct_.clear();
  wide_chars_.clear();
  lane_bytes_ = lane_bytes;
  count_ = patterns.size();
  last_.fill(0);
  lengths_.fill(0);

  for (const std::u32string_view p : patterns) {
    for (const char32_t c : p) {
      if (c >= 256) wide_chars_.push_back(c);
    }
  }
  std::sort(wide_chars_.begin(), wide_chars_.end());
  wide_chars_.erase(std::unique(wide_chars_.begin(), wide_chars_.end()), wide_chars_.end());
  wide_masks_.assign(wide_chars_.size() * kVectorBytes, 0);

  for (std::size_t lane = 0; lane < patterns.size(); ++lane) {
    const std::u32string_view p = patterns[lane];
    const std::size_t base = lane * lane_bytes;
    for (unsigned b = 0; b < lane_bytes && b < sizeof(std::size_t); ++b) {
      lengths_[base + b] = static_cast<std::uint8_t>(p.size() >> (8 * b));
    }
    last_[base + (p.size() - 1) / 8] = static_cast<std::uint8_t>(1u << ((p.size() - 1) % 8));
    for (std::size_t i = 0; i < p.size(); ++i) {
      const char32_t c = p[i];
      std::uint8_t* row;
      if (c < 256) {
        row = direct_.data() + kVectorBytes * c;
        used_direct_.push_back(c);
      } else {
        const auto at = std::lower_bound(wide_chars_.begin(), wide_chars_.end(), c) - wide_chars_.begin();
        row = wide_masks_.data() + kVectorBytes * static_cast<std::size_t>(at);
      }
      row[base + i / 8] |= static_cast<std::uint8_t>(1u << (i % 8));
    }
  }
}

void QueryBatch::levenshtein(std::span<const BatchText> texts, std::uint64_t cap, std::span<std::uint64_t* const> rows,
                             BatchKernel kernel) const {
  distances(false, texts, cap, rows, kernel);
}

void QueryBatch::damerau_levenshtein(std::span<const BatchText> texts, std::uint64_t cap,
                                     std::span<std::uint64_t* const> rows, BatchKernel kernel) const {
  distances(true, texts, cap, rows, kernel);
}

void QueryBatch::distances(bool swaps, std::span<const BatchText> texts, std::uint64_t cap,
                           std::span<std::uint64_t* const> rows, BatchKernel kernel) const {
  const batch::Tables tables{direct_.data(), wide_chars_.data(), wide_masks_.data(), wide_chars_.size(),
                             zero_.data(),   last_.data(),       lengths_.data()};
  const BatchText* batch_texts = texts.data();
  const std::size_t lanes = std::min(count_, rows.size());
  if (kernel == BatchKernel::Avx2 && batch_kernel_available(kernel)) {
    batch::avx2_distances(swaps, lane_bytes_, tables, batch_texts, texts.size(), max_text_length(lane_bytes_), lanes,
                          cap, rows.data());
  } else {
    batch::portable_distances(swaps, lane_bytes_, tables, batch_texts, texts.size(), max_text_length(lane_bytes_),
                              lanes, cap, rows.data());
  }
}

}  // namespace orvel
