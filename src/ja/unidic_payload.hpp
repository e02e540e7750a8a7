#pragma once
// The UniDic payload record: the YAML form of a payload, the result of the
// binary reader and the canonical export of an index.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace orvel::ja {

inline constexpr std::string_view kUnidicPayloadType = "orvel.unidic.reading-index.surface-readings";
inline constexpr std::uint32_t kUnidicSchemaVersion = 1;

// Limits of a UniDic payload (inclusive). The payload size limit is
// io::kMaxPayloadBytes.
inline constexpr std::uint64_t kUnidicMaxEntries = 3'000'000;
inline constexpr std::uint64_t kMaxSurfaceBytes = 16'384;
inline constexpr std::uint64_t kMaxReadingCount = 256;
inline constexpr std::uint64_t kMaxReadingBytes = 16'384;

struct UnidicReadingIndexPayloadEntry {
  std::string surface;
  std::vector<std::string> readings;  // stored order
  friend bool operator==(const UnidicReadingIndexPayloadEntry&,
                         const UnidicReadingIndexPayloadEntry&) = default;
};

struct UnidicReadingIndexPayload {
  std::uint32_t schema_version = kUnidicSchemaVersion;
  std::string payload_type{kUnidicPayloadType};
  std::vector<UnidicReadingIndexPayloadEntry> entries;  // payload order
  friend bool operator==(const UnidicReadingIndexPayload&, const UnidicReadingIndexPayload&) = default;
};

}  // namespace orvel::ja
