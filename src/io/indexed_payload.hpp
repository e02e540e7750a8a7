#pragma once
// The indexed-fst payload container shared by the reading indexes of both
// languages: a 40-byte little-endian header (magic, version, a header word,
// entry count, fst section length, readings section length), an fst map from
// surfaces to offsets, and the readings records those offsets point at.
//
// What differs between languages is an IndexedPayloadFormat; errors come out
// as IndexedPayloadError, which each language turns into its own error type.
#include <array>
#include <cstddef>
#include <cstdint>
#include <expected>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "io/canonical.hpp"
#include "io/fst_map.hpp"
#include "text/utf8.hpp"

namespace orvel::io {

inline constexpr std::size_t kIndexedHeaderBytes = 40;

struct IndexedPayloadFormat {
  std::array<std::uint8_t, 8> magic{};
  // Largest value accepted in the header word at offset 12 (0 where it is a
  // reserved word that must be zero).
  std::uint32_t max_header_word = 0;
  std::uint64_t max_entries = 0;
  // Limits of one readings record.
  std::uint64_t max_surface_bytes = 16'384;
  std::uint64_t max_reading_count = 256;
  std::uint64_t max_reading_bytes = 16'384;
  std::uint64_t max_payload_bytes = 536'870'912;
};

struct IndexedPayloadError {
  enum class Kind {
    LimitExceeded,       // field, len, max
    Truncated,           // field
    InvalidMagic,        // magic
    UnsupportedVersion,  // value
    InvalidHeaderWord,   // value: the word at offset 12
    InvalidFst,          // fst
    EntryCountMismatch,  // len: header entries, max: fst entries
    InvalidOffset,       // value
    InvalidUtf8,         // field, utf8
    EmptySurface,        // value: entry index (always 0)
    EmptyReadings,       // surface
    EmptyReading,        // surface, value: reading index
    DuplicateReading,    // surface, reading
  };

  Kind kind = Kind::Truncated;
  // Field names are literals: "payload_bytes", "header", "reading", ...
  std::string_view field;
  std::uint64_t value = 0;
  std::uint64_t len = 0;
  std::uint64_t max = 0;
  std::array<std::uint8_t, 8> magic{};
  FstError fst;
  text::Utf8Error utf8;
  std::string surface;
  std::string reading;

  static IndexedPayloadError make(Kind kind, std::uint64_t value = 0);
  static IndexedPayloadError truncated(std::string_view field);
  static IndexedPayloadError limit_exceeded(std::string_view field, std::uint64_t len, std::uint64_t max);
  static IndexedPayloadError invalid_fst(const FstError& error);
  static IndexedPayloadError entry_count_mismatch(std::uint64_t header_entries, std::uint64_t fst_entries);
  static IndexedPayloadError invalid_utf8(std::string_view field, text::Utf8Error error);
  static IndexedPayloadError about_surface(Kind kind, std::string_view surface, std::uint64_t value = 0);
  static IndexedPayloadError duplicate_reading(std::string_view surface, std::string_view reading);

  std::string debug() const;
};

// Little-endian reads at an offset already known to be in bounds.
std::uint32_t load_u32_le(const std::uint8_t* p);
std::uint64_t load_u64_le(const std::uint8_t* p);

// The u64 at `offset` of `bytes`, or Truncated {field} when it does not fit.
std::expected<std::uint64_t, IndexedPayloadError> read_u64_le_bytes(std::span<const std::uint8_t> bytes,
                                                                    std::size_t offset,
                                                                    std::string_view field);

struct IndexedPayloadHeader {
  std::uint32_t version = 0;
  std::uint32_t header_word = 0;
  std::uint64_t entry_count = 0;
  std::uint64_t fst_len = 0;
  std::uint64_t readings_len = 0;
};

// Header checks in order: payload size, header length, magic, version, the
// header word, the entry count, then the section bounds.
std::expected<IndexedPayloadHeader, IndexedPayloadError> parse_indexed_header(
    std::span<const std::uint8_t> payload, const IndexedPayloadFormat& format);

// Decodes the readings record at readings_start + value. Every bound is
// checked against the end of the whole payload. Empty readings are returned
// as they are.
std::expected<std::vector<std::string>, IndexedPayloadError> decode_readings_record(
    std::span<const std::uint8_t> payload, std::uint64_t readings_start, std::uint64_t value,
    const IndexedPayloadFormat& format);

// The index of the first reading equal to an earlier one, if any.
std::optional<std::size_t> first_duplicate(std::span<const std::string> readings);

class IndexedPayload {
 public:
  // Checks the header and opens the fst section (header checks, fst open,
  // key count against the header). Does not visit the entries: see
  // validate_indexed_entries. The bytes become the shared payload buffer.
  static std::expected<IndexedPayload, IndexedPayloadError> open(std::vector<std::uint8_t> bytes,
                                                                 const IndexedPayloadFormat& format);

