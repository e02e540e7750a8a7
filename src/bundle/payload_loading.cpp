#include "bundle/payload_loading.hpp"

#include <fmt/format.h>

#include "io/bounded_read.hpp"
#include "text/quoted.hpp"

namespace orvel::bundle {
namespace {

// The operating system would read such a path only up to the NUL, which
// names another file.
bool holds_nul(const std::filesystem::path& path) { return path.native().find('\0') != std::string::npos; }

template <class Index, class Error>
std::expected<Index, PayloadLoadError> as_load_error(std::expected<Index, Error> loaded) {
  if (!loaded) return std::unexpected(PayloadLoadError::from(std::move(loaded).error()));
  return std::move(*loaded);
}

// The format, then the path.
std::expected<PayloadFormat, PayloadLoadError> checked_request(BundleLanguage language,
                                                               const std::filesystem::path& path,
                                                               std::string_view format_name) {
  auto format = payload_format(language, format_name);
  if (format && holds_nul(path)) return std::unexpected(PayloadLoadError::path_with_nul(language));
  return format;
}

PayloadLoadError make(PayloadLoadError::Kind kind, BundleLanguage language) {
  PayloadLoadError e;
  e.kind = kind;
  e.language = language;
  return e;
}

}  // namespace

PayloadLoadError PayloadLoadError::unsupported_format(BundleLanguage language, std::string_view name) {
  PayloadLoadError e = make(Kind::UnsupportedFormat, language);
  e.text = name;
  return e;
}

PayloadLoadError PayloadLoadError::path_with_nul(BundleLanguage language) {
  return make(Kind::PathWithNul, language);
}

PayloadLoadError PayloadLoadError::from(ja::UnidicArtifactPayloadError error) {
  PayloadLoadError e = make(Kind::Unidic, BundleLanguage::Japanese);
  e.unidic = std::move(error);
  return e;
}

PayloadLoadError PayloadLoadError::from(zh::ZhArtifactPayloadError error) {
  PayloadLoadError e = make(Kind::Zh, BundleLanguage::Chinese);
  e.zh = std::move(error);
  return e;
}

std::string PayloadLoadError::message() const {
  switch (kind) {
    case Kind::UnsupportedFormat:
      return language == BundleLanguage::Japanese
                 ? fmt::format("unsupported payload_format {}; expected 'yaml', 'binary', or 'indexed'",
                               text::quoted_text(text))
                 : fmt::format("unsupported payload_format {}; expected 'yaml' or 'indexed'", text::quoted_text(text));
    case Kind::PathWithNul: return io::kEmbeddedNulText;
    case Kind::Unidic: return unidic.message();
    case Kind::Zh: return zh.message();
  }
  return "payload load error";
}

std::string PayloadLoadError::debug() const {
  switch (kind) {
    case Kind::UnsupportedFormat:
      return fmt::format("UnsupportedFormat {{ language: {}, name: {} }}",
                         language == BundleLanguage::Japanese ? "Japanese" : "Chinese", text::quoted_text(text));
    case Kind::PathWithNul: return "PathWithNul";
    case Kind::Unidic: return fmt::format("Unidic({})", unidic.debug());
    case Kind::Zh: return fmt::format("Zh({})", zh.debug());
  }
  return "PayloadLoadError";
}

std::expected<PayloadFormat, PayloadLoadError> payload_format(BundleLanguage language, std::string_view name) {
  if (name == "yaml" || name == "yaml.surface-readings.v1") return PayloadFormat::Yaml;
  if (language == BundleLanguage::Japanese && (name == "binary" || name == "binary.surface-readings.v1")) {
    return PayloadFormat::Binary;
  }
  if (name == "indexed" || name == "fst" || name == "indexed-fst.surface-readings.v1") return PayloadFormat::Indexed;
  return std::unexpected(PayloadLoadError::unsupported_format(language, name));
}

std::expected<ja::UnidicReadingIndex, PayloadLoadError> load_unidic_payload(const std::filesystem::path& path,
                                                                            std::string_view format_name) {
  using ja::UnidicReadingIndex;
  auto format = checked_request(BundleLanguage::Japanese, path, format_name);
  if (!format) return std::unexpected(std::move(format).error());
  switch (*format) {
    case PayloadFormat::Yaml: return as_load_error(UnidicReadingIndex::from_artifact_payload_path(path));
    case PayloadFormat::Binary: return as_load_error(UnidicReadingIndex::from_binary_artifact_payload_path(path));
    case PayloadFormat::Indexed: break;
  }
  auto bytes = ja::unidic::read_payload_file_bounded(path);
  if (!bytes) return std::unexpected(PayloadLoadError::from(std::move(bytes).error()));
  return as_load_error(UnidicReadingIndex::from_indexed_owned_bytes(std::move(*bytes)));
}

std::expected<zh::CedictReadingIndex, PayloadLoadError> load_zh_payload(const std::filesystem::path& path,
                                                                        std::string_view format_name) {
  using zh::CedictReadingIndex;
  auto format = checked_request(BundleLanguage::Chinese, path, format_name);
  if (!format) return std::unexpected(std::move(format).error());
  if (*format == PayloadFormat::Yaml) return as_load_error(CedictReadingIndex::from_artifact_payload_path(path));
  // payload_format gives no binary form for Chinese.
  auto bytes = zh::read_payload_file_bounded(path);
  if (!bytes) return std::unexpected(PayloadLoadError::from(std::move(bytes).error()));
  return as_load_error(CedictReadingIndex::from_indexed_owned_bytes(std::move(*bytes)));
}

}  // namespace orvel::bundle
