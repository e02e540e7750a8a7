#pragma once
// Layout constants of the binary payload "ORVELU01".
#include <array>
#include <cstdint>

namespace orvel::ja {

inline constexpr std::array<std::uint8_t, 8> kUnidicBinaryMagic = {'O', 'R', 'V', 'E', 'L', 'U', '0', '1'};
inline constexpr std::uint32_t kUnidicBinaryVersion = 1;

}  // namespace orvel::ja
