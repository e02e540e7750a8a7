#include "ja/unidic_payload_writer.hpp"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <map>
#include <string>
#include <utility>

#include "common/fatal_error.hpp"
#include "ja/unidic_binary_format.hpp"
#include "ja/unidic_indexed_payload.hpp"
#include "ja/unidic_reading_index.hpp"

namespace orvel::ja {

namespace {

void put_u32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

void put_u64(std::vector<std::uint8_t>& out, std::uint64_t v) {
  for (int i = 0; i < 8; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

void put_string(std::vector<std::uint8_t>& out, const std::string& s) {
  put_u32(out, static_cast<std::uint32_t>(s.size()));
  out.insert(out.end(), s.begin(), s.end());
}

void store_u64(std::vector<std::uint8_t>& out, std::size_t at, std::uint64_t v) {
  for (int i = 0; i < 8; ++i) out[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

}  // namespace

std::vector<std::uint8_t> unidic_binary_payload_bytes(const UnidicReadingIndexPayload& payload) {
  std::vector<std::uint8_t> out(kUnidicBinaryMagic.begin(), kUnidicBinaryMagic.end());
  put_u32(out, kUnidicBinaryVersion);
  put_u32(out, 0);
  put_u64(out, payload.entries.size());
  for (const auto& entry : payload.entries) {
    put_string(out, entry.surface);
    put_u32(out, static_cast<std::uint32_t>(entry.readings.size()));
    for (const auto& reading : entry.readings) put_string(out, reading);
  }
  return out;
}

std::vector<std::uint8_t> unidic_binary_payload_bytes(const UnidicReadingIndex& index) {
  return unidic_binary_payload_bytes(index.artifact_payload());
}

std::expected<std::vector<std::uint8_t>, io::FstBuildError> unidic_indexed_payload_bytes(
    const UnidicReadingIndexPayload& payload) {
  std::vector<const UnidicReadingIndexPayloadEntry*> sorted;
  sorted.reserve(payload.entries.size());
  for (const auto& entry : payload.entries) sorted.push_back(&entry);
  std::stable_sort(sorted.begin(), sorted.end(), [](auto* a, auto* b) { return a->surface < b->surface; });

  std::vector<std::uint8_t> readings;
  std::map<std::vector<std::string>, std::uint64_t> record_of;
  io::FstMapBuilder builder;
  for (const auto* entry : sorted) {
    auto [it, added] = record_of.try_emplace(entry->readings, readings.size());
    if (added) {
      put_u32(readings, static_cast<std::uint32_t>(entry->readings.size()));
      for (const auto& reading : entry->readings) put_string(readings, reading);
    }
    if (auto inserted = builder.insert(entry->surface, it->second); !inserted) {
      return std::unexpected(std::move(inserted.error()));
    }
  }
  std::vector<std::uint8_t> fst = builder.finish();

  std::vector<std::uint8_t> out(kUnidicIndexedMagic.begin(), kUnidicIndexedMagic.end());
  put_u32(out, 1);
  put_u32(out, 0);
  put_u64(out, sorted.size());
  put_u64(out, 0);
  put_u64(out, 0);
  store_u64(out, 24, fst.size());
  store_u64(out, 32, readings.size());
  out.insert(out.end(), fst.begin(), fst.end());
  out.insert(out.end(), readings.begin(), readings.end());
  return out;
}

std::vector<std::uint8_t> unidic_indexed_payload_bytes(const UnidicReadingIndex& index) {
  auto bytes = unidic_indexed_payload_bytes(index.artifact_payload());
  if (!bytes) fail_fatal("index surfaces are distinct", bytes.error().debug());
  return std::move(*bytes);
}

std::expected<void, io::IoError> write_payload_file(const std::filesystem::path& path,
                                                    const std::vector<std::uint8_t>& bytes) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return std::unexpected(io::IoError::from_errno(errno));
  const std::size_t written = std::fwrite(bytes.data(), 1, bytes.size(), file);
  const int write_errno = errno;
  if (std::fclose(file) != 0 || written != bytes.size()) {
    return std::unexpected(io::IoError::from_errno(written != bytes.size() ? write_errno : errno));
  }
  return {};
}

}  // namespace orvel::ja
