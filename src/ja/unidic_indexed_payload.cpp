#include "ja/unidic_indexed_payload.hpp"

#include "ja/unidic_payload.hpp"

namespace orvel::ja {

const io::IndexedPayloadFormat& unidic_indexed_format() {
  static const io::IndexedPayloadFormat format{
      .magic = kUnidicIndexedMagic,
      .max_header_word = 0,
      .max_entries = kUnidicMaxEntries,
      .max_surface_bytes = kMaxSurfaceBytes,
      .max_reading_count = kMaxReadingCount,
      .max_reading_bytes = kMaxReadingBytes,
      .max_payload_bytes = io::kMaxPayloadBytes,
  };
  return format;
}

std::expected<IndexedUnidicPayload, UnidicArtifactPayloadError> IndexedUnidicPayload::from_owned_bytes(
    std::vector<std::uint8_t> bytes) {
  auto container = io::IndexedPayload::open(std::move(bytes), unidic_indexed_format());
  if (!container) return std::unexpected(UnidicArtifactPayloadError::from_indexed(container.error()));
  auto checked = io::validate_indexed_entries<UnidicArtifactPayloadError>(
      *container, [](std::string_view, const std::string&) { return std::optional<UnidicArtifactPayloadError>(); });
  if (!checked) return std::unexpected(std::move(checked.error()));
  return IndexedUnidicPayload(std::move(*container));
}

std::expected<std::vector<std::string>, UnidicArtifactPayloadError> IndexedUnidicPayload::readings_at(
    std::uint64_t value) const {
  auto readings = container_.readings_at(value);
  if (!readings) return std::unexpected(UnidicArtifactPayloadError::from_indexed(readings.error()));
  return std::move(*readings);
}

std::expected<std::optional<std::vector<std::string>>, UnidicArtifactPayloadError> IndexedUnidicPayload::lookup(
    std::string_view surface) const {
  auto found = container_.lookup(surface);
  if (!found) return std::unexpected(UnidicArtifactPayloadError::from_indexed(found.error()));
  return std::move(*found);
}

}  // namespace orvel::ja
