#include "bundle/bundle_loader.hpp"

#include <system_error>

#include "bundle/bundle_path.hpp"
#include "bundle/file_digest.hpp"
#include "bundle/payload_loading.hpp"

namespace orvel::bundle {
namespace {

template <class Metadata>
struct Family;

template <>
struct Family<UnidicArtifactMetadata> {
  static constexpr BundleLanguage language = BundleLanguage::Japanese;
  static constexpr std::string_view artifact_type = kUnidicArtifactType;
  static auto decode(std::string_view text) { return decode_unidic_artifact_metadata(text); }
};

template <>
struct Family<ZhArtifactMetadata> {
  static constexpr BundleLanguage language = BundleLanguage::Chinese;
  static constexpr std::string_view artifact_type = kZhArtifactType;
  static auto decode(std::string_view text) { return decode_zh_artifact_metadata(text); }
};

// metadata.yaml, read whole. It is refused when it is neither a regular file
// nor a directory (a FIFO would block the read, a device never end it) and
// when it is larger than any metadata needs to be.
std::expected<std::string, BundleError> read_metadata_file(BundleLanguage lang, const std::filesystem::path& path) {
  auto file = io::open_for_reading(path);
  if (!file) return std::unexpected(BundleError::metadata_io(lang, std::move(file).error()));
  if (file->kind == io::FileKind::Other) {
    return std::unexpected(BundleError::metadata_io(lang, io::IoError::own(kMetadataNotRegularFileText)));
  }
  // A directory is let through: reading it fails with the system's error.
  auto text = io::read_to_end_text(file->handle, kMaxMetadataBytes, 8192);
  if (text) return std::move(*text);
  const io::BoundedReadError& failure = text.error();
  if (failure.kind == io::BoundedReadError::Kind::Io) return std::unexpected(BundleError::metadata_io(lang, failure.io));
  return std::unexpected(BundleError::artifact_limit_exceeded(lang, "metadata_bytes", failure.len, kMaxMetadataBytes));
}

bool is_directory_following_links(const std::filesystem::path& path) {
  std::error_code ec;
  return std::filesystem::is_directory(path, ec);
}

bool is_regular_file_following_links(const std::filesystem::path& path) {
  std::error_code ec;
  return std::filesystem::is_regular_file(path, ec);
}

template <class Metadata>
std::expected<PreparedBundle<Metadata>, BundleError> prepare_bundle(
    const std::filesystem::path& metadata_path, const std::optional<std::filesystem::path>& bundle_dir) {
  using F = Family<Metadata>;
  constexpr BundleLanguage lang = F::language;

  const std::filesystem::path metadata_file =
      is_directory_following_links(metadata_path) ? metadata_path / "metadata.yaml" : metadata_path;
  auto bytes = read_metadata_file(lang, metadata_file);
  if (!bytes) return std::unexpected(std::move(bytes).error());
  if (auto utf8 = text::validate_utf8(*bytes); !utf8) {
    return std::unexpected(BundleError::metadata_utf8(lang, utf8.error()));
  }
  auto decoded = F::decode(*bytes);
  if (!decoded) return std::unexpected(BundleError::metadata_yaml(lang, std::move(decoded).error()));
  Metadata& metadata = *decoded;

  if (metadata.schema_version != kMetadataSchemaVersion) {
    return std::unexpected(BundleError::unsupported_schema_version(lang, metadata.schema_version));
  }
  if (metadata.artifact_type != F::artifact_type) {
    return std::unexpected(BundleError::unsupported_artifact_type(lang, metadata.artifact_type));
  }

  // parent_path() of a bare file name is empty: the current directory.
  const std::filesystem::path root = bundle_dir ? *bundle_dir : metadata_file.parent_path();

  for (const auto& reference : metadata.license.references) {
    auto resolved = resolve_bundle_path(root, reference.path, lang);
    if (!resolved) return std::unexpected(std::move(resolved).error());
    if (!is_regular_file_following_links(*resolved)) {
      return std::unexpected(BundleError::missing_license_reference(lang, reference.label, resolved->native()));
    }
  }

  auto payload_path = resolve_bundle_path(root, metadata.payload.path, lang);
  if (!payload_path) return std::unexpected(std::move(payload_path).error());

  const auto& algorithm = metadata.payload.file_digest_algorithm;
  const auto& digest = metadata.payload.file_digest;
  if (algorithm.has_value() != digest.has_value()) {
    return std::unexpected(BundleError::digest_fields_incomplete(lang));
  }
  if (algorithm) {
    if (*algorithm != kFileDigestAlgorithm) {
      return std::unexpected(BundleError::unsupported_digest_algorithm(lang, *algorithm));
    }
    auto computed = artifact_file_digest_path(*payload_path);
    if (!computed) return std::unexpected(BundleError::digest_io(lang, std::move(computed).error()));
    if (*computed != *digest) return std::unexpected(BundleError::digest_mismatch(lang, *digest, *computed));
  }
  return PreparedBundle<Metadata>{std::move(metadata), std::move(*payload_path)};
}

template <class Index>
std::expected<void, BundleError> verify_checksum(BundleLanguage lang, const Index& index,
                                                 const std::string& algorithm, const std::string& expected) {
  auto computed = index.artifact_payload_checksum_for_algorithm(algorithm);
  if (!computed) return std::unexpected(BundleError::unsupported_checksum_algorithm(lang, algorithm));
  if (*computed != expected) return std::unexpected(BundleError::checksum_mismatch(lang, expected, *computed));
  return {};
}

template <class QueryDefaults>
std::expected<DictionaryOptions, BundleError> options_from(BundleLanguage lang, const QueryDefaults& defaults) {
  DictionaryOptions options;
  options.max_readings_per_segment = defaults.max_readings_per_segment;
  options.max_span_chars = defaults.max_span_chars;
  options.max_paths = defaults.max_paths;
  options.longest_only = defaults.longest_match_only;
  if (auto limits = check_dictionary_option_limits(options); !limits) {
    const OptionLimitExceeded& e = limits.error();
    return std::unexpected(BundleError::artifact_limit_exceeded(lang, std::string(e.field), e.len, e.max));
  }
  return options;
}

}  // namespace

std::expected<PreparedBundle<UnidicArtifactMetadata>, BundleError> prepare_unidic_bundle(
    const std::filesystem::path& metadata_path, const std::optional<std::filesystem::path>& bundle_dir) {
  return prepare_bundle<UnidicArtifactMetadata>(metadata_path, bundle_dir);
}

std::expected<PreparedBundle<ZhArtifactMetadata>, BundleError> prepare_zh_bundle(
    const std::filesystem::path& metadata_path, const std::optional<std::filesystem::path>& bundle_dir) {
  return prepare_bundle<ZhArtifactMetadata>(metadata_path, bundle_dir);
}

std::expected<void, BundleError> verify_metadata_payload(const UnidicArtifactMetadata& metadata,
                                                         const ja::UnidicReadingIndex& index) {
  constexpr auto lang = BundleLanguage::Japanese;
  if (auto checksum = verify_checksum(lang, index, metadata.payload.checksum_algorithm, metadata.payload.checksum);
      !checksum) {
    return checksum;
  }
  if (metadata.build.entries != index.entry_count()) {
    return std::unexpected(BundleError::entry_count_mismatch(lang, metadata.build.entries, index.entry_count()));
  }
  return {};
}

std::expected<void, BundleError> verify_zh_metadata_payload(const ZhArtifactMetadata& metadata,
                                                            const zh::CedictReadingIndex& index) {
  constexpr auto lang = BundleLanguage::Chinese;
  if (metadata.build.entries != index.entry_count()) {
    return std::unexpected(BundleError::entry_count_mismatch(lang, metadata.build.entries, index.entry_count()));
  }
  if (metadata.build.pinyin_view != index.pinyin_view()) {
    return std::unexpected(
        BundleError::pinyin_view_mismatch(lang, metadata.build.pinyin_view, std::string(index.pinyin_view())));
  }
  return verify_checksum(lang, index, metadata.payload.checksum_algorithm, metadata.payload.checksum);
}

std::expected<DictionaryOptions, BundleError> unidic_bundle_options(const UnidicArtifactMetadata& metadata) {
  return options_from(BundleLanguage::Japanese, metadata.query_defaults);
}

std::expected<DictionaryOptions, BundleError> zh_bundle_options(const ZhArtifactMetadata& metadata) {
  return options_from(BundleLanguage::Chinese, metadata.query_defaults);
}

std::expected<UnidicBundle, BundleError> load_unidic_bundle(const std::filesystem::path& metadata_path,
                                                            const std::optional<std::filesystem::path>& bundle_dir) {
  constexpr auto lang = BundleLanguage::Japanese;
  auto prepared = prepare_unidic_bundle(metadata_path, bundle_dir);
  if (!prepared) return std::unexpected(std::move(prepared).error());
  const UnidicArtifactMetadata& metadata = prepared->metadata;
  auto index = load_unidic_payload(prepared->payload_path, metadata.payload.format);
  if (!index) return std::unexpected(BundleError::payload(lang, std::move(index).error()));
  if (auto verified = verify_metadata_payload(metadata, *index); !verified) {
    return std::unexpected(std::move(verified).error());
  }
  auto options = unidic_bundle_options(metadata);
  if (!options) return std::unexpected(std::move(options).error());
  return UnidicBundle{std::move(*index), *options, metadata.artifact_name, metadata.source.name,
                      metadata.build.reading_field};
}

std::expected<ZhBundle, BundleError> load_zh_bundle(const std::filesystem::path& metadata_path,
                                                    const std::optional<std::filesystem::path>& bundle_dir) {
  constexpr auto lang = BundleLanguage::Chinese;
  auto prepared = prepare_zh_bundle(metadata_path, bundle_dir);
  if (!prepared) return std::unexpected(std::move(prepared).error());
  const ZhArtifactMetadata& metadata = prepared->metadata;
  auto index = load_zh_payload(prepared->payload_path, metadata.payload.format);
  if (!index) return std::unexpected(BundleError::payload(lang, std::move(index).error()));
  if (auto verified = verify_zh_metadata_payload(metadata, *index); !verified) {
    return std::unexpected(std::move(verified).error());
  }
  auto options = zh_bundle_options(metadata);
  if (!options) return std::unexpected(std::move(options).error());
  return ZhBundle{std::move(*index), *options, metadata.artifact_name, metadata.source.name,
                  metadata.build.pinyin_view};
}

}  // namespace orvel::bundle
