#include "ja/unidic_artifact_payload_error.hpp"

#include <fmt/format.h>
#include <fmt/ranges.h>

#include "core/dictionary_options.hpp"
#include "io/indexed_payload.hpp"
#include "text/quoted.hpp"

namespace orvel::ja {

namespace {

using Error = UnidicArtifactPayloadError;
using Kind = Error::Kind;

Error make(Kind kind) {
  Error error;
  error.kind = kind;
  return error;
}

Error with_number(Kind kind, std::uint64_t number) {
  Error error = make(kind);
  error.number = number;
  return error;
}

Error with_field(Kind kind, std::string_view field) {
  Error error = make(kind);
  error.field = field;
  return error;
}

Error with_surface(Kind kind, std::string surface) {
  Error error = make(kind);
  error.surface = std::move(surface);
  return error;
}

std::string magic_list(const std::array<std::uint8_t, 8>& magic) {
  return fmt::format("[{}]", fmt::join(magic, ", "));
}

}  // namespace

Error Error::io_error(io::IoError io) {
  Error error = make(Kind::Io);
  error.io = std::move(io);
  return error;
}

Error Error::yaml(std::string decoder_message) {
  Error error = make(Kind::Yaml);
  error.text = std::move(decoder_message);
  return error;
}

Error Error::invalid_binary_magic(const std::array<std::uint8_t, 8>& magic) {
  Error error = make(Kind::InvalidBinaryMagic);
  error.magic = magic;
  return error;
}

Error Error::unsupported_binary_version(std::uint32_t version) {
  return with_number(Kind::UnsupportedBinaryVersion, version);
}

Error Error::non_zero_binary_reserved(std::uint32_t value) { return with_number(Kind::NonZeroBinaryReserved, value); }

Error Error::truncated_binary(std::string_view field) { return with_field(Kind::TruncatedBinary, field); }

Error Error::invalid_binary_utf8(std::string_view field, text::Utf8Error source) {
  Error error = with_field(Kind::InvalidBinaryUtf8, field);
  error.utf8 = source;
  return error;
}

Error Error::artifact_limit_exceeded(std::string_view field, std::uint64_t len, std::uint64_t max) {
  Error error = with_field(Kind::ArtifactLimitExceeded, field);
  error.number = len;
  error.max = max;
  return error;
}

Error Error::invalid_indexed_magic(const std::array<std::uint8_t, 8>& magic) {
  Error error = make(Kind::InvalidIndexedMagic);
  error.magic = magic;
  return error;
}

Error Error::unsupported_indexed_version(std::uint32_t version) {
  return with_number(Kind::UnsupportedIndexedVersion, version);
}

Error Error::non_zero_indexed_reserved(std::uint32_t value) { return with_number(Kind::NonZeroIndexedReserved, value); }

Error Error::truncated_indexed(std::string_view field) { return with_field(Kind::TruncatedIndexed, field); }

Error Error::invalid_indexed_fst(std::string message) {
  Error error = make(Kind::InvalidIndexedFst);
  error.text = std::move(message);
  return error;
}

Error Error::invalid_indexed_offset(std::uint64_t offset) { return with_number(Kind::InvalidIndexedOffset, offset); }

Error Error::invalid_indexed_utf8(std::string_view field, text::Utf8Error source) {
  Error error = with_field(Kind::InvalidIndexedUtf8, field);
  error.utf8 = source;
  return error;
}

Error Error::indexed_entry_count_mismatch(std::uint64_t header_entries, std::uint64_t fst_entries) {
  Error error = with_number(Kind::IndexedEntryCountMismatch, header_entries);
  error.max = fst_entries;
  return error;
}

Error Error::unsupported_schema_version(std::uint32_t version) {
  return with_number(Kind::UnsupportedSchemaVersion, version);
}

Error Error::unsupported_payload_type(std::string payload_type) {
  Error error = make(Kind::UnsupportedPayloadType);
  error.text = std::move(payload_type);
  return error;
}

Error Error::empty_surface(std::uint64_t entry_index) { return with_number(Kind::EmptySurface, entry_index); }

Error Error::duplicate_surface(std::string surface) { return with_surface(Kind::DuplicateSurface, std::move(surface)); }

Error Error::empty_readings(std::string surface) { return with_surface(Kind::EmptyReadings, std::move(surface)); }

Error Error::empty_reading(std::string surface, std::uint64_t reading_index) {
  Error error = with_surface(Kind::EmptyReading, std::move(surface));
  error.number = reading_index;
  return error;
}

Error Error::duplicate_reading(std::string surface, std::string reading) {
  Error error = with_surface(Kind::DuplicateReading, std::move(surface));
  error.reading = std::move(reading);
  return error;
}

Error Error::from_indexed(const io::IndexedPayloadError& e) {
  using Indexed = io::IndexedPayloadError::Kind;
  switch (e.kind) {
    case Indexed::LimitExceeded: return artifact_limit_exceeded(e.field, e.len, e.max);
    case Indexed::Truncated: return truncated_indexed(e.field);
    case Indexed::InvalidMagic: return invalid_indexed_magic(e.magic);
    case Indexed::UnsupportedVersion: return unsupported_indexed_version(static_cast<std::uint32_t>(e.value));
    case Indexed::InvalidHeaderWord: return non_zero_indexed_reserved(static_cast<std::uint32_t>(e.value));
    case Indexed::InvalidFst: return invalid_indexed_fst(e.fst.message());
    case Indexed::EntryCountMismatch: return indexed_entry_count_mismatch(e.len, e.max);
    case Indexed::InvalidOffset: return invalid_indexed_offset(e.value);
    case Indexed::InvalidUtf8: return invalid_indexed_utf8(e.field, e.utf8);
    case Indexed::EmptySurface: return empty_surface(e.value);
    case Indexed::EmptyReadings: return empty_readings(e.surface);
    case Indexed::EmptyReading: return empty_reading(e.surface, e.value);
    case Indexed::DuplicateReading: return duplicate_reading(e.surface, e.reading);
  }
  return truncated_indexed(e.field);
}

Error Error::from_option_limit(const OptionLimitExceeded& e) { return artifact_limit_exceeded(e.field, e.len, e.max); }

std::string Error::message() const {
  auto quoted = [](std::string_view s) { return text::quoted_text(s); };
  switch (kind) {
    case Kind::Io: return fmt::format("failed to read UniDic artifact payload: {}", io.message());
    case Kind::Yaml: return fmt::format("invalid UniDic artifact payload YAML: {}", text);
    case Kind::InvalidBinaryMagic: return fmt::format("invalid UniDic binary artifact magic {}", magic_list(magic));
    case Kind::UnsupportedBinaryVersion: return fmt::format("unsupported UniDic binary artifact version {}", number);
    case Kind::NonZeroBinaryReserved: return fmt::format("UniDic binary artifact reserved header field is {}", number);
    case Kind::TruncatedBinary: return fmt::format("truncated UniDic binary artifact while reading {}", field);
    case Kind::InvalidBinaryUtf8:
      return fmt::format("invalid UTF-8 in UniDic binary artifact {}: {}", field, utf8.message());
    case Kind::ArtifactLimitExceeded:
      return fmt::format("UniDic artifact {} length/count {} exceeds limit {}", field, number, max);
    case Kind::InvalidIndexedMagic: return fmt::format("invalid UniDic indexed artifact magic {}", magic_list(magic));
    case Kind::UnsupportedIndexedVersion: return fmt::format("unsupported UniDic indexed artifact version {}", number);
    case Kind::NonZeroIndexedReserved: return fmt::format("UniDic indexed artifact reserved header field is {}", number);
    case Kind::TruncatedIndexed: return fmt::format("truncated UniDic indexed artifact while reading {}", field);
    case Kind::InvalidIndexedFst: return fmt::format("invalid UniDic indexed artifact FST: {}", text);
    case Kind::InvalidIndexedOffset: return fmt::format("invalid UniDic indexed artifact readings offset {}", number);
    case Kind::InvalidIndexedUtf8:
      return fmt::format("invalid UTF-8 in UniDic indexed artifact {}: {}", field, utf8.message());
    case Kind::IndexedEntryCountMismatch:
      return fmt::format("UniDic indexed artifact header entry count {} does not match FST entry count {}", number,
                         max);
    case Kind::UnsupportedSchemaVersion:
      return fmt::format("unsupported UniDic artifact payload schema version {}", number);
    case Kind::UnsupportedPayloadType: return fmt::format("unsupported UniDic artifact payload type {}", quoted(text));
    case Kind::EmptySurface: return fmt::format("UniDic artifact payload entry {} has an empty surface", number);
    case Kind::DuplicateSurface: return fmt::format("UniDic artifact payload has duplicate surface {}", quoted(surface));
    case Kind::EmptyReadings: return fmt::format("UniDic artifact payload surface {} has no readings", quoted(surface));
    case Kind::EmptyReading:
      return fmt::format("UniDic artifact payload surface {} has an empty reading at index {}", quoted(surface),
                         number);
    case Kind::DuplicateReading:
      return fmt::format("UniDic artifact payload surface {} has duplicate reading {}", quoted(surface),
                         quoted(reading));
  }
  return "UniDic artifact payload error";
}

std::string Error::debug() const {
  auto quoted = [](std::string_view s) { return text::quoted_text(s); };
  switch (kind) {
    case Kind::Io: return fmt::format("Io({})", io.debug());
    case Kind::Yaml: return fmt::format("Yaml({})", quoted(text));
    case Kind::InvalidBinaryMagic: return fmt::format("InvalidBinaryMagic {{ magic: {} }}", magic_list(magic));
    case Kind::UnsupportedBinaryVersion: return fmt::format("UnsupportedBinaryVersion {{ version: {} }}", number);
    case Kind::NonZeroBinaryReserved: return fmt::format("NonZeroBinaryReserved {{ value: {} }}", number);
    case Kind::TruncatedBinary: return fmt::format("TruncatedBinary {{ field: \"{}\" }}", field);
    case Kind::InvalidBinaryUtf8:
      return fmt::format("InvalidBinaryUtf8 {{ field: \"{}\", source: {} }}", field, utf8.debug());
    case Kind::ArtifactLimitExceeded:
      return fmt::format("ArtifactLimitExceeded {{ field: \"{}\", len: {}, max: {} }}", field, number, max);
    case Kind::InvalidIndexedMagic: return fmt::format("InvalidIndexedMagic {{ magic: {} }}", magic_list(magic));
    case Kind::UnsupportedIndexedVersion: return fmt::format("UnsupportedIndexedVersion {{ version: {} }}", number);
    case Kind::NonZeroIndexedReserved: return fmt::format("NonZeroIndexedReserved {{ value: {} }}", number);
    case Kind::TruncatedIndexed: return fmt::format("TruncatedIndexed {{ field: \"{}\" }}", field);
    case Kind::InvalidIndexedFst: return fmt::format("InvalidIndexedFst {{ message: {} }}", quoted(text));
    case Kind::InvalidIndexedOffset: return fmt::format("InvalidIndexedOffset {{ offset: {} }}", number);
    case Kind::InvalidIndexedUtf8:
      return fmt::format("InvalidIndexedUtf8 {{ field: \"{}\", source: {} }}", field, utf8.debug());
    case Kind::IndexedEntryCountMismatch:
      return fmt::format("IndexedEntryCountMismatch {{ header_entries: {}, fst_entries: {} }}", number, max);
    case Kind::UnsupportedSchemaVersion: return fmt::format("UnsupportedSchemaVersion {{ version: {} }}", number);
    case Kind::UnsupportedPayloadType:
      return fmt::format("UnsupportedPayloadType {{ payload_type: {} }}", quoted(text));
    case Kind::EmptySurface: return fmt::format("EmptySurface {{ entry_index: {} }}", number);
    case Kind::DuplicateSurface: return fmt::format("DuplicateSurface {{ surface: {} }}", quoted(surface));
    case Kind::EmptyReadings: return fmt::format("EmptyReadings {{ surface: {} }}", quoted(surface));
    case Kind::EmptyReading:
      return fmt::format("EmptyReading {{ surface: {}, reading_index: {} }}", quoted(surface), number);
    case Kind::DuplicateReading:
      return fmt::format("DuplicateReading {{ surface: {}, reading: {} }}", quoted(surface), quoted(reading));
  }
  return "UnidicArtifactPayloadError";
}

}  // namespace orvel::ja
