#pragma once
// Layout constants and small helpers shared by the fst map reader and
// builder.
#include <array>
#include <cstddef>
#include <cstdint>

namespace orvel::io::fst {

inline constexpr std::uint64_t kVersion = 3;
inline constexpr std::size_t kHeaderSize = 16;      // version u64, type u64
inline constexpr std::size_t kTrailerSize = 16;     // key count u64, root address u64
inline constexpr std::size_t kChecksumSize = 4;     // version 3 only
inline constexpr std::size_t kMinimumSize = 36;     // the map {"" -> 0} of version 3
inline constexpr std::uint64_t kEmptyAddress = 0;   // the implicit final node without transitions
inline constexpr std::size_t kIndexThreshold = 32;  // nodes with more transitions carry an index
inline constexpr std::size_t kIndexSize = 256;
inline constexpr std::uint8_t kNoIndexEntry = 255;

// State byte: the top two bits pick the node encoding.
inline constexpr std::uint8_t kStateOneNext = 0b11;  // one transition to the node written just before
inline constexpr std::uint8_t kStateOne = 0b10;      // one transition, general
inline constexpr std::uint8_t kStateFinal = 0x40;    // general node, final
inline constexpr std::uint8_t kStateCountMask = 0x3F;

// Input bytes frequent enough to sit in the six low bits of a
// one-transition state byte; entry v - 1 is the byte of code v.
inline constexpr std::array<std::uint8_t, 63> kCommonInputs = {
    't', 'e', '/', 'o', 'a', 's', 'r', 'i', 'p', 'c', 'n', 'w', '.', 'h', 'l', 'm',
    '-', 'd', 'u', '0', '1', '2', 'g', '=', ':', 'b', 'f', '3', 'y', '5', '&', '_',
    '4', 'v', '9', '6', '7', '8', 'k', '%', '?', 'x', 'C', 'D', 'A', 'S', 'F', 'I',
    'B', 'E', 'j', 'P', 'T', 'z', 'R', 'N', 'M', '+', 'L', 'O', 'q', 'H', 'G'};

// Code of each byte in kCommonInputs, 0 for bytes stored explicitly.
inline constexpr std::array<std::uint8_t, 256> kCommonCodes = [] {
  std::array<std::uint8_t, 256> codes{};
  for (std::size_t i = 0; i < kCommonInputs.size(); ++i) codes[kCommonInputs[i]] = static_cast<std::uint8_t>(i + 1);
  return codes;
}();

// Bytes needed for n, 1 to 8 (so 1 for 0).
inline constexpr std::uint8_t pack_size(std::uint64_t n) {
  std::uint8_t size = 1;
  while (size < 8 && (n >> (8 * size)) != 0) ++size;
  return size;
}

// Little-endian unsigned integer of `size` bytes (0 to 8) at `p`.
inline std::uint64_t read_packed(const std::uint8_t* p, std::size_t size) {
  std::uint64_t n = 0;
  for (std::size_t i = size; i-- > 0;) n = (n << 8) | p[i];
  return n;
}

}  // namespace orvel::io::fst
