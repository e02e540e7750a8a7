#pragma once
// The payload format dispatch of the dictionary classes, shared by
// load_payload and load_bundle. Format names are matched exactly (whole
// name, case-sensitive):
//
//   "yaml", "yaml.surface-readings.v1"                 YAML payload
//   "binary", "binary.surface-readings.v1"             binary payload (Japanese only)
//   "indexed", "fst", "indexed-fst.surface-readings.v1" indexed payload
//
// The format name is checked first (no file is opened for an unsupported
// one), then the path (a NUL refuses it), then the payload is loaded.
#include <expected>
#include <filesystem>
#include <string>
#include <string_view>

#include "bundle/bundle_language.hpp"
#include "ja/unidic_artifact_payload_error.hpp"
#include "ja/unidic_reading_index.hpp"
#include "zh/cedict_reading_index.hpp"
#include "zh/zh_artifact_payload_error.hpp"

namespace orvel::bundle {

enum class PayloadFormat { Yaml, Binary, Indexed };

struct PayloadLoadError {
  enum class Kind {
    UnsupportedFormat,  // language, text (the format name as given)
    PathWithNul,        // (none)
    Unidic,             // unidic: the UniDic payload's error
    Zh,                 // zh: the Chinese payload's error
  };

  Kind kind = Kind::UnsupportedFormat;
  BundleLanguage language = BundleLanguage::Japanese;
  std::string text;
  ja::UnidicArtifactPayloadError unidic;
  zh::ZhArtifactPayloadError zh;

  static PayloadLoadError unsupported_format(BundleLanguage language, std::string_view name);
  static PayloadLoadError path_with_nul(BundleLanguage language);
  static PayloadLoadError from(ja::UnidicArtifactPayloadError error);
  static PayloadLoadError from(zh::ZhArtifactPayloadError error);

  // The whole text of the ValueError raised for it.
  std::string message() const;
  // Variant name, then its fields in braces.
  std::string debug() const;
};

// The format a name stands for in the language, or UnsupportedFormat.
std::expected<PayloadFormat, PayloadLoadError> payload_format(BundleLanguage language, std::string_view name);

std::expected<ja::UnidicReadingIndex, PayloadLoadError> load_unidic_payload(const std::filesystem::path& path,
                                                                            std::string_view format_name);
std::expected<zh::CedictReadingIndex, PayloadLoadError> load_zh_payload(const std::filesystem::path& path,
                                                                        std::string_view format_name);

}  // namespace orvel::bundle
