#pragma once
// What the Japanese and the Chinese payload errors share: their fields, the
// constructors of their common variants, the mapping of the indexed
// container's errors, and the display and developer texts of the common
// variants, which differ only in the language's name ("UniDic", "zh").
//
// A language's error derives from ArtifactPayloadErrorBase<Error, Kind>. Its
// Kind enum names every common variant as below, plus its own, and the
// error provides:
//   static constexpr std::string_view kName;           in the messages
//   static Error from_header_word(std::uint64_t);       the indexed header's
//                                                       language word refused
//   std::string own_message() const;                   its own variants
//   std::string own_debug() const;
//
// One flat record per error; `kind` says which fields are meaningful:
//   Io                          io
//   Yaml                        text (the decoder's message)
//   ArtifactLimitExceeded       field, number (len), max
//   InvalidIndexedMagic         magic
//   UnsupportedIndexedVersion   number (version)
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
#include <fmt/format.h>
#include <fmt/ranges.h>

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "common/fatal_error.hpp"
#include "io/bounded_read.hpp"
#include "io/indexed_payload.hpp"
#include "text/quoted.hpp"
#include "text/utf8.hpp"

namespace orvel::io {

template <class Error, class Kind>
struct ArtifactPayloadErrorBase {
  Kind kind = Kind::Io;
  IoError io;
  std::string text;
  std::array<std::uint8_t, 8> magic{};
  std::string field;
  text::Utf8Error utf8;
  std::uint64_t number = 0;
  std::uint64_t max = 0;
  std::string surface;
  std::string reading;

  static Error make(Kind kind) {
    Error error;
    error.kind = kind;
    return error;
  }
  static Error with_number(Kind kind, std::uint64_t number) {
    Error error = make(kind);
    error.number = number;
    return error;
  }
  static Error with_field(Kind kind, std::string_view field) {
    Error error = make(kind);
    error.field = field;
    return error;
  }
  static Error with_surface(Kind kind, std::string surface) {
    Error error = make(kind);
    error.surface = std::move(surface);
    return error;
  }
  static Error with_magic(Kind kind, const std::array<std::uint8_t, 8>& magic) {
    Error error = make(kind);
    error.magic = magic;
    return error;
  }
  static Error with_utf8(Kind kind, std::string_view field, text::Utf8Error source) {
    Error error = with_field(kind, field);
    error.utf8 = source;
    return error;
  }

  static Error io_error(IoError io) {
    Error error = make(Kind::Io);
    error.io = std::move(io);
    return error;
  }
  static Error yaml(std::string decoder_message) {
    Error error = make(Kind::Yaml);
    error.text = std::move(decoder_message);
    return error;
  }
  static Error artifact_limit_exceeded(std::string_view field, std::uint64_t len, std::uint64_t max) {
    Error error = with_field(Kind::ArtifactLimitExceeded, field);
    error.number = len;
    error.max = max;
    return error;
  }
  static Error invalid_indexed_magic(const std::array<std::uint8_t, 8>& magic) {
    return with_magic(Kind::InvalidIndexedMagic, magic);
  }
  static Error unsupported_indexed_version(std::uint32_t version) {
    return with_number(Kind::UnsupportedIndexedVersion, version);
  }
  static Error truncated_indexed(std::string_view field) { return with_field(Kind::TruncatedIndexed, field); }
  static Error invalid_indexed_fst(std::string message) {
    Error error = make(Kind::InvalidIndexedFst);
    error.text = std::move(message);
    return error;
  }
  static Error invalid_indexed_offset(std::uint64_t offset) { return with_number(Kind::InvalidIndexedOffset, offset); }
  static Error invalid_indexed_utf8(std::string_view field, text::Utf8Error source) {
    return with_utf8(Kind::InvalidIndexedUtf8, field, source);
  }
  static Error indexed_entry_count_mismatch(std::uint64_t header_entries, std::uint64_t fst_entries) {
    Error error = with_number(Kind::IndexedEntryCountMismatch, header_entries);
    error.max = fst_entries;
    return error;
  }
  static Error unsupported_schema_version(std::uint32_t version) {
    return with_number(Kind::UnsupportedSchemaVersion, version);
  }
  static Error unsupported_payload_type(std::string payload_type) {
    Error error = make(Kind::UnsupportedPayloadType);
    error.text = std::move(payload_type);
    return error;
  }
  static Error empty_surface(std::uint64_t entry_index) { return with_number(Kind::EmptySurface, entry_index); }
  static Error duplicate_surface(std::string surface) { return with_surface(Kind::DuplicateSurface, std::move(surface)); }
  static Error empty_readings(std::string surface) { return with_surface(Kind::EmptyReadings, std::move(surface)); }
  static Error empty_reading(std::string surface, std::uint64_t reading_index) {
    Error error = with_surface(Kind::EmptyReading, std::move(surface));
    error.number = reading_index;
    return error;
  }
  static Error duplicate_reading(std::string surface, std::string reading) {
    Error error = with_surface(Kind::DuplicateReading, std::move(surface));
    error.reading = std::move(reading);
    return error;
  }

