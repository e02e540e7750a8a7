#pragma once
// Writer of the indexed Chinese payload "ORVELZ01", for tests and for the
// tools that make the sample bundles.
#include <cstdint>
#include <expected>
#include <vector>

#include "io/fst_map_builder.hpp"

namespace orvel::zh {

class CedictReadingIndex;
struct ZhReadingIndexPayloadEntry;

// The indexed payload of these entries with `view_word` at offset 12 (0
// no-tone, 1 tone3; any value is written as given). The entries are sorted
// by surface first; a repeated surface is refused. Nothing else is checked,
// so a test can write payloads that the loader must refuse.
std::expected<std::vector<std::uint8_t>, io::FstBuildError> zh_indexed_payload_bytes(
    std::vector<ZhReadingIndexPayloadEntry> entries, std::uint32_t view_word);

// The indexed payload of an index, with its view.
std::vector<std::uint8_t> zh_indexed_payload_bytes(const CedictReadingIndex& index);

}  // namespace orvel::zh
