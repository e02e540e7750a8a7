// The Japanese indexed payload "ORVELI01" (header, fst section, readings
// records): any bytes load or give a typed error; the loader checks every
// record up front, so a payload that loads answers every lookup and exports
// without error (the index checks), and unknown surfaces look up cleanly.
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "index_checks.hpp"
#include "ja/unidic_indexed_payload.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using orvel::ja::UnidicReadingIndex;
  auto index = UnidicReadingIndex::from_indexed_owned_bytes(std::vector<std::uint8_t>(data, data + size));
  if (!index) {
    ORVEL_FUZZ_CHECK(!index.error().message().empty());
    orvel::fuzz::note(index.error().debug());
    return 0;
  }
  ORVEL_FUZZ_CHECK(index->is_indexed());
  orvel::fuzz::note("loaded");
  orvel::fuzz::check_unidic_index(*index);
  // Keys that are rarely stored: the empty text, a prefix of the input, and
  // a fullwidth text that takes the width-folded retry.
  for (const std::string_view probe : {std::string_view(), std::string_view(reinterpret_cast<const char*>(data),
                                                                            size < 6 ? size : 6),
                                       std::string_view("\xef\xbd\x81\xe3\x80\x80")}) {
    auto found = index->try_readings(probe);
    ORVEL_FUZZ_CHECK(found.has_value());
  }
  return 0;
}
