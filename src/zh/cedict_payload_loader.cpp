// Loading the map form of a CedictReadingIndex from a payload record or a
// YAML payload file.
#include <set>

#include "zh/cedict_reading_index.hpp"
#include "zh/cedict_yaml_records.hpp"
#include "zh/pinyin.hpp"

namespace orvel::zh {

namespace {

using Error = ZhArtifactPayloadError;

// The YAML spellings of the two views; nothing is trimmed or case-folded.
std::optional<bool> parse_pinyin_view(std::string_view name) {
  if (name == "tone3") return true;
  if (name == "no-tone" || name == "notone" || name == "normal") return false;
  return std::nullopt;
}

// All checks of one entry, in order; the entry itself is left unchanged.
std::expected<void, Error> check_entry(const ZhReadingIndexPayloadEntry& entry, std::uint64_t entry_index,
                                       bool tone3) {
  if (entry.surface.size() > kZhMaxSurfaceBytes) {
    return std::unexpected(Error::artifact_limit_exceeded("surface_bytes", entry.surface.size(), kZhMaxSurfaceBytes));
  }
  if (entry.readings.size() > kZhMaxReadingCount) {
    return std::unexpected(Error::artifact_limit_exceeded("reading_count", entry.readings.size(), kZhMaxReadingCount));
  }
  if (entry.surface.empty()) return std::unexpected(Error::empty_surface(entry_index));
  if (entry.readings.empty()) return std::unexpected(Error::empty_readings(entry.surface));
  std::set<std::string_view> seen;
  for (std::size_t j = 0; j < entry.readings.size(); ++j) {
    const std::string& reading = entry.readings[j];
    if (reading.size() > kZhMaxReadingBytes) {
      return std::unexpected(Error::artifact_limit_exceeded("reading_bytes", reading.size(), kZhMaxReadingBytes));
    }
    if (reading.empty()) return std::unexpected(Error::empty_reading(entry.surface, j));
    if (std::string normal = normalize_artifact_reading(reading, tone3); normal != reading) {
      return std::unexpected(Error::reading_not_normalized(entry.surface, reading, std::move(normal)));
    }
    if (!seen.insert(reading).second) return std::unexpected(Error::duplicate_reading(entry.surface, reading));
  }
  return {};
}

}  // namespace

std::expected<CedictReadingIndex, Error> CedictReadingIndex::from_artifact_payload(ZhReadingIndexPayload payload) {
  if (payload.schema_version != kZhSchemaVersion) {
    return std::unexpected(Error::unsupported_schema_version(payload.schema_version));
  }
  if (payload.payload_type != kZhPayloadType) {
    return std::unexpected(Error::unsupported_payload_type(std::move(payload.payload_type)));
  }
  const std::optional<bool> tone3 = parse_pinyin_view(payload.pinyin_view);
  if (!tone3) return std::unexpected(Error::unsupported_pinyin_view(std::move(payload.pinyin_view)));
  if (payload.entries.size() > kZhMaxEntries) {
    return std::unexpected(Error::artifact_limit_exceeded("entry_count", payload.entries.size(), kZhMaxEntries));
  }
  Map map;
  map.reserve(payload.entries.size());
  for (std::size_t i = 0; i < payload.entries.size(); ++i) {
    ZhReadingIndexPayloadEntry& entry = payload.entries[i];
    if (auto checked = check_entry(entry, i, *tone3); !checked) return std::unexpected(std::move(checked.error()));
    auto [it, inserted] = map.try_emplace(std::move(entry.surface), std::move(entry.readings));
    // try_emplace leaves its arguments alone when the key is present.
    if (!inserted) return std::unexpected(Error::duplicate_surface(it->first));
  }
  return CedictReadingIndex(std::move(map), *tone3);
}

}  // namespace orvel::zh
