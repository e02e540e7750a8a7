#include "python/dictionary_payload_loading.hpp"

#include <fmt/format.h>

#include "text/quoted.hpp"

namespace orvel::py {

namespace {

enum class PayloadFormat { Yaml, Binary, Indexed, Unknown };

PayloadFormat payload_format_of(std::string_view name) {
  if (name == "yaml" || name == "yaml.surface-readings.v1") return PayloadFormat::Yaml;
  if (name == "binary" || name == "binary.surface-readings.v1") return PayloadFormat::Binary;
  if (name == "indexed" || name == "fst" || name == "indexed-fst.surface-readings.v1") return PayloadFormat::Indexed;
  return PayloadFormat::Unknown;
}

// The operating system would read such a path only up to the NUL, which
// names another file.
bool holds_nul(const std::filesystem::path& path) { return path.native().find('\0') != std::string::npos; }
constexpr const char* kEmbeddedNul = "embedded null byte";

template <class Index, class Error>
std::expected<Index, std::string> message_on_error(std::expected<Index, Error> loaded) {
  if (!loaded) return std::unexpected(loaded.error().message());
  return std::move(*loaded);
}

}  // namespace

std::expected<ja::UnidicReadingIndex, std::string> load_unidic_payload(const std::filesystem::path& path,
                                                                       std::string_view payload_format) {
  using ja::UnidicReadingIndex;
  const PayloadFormat format = payload_format_of(payload_format);
  if (format != PayloadFormat::Unknown && holds_nul(path)) return std::unexpected(kEmbeddedNul);
  switch (format) {
    case PayloadFormat::Yaml:
      return message_on_error(UnidicReadingIndex::from_artifact_payload_path(path));
    case PayloadFormat::Binary:
      return message_on_error(UnidicReadingIndex::from_binary_artifact_payload_path(path));
    case PayloadFormat::Indexed: {
      auto bytes = ja::unidic::read_payload_file_bounded(path);
      if (!bytes) return std::unexpected(bytes.error().message());
      return message_on_error(UnidicReadingIndex::from_indexed_owned_bytes(std::move(*bytes)));
    }
    case PayloadFormat::Unknown:
      break;
  }
  return std::unexpected(fmt::format("unsupported payload_format {}; expected 'yaml', 'binary', or 'indexed'",
                                     text::quoted_text(payload_format)));
}

std::expected<zh::CedictReadingIndex, std::string> load_zh_payload(const std::filesystem::path& path,
                                                                   std::string_view payload_format) {
  using zh::CedictReadingIndex;
  const PayloadFormat format = payload_format_of(payload_format);
  if ((format == PayloadFormat::Yaml || format == PayloadFormat::Indexed) && holds_nul(path)) {
    return std::unexpected(kEmbeddedNul);
  }
  switch (format) {
    case PayloadFormat::Yaml:
      return message_on_error(CedictReadingIndex::from_artifact_payload_path(path));
    case PayloadFormat::Indexed: {
      auto bytes = zh::read_payload_file_bounded(path);
      if (!bytes) return std::unexpected(bytes.error().message());
      return message_on_error(CedictReadingIndex::from_indexed_owned_bytes(std::move(*bytes)));
    }
    case PayloadFormat::Binary:
    case PayloadFormat::Unknown:
      break;
  }
  return std::unexpected(
      fmt::format("unsupported payload_format {}; expected 'yaml' or 'indexed'", text::quoted_text(payload_format)));
}

}  // namespace orvel::py
