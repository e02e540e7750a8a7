#include "zh/zh_indexed_payload_writer.hpp"

#include <algorithm>

#include "common/fatal_error.hpp"
#include "zh/cedict_reading_index.hpp"
#include "zh/cedict_yaml_records.hpp"
#include "zh/indexed_zh_payload.hpp"

namespace orvel::zh {

namespace {

void put_u32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

void put_u64(std::vector<std::uint8_t>& out, std::uint64_t v) {
  for (int i = 0; i < 8; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

void put_bytes(std::vector<std::uint8_t>& out, std::string_view bytes) { out.insert(out.end(), bytes.begin(), bytes.end()); }

}  // namespace

std::expected<std::vector<std::uint8_t>, io::FstBuildError> zh_indexed_payload_bytes(
    std::vector<ZhReadingIndexPayloadEntry> entries, std::uint32_t view_word) {
  std::stable_sort(entries.begin(), entries.end(),
                   [](const ZhReadingIndexPayloadEntry& a, const ZhReadingIndexPayloadEntry& b) {
                     return a.surface < b.surface;
                   });
  io::FstMapBuilder builder;
  std::vector<std::uint8_t> readings;
  for (const ZhReadingIndexPayloadEntry& entry : entries) {
    if (auto added = builder.insert(entry.surface, readings.size()); !added) return std::unexpected(added.error());
    put_u32(readings, static_cast<std::uint32_t>(entry.readings.size()));
    for (const std::string& reading : entry.readings) {
      put_u32(readings, static_cast<std::uint32_t>(reading.size()));
      put_bytes(readings, reading);
    }
  }
  const std::uint64_t entry_count = builder.key_count();
  const std::vector<std::uint8_t> fst = builder.finish();

  std::vector<std::uint8_t> out;
  out.reserve(io::kIndexedHeaderBytes + fst.size() + readings.size());
  out.insert(out.end(), kZhIndexedMagic.begin(), kZhIndexedMagic.end());
  put_u32(out, kZhIndexedVersion);
  put_u32(out, view_word);
  put_u64(out, entry_count);
  put_u64(out, fst.size());
  put_u64(out, readings.size());
  out.insert(out.end(), fst.begin(), fst.end());
  out.insert(out.end(), readings.begin(), readings.end());
  return out;
}

std::vector<std::uint8_t> zh_indexed_payload_bytes(const CedictReadingIndex& index) {
  ZhReadingIndexPayload payload = index.artifact_payload();
  auto bytes = zh_indexed_payload_bytes(std::move(payload.entries),
                                        index.tone3() ? kZhIndexedViewTone3 : kZhIndexedViewNoTone);
  // The surfaces of an index are distinct.
  if (!bytes) fail_fatal("distinct index surfaces", bytes.error().debug());
  return std::move(*bytes);
}

}  // namespace orvel::zh
