#pragma once
// The error of every UniDic payload load, of indexed-form lookups, and of the
// query option limits.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "io/bounded_read.hpp"
#include "text/utf8.hpp"

namespace orvel::io {
struct IndexedPayloadError;
}
namespace orvel {
struct OptionLimitExceeded;
}

namespace orvel::ja {

// One flat record per error; `kind` says which fields are meaningful:
//   Io                          io
//   Yaml                        text (the decoder's message)
//   InvalidBinaryMagic          magic
//   UnsupportedBinaryVersion    number (version)
//   NonZeroBinaryReserved       number (value)
//   TruncatedBinary             field
//   InvalidBinaryUtf8           field, utf8
//   ArtifactLimitExceeded       field, number (len), max
//   InvalidIndexedMagic         magic
//   UnsupportedIndexedVersion   number (version)
//   NonZeroIndexedReserved      number (value)
//   TruncatedIndexed            field
//   InvalidIndexedFst           text (the fst message)
//   InvalidIndexedOffset        number (offset)
//   InvalidIndexedUtf8          field, utf8
//   IndexedEntryCountMismatch   number (header entries), max (fst entries)
//   UnsupportedSchemaVersion    number (version)
//   UnsupportedPayloadType      text (payload type)
//   EmptySurface                number (entry index)
//   DuplicateSurface            surface
//   EmptyReadings               surface
//   EmptyReading                surface, number (reading index)
//   DuplicateReading            surface, reading
struct UnidicArtifactPayloadError {
  enum class Kind {
    Io,
    Yaml,
    InvalidBinaryMagic,
    UnsupportedBinaryVersion,
    NonZeroBinaryReserved,
    TruncatedBinary,
    InvalidBinaryUtf8,
    ArtifactLimitExceeded,
    InvalidIndexedMagic,
    UnsupportedIndexedVersion,
    NonZeroIndexedReserved,
    TruncatedIndexed,
    InvalidIndexedFst,
    InvalidIndexedOffset,
    InvalidIndexedUtf8,
    IndexedEntryCountMismatch,
    UnsupportedSchemaVersion,
    UnsupportedPayloadType,
    EmptySurface,
    DuplicateSurface,
    EmptyReadings,
    EmptyReading,
    DuplicateReading,
  };

  Kind kind = Kind::Io;
  io::IoError io;
  std::string text;
  std::array<std::uint8_t, 8> magic{};
  std::string field;
  text::Utf8Error utf8;
  std::uint64_t number = 0;
  std::uint64_t max = 0;
  std::string surface;
  std::string reading;

  static UnidicArtifactPayloadError io_error(io::IoError error);
  static UnidicArtifactPayloadError yaml(std::string decoder_message);
  static UnidicArtifactPayloadError invalid_binary_magic(const std::array<std::uint8_t, 8>& magic);
  static UnidicArtifactPayloadError unsupported_binary_version(std::uint32_t version);
  static UnidicArtifactPayloadError non_zero_binary_reserved(std::uint32_t value);
  static UnidicArtifactPayloadError truncated_binary(std::string_view field);
  static UnidicArtifactPayloadError invalid_binary_utf8(std::string_view field, text::Utf8Error source);
  static UnidicArtifactPayloadError artifact_limit_exceeded(std::string_view field, std::uint64_t len,
                                                            std::uint64_t max);
  static UnidicArtifactPayloadError invalid_indexed_magic(const std::array<std::uint8_t, 8>& magic);
  static UnidicArtifactPayloadError unsupported_indexed_version(std::uint32_t version);
  static UnidicArtifactPayloadError non_zero_indexed_reserved(std::uint32_t value);
  static UnidicArtifactPayloadError truncated_indexed(std::string_view field);
  static UnidicArtifactPayloadError invalid_indexed_fst(std::string message);
  static UnidicArtifactPayloadError invalid_indexed_offset(std::uint64_t offset);
  static UnidicArtifactPayloadError invalid_indexed_utf8(std::string_view field, text::Utf8Error source);
  static UnidicArtifactPayloadError indexed_entry_count_mismatch(std::uint64_t header_entries,
                                                                 std::uint64_t fst_entries);
  static UnidicArtifactPayloadError unsupported_schema_version(std::uint32_t version);
  static UnidicArtifactPayloadError unsupported_payload_type(std::string payload_type);
  static UnidicArtifactPayloadError empty_surface(std::uint64_t entry_index);
  static UnidicArtifactPayloadError duplicate_surface(std::string surface);
  static UnidicArtifactPayloadError empty_readings(std::string surface);
  static UnidicArtifactPayloadError empty_reading(std::string surface, std::uint64_t reading_index);
  static UnidicArtifactPayloadError duplicate_reading(std::string surface, std::string reading);

  // The shared indexed container's and the option check's errors, in this
  // error's terms.
  static UnidicArtifactPayloadError from_indexed(const io::IndexedPayloadError& error);
  static UnidicArtifactPayloadError from_option_limit(const OptionLimitExceeded& error);

  // The display text.
  std::string message() const;
  // Variant name, then its fields in braces.
  std::string debug() const;
};

}  // namespace orvel::ja
