// The YAML record decoder on the four records it serves: the Japanese and
// Chinese bundle metadata and the two payload records. Any text decodes or
// gives a YamlError; a payload that decodes goes on through the reading
// index validation, and an index that is built passes the index checks.
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <utility>

#include "bundle/artifact_metadata.hpp"
#include "index_checks.hpp"
#include "ja/unidic_yaml_records.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);

  if (auto metadata = orvel::bundle::decode_unidic_artifact_metadata(text); !metadata) {
    ORVEL_FUZZ_CHECK(!metadata.error().message().empty());
    (void)metadata.error().debug();
  }
  if (auto metadata = orvel::bundle::decode_zh_artifact_metadata(text); !metadata) {
    ORVEL_FUZZ_CHECK(!metadata.error().message().empty());
  }

  if (auto payload = orvel::ja::decode_unidic_payload_yaml(text); payload) {
    auto index = orvel::ja::UnidicReadingIndex::from_artifact_payload(std::move(*payload));
    if (index) {
      orvel::fuzz::check_unidic_index(*index);
    } else {
      ORVEL_FUZZ_CHECK(!index.error().message().empty());
    }
  } else {
    ORVEL_FUZZ_CHECK(!payload.error().message().empty());
  }

  if (auto payload = orvel::zh::decode_zh_payload_yaml(text); payload) {
    auto index = orvel::zh::CedictReadingIndex::from_artifact_payload(std::move(*payload));
    if (index) {
      orvel::fuzz::check_zh_index(*index);
    } else {
      ORVEL_FUZZ_CHECK(!index.error().message().empty());
    }
  } else {
    ORVEL_FUZZ_CHECK(!payload.error().message().empty());
  }
  return 0;
}
