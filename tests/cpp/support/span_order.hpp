#pragma once
// Test helper: the spans of n characters up to `width` wide, in the order of
// the best-span searches (ends ascending, starts descending).
#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace orvel::test_support {

inline std::vector<std::pair<std::size_t, std::size_t>> spans_in_search_order(std::size_t n, std::uint64_t width) {
  std::vector<std::pair<std::size_t, std::size_t>> spans;
  for (std::size_t end = 1; end <= n; ++end) {
    for (std::size_t start = end; start-- > 0 && end - start <= width;) spans.emplace_back(start, end);
  }
  return spans;
}

}  // namespace orvel::test_support
