#pragma once
// The checksum that ends a version-3 fst map: CRC-32C (Castagnoli,
// reflected) of every byte before it, then rotated right by 15 bits and
// offset by 0xA282EAD8.
#include <cstdint>
#include <span>

namespace orvel::io::fst {

std::uint32_t crc32c(std::span<const std::uint8_t> bytes);
std::uint32_t masked_crc32c(std::span<const std::uint8_t> bytes);

}  // namespace orvel::io::fst