  const IndexedPayloadFormat& format() const noexcept { return format_; }
  std::uint32_t header_word() const noexcept { return header_word_; }
  std::uint64_t entry_count() const noexcept { return entry_count_; }
  std::uint64_t readings_start() const noexcept { return readings_start_; }
  std::span<const std::uint8_t> payload() const noexcept { return {payload_->data(), payload_->size()}; }
  const std::shared_ptr<const std::vector<std::uint8_t>>& shared_payload() const noexcept { return payload_; }
  const FstMap& fst() const noexcept { return fst_; }

  // The readings record that an fst value points at.
  std::expected<std::vector<std::string>, IndexedPayloadError> readings_at(std::uint64_t value) const {
    return decode_readings_record(payload(), readings_start_, value, format_);
  }

  // Exact lookup of a surface: its decoded readings, or nullopt.
  std::expected<std::optional<std::vector<std::string>>, IndexedPayloadError> lookup(
      std::string_view surface) const;

 private:
  IndexedPayload(IndexedPayloadFormat format, FstMap fst, std::shared_ptr<const std::vector<std::uint8_t>> payload,
                 std::uint64_t readings_start, std::uint64_t entry_count, std::uint32_t header_word)
      : format_(format),
        fst_(std::move(fst)),
        payload_(std::move(payload)),
        readings_start_(readings_start),
        entry_count_(entry_count),
        header_word_(header_word) {}

