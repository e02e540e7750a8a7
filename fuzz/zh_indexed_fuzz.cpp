// The Chinese indexed payload "ORVELZ01" (header with the pinyin view word,
// fst section, readings records): any bytes load or give a typed error; a
// payload that loads answers every lookup and exports without error (the
// index checks).
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "index_checks.hpp"
#include "zh/indexed_zh_payload.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using orvel::zh::CedictReadingIndex;
  auto index = CedictReadingIndex::from_indexed_owned_bytes(std::vector<std::uint8_t>(data, data + size));
  if (!index) {
    ORVEL_FUZZ_CHECK(!index.error().message().empty());
    orvel::fuzz::note(index.error().debug());
    return 0;
  }
  ORVEL_FUZZ_CHECK(index->is_indexed());
  orvel::fuzz::note("loaded");
  orvel::fuzz::check_zh_index(*index);
  for (const std::string_view probe :
       {std::string_view(), std::string_view(reinterpret_cast<const char*>(data), size < 6 ? size : 6)}) {
    ORVEL_FUZZ_CHECK(index->try_readings(probe).has_value());
  }
  return 0;
}
