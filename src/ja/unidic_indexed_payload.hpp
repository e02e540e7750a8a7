#pragma once
// The indexed form of the UniDic reading index: an "ORVELI01" container whose
// fst map sends each surface to its readings record, decoded on demand.
#include <array>
#include <cstdint>
#include <expected>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "io/indexed_payload.hpp"
#include "ja/unidic_artifact_payload_error.hpp"

namespace orvel::ja {

inline constexpr std::array<std::uint8_t, 8> kUnidicIndexedMagic = {'O', 'R', 'V', 'E', 'L', 'I', '0', '1'};

// The container format of the Japanese indexed payload.
const io::IndexedPayloadFormat& unidic_indexed_format();

class IndexedUnidicPayload {
 public:
  // Checks the header and the fst section, then every key and readings
  // record, so that no later lookup or export can fail.
  static std::expected<IndexedUnidicPayload, UnidicArtifactPayloadError> from_owned_bytes(
      std::vector<std::uint8_t> bytes);

  std::uint64_t entry_count() const noexcept { return container_.entry_count(); }
  const io::IndexedPayload& container() const noexcept { return container_; }

  // Decodes the readings record that an fst value points at.
  std::expected<std::vector<std::string>, UnidicArtifactPayloadError> readings_at(std::uint64_t value) const;
  // Exact lookup of a surface's bytes.
  std::expected<std::optional<std::vector<std::string>>, UnidicArtifactPayloadError> lookup(
      std::string_view surface) const;

 private:
  explicit IndexedUnidicPayload(io::IndexedPayload container) : container_(std::move(container)) {}
  io::IndexedPayload container_;
};

}  // namespace orvel::ja
