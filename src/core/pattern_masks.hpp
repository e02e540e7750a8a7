#pragma once
// Match masks of a pattern for the bit-parallel string distances: for each
// character, one bit per pattern position that holds it, in 64-bit words.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <utility>
#include <vector>

namespace orvel {

class PatternMasks {
 public:
  // Builds the masks of `pattern`, replacing the previous ones. Storage is
  // reused, so a warm table builds without allocating.
  void build(std::u32string_view pattern);

  std::size_t words() const { return words_; }

  // The `words()` masks of character c; all zero when c is not in the
  // pattern.
  const std::uint64_t* masks(char32_t c) const {
    if (c < kDirect) return masks_.data() + std::size_t{direct_[c]} * words_;
    return masks_.data() + std::size_t{find(c)} * words_;
  }
  const std::uint64_t* zero() const { return masks_.data(); }

 private:
  static constexpr char32_t kDirect = 256;

  std::uint32_t find(char32_t c) const {
    if (table_.empty()) return 0;
    const std::size_t mask = table_.size() - 1;
    for (std::size_t slot = hash(c) & mask;; slot = (slot + 1) & mask) {
      if (table_[slot].second == 0) return 0;
      if (table_[slot].first == c) return table_[slot].second;
    }
  }
  static std::size_t hash(char32_t c) { return (std::size_t{c} * 0x9E3779B1u) >> 7; }

  std::size_t words_ = 0;
  // Row ids: 0 is the all-zero row, pattern characters get 1, 2, ...
  std::array<std::uint32_t, kDirect> direct_{};
  // Open addressing for characters from U+0100 on: (character, row id),
  // id 0 marking a free slot.
  std::vector<std::pair<char32_t, std::uint32_t>> table_;
  std::vector<std::uint64_t> masks_;
  // Direct entries set by the last build, reset by the next one.
  std::vector<char32_t> used_direct_;
};

}  // namespace orvel
