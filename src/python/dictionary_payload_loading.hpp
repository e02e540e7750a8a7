#pragma once
// The payload format dispatch of the dictionary classes, shared by
// load_payload and load_bundle. Format names are matched exactly (whole
// name, case-sensitive):
//
//   "yaml", "yaml.surface-readings.v1"                 YAML payload
//   "binary", "binary.surface-readings.v1"             binary payload (Japanese only)
//   "indexed", "fst", "indexed-fst.surface-readings.v1" indexed payload
//
// A failure is the whole text of the ValueError to raise: the unsupported
// format message (no file is opened then), "embedded null byte" for a path
// holding a NUL, or the payload error's message.
#include <expected>
#include <filesystem>
#include <string>
#include <string_view>

#include "ja/unidic_reading_index.hpp"
#include "zh/cedict_reading_index.hpp"

namespace orvel::py {

std::expected<ja::UnidicReadingIndex, std::string> load_unidic_payload(const std::filesystem::path& path,
                                                                       std::string_view payload_format);
std::expected<zh::CedictReadingIndex, std::string> load_zh_payload(const std::filesystem::path& path,
                                                                   std::string_view payload_format);

}  // namespace orvel::py
