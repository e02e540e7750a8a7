#pragma once
// Per-group lists in one flat buffer, built by a counting sort: one pass
// counts the items of each group, a prefix sum turns the counts into
// offsets, one more pass places every item. Stable: the items of a group
// keep their input order.
#include <cstddef>
#include <vector>

namespace orvel::detail {

// Groups items 0..item_count by group_of(item), which must be below
// group_count. Returns the offsets (group_count + 1 entries: group g owns
// the slots offsets[g] to offsets[g + 1]) and calls place(slot, item) once
// per item, in item order.
template <class Offset, class GroupOf, class Place>
std::vector<Offset> group_by(std::size_t group_count, std::size_t item_count, GroupOf group_of, Place place) {
  std::vector<Offset> offsets(group_count + 1, 0);
  for (std::size_t item = 0; item < item_count; ++item) ++offsets[group_of(item) + 1];
  for (std::size_t g = 0; g < group_count; ++g) offsets[g + 1] += offsets[g];
  std::vector<Offset> next(offsets.begin(), offsets.end() - 1);
  for (std::size_t item = 0; item < item_count; ++item) place(next[group_of(item)]++, item);
  return offsets;
}

}  // namespace orvel::detail
