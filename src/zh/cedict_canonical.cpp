#include "zh/cedict_canonical.hpp"

#include <algorithm>
#include <span>

#include "common/fatal_error.hpp"
#include "io/canonical.hpp"
#include "zh/cedict_reading_index.hpp"
#include "zh/cedict_yaml_records.hpp"
#include "zh/indexed_zh_payload.hpp"

namespace orvel::zh {

void push_len_prefixed(std::string& out, char tag, std::string_view bytes) { io::push_len_prefixed(out, tag, bytes); }

std::string canonical_text_of(const ZhReadingIndexPayload& payload) {
  std::string out(kZhCanonicalHeader);
  push_len_prefixed(out, 'V', payload.pinyin_view);
  for (const ZhReadingIndexPayloadEntry& entry : payload.entries) {
    push_len_prefixed(out, 'S', entry.surface);
    io::push_count_line(out, 'R', entry.readings.size());
    for (const std::string& reading : entry.readings) push_len_prefixed(out, 'r', reading);
  }
  return out;
}

ZhReadingIndexPayload CedictReadingIndex::artifact_payload() const {
  ZhReadingIndexPayload payload;
  payload.schema_version = kZhSchemaVersion;
  payload.payload_type = std::string(kZhPayloadType);
  payload.pinyin_view = std::string(pinyin_view());
  if (const Map* m = map()) {
    payload.entries.reserve(m->size());
    for (const auto& [surface, readings] : *m) payload.entries.push_back({surface, readings});
    // std::string compares as unsigned bytes, a proper prefix first.
    std::sort(payload.entries.begin(), payload.entries.end(),
              [](const ZhReadingIndexPayloadEntry& a, const ZhReadingIndexPayloadEntry& b) {
                return a.surface < b.surface;
              });
    return payload;
  }
  const IndexedZhPayload& indexed_payload = *indexed();
  payload.entries.reserve(static_cast<std::size_t>(indexed_payload.entry_count()));
  std::optional<ZhArtifactPayloadError> failure;
  auto visited = indexed_payload.fst().for_each([&](std::string_view key, std::uint64_t value) -> bool {
    auto readings = indexed_payload.readings_at(value);
    if (!readings) {
      failure = std::move(readings.error());
      return false;
    }
    payload.entries.push_back({std::string(key), std::move(*readings)});
    return true;
  });
  if (failure) fail_fatal("validated indexed artifact should decode", failure->debug());
  if (!visited) fail_fatal("validated indexed artifact should decode", visited.error().debug());
  return payload;
}

std::string CedictReadingIndex::canonical_text() const { return canonical_text_of(artifact_payload()); }

std::optional<std::string> CedictReadingIndex::artifact_payload_checksum_for_algorithm(
    std::string_view algorithm) const {
  if (algorithm != io::kSha256CanonicalV1) return std::nullopt;
  // The canonical text of canonical_text_of, hashed as it is written: the
  // entries are visited in the export's order and never copied.
  io::CanonicalDigest digest(io::CanonicalDigest::Algorithm::Sha256);
  digest.append(kZhCanonicalHeader);
  digest.push_len_prefixed('V', pinyin_view());
  auto entry = [&](std::string_view surface, std::span<const std::string> readings) {
    digest.push_entry(surface, readings);
  };
  if (const Map* m = map()) {
    io::for_each_in_byte_order(*m, entry);
    return digest.finish_hex();
  }
  const IndexedZhPayload& indexed_payload = *indexed();
  auto visited = indexed_payload.fst().for_each([&](std::string_view key, std::uint64_t value) {
    auto readings = indexed_payload.readings_at(value);
    if (!readings) fail_fatal("validated indexed artifact should decode", readings.error().debug());
    entry(key, *readings);
  });
  if (!visited) fail_fatal("validated indexed artifact should decode", visited.error().debug());
  return digest.finish_hex();
}

}  // namespace orvel::zh