  // The shared indexed container's errors, in the language's terms. Every
  // kind the container can report is mapped; the kind is set by the
  // container's own code, never read from a file, so the fatal error past
  // the switch stands only for a broken program.
  static Error from_indexed(const IndexedPayloadError& e) {
    using Indexed = IndexedPayloadError::Kind;
    switch (e.kind) {
      case Indexed::LimitExceeded: return artifact_limit_exceeded(e.field, e.len, e.max);
      case Indexed::Truncated: return truncated_indexed(e.field);
      case Indexed::InvalidMagic: return invalid_indexed_magic(e.magic);
      case Indexed::UnsupportedVersion: return unsupported_indexed_version(static_cast<std::uint32_t>(e.value));
      case Indexed::InvalidHeaderWord: return Error::from_header_word(e.value);
      case Indexed::InvalidFst: return invalid_indexed_fst(e.fst.message());
      case Indexed::EntryCountMismatch: return indexed_entry_count_mismatch(e.len, e.max);
      case Indexed::InvalidOffset: return invalid_indexed_offset(e.value);
      case Indexed::InvalidUtf8: return invalid_indexed_utf8(e.field, e.utf8);
      case Indexed::EmptySurface: return empty_surface(e.value);
      case Indexed::EmptyReadings: return empty_readings(e.surface);
      case Indexed::EmptyReading: return empty_reading(e.surface, e.value);
      case Indexed::DuplicateReading: return duplicate_reading(e.surface, e.reading);
    }
    fail_fatal("known indexed payload error", e.debug());
  }

  // The display text.
  std::string message() const {
    constexpr std::string_view name = Error::kName;
    auto q = [](std::string_view s) { return text::quoted_text(s); };
    switch (kind) {
      case Kind::Io: return fmt::format("failed to read {} artifact payload: {}", name, io.message());
      case Kind::Yaml: return fmt::format("invalid {} artifact payload YAML: {}", name, text);
      case Kind::ArtifactLimitExceeded:
        return fmt::format("{} artifact {} length/count {} exceeds limit {}", name, field, number, max);
      case Kind::InvalidIndexedMagic:
        return fmt::format("invalid {} indexed artifact magic [{}]", name, fmt::join(magic, ", "));
      case Kind::UnsupportedIndexedVersion:
        return fmt::format("unsupported {} indexed artifact version {}", name, number);
      case Kind::TruncatedIndexed: return fmt::format("truncated {} indexed artifact while reading {}", name, field);
      case Kind::InvalidIndexedFst: return fmt::format("invalid {} indexed artifact FST: {}", name, text);
      case Kind::InvalidIndexedOffset:
        return fmt::format("invalid {} indexed artifact readings offset {}", name, number);
      case Kind::InvalidIndexedUtf8:
        return fmt::format("invalid UTF-8 in {} indexed artifact {}: {}", name, field, utf8.message());
      case Kind::IndexedEntryCountMismatch:
        return fmt::format("{} indexed artifact header entry count {} does not match FST entry count {}", name,
                           number, max);
      case Kind::UnsupportedSchemaVersion:
        return fmt::format("unsupported {} artifact payload schema version {}", name, number);
      case Kind::UnsupportedPayloadType: return fmt::format("unsupported {} artifact payload type {}", name, q(text));
      case Kind::EmptySurface: return fmt::format("{} artifact payload entry {} has an empty surface", name, number);
      case Kind::DuplicateSurface:
        return fmt::format("{} artifact payload has duplicate surface {}", name, q(surface));
      case Kind::EmptyReadings: return fmt::format("{} artifact payload surface {} has no readings", name, q(surface));
      case Kind::EmptyReading:
        return fmt::format("{} artifact payload surface {} has an empty reading at index {}", name, q(surface),
                           number);
      case Kind::DuplicateReading:
        return fmt::format("{} artifact payload surface {} has duplicate reading {}", name, q(surface), q(reading));
      default: return static_cast<const Error&>(*this).own_message();
    }
  }

  // Variant name, then its fields in braces.
  std::string debug() const {
    auto q = [](std::string_view s) { return text::quoted_text(s); };
    switch (kind) {
      case Kind::Io: return fmt::format("Io({})", io.debug());
      case Kind::Yaml: return fmt::format("Yaml({})", q(text));
      case Kind::ArtifactLimitExceeded:
        return fmt::format("ArtifactLimitExceeded {{ field: {}, len: {}, max: {} }}", q(field), number, max);
      case Kind::InvalidIndexedMagic: return fmt::format("InvalidIndexedMagic {{ magic: [{}] }}", fmt::join(magic, ", "));
      case Kind::UnsupportedIndexedVersion: return fmt::format("UnsupportedIndexedVersion {{ version: {} }}", number);
      case Kind::TruncatedIndexed: return fmt::format("TruncatedIndexed {{ field: {} }}", q(field));
      case Kind::InvalidIndexedFst: return fmt::format("InvalidIndexedFst {{ message: {} }}", q(text));
      case Kind::InvalidIndexedOffset: return fmt::format("InvalidIndexedOffset {{ offset: {} }}", number);
      case Kind::InvalidIndexedUtf8:
        return fmt::format("InvalidIndexedUtf8 {{ field: {}, source: {} }}", q(field), utf8.debug());
      case Kind::IndexedEntryCountMismatch:
        return fmt::format("IndexedEntryCountMismatch {{ header_entries: {}, fst_entries: {} }}", number, max);
      case Kind::UnsupportedSchemaVersion: return fmt::format("UnsupportedSchemaVersion {{ version: {} }}", number);
      case Kind::UnsupportedPayloadType: return fmt::format("UnsupportedPayloadType {{ payload_type: {} }}", q(text));
      case Kind::EmptySurface: return fmt::format("EmptySurface {{ entry_index: {} }}", number);
      case Kind::DuplicateSurface: return fmt::format("DuplicateSurface {{ surface: {} }}", q(surface));
      case Kind::EmptyReadings: return fmt::format("EmptyReadings {{ surface: {} }}", q(surface));
      case Kind::EmptyReading:
        return fmt::format("EmptyReading {{ surface: {}, reading_index: {} }}", q(surface), number);
      case Kind::DuplicateReading:
        return fmt::format("DuplicateReading {{ surface: {}, reading: {} }}", q(surface), q(reading));
      default: return static_cast<const Error&>(*this).own_debug();
    }
  }
};

}  // namespace orvel::io
