#include "zh/indexed_zh_payload.hpp"

#include "zh/cedict_reading_index.hpp"
#include "zh/pinyin.hpp"

namespace orvel::zh {

const io::IndexedPayloadFormat& IndexedZhPayload::format() {
  static const io::IndexedPayloadFormat zh_format{
      .magic = kZhIndexedMagic,
      .max_header_word = kZhIndexedViewTone3,
      .max_entries = kZhMaxEntries,
      .max_surface_bytes = kZhMaxSurfaceBytes,
      .max_reading_count = kZhMaxReadingCount,
      .max_reading_bytes = kZhMaxReadingBytes,
      .max_payload_bytes = io::kMaxPayloadBytes,
  };
  return zh_format;
}

std::expected<IndexedZhPayload, ZhArtifactPayloadError> IndexedZhPayload::load(std::vector<std::uint8_t> bytes) {
  auto opened = io::IndexedPayload::open(std::move(bytes), format());
  if (!opened) return std::unexpected(ZhArtifactPayloadError::from_indexed(opened.error()));
  IndexedZhPayload payload(std::move(*opened));
  const bool tone3 = payload.tone3();
  auto valid = io::validate_indexed_entries<ZhArtifactPayloadError>(
      payload.payload_, [tone3](std::string_view surface, const std::string& reading) {
        std::optional<ZhArtifactPayloadError> failure;
        std::string normal = normalize_artifact_reading(reading, tone3);
        if (normal != reading) {
          failure = ZhArtifactPayloadError::reading_not_normalized(std::string(surface), reading, std::move(normal));
        }
        return failure;
      });
  if (!valid) return std::unexpected(std::move(valid.error()));
  return payload;
}

std::expected<std::vector<std::string>, ZhArtifactPayloadError> IndexedZhPayload::readings_at(
    std::uint64_t offset) const {
  auto readings = payload_.readings_at(offset);
  if (!readings) return std::unexpected(ZhArtifactPayloadError::from_indexed(readings.error()));
  return std::move(*readings);
}

std::expected<std::optional<std::vector<std::string>>, ZhArtifactPayloadError> IndexedZhPayload::lookup(
    std::string_view surface) const {
  auto found = payload_.lookup(surface);
  if (!found) return std::unexpected(ZhArtifactPayloadError::from_indexed(found.error()));
  return std::move(*found);
}

}  // namespace orvel::zh
