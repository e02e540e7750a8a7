#include "ja/unidic_reading_index.hpp"

#include <utility>

#include "io/bounded_read.hpp"
#include "io/indexed_payload.hpp"
#include "io/payload_file.hpp"
#include "ja/unidic_indexed_payload.hpp"

namespace orvel::ja {

using Error = UnidicArtifactPayloadError;

std::expected<UnidicReadingIndex, Error> UnidicReadingIndex::from_artifact_payload(
    UnidicReadingIndexPayload payload) {
  if (payload.schema_version != kUnidicSchemaVersion) {
    return std::unexpected(Error::unsupported_schema_version(payload.schema_version));
  }
  if (payload.payload_type != kUnidicPayloadType) {
    return std::unexpected(Error::unsupported_payload_type(std::move(payload.payload_type)));
  }
  if (payload.entries.size() > kUnidicMaxEntries) {
    return std::unexpected(Error::artifact_limit_exceeded("entry_count", payload.entries.size(), kUnidicMaxEntries));
  }
  Map map;
  map.reserve(payload.entries.size());
  for (std::size_t i = 0; i < payload.entries.size(); ++i) {
    UnidicReadingIndexPayloadEntry& entry = payload.entries[i];
    if (entry.surface.size() > kMaxSurfaceBytes) {
      return std::unexpected(Error::artifact_limit_exceeded("surface_bytes", entry.surface.size(), kMaxSurfaceBytes));
    }
    if (entry.readings.size() > kMaxReadingCount) {
      return std::unexpected(Error::artifact_limit_exceeded("reading_count", entry.readings.size(), kMaxReadingCount));
    }
    if (entry.surface.empty()) return std::unexpected(Error::empty_surface(i));
    if (entry.readings.empty()) return std::unexpected(Error::empty_readings(std::move(entry.surface)));
    const std::optional<std::size_t> duplicate = io::first_duplicate(entry.readings);
    for (std::size_t j = 0; j < entry.readings.size(); ++j) {
      const std::string& reading = entry.readings[j];
      if (reading.size() > kMaxReadingBytes) {
        return std::unexpected(Error::artifact_limit_exceeded("reading_bytes", reading.size(), kMaxReadingBytes));
      }
      if (reading.empty()) return std::unexpected(Error::empty_reading(std::move(entry.surface), j));
      if (duplicate == j) {
        return std::unexpected(Error::duplicate_reading(std::move(entry.surface), reading));
      }
    }
    // try_emplace leaves the key untouched when it is already present.
    auto [at, added] = map.try_emplace(std::move(entry.surface), std::move(entry.readings));
    if (!added) return std::unexpected(Error::duplicate_surface(std::move(entry.surface)));
  }
  return UnidicReadingIndex(std::move(map));
}

std::expected<UnidicReadingIndex, Error> UnidicReadingIndex::from_indexed_owned_bytes(std::vector<std::uint8_t> bytes) {
  auto indexed = IndexedUnidicPayload::from_owned_bytes(std::move(bytes));
  if (!indexed) return std::unexpected(std::move(indexed.error()));
  return UnidicReadingIndex(std::make_shared<const IndexedUnidicPayload>(std::move(*indexed)));
}

std::uint64_t UnidicReadingIndex::entry_count() const {
  if (const Map* m = map()) return m->size();
  return std::get<Indexed>(form_)->entry_count();
}

const IndexedUnidicPayload* UnidicReadingIndex::indexed() const {
  const Indexed* indexed = std::get_if<Indexed>(&form_);
  return indexed != nullptr ? indexed->get() : nullptr;
}

UnidicLookup UnidicReadingIndex::try_readings_exact(std::string_view text) const {
  if (const Map* m = map()) {
    if (m->empty()) return std::nullopt;
    auto it = m->find(text);
    if (it == m->end()) return std::nullopt;
    return UnidicReadings::view(it->second);
  }
  auto found = std::get<Indexed>(form_)->lookup(text);
  if (!found) return std::unexpected(std::move(found.error()));
  if (!*found) return std::nullopt;
  return UnidicReadings::owned(std::move(**found));
}

UnidicLookup UnidicReadingIndex::try_readings(std::string_view text) const {
  UnidicLookup exact = try_readings_exact(text);
  if (!exact || *exact) return exact;
  std::optional<std::string> normalized = normalize_ascii_width(text);
  if (!normalized) return exact;
  return try_readings_exact(*normalized);
}

std::optional<std::string> normalize_ascii_width(std::string_view text) {
  // Every folded character is a three-byte sequence: U+3000 is E3 80 80,
  // U+FF01..U+FF3F are EF BC 81..BF and U+FF40..U+FF5E are EF BD 80..9E.
  // Lead bytes never occur inside a sequence, so matching bytes is exact.
  std::optional<std::string> out;
  std::size_t copied = 0;
  auto fold = [&](std::size_t at, char ascii) {
    if (!out) {
      out.emplace();
      out->reserve(text.size());
    }
    out->append(text.substr(copied, at - copied));
    out->push_back(ascii);
    copied = at + 3;
  };
  for (std::size_t i = 0; i + 2 < text.size();) {
    const auto b0 = static_cast<unsigned char>(text[i]);
    const auto b1 = static_cast<unsigned char>(text[i + 1]);
    const auto b2 = static_cast<unsigned char>(text[i + 2]);
    if (b0 == 0xE3 && b1 == 0x80 && b2 == 0x80) {
      fold(i, ' ');
      i += 3;
    } else if (b0 == 0xEF && b1 == 0xBC && b2 >= 0x81 && b2 <= 0xBF) {
      fold(i, static_cast<char>(b2 - 0x60));
      i += 3;
    } else if (b0 == 0xEF && b1 == 0xBD && b2 >= 0x80 && b2 <= 0x9E) {
      fold(i, static_cast<char>(b2 - 0x20));
      i += 3;
    } else {
      ++i;
    }
  }
  if (out) out->append(text.substr(copied));
  return out;
}

namespace unidic {

std::expected<void, Error> check_payload_file_size(const std::filesystem::path& path) {
  return io::check_payload_file_size_as<Error>(path);
}

std::expected<std::vector<std::uint8_t>, Error> read_payload_file_bounded(const std::filesystem::path& path) {
  return io::read_payload_file_bounded_as<Error>(path);
}

std::expected<std::uint64_t, Error> read_u64_le_bytes(std::span<const std::uint8_t> bytes, std::size_t offset,
                                                      std::string_view field) {
  return io::read_u64_le_bytes_as<Error>(bytes, offset, field);
}

}  // namespace unidic

}  // namespace orvel::ja
