#include "io/fst_checksum.hpp"

#include <array>

namespace orvel::io::fst {
namespace {

constexpr std::uint32_t kPolynomial = 0x82F63B78;  // 0x1EDC6F41 reflected
constexpr std::uint32_t kMaskDelta = 0xA282EAD8;

// Slicing-by-8 tables: tables[k][b] is the CRC of byte b followed by k zero bytes.
constexpr std::array<std::array<std::uint32_t, 256>, 8> kTables = [] {
  std::array<std::array<std::uint32_t, 256>, 8> t{};
  for (std::uint32_t b = 0; b < 256; ++b) {
    std::uint32_t c = b;
    for (int bit = 0; bit < 8; ++bit) c = (c & 1) ? (c >> 1) ^ kPolynomial : c >> 1;
    t[0][b] = c;
  }
  for (std::size_t k = 1; k < 8; ++k) {
    for (std::size_t b = 0; b < 256; ++b) t[k][b] = (t[k - 1][b] >> 8) ^ t[0][t[k - 1][b] & 0xFF];
  }
  return t;
}();

}  // namespace

std::uint32_t crc32c(std::span<const std::uint8_t> bytes) {
  std::uint32_t crc = 0xFFFFFFFF;
  const std::uint8_t* p = bytes.data();
  std::size_t n = bytes.size();
  for (; n >= 8; n -= 8, p += 8) {
    const std::uint32_t lo = crc ^ (std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 |
                                    std::uint32_t{p[3]} << 24);
    crc = kTables[7][lo & 0xFF] ^ kTables[6][(lo >> 8) & 0xFF] ^ kTables[5][(lo >> 16) & 0xFF] ^
          kTables[4][lo >> 24] ^ kTables[3][p[4]] ^ kTables[2][p[5]] ^ kTables[1][p[6]] ^ kTables[0][p[7]];
  }
  for (; n > 0; --n, ++p) crc = (crc >> 8) ^ kTables[0][(crc ^ *p) & 0xFF];
  return crc ^ 0xFFFFFFFF;
}

std::uint32_t masked_crc32c(std::span<const std::uint8_t> bytes) {
  const std::uint32_t crc = crc32c(bytes);
  return ((crc >> 15) | (crc << 17)) + kMaskDelta;
}

}  // namespace orvel::io::fst
