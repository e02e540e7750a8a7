// Fuzzes the fst map reader: any bytes must be refused at open or read
// without fault. When a visit goes through, its keys must ascend, number
// the stored count, and agree with lookups.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "io/fst_map.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  auto map = orvel::io::FstMap::open(std::vector<std::uint8_t>(data, data + size));
  if (!map) return 0;

  // A damaged map can hold far more keys than its size suggests; the stored
  // count bounds the visit, and a cap on it keeps each run short.
  constexpr std::uint64_t kMaxKeys = 100000;
  if (map->key_count() > kMaxKeys) {
    std::size_t seen = 0;
    (void)map->for_each([&](std::string_view, std::uint64_t) { return ++seen < kMaxKeys; });
    (void)map->get(std::string_view(reinterpret_cast<const char*>(data), size < 8 ? size : 8));
    return 0;
  }

  std::vector<std::pair<std::string, std::uint64_t>> keys;
  auto visited = map->for_each([&](std::string_view key, std::uint64_t value) { keys.emplace_back(key, value); });
  if (!visited) return 0;
  if (keys.size() != map->key_count()) std::abort();
  for (std::size_t i = 0; i < keys.size(); ++i) {
    if (i > 0 && !(keys[i - 1].first < keys[i].first)) std::abort();
    auto found = map->get(keys[i].first);
    if (!found || *found != keys[i].second) std::abort();
    auto longer = map->get(keys[i].first + '\x00');
    if (!longer) std::abort();
  }
  return 0;
}
