#pragma once
// Writers of the binary ("ORVELU01") and indexed ("ORVELI01") UniDic payloads,
// for tests and for the tools that make the sample bundles.
#include <cstdint>
#include <expected>
#include <filesystem>
#include <vector>

#include "io/bounded_read.hpp"
#include "io/fst_map_builder.hpp"
#include "ja/unidic_payload.hpp"

namespace orvel::ja {

class UnidicReadingIndex;

// The binary payload of the record's entries, in the record's order.
std::vector<std::uint8_t> unidic_binary_payload_bytes(const UnidicReadingIndexPayload& payload);
// The binary payload of an index, surfaces in byte order.
std::vector<std::uint8_t> unidic_binary_payload_bytes(const UnidicReadingIndex& index);

// The indexed payload of the record's entries. The fst map needs the
// surfaces in strictly ascending byte order: the entries are sorted first,
// and a repeated surface is refused. Surfaces with equal reading lists share
// one readings record.
std::expected<std::vector<std::uint8_t>, io::FstBuildError> unidic_indexed_payload_bytes(
    const UnidicReadingIndexPayload& payload);
// The indexed payload of an index (its surfaces are distinct).
std::vector<std::uint8_t> unidic_indexed_payload_bytes(const UnidicReadingIndex& index);

// Writes bytes to a file, replacing it.
std::expected<void, io::IoError> write_payload_file(const std::filesystem::path& path,
                                                    const std::vector<std::uint8_t>& bytes);

}  // namespace orvel::ja
