// The Japanese binary payload "ORVELU01": any file loads or gives a typed
// error. A payload that loads passes the index checks, and the binary
// payload written from its index loads back to the same export.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "index_checks.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using orvel::ja::UnidicReadingIndex;
  const auto path = orvel::fuzz::scratch_dir() / "payload.bin";
  orvel::fuzz::write_file(path, std::string_view(reinterpret_cast<const char*>(data), size));
  auto index = UnidicReadingIndex::from_binary_artifact_payload_path(path);
  if (!index) {
    ORVEL_FUZZ_CHECK(!index.error().message().empty());
    orvel::fuzz::note(index.error().debug());
    return 0;
  }
  orvel::fuzz::note("loaded");
  orvel::fuzz::check_unidic_index(*index);

  const auto written = orvel::ja::unidic_binary_payload_bytes(*index);
  orvel::fuzz::write_file(path, std::string_view(reinterpret_cast<const char*>(written.data()), written.size()));
  auto reloaded = UnidicReadingIndex::from_binary_artifact_payload_path(path);
  ORVEL_FUZZ_CHECK(reloaded && reloaded->artifact_payload() == index->artifact_payload());
  return 0;
}
