#include "core/pattern_masks.hpp"

namespace orvel {

void PatternMasks::build(std::u32string_view pattern) {
  for (char32_t c : used_direct_) direct_[c] = 0;
  used_direct_.clear();
  table_.clear();
  words_ = (pattern.size() + 63) / 64;

  std::size_t wide = 0;
  for (char32_t c : pattern) wide += c >= kDirect;
  if (wide > 0) {
    std::size_t capacity = 16;
    while (capacity < 2 * wide) capacity *= 2;
    table_.assign(capacity, {0, 0});
  }

  // Ids in order of first occurrence; masks grow by one row per new id.
  std::uint32_t next_id = 1;
  masks_.assign(words_, 0);
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    const char32_t c = pattern[i];
    std::uint32_t id;
    if (c < kDirect) {
      id = direct_[c];
      if (id == 0) {
        id = direct_[c] = next_id++;
        used_direct_.push_back(c);
        masks_.resize(masks_.size() + words_, 0);
      }
    } else {
      const std::size_t mask = table_.size() - 1;
      std::size_t slot = hash(c) & mask;
      while (table_[slot].second != 0 && table_[slot].first != c) slot = (slot + 1) & mask;
      if (table_[slot].second == 0) {
        table_[slot] = {c, next_id++};
        masks_.resize(masks_.size() + words_, 0);
      }
      id = table_[slot].second;
    }
    masks_[std::size_t{id} * words_ + i / 64] |= std::uint64_t{1} << (i % 64);
  }
}

}  // namespace orvel
