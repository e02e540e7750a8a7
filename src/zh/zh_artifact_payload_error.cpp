#include "zh/zh_artifact_payload_error.hpp"

#include <fmt/format.h>
#include <fmt/ranges.h>

#include "common/fatal_error.hpp"
#include "core/dictionary_options.hpp"
#include "io/indexed_payload.hpp"
#include "text/quoted.hpp"

namespace orvel::zh {

namespace {

using Kind = ZhArtifactPayloadError::Kind;

ZhArtifactPayloadError make(Kind kind) {
  ZhArtifactPayloadError error;
  error.kind = kind;
  return error;
}

ZhArtifactPayloadError with_number(Kind kind, std::uint64_t number) {
  ZhArtifactPayloadError error = make(kind);
  error.number = number;
  return error;
}

ZhArtifactPayloadError with_field(Kind kind, std::string_view field) {
  ZhArtifactPayloadError error = make(kind);
  error.field = std::string(field);
  return error;
}

ZhArtifactPayloadError with_surface(Kind kind, std::string surface) {
  ZhArtifactPayloadError error = make(kind);
  error.surface = std::move(surface);
  return error;
}

std::string q(std::string_view text) { return text::quoted_text(text); }

}  // namespace

ZhArtifactPayloadError ZhArtifactPayloadError::io_error(io::IoError error) {
  ZhArtifactPayloadError e = make(Kind::Io);
  e.io = std::move(error);
  return e;
}

ZhArtifactPayloadError ZhArtifactPayloadError::yaml(std::string decoder_message) {
  ZhArtifactPayloadError e = make(Kind::Yaml);
  e.text = std::move(decoder_message);
  return e;
}

ZhArtifactPayloadError ZhArtifactPayloadError::invalid_indexed_magic(const std::array<std::uint8_t, 8>& magic) {
  ZhArtifactPayloadError e = make(Kind::InvalidIndexedMagic);
  e.magic = magic;
  return e;
}

ZhArtifactPayloadError ZhArtifactPayloadError::unsupported_indexed_version(std::uint32_t version) {
  return with_number(Kind::UnsupportedIndexedVersion, version);
}

ZhArtifactPayloadError ZhArtifactPayloadError::unsupported_indexed_pinyin_view(std::uint32_t value) {
  return with_number(Kind::UnsupportedIndexedPinyinView, value);
}

ZhArtifactPayloadError ZhArtifactPayloadError::artifact_limit_exceeded(std::string_view field, std::uint64_t len,
                                                                       std::uint64_t max) {
  ZhArtifactPayloadError e = with_field(Kind::ArtifactLimitExceeded, field);
  e.number = len;
  e.max = max;
  return e;
}

ZhArtifactPayloadError ZhArtifactPayloadError::truncated_indexed(std::string_view field) {
  return with_field(Kind::TruncatedIndexed, field);
}

ZhArtifactPayloadError ZhArtifactPayloadError::invalid_indexed_fst(std::string message) {
  ZhArtifactPayloadError e = make(Kind::InvalidIndexedFst);
  e.text = std::move(message);
  return e;
}

ZhArtifactPayloadError ZhArtifactPayloadError::indexed_entry_count_mismatch(std::uint64_t header_entries,
                                                                            std::uint64_t fst_entries) {
  ZhArtifactPayloadError e = with_number(Kind::IndexedEntryCountMismatch, header_entries);
  e.max = fst_entries;
  return e;
}

ZhArtifactPayloadError ZhArtifactPayloadError::invalid_indexed_offset(std::uint64_t offset) {
  return with_number(Kind::InvalidIndexedOffset, offset);
}

ZhArtifactPayloadError ZhArtifactPayloadError::invalid_indexed_utf8(std::string_view field, text::Utf8Error source) {
  ZhArtifactPayloadError e = with_field(Kind::InvalidIndexedUtf8, field);
  e.utf8 = source;
  return e;
}

ZhArtifactPayloadError ZhArtifactPayloadError::unsupported_schema_version(std::uint32_t version) {
  return with_number(Kind::UnsupportedSchemaVersion, version);
}

ZhArtifactPayloadError ZhArtifactPayloadError::unsupported_payload_type(std::string payload_type) {
  ZhArtifactPayloadError e = make(Kind::UnsupportedPayloadType);
  e.text = std::move(payload_type);
  return e;
}

ZhArtifactPayloadError ZhArtifactPayloadError::unsupported_pinyin_view(std::string pinyin_view) {
  ZhArtifactPayloadError e = make(Kind::UnsupportedPinyinView);
  e.text = std::move(pinyin_view);
  return e;
}

ZhArtifactPayloadError ZhArtifactPayloadError::empty_surface(std::uint64_t entry_index) {
  return with_number(Kind::EmptySurface, entry_index);
}

ZhArtifactPayloadError ZhArtifactPayloadError::duplicate_surface(std::string surface) {
  return with_surface(Kind::DuplicateSurface, std::move(surface));
}

ZhArtifactPayloadError ZhArtifactPayloadError::empty_readings(std::string surface) {
  return with_surface(Kind::EmptyReadings, std::move(surface));
}

ZhArtifactPayloadError ZhArtifactPayloadError::empty_reading(std::string surface, std::uint64_t reading_index) {
  ZhArtifactPayloadError e = with_surface(Kind::EmptyReading, std::move(surface));
  e.number = reading_index;
  return e;
}

ZhArtifactPayloadError ZhArtifactPayloadError::duplicate_reading(std::string surface, std::string reading) {
  ZhArtifactPayloadError e = with_surface(Kind::DuplicateReading, std::move(surface));
  e.reading = std::move(reading);
  return e;
}

ZhArtifactPayloadError ZhArtifactPayloadError::reading_not_normalized(std::string surface, std::string reading,
                                                                      std::string normalized) {
  ZhArtifactPayloadError e = with_surface(Kind::ReadingNotNormalized, std::move(surface));
  e.reading = std::move(reading);
  e.text = std::move(normalized);
  return e;
}

ZhArtifactPayloadError ZhArtifactPayloadError::from_indexed(const io::IndexedPayloadError& error) {
  using From = io::IndexedPayloadError::Kind;
  switch (error.kind) {
    case From::LimitExceeded: return artifact_limit_exceeded(error.field, error.len, error.max);
    case From::Truncated: return truncated_indexed(error.field);
    case From::InvalidMagic: return invalid_indexed_magic(error.magic);
    case From::UnsupportedVersion: return unsupported_indexed_version(static_cast<std::uint32_t>(error.value));
    case From::InvalidHeaderWord: return unsupported_indexed_pinyin_view(static_cast<std::uint32_t>(error.value));
    case From::InvalidFst: return invalid_indexed_fst(error.fst.message());
    case From::EntryCountMismatch: return indexed_entry_count_mismatch(error.len, error.max);
    case From::InvalidOffset: return invalid_indexed_offset(error.value);
    case From::InvalidUtf8: return invalid_indexed_utf8(error.field, error.utf8);
    case From::EmptySurface: return empty_surface(error.value);
    case From::EmptyReadings: return empty_readings(error.surface);
    case From::EmptyReading: return empty_reading(error.surface, error.value);
    case From::DuplicateReading: return duplicate_reading(error.surface, error.reading);
  }
  fail_fatal("known indexed payload error", error.debug());
}

ZhArtifactPayloadError ZhArtifactPayloadError::from_option_limit(const OptionLimitExceeded& error) {
  return artifact_limit_exceeded(error.field, error.len, error.max);
}

std::string ZhArtifactPayloadError::message() const {
  switch (kind) {
    case Kind::Io: return fmt::format("failed to read zh artifact payload: {}", io.message());
    case Kind::Yaml: return fmt::format("invalid zh artifact payload YAML: {}", text);
    case Kind::InvalidIndexedMagic: return fmt::format("invalid zh indexed artifact magic [{}]", fmt::join(magic, ", "));
    case Kind::UnsupportedIndexedVersion: return fmt::format("unsupported zh indexed artifact version {}", number);
    case Kind::UnsupportedIndexedPinyinView:
      return fmt::format("unsupported zh indexed artifact pinyin view {}", number);
    case Kind::ArtifactLimitExceeded:
      return fmt::format("zh artifact {} length/count {} exceeds limit {}", field, number, max);
    case Kind::TruncatedIndexed: return fmt::format("truncated zh indexed artifact while reading {}", field);
    case Kind::InvalidIndexedFst: return fmt::format("invalid zh indexed artifact FST: {}", text);
    case Kind::IndexedEntryCountMismatch:
      return fmt::format("zh indexed artifact header entry count {} does not match FST entry count {}", number, max);
    case Kind::InvalidIndexedOffset: return fmt::format("invalid zh indexed artifact readings offset {}", number);
    case Kind::InvalidIndexedUtf8:
      return fmt::format("invalid UTF-8 in zh indexed artifact {}: {}", field, utf8.message());
    case Kind::UnsupportedSchemaVersion:
      return fmt::format("unsupported zh artifact payload schema version {}", number);
    case Kind::UnsupportedPayloadType: return fmt::format("unsupported zh artifact payload type {}", q(text));
    case Kind::UnsupportedPinyinView: return fmt::format("unsupported zh artifact pinyin view {}", q(text));
    case Kind::EmptySurface: return fmt::format("zh artifact payload entry {} has an empty surface", number);
    case Kind::DuplicateSurface: return fmt::format("zh artifact payload has duplicate surface {}", q(surface));
    case Kind::EmptyReadings: return fmt::format("zh artifact payload surface {} has no readings", q(surface));
    case Kind::EmptyReading:
      return fmt::format("zh artifact payload surface {} has an empty reading at index {}", q(surface), number);
    case Kind::DuplicateReading:
      return fmt::format("zh artifact payload surface {} has duplicate reading {}", q(surface), q(reading));
    case Kind::ReadingNotNormalized:
      return fmt::format("zh artifact payload surface {} has non-normalized reading {}; expected {}", q(surface),
                         q(reading), q(text));
  }
  return "unknown zh artifact payload error";
}

std::string ZhArtifactPayloadError::debug() const {
  switch (kind) {
    case Kind::Io: return fmt::format("Io({})", io.debug());
    case Kind::Yaml: return fmt::format("Yaml({})", q(text));
    case Kind::InvalidIndexedMagic: return fmt::format("InvalidIndexedMagic {{ magic: [{}] }}", fmt::join(magic, ", "));
    case Kind::UnsupportedIndexedVersion: return fmt::format("UnsupportedIndexedVersion {{ version: {} }}", number);
    case Kind::UnsupportedIndexedPinyinView:
      return fmt::format("UnsupportedIndexedPinyinView {{ value: {} }}", number);
    case Kind::ArtifactLimitExceeded:
      return fmt::format("ArtifactLimitExceeded {{ field: {}, len: {}, max: {} }}", q(field), number, max);
    case Kind::TruncatedIndexed: return fmt::format("TruncatedIndexed {{ field: {} }}", q(field));
    case Kind::InvalidIndexedFst: return fmt::format("InvalidIndexedFst {{ message: {} }}", q(text));
    case Kind::IndexedEntryCountMismatch:
      return fmt::format("IndexedEntryCountMismatch {{ header_entries: {}, fst_entries: {} }}", number, max);
    case Kind::InvalidIndexedOffset: return fmt::format("InvalidIndexedOffset {{ offset: {} }}", number);
    case Kind::InvalidIndexedUtf8:
      return fmt::format("InvalidIndexedUtf8 {{ field: {}, source: {} }}", q(field), utf8.debug());
    case Kind::UnsupportedSchemaVersion: return fmt::format("UnsupportedSchemaVersion {{ version: {} }}", number);
    case Kind::UnsupportedPayloadType: return fmt::format("UnsupportedPayloadType {{ payload_type: {} }}", q(text));
    case Kind::UnsupportedPinyinView: return fmt::format("UnsupportedPinyinView {{ pinyin_view: {} }}", q(text));
    case Kind::EmptySurface: return fmt::format("EmptySurface {{ entry_index: {} }}", number);
    case Kind::DuplicateSurface: return fmt::format("DuplicateSurface {{ surface: {} }}", q(surface));
    case Kind::EmptyReadings: return fmt::format("EmptyReadings {{ surface: {} }}", q(surface));
    case Kind::EmptyReading:
      return fmt::format("EmptyReading {{ surface: {}, reading_index: {} }}", q(surface), number);
    case Kind::DuplicateReading:
      return fmt::format("DuplicateReading {{ surface: {}, reading: {} }}", q(surface), q(reading));
    case Kind::ReadingNotNormalized:
      return fmt::format("ReadingNotNormalized {{ surface: {}, reading: {}, normalized: {} }}", q(surface),
                         q(reading), q(text));
  }
  return "Unknown";
}

}  // namespace orvel::zh
