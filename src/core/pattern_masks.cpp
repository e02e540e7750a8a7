#include "core/pattern_masks.hpp"

#include "core/grouped_lists.hpp"

namespace orvel {

void PatternMasks::build(std::u32string_view pattern, std::size_t max_stored_words) {
  for (char32_t c : used_direct_) direct_[c] = 0;
  used_direct_.clear();
  table_.clear();
  words_ = (pattern.size() + 63) / 64;
  zero_.assign(words_, 0);

  std::size_t wide = 0;
  for (char32_t c : pattern) wide += c >= kDirect;
  if (wide > 0) {
    std::size_t capacity = 16;
    while (capacity < 2 * wide) capacity *= 2;
    table_.assign(capacity, {0, 0});
  }

  // Ids in order of first occurrence.
  std::uint32_t next_id = 1;
  ids_.resize(pattern.size());
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    const char32_t c = pattern[i];
    if (c < kDirect) {
      if (direct_[c] == 0) {
        direct_[c] = next_id++;
        used_direct_.push_back(c);
      }
      ids_[i] = direct_[c];
    } else {
      const std::size_t mask = table_.size() - 1;
      std::size_t slot = hash(c) & mask;
      while (table_[slot].second != 0 && table_[slot].first != c) slot = (slot + 1) & mask;
      if (table_[slot].second == 0) table_[slot] = {c, next_id++};
      ids_[i] = table_[slot].second;
    }
  }

  const std::size_t rows = next_id;
  stored_ = rows * words_ <= max_stored_words;
  if (stored_) {
    masks_.assign(rows * words_, 0);
    for (std::size_t i = 0; i < pattern.size(); ++i) {
      masks_[std::size_t{ids_[i]} * words_ + i / 64] |= std::uint64_t{1} << (i % 64);
    }
    return;
  }
  // Positions grouped by id (counting sort), ascending within each id.
  positions_.resize(pattern.size());
  position_offsets_ = detail::group_by<std::size_t>(
      rows, pattern.size(), [&](std::size_t i) { return ids_[i]; },
      [&](std::size_t slot, std::size_t i) { positions_[slot] = i; });
  for (auto& row : scratch_) row.assign(words_, 0);
  scratch_id_ = {0, 0};
  next_scratch_ = 0;
}

const std::uint64_t* PatternMasks::rebuilt(std::uint32_t id) {
  std::vector<std::uint64_t>& row = scratch_[next_scratch_];
  std::uint32_t& held = scratch_id_[next_scratch_];
  next_scratch_ ^= 1;
  if (held != id) {
    for (std::size_t k = position_offsets_[held]; k < position_offsets_[held + 1]; ++k) row[positions_[k] / 64] = 0;
    for (std::size_t k = position_offsets_[id]; k < position_offsets_[id + 1]; ++k) {
      row[positions_[k] / 64] |= std::uint64_t{1} << (positions_[k] % 64);
    }
    held = id;
  }
  return row.data();
}

}  // namespace orvel
