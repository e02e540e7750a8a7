#pragma once
// Levenshtein and restricted Damerau distances of up to 32 short patterns
// (1 to 64 characters) against one text at a time: the patterns are packed
// into the lanes of a 256-bit vector (8, 16, 32 or 64 bits per lane, the
// narrowest that holds the longest pattern) and the one-word bit-parallel
// recurrence runs on all lanes at once, O(n) vector steps per text.
//
// Made for matrices: a pack's masks are built once and serve every text.
// The kernel runs with AVX2 where the processor has it, otherwise as plain
// word arithmetic with the same results.
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "core/string_batch_kernel.hpp"

namespace orvel {

// A text to compare with a pack: its scalar values.
using BatchText = batch::Text;

enum class BatchKernel : std::uint8_t { Portable, Avx2 };

// Avx2 when the processor has it, else Portable.
BatchKernel fastest_batch_kernel();
bool batch_kernel_available(BatchKernel kernel);

class QueryBatch {
 public:
  static constexpr std::size_t kMaxPatternLength = 64;
  static constexpr std::size_t kVectorBytes = 32;

  // Bytes per lane for patterns of up to `length` characters: 1, 2, 4, 8.
  static unsigned lane_bytes_for(std::size_t length);
  static std::size_t lanes(unsigned lane_bytes) { return kVectorBytes / lane_bytes; }
  // The longest text the lane counters hold (distances never exceed the
  // longer length).
  static std::size_t max_text_length(unsigned lane_bytes);

  // Packs `patterns` (at most lanes(lane_bytes), each of 1 to
  // 8 * lane_bytes characters), replacing the previous pack. The views must
  // stay valid only during the call.
  void build(unsigned lane_bytes, std::span<const std::u32string_view> patterns);

  std::size_t size() const { return count_; }
  unsigned lane_bytes() const { return lane_bytes_; }

  // The distance of packed pattern l to texts[j], or `cap` when it is
  // larger, into rows[l][j], for the first min(size(), rows.size())
  // patterns. Texts longer than max_text_length(lane_bytes()) are skipped:
  // their cells are left as they were.
  void levenshtein(std::span<const BatchText> texts, std::uint64_t cap, std::span<std::uint64_t* const> rows,
                   BatchKernel kernel) const;
  void damerau_levenshtein(std::span<const BatchText> texts, std::uint64_t cap,
                           std::span<std::uint64_t* const> rows, BatchKernel kernel) const;

 private:
  void distances(bool swaps, std::span<const BatchText> texts, std::uint64_t cap,
                 std::span<std::uint64_t* const> rows, BatchKernel kernel) const;

  unsigned lane_bytes_ = 8;
  std::size_t count_ = 0;
  alignas(32) std::array<std::uint8_t, 256 * kVectorBytes> direct_{};
  std::vector<char32_t> used_direct_;
  std::vector<char32_t> wide_chars_;
  std::vector<std::uint8_t> wide_masks_;
  alignas(32) std::array<std::uint8_t, kVectorBytes> zero_{};
  alignas(32) std::array<std::uint8_t, kVectorBytes> last_{};
  alignas(32) std::array<std::uint8_t, kVectorBytes> lengths_{};
};

}  // namespace orvel
