#pragma once
// The error of every UniDic payload load, of indexed-form lookups, and of the
// query option limits. The variants shared with the Chinese payload error
// live in io/artifact_payload_error.hpp; those of the binary form and the
// indexed header's reserved word are this one's own:
//   InvalidBinaryMagic          magic
//   UnsupportedBinaryVersion    number (version)
//   NonZeroBinaryReserved       number (value)
//   TruncatedBinary             field
//   InvalidBinaryUtf8           field, utf8
//   NonZeroIndexedReserved      number (value)
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "io/artifact_payload_error.hpp"

namespace orvel {
struct OptionLimitExceeded;
}

namespace orvel::ja {

enum class UnidicArtifactPayloadErrorKind {
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

struct UnidicArtifactPayloadError
    : io::ArtifactPayloadErrorBase<UnidicArtifactPayloadError, UnidicArtifactPayloadErrorKind> {
  using Kind = UnidicArtifactPayloadErrorKind;
  static constexpr std::string_view kName = "UniDic";

  static UnidicArtifactPayloadError invalid_binary_magic(const std::array<std::uint8_t, 8>& magic);
  static UnidicArtifactPayloadError unsupported_binary_version(std::uint32_t version);
  static UnidicArtifactPayloadError non_zero_binary_reserved(std::uint32_t value);
  static UnidicArtifactPayloadError truncated_binary(std::string_view field);
  static UnidicArtifactPayloadError invalid_binary_utf8(std::string_view field, text::Utf8Error source);
  static UnidicArtifactPayloadError non_zero_indexed_reserved(std::uint32_t value);

  // The indexed header's third word is reserved (zero) in the UniDic form.
  static UnidicArtifactPayloadError from_header_word(std::uint64_t value);
  // The query option check's error, in this error's terms.
  static UnidicArtifactPayloadError from_option_limit(const OptionLimitExceeded& error);

  // The texts of this error's own variants (message() and debug() give
  // every variant's).
  std::string own_message() const;
  std::string own_debug() const;
};

}  // namespace orvel::ja
