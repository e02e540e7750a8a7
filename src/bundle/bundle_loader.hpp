#pragma once
// Loading an artifact bundle: metadata.yaml, the bundle root, the licence
// files, the payload path and its file digest, the payload itself (through
// bundle/payload_loading.hpp's format dispatch), the metadata-versus-payload
// checks and the query defaults.
//
// Either call the whole sequence, load_unidic_bundle / load_zh_bundle, or
// its three parts in order: prepare_*_bundle (everything before the payload
// load), then verify_*metadata_payload, then *_bundle_options. The first
// failure wins; nothing on disk is changed.
#include <expected>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "bundle/artifact_metadata.hpp"
#include "bundle/bundle_error.hpp"
#include "core/dictionary_options.hpp"
#include "ja/unidic_reading_index.hpp"
#include "zh/cedict_reading_index.hpp"

namespace orvel::bundle {

inline constexpr std::string_view kUnidicArtifactType = "orvel.unidic.reading-index";
inline constexpr std::string_view kZhArtifactType = "orvel.zh.reading-index";
inline constexpr std::uint32_t kMetadataSchemaVersion = 1;

// Largest metadata.yaml, in bytes (inclusive). Metadata describes a bundle in
// a few dozen keys, about a kilobyte; the cap leaves room for thousands of
// licence references and keeps a hostile file from growing without end.
inline constexpr std::uint64_t kMaxMetadataBytes = 4'194'304;
inline constexpr const char* kMetadataNotRegularFileText = "artifact metadata path is not a regular file";

// A bundle whose metadata, licence files and payload digest have been
// checked, with its payload path resolved inside the bundle root.
template <class Metadata>
struct PreparedBundle {
  Metadata metadata;
  std::filesystem::path payload_path;
};

// `metadata_path` is the metadata file, or a directory holding
// "metadata.yaml". The bundle root is `bundle_dir` when given, else the
// metadata file's parent ("" for a bare file name, meaning the current
// directory).
std::expected<PreparedBundle<UnidicArtifactMetadata>, BundleError> prepare_unidic_bundle(
    const std::filesystem::path& metadata_path, const std::optional<std::filesystem::path>& bundle_dir);
std::expected<PreparedBundle<ZhArtifactMetadata>, BundleError> prepare_zh_bundle(
    const std::filesystem::path& metadata_path, const std::optional<std::filesystem::path>& bundle_dir);

// Checksum (algorithm, then value), then entry count.
std::expected<void, BundleError> verify_metadata_payload(const UnidicArtifactMetadata& metadata,
                                                         const ja::UnidicReadingIndex& index);
// Entry count, then pinyin view, then checksum (algorithm, then value).
std::expected<void, BundleError> verify_zh_metadata_payload(const ZhArtifactMetadata& metadata,
                                                            const zh::CedictReadingIndex& index);

// The query defaults as options, after the option limits (max_span_chars,
// max_paths, max_readings_per_segment, in that order).
std::expected<DictionaryOptions, BundleError> unidic_bundle_options(const UnidicArtifactMetadata& metadata);
std::expected<DictionaryOptions, BundleError> zh_bundle_options(const ZhArtifactMetadata& metadata);

// What a dictionary object is made of.
struct UnidicBundle {
  ja::UnidicReadingIndex index;
  DictionaryOptions options;
  std::string artifact_name;
  std::string source_name;
  std::string reading_field;
};

struct ZhBundle {
  zh::CedictReadingIndex index;
  DictionaryOptions options;
  std::string artifact_name;
  std::string source_name;
  std::string pinyin_view;
};

std::expected<UnidicBundle, BundleError> load_unidic_bundle(const std::filesystem::path& metadata_path,
                                                            const std::optional<std::filesystem::path>& bundle_dir);
std::expected<ZhBundle, BundleError> load_zh_bundle(const std::filesystem::path& metadata_path,
                                                    const std::optional<std::filesystem::path>& bundle_dir);

}  // namespace orvel::bundle
