#include "io/indexed_payload.hpp"

#include <algorithm>
#include <cstring>
#include <limits>
#include <utility>

#include <fmt/format.h>
#include <fmt/ranges.h>

namespace orvel::io {

namespace {

using Kind = IndexedPayloadError::Kind;

IndexedPayloadError truncated(std::string_view field) { return IndexedPayloadError::truncated(field); }

IndexedPayloadError limit(std::string_view field, std::uint64_t len, std::uint64_t max) {
  return IndexedPayloadError::limit_exceeded(field, len, max);
}

}  // namespace

IndexedPayloadError IndexedPayloadError::make(Kind kind, std::uint64_t value) {
  IndexedPayloadError error;
  error.kind = kind;
  error.value = value;
  return error;
}

IndexedPayloadError IndexedPayloadError::truncated(std::string_view field) {
  IndexedPayloadError error = make(Kind::Truncated);
  error.field = field;
  return error;
}

IndexedPayloadError IndexedPayloadError::limit_exceeded(std::string_view field, std::uint64_t len,
                                                        std::uint64_t max) {
  IndexedPayloadError error = make(Kind::LimitExceeded);
  error.field = field;
  error.len = len;
  error.max = max;
  return error;
}

IndexedPayloadError IndexedPayloadError::invalid_fst(const FstError& fst) {
  IndexedPayloadError error = make(Kind::InvalidFst);
  error.fst = fst;
  return error;
}

IndexedPayloadError IndexedPayloadError::entry_count_mismatch(std::uint64_t header_entries,
                                                              std::uint64_t fst_entries) {
  IndexedPayloadError error = make(Kind::EntryCountMismatch);
  error.len = header_entries;
  error.max = fst_entries;
  return error;
}

IndexedPayloadError IndexedPayloadError::invalid_utf8(std::string_view field, text::Utf8Error utf8) {
  IndexedPayloadError error = make(Kind::InvalidUtf8);
  error.field = field;
  error.utf8 = utf8;
  return error;
}

IndexedPayloadError IndexedPayloadError::about_surface(Kind kind, std::string_view surface, std::uint64_t value) {
  IndexedPayloadError error = make(kind, value);
  error.surface = surface;
  return error;
}

IndexedPayloadError IndexedPayloadError::duplicate_reading(std::string_view surface, std::string_view reading) {
  IndexedPayloadError error = make(Kind::DuplicateReading);
  error.surface = surface;
  error.reading = reading;
  return error;
}

std::string IndexedPayloadError::debug() const {
  switch (kind) {
    case Kind::LimitExceeded:
      return fmt::format("LimitExceeded {{ field: \"{}\", len: {}, max: {} }}", field, len, max);
    case Kind::Truncated:
      return fmt::format("Truncated {{ field: \"{}\" }}", field);
    case Kind::InvalidMagic:
      return fmt::format("InvalidMagic {{ magic: [{}] }}", fmt::join(magic, ", "));
    case Kind::UnsupportedVersion:
      return fmt::format("UnsupportedVersion {{ version: {} }}", value);
    case Kind::InvalidHeaderWord:
      return fmt::format("InvalidHeaderWord {{ value: {} }}", value);
    case Kind::InvalidFst:
      return fmt::format("InvalidFst {{ error: {} }}", fst.debug());
    case Kind::EntryCountMismatch:
      return fmt::format("EntryCountMismatch {{ header_entries: {}, fst_entries: {} }}", len, max);
    case Kind::InvalidOffset:
      return fmt::format("InvalidOffset {{ offset: {} }}", value);
    case Kind::InvalidUtf8:
      return fmt::format("InvalidUtf8 {{ field: \"{}\", source: {} }}", field, utf8.debug());
    case Kind::EmptySurface:
      return fmt::format("EmptySurface {{ entry_index: {} }}", value);
    case Kind::EmptyReadings:
      return fmt::format("EmptyReadings {{ surface: {:?} }}", surface);
    case Kind::EmptyReading:
      return fmt::format("EmptyReading {{ surface: {:?}, reading_index: {} }}", surface, value);
    case Kind::DuplicateReading:
      return fmt::format("DuplicateReading {{ surface: {:?}, reading: {:?} }}", surface, reading);
  }
  return "IndexedPayloadError";
}

std::uint32_t load_u32_le(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
         static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

std::uint64_t load_u64_le(const std::uint8_t* p) {
  return static_cast<std::uint64_t>(load_u32_le(p)) | static_cast<std::uint64_t>(load_u32_le(p + 4)) << 32;
}

std::expected<std::uint64_t, IndexedPayloadError> read_u64_le_bytes(std::span<const std::uint8_t> bytes,
                                                                    std::size_t offset,
                                                                    std::string_view field) {
  if (offset > bytes.size() || bytes.size() - offset < 8) return std::unexpected(truncated(field));
  return load_u64_le(bytes.data() + offset);
}

std::expected<IndexedPayloadHeader, IndexedPayloadError> parse_indexed_header(
    std::span<const std::uint8_t> payload, const IndexedPayloadFormat& format) {
  const std::uint64_t size = payload.size();
  if (size > format.max_payload_bytes) return std::unexpected(limit("payload_bytes", size, format.max_payload_bytes));
  if (size < kIndexedHeaderBytes) return std::unexpected(truncated("header"));
  const std::uint8_t* p = payload.data();

  if (!std::equal(format.magic.begin(), format.magic.end(), p)) {
    IndexedPayloadError error = IndexedPayloadError::make(Kind::InvalidMagic);
    std::copy_n(p, 8, error.magic.begin());
    return std::unexpected(std::move(error));
  }
  IndexedPayloadHeader header;
  header.version = load_u32_le(p + 8);
  if (header.version != 1) {
    return std::unexpected(IndexedPayloadError::make(Kind::UnsupportedVersion, header.version));
  }
  header.header_word = load_u32_le(p + 12);
  if (header.header_word > format.max_header_word) {
    return std::unexpected(IndexedPayloadError::make(Kind::InvalidHeaderWord, header.header_word));
  }
  header.entry_count = load_u64_le(p + 16);
  if (header.entry_count > format.max_entries) {
    return std::unexpected(limit("entry_count", header.entry_count, format.max_entries));
  }
  header.fst_len = load_u64_le(p + 24);
  header.readings_len = load_u64_le(p + 32);
  constexpr std::uint64_t kMax = std::numeric_limits<std::uint64_t>::max();
  if (header.fst_len > kMax - kIndexedHeaderBytes) return std::unexpected(truncated("fst_section"));
  const std::uint64_t readings_start = kIndexedHeaderBytes + header.fst_len;
  if (header.readings_len > kMax - readings_start) return std::unexpected(truncated("readings_section"));
  if (size < readings_start + header.readings_len) return std::unexpected(truncated("indexed_payload"));
  return header;
}

std::expected<std::vector<std::string>, IndexedPayloadError> decode_readings_record(
    std::span<const std::uint8_t> payload, std::uint64_t readings_start, std::uint64_t value,
    const IndexedPayloadFormat& format) {
  const std::uint64_t size = payload.size();
  const std::uint8_t* bytes = payload.data();
  if (value > std::numeric_limits<std::uint64_t>::max() - readings_start || readings_start + value >= size) {
    return std::unexpected(IndexedPayloadError::make(Kind::InvalidOffset, value));
  }
  const std::uint64_t record = readings_start + value;
  // record < size, so adding small constants cannot overflow below.
  if (size - record < 4) return std::unexpected(truncated("reading_count"));
  const std::uint32_t count = load_u32_le(bytes + record);
  if (count > format.max_reading_count) {
    return std::unexpected(limit("reading_count", count, format.max_reading_count));
  }
  std::vector<std::string> readings;
  readings.reserve(count);
  std::uint64_t at = record + 4;
  for (std::uint32_t i = 0; i < count; ++i) {
    if (size - at < 4) return std::unexpected(truncated("reading_len"));
    const std::uint32_t len = load_u32_le(bytes + at);
    if (len > format.max_reading_bytes) return std::unexpected(limit("reading_bytes", len, format.max_reading_bytes));
    at += 4;
    if (size - at < len) return std::unexpected(truncated("reading"));
    std::string_view text(reinterpret_cast<const char*>(bytes + at), len);
    if (auto valid = text::validate_utf8(text); !valid) {
      return std::unexpected(IndexedPayloadError::invalid_utf8("reading", valid.error()));
    }
    readings.emplace_back(text);
    at += len;
  }
  return readings;
}

std::optional<std::size_t> first_duplicate(std::span<const std::string> readings) {
  const std::size_t n = readings.size();
  if (n <= 8) {
    for (std::size_t j = 1; j < n; ++j) {
      for (std::size_t k = 0; k < j; ++k) {
        if (readings[k] == readings[j]) return j;
      }
    }
    return std::nullopt;
  }
  // Sorting by (text, position) puts each repeat right after its first
  // occurrence's group; the earliest second occurrence over all groups is the
  // first position that repeats an earlier reading.
  std::vector<std::size_t> order(n);
  for (std::size_t i = 0; i < n; ++i) order[i] = i;
  std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
    const int c = readings[a].compare(readings[b]);
    return c != 0 ? c < 0 : a < b;
  });
  std::optional<std::size_t> first;
  for (std::size_t i = 1; i < n; ++i) {
    if (readings[order[i]] == readings[order[i - 1]] && (!first || order[i] < *first)) first = order[i];
  }
  return first;
}

