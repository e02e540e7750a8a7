#pragma once
// The error of every Chinese payload load, of indexed-form lookups, and of
// the query option limits. The variants shared with the UniDic payload error
// live in io/artifact_payload_error.hpp; these are this one's own:
//   UnsupportedIndexedPinyinView  number (value)
//   UnsupportedPinyinView         text (pinyin view)
//   ReadingNotNormalized          surface, reading, text (the normal form)
#include <cstdint>
#include <string>
#include <string_view>

#include "io/artifact_payload_error.hpp"

namespace orvel {
struct OptionLimitExceeded;
}

namespace orvel::zh {

enum class ZhArtifactPayloadErrorKind {
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

struct ZhArtifactPayloadError : io::ArtifactPayloadErrorBase<ZhArtifactPayloadError, ZhArtifactPayloadErrorKind> {
  using Kind = ZhArtifactPayloadErrorKind;
  static constexpr std::string_view kName = "zh";

  static ZhArtifactPayloadError unsupported_indexed_pinyin_view(std::uint32_t value);
  static ZhArtifactPayloadError unsupported_pinyin_view(std::string pinyin_view);
  static ZhArtifactPayloadError reading_not_normalized(std::string surface, std::string reading,
                                                       std::string normalized);

  // The indexed header's third word names the pinyin view.
  static ZhArtifactPayloadError from_header_word(std::uint64_t value);
  // The query option check's error, in this error's terms.
  static ZhArtifactPayloadError from_option_limit(const OptionLimitExceeded& error);

  // The texts of this error's own variants (message() and debug() give
  // every variant's).
  std::string own_message() const;
  std::string own_debug() const;
};

}  // namespace orvel::zh