  IndexedPayloadFormat format_;
  FstMap fst_;
  std::shared_ptr<const std::vector<std::uint8_t>> payload_;
  std::uint64_t readings_start_ = 0;
  std::uint64_t entry_count_ = 0;
  std::uint32_t header_word_ = 0;
};

// Records of more bytes than this are remembered once they passed.
inline constexpr std::uint64_t kSharedRecordCacheThreshold = 256;

// What the entries of an indexed payload may amount to, in proportion to its
// size L: at most 16 L + 1 MiB bytes of keys ("fst_key_bytes") and as many
// bytes of canonical text (the 'S', 'R' and 'r' records of every entry,
// "canonical_bytes"). A real dictionary stays below 2 L on both counts (the
// fst shares prefixes and suffixes of keys, and records are not repeated),
// the fixed allowance covers tiny payloads; a payload that shares one tail
// or one readings record among many keys would otherwise make the visit, the
// export and the checksum work far beyond its size.
inline constexpr std::uint64_t kEntryBytesPerPayloadByte = 16;
inline constexpr std::uint64_t kEntryBytesAllowance = 1'048'576;
inline std::uint64_t max_entry_bytes(std::uint64_t payload_bytes) {
  return payload_bytes * kEntryBytesPerPayloadByte + kEntryBytesAllowance;
}

// Visits every key in ascending byte order and checks it and its readings
// record: key UTF-8, not empty, surface length, the record decodes, at least
// one reading, then per reading: not empty, `check_reading` (a language's own
// test, returning std::optional<Error>; its verdict must depend on the
// reading alone), not a repeat of an earlier reading. A path of the fst
// longer than the surface limit is refused as that limit when the visit
// reaches it; the running totals of key bytes and canonical bytes are held
// to max_entry_bytes.
// `Error` must offer Error::from_indexed(const IndexedPayloadError&).
template <class Error, class CheckReading>
std::expected<void, Error> validate_indexed_entries(const IndexedPayload& payload, CheckReading&& check_reading) {
  using Failure = IndexedPayloadError;
  std::optional<Error> failure;
  auto fail = [&](Failure error) {
    failure = Error::from_indexed(error);
    return false;
  };
  const IndexedPayloadFormat& format = payload.format();
  const std::uint64_t max_bytes = max_entry_bytes(payload.payload().size());
  std::uint64_t key_bytes = 0;
  std::uint64_t canonical_bytes = 0;
  // Canonical bytes of the readings of each large record that passed.
  std::unordered_map<std::uint64_t, std::uint64_t> large_records_passed;
  auto visited = payload.fst().for_each(
      [&](std::string_view key, std::uint64_t value) -> bool {
        if (auto valid = text::validate_utf8(key); !valid) {
          return fail(Failure::invalid_utf8("surface", valid.error()));
        }
        if (key.empty()) return fail(Failure::make(Failure::Kind::EmptySurface, 0));
        if (key.size() > format.max_surface_bytes) {
          return fail(Failure::limit_exceeded("surface_bytes", key.size(), format.max_surface_bytes));
        }
        key_bytes += key.size();
        if (key_bytes > max_bytes) return fail(Failure::limit_exceeded("fst_key_bytes", key_bytes, max_bytes));
        canonical_bytes += len_prefixed_bytes(key.size());
        // Several keys may share one record. A large record that passed once
        // passes again (its checks depend on the record alone), so it is
        // decoded once: keys sharing a big record cannot make the load slow.
        if (auto passed = large_records_passed.find(value); passed != large_records_passed.end()) {
          canonical_bytes += passed->second;
          if (canonical_bytes > max_bytes) {
            return fail(Failure::limit_exceeded("canonical_bytes", canonical_bytes, max_bytes));
          }
          return true;
        }
        auto readings = payload.readings_at(value);
        if (!readings) return fail(std::move(readings.error()));
        if (readings->empty()) return fail(Failure::about_surface(Failure::Kind::EmptyReadings, key));
        const std::optional<std::size_t> duplicate = first_duplicate(*readings);
        for (std::size_t j = 0; j < readings->size(); ++j) {
          const std::string& reading = (*readings)[j];
          if (reading.empty()) {
            return fail(Failure::about_surface(Failure::Kind::EmptyReading, key, j));
          }
          if (std::optional<Error> own = check_reading(key, reading)) {
            failure = std::move(own);
            return false;
          }
          if (duplicate == j) {
            return fail(Failure::duplicate_reading(key, reading));
          }
        }
        std::uint64_t record_bytes = 4;
        std::uint64_t record_canonical_bytes = count_line_bytes(readings->size());
        for (const std::string& reading : *readings) {
          record_bytes += 4 + reading.size();
          record_canonical_bytes += len_prefixed_bytes(reading.size());
        }
        canonical_bytes += record_canonical_bytes;
        if (canonical_bytes > max_bytes) {
          return fail(Failure::limit_exceeded("canonical_bytes", canonical_bytes, max_bytes));
        }
        if (record_bytes > kSharedRecordCacheThreshold) large_records_passed.emplace(value, record_canonical_bytes);
        return true;
      },
      format.max_surface_bytes);
  if (failure) return std::unexpected(std::move(*failure));
  if (!visited) {
    if (visited.error().kind == FstError::Kind::KeyTooLong) {
      return std::unexpected(
          Error::from_indexed(Failure::limit_exceeded("surface_bytes", visited.error().size, format.max_surface_bytes)));
    }
    return std::unexpected(Error::from_indexed(Failure::invalid_fst(visited.error())));
  }
  return {};
}

}  // namespace orvel::io
