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
  // Above this many mask words (distinct characters x pattern words, 8 MiB)
  // the table is not stored: each character's masks are rebuilt from its
  // positions when asked for, so memory stays linear in the pattern length.
  static constexpr std::size_t kMaxStoredWords = std::size_t{1} << 20;

  // Builds the masks of `pattern`, replacing the previous ones. Storage is
  // reused, so a warm table builds without allocating.
  void build(std::u32string_view pattern, std::size_t max_stored_words = kMaxStoredWords);

  std::size_t words() const { return words_; }
  bool stored() const { return stored_; }

  // The `words()` masks of character c; all zero when c is not in the
  // pattern. The returned row stays valid until the call after next, so a
  // caller may keep the previous character's row while asking for the next.
  const std::uint64_t* masks(char32_t c) {
    const std::uint32_t id = c < kDirect ? direct_[c] : find(c);
    if (stored_) return masks_.data() + std::size_t{id} * words_;
    return rebuilt(id);
  }
  const std::uint64_t* zero() const { return zero_.data(); }

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
  const std::uint64_t* rebuilt(std::uint32_t id);

  std::size_t words_ = 0;
  bool stored_ = true;
  // Row ids: 0 is the all-zero row, pattern characters get 1, 2, ...
  std::array<std::uint32_t, kDirect> direct_{};
  // Open addressing for characters from U+0100 on: (character, row id),
  // id 0 marking a free slot.
  std::vector<std::pair<char32_t, std::uint32_t>> table_;
  // Direct entries set by the last build, reset by the next one.
  std::vector<char32_t> used_direct_;
  std::vector<std::uint64_t> zero_;
  // Stored form: one row of words_ masks per id.
  std::vector<std::uint64_t> masks_;
  // Rebuilt form: pattern positions per id, and two scratch rows used in
  // turn, with the id each one holds.
  std::vector<std::uint32_t> ids_;  // per pattern position
  std::vector<std::size_t> position_offsets_;
  std::vector<std::size_t> positions_;
  std::array<std::vector<std::uint64_t>, 2> scratch_;
  std::array<std::uint32_t, 2> scratch_id_{};
  unsigned next_scratch_ = 0;
};

}  // namespace orvel
