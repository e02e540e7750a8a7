#pragma once
// The error of every Chinese payload load, of indexed-form lookups, and of
// the query option limits.
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

namespace orvel::zh {

// One flat record per error; `kind` says which fields are meaningful:
//   Io                            io
//   Yaml                          text (the decoder's message)
//   InvalidIndexedMagic           magic
//   UnsupportedIndexedVersion     number (version)
//   UnsupportedIndexedPinyinView  number (value)
//   ArtifactLimitExceeded         field, number (len), max
//   TruncatedIndexed              field
//   InvalidIndexedFst             text (the fst message)
//   IndexedEntryCountMismatch     number (header entries), max (fst entries)
//   InvalidIndexedOffset          number (offset)
//   InvalidIndexedUtf8            field, utf8
//   UnsupportedSchemaVersion      number (version)
//   UnsupportedPayloadType        text (payload type)
//   UnsupportedPinyinView         text (pinyin view)
//   EmptySurface                  number (entry index)
//   DuplicateSurface              surface
//   EmptyReadings                 surface
//   EmptyReading                  surface, number (reading index)
//   DuplicateReading              surface, reading
//   ReadingNotNormalized          surface, reading, text (the normal form)
struct ZhArtifactPayloadError {
  enum class Kind {
    Io,
    Yaml,
    InvalidIndexedMagic,
    UnsupportedIndexedVersion,
    UnsupportedIndexedPinyinView,
    ArtifactLimitExceeded,
    TruncatedIndexed,
    InvalidIndexedFst,
    IndexedEntryCountMismatch,
    InvalidIndexedOffset,
    InvalidIndexedUtf8,
    UnsupportedSchemaVersion,
    UnsupportedPayloadType,
    UnsupportedPinyinView,
    EmptySurface,
    DuplicateSurface,
    EmptyReadings,
    EmptyReading,
    DuplicateReading,
    ReadingNotNormalized,
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

  static ZhArtifactPayloadError io_error(io::IoError error);
  static ZhArtifactPayloadError yaml(std::string decoder_message);
  static ZhArtifactPayloadError invalid_indexed_magic(const std::array<std::uint8_t, 8>& magic);
  static ZhArtifactPayloadError unsupported_indexed_version(std::uint32_t version);
  static ZhArtifactPayloadError unsupported_indexed_pinyin_view(std::uint32_t value);
  static ZhArtifactPayloadError artifact_limit_exceeded(std::string_view field, std::uint64_t len,
                                                        std::uint64_t max);
  static ZhArtifactPayloadError truncated_indexed(std::string_view field);
  static ZhArtifactPayloadError invalid_indexed_fst(std::string message);
  static ZhArtifactPayloadError indexed_entry_count_mismatch(std::uint64_t header_entries,
                                                             std::uint64_t fst_entries);
  static ZhArtifactPayloadError invalid_indexed_offset(std::uint64_t offset);
  static ZhArtifactPayloadError invalid_indexed_utf8(std::string_view field, text::Utf8Error source);
  static ZhArtifactPayloadError unsupported_schema_version(std::uint32_t version);
  static ZhArtifactPayloadError unsupported_payload_type(std::string payload_type);
  static ZhArtifactPayloadError unsupported_pinyin_view(std::string pinyin_view);
  static ZhArtifactPayloadError empty_surface(std::uint64_t entry_index);
  static ZhArtifactPayloadError duplicate_surface(std::string surface);
  static ZhArtifactPayloadError empty_readings(std::string surface);
  static ZhArtifactPayloadError empty_reading(std::string surface, std::uint64_t reading_index);
  static ZhArtifactPayloadError duplicate_reading(std::string surface, std::string reading);
  static ZhArtifactPayloadError reading_not_normalized(std::string surface, std::string reading,
                                                       std::string normalized);

  // The shared indexed container's and the option check's errors, in this
  // error's terms.
  static ZhArtifactPayloadError from_indexed(const io::IndexedPayloadError& error);
  static ZhArtifactPayloadError from_option_limit(const OptionLimitExceeded& error);

  // The display text.
  std::string message() const;
  // Variant name, then its fields in braces.
  std::string debug() const;
};

}  // namespace orvel::zh
