#pragma once
// Decoding the UniDic YAML payload record (ja/unidic_payload.hpp) from YAML
// text.
#include <expected>
#include <string_view>

#include "io/yaml_error.hpp"
#include "ja/unidic_payload.hpp"

namespace orvel::ja {

// Decodes a whole YAML payload text. All keys are required; other keys are
// ignored. The caller wraps the error's message in its Yaml variant.
std::expected<UnidicReadingIndexPayload, io::YamlError> decode_unidic_payload_yaml(std::string_view text);

}  // namespace orvel::ja