std::expected<IndexedPayload, IndexedPayloadError> IndexedPayload::open(std::vector<std::uint8_t> bytes,
                                                                       const IndexedPayloadFormat& format) {
  auto payload = std::make_shared<const std::vector<std::uint8_t>>(std::move(bytes));
  auto header = parse_indexed_header({payload->data(), payload->size()}, format);
  if (!header) return std::unexpected(std::move(header.error()));

  // The fst map reads its section in place; the shared buffer keeps it alive.
  std::span<const std::uint8_t> section(payload->data() + kIndexedHeaderBytes,
                                        static_cast<std::size_t>(header->fst_len));
  auto fst = FstMap::open(payload, section);
  if (!fst) return std::unexpected(IndexedPayloadError::invalid_fst(fst.error()));
  if (fst->key_count() != header->entry_count) {
    return std::unexpected(IndexedPayloadError::entry_count_mismatch(header->entry_count, fst->key_count()));
  }
  const std::uint64_t readings_start = kIndexedHeaderBytes + header->fst_len;
  return IndexedPayload(format, std::move(*fst), std::move(payload), readings_start, header->entry_count,
                        header->header_word);
}

std::expected<std::optional<std::vector<std::string>>, IndexedPayloadError> IndexedPayload::lookup(
    std::string_view surface) const {
  auto value = fst_.get(surface);
  if (!value) return std::unexpected(IndexedPayloadError::invalid_fst(value.error()));
  if (!*value) return std::optional<std::vector<std::string>>();
  auto readings = readings_at(**value);
  if (!readings) return std::unexpected(std::move(readings.error()));
  return std::optional<std::vector<std::string>>(std::move(*readings));
}

}  // namespace orvel::io
