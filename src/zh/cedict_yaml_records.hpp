#pragma once
// The Chinese YAML payload record and its decoding from YAML text.
#include <cstdint>
#include <expected>
#include <string>
#include <string_view>
#include <vector>

#include "io/yaml_error.hpp"

namespace orvel::zh {

struct ZhReadingIndexPayloadEntry {
  std::string surface;
  std::vector<std::string> readings;  // stored order
  friend bool operator==(const ZhReadingIndexPayloadEntry&, const ZhReadingIndexPayloadEntry&) = default;
};

struct ZhReadingIndexPayload {
  std::uint32_t schema_version = 0;
  std::string payload_type;
  std::string pinyin_view;  // as written; checked by the loader
  std::vector<ZhReadingIndexPayloadEntry> entries;  // payload order
  friend bool operator==(const ZhReadingIndexPayload&, const ZhReadingIndexPayload&) = default;
};

// Decodes a whole YAML payload text. All keys are required; other keys are
// ignored. The caller wraps the error's message in its Yaml variant.
std::expected<ZhReadingIndexPayload, io::YamlError> decode_zh_payload_yaml(std::string_view text);

}  // namespace orvel::zh
