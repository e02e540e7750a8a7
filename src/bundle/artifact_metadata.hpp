#pragma once
// The metadata.yaml records of artifact bundles, one family per language,
// and their decoding from YAML text. Nothing here checks values: the bundle
// loader does that on the decoded record.
#include <cstdint>
#include <expected>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "io/yaml_error.hpp"

namespace orvel::bundle {

// ---- Japanese -------------------------------------------------------------

struct UnidicArtifactPayload {
  std::string path;  // relative to the bundle root
  std::string format;
  std::optional<std::string> file_digest_algorithm;
  std::optional<std::string> file_digest;
  std::string checksum_algorithm;
  std::string checksum;
};

struct UnidicArtifactSource {
  std::string name;
  std::string version;
  std::string lex_csv;
};

struct UnidicArtifactBuild {
  std::string reading_field;
  std::optional<std::uint64_t> max_readings_per_surface;
  bool exclude_ascii_surfaces = false;
  bool exclude_symbol_pos = false;
  bool include_normalized_surfaces = false;
  bool exclude_unsupported_readings = false;
  std::uint64_t entries = 0;
};

struct UnidicArtifactQueryDefaults {
  std::uint64_t max_span_chars = 0;
  std::uint64_t max_paths = 0;
  bool longest_match_only = false;
  std::optional<std::uint64_t> max_readings_per_segment;
};

struct UnidicArtifactLicenseReference {
  std::string label;
  std::string path;
};

struct UnidicArtifactLicense {
  std::string selected_license;
  std::vector<UnidicArtifactLicenseReference> references;
};

struct UnidicArtifactMetadata {
  std::uint32_t schema_version = 0;
  std::string artifact_type;
  std::string artifact_name;
  std::string generator;
  UnidicArtifactPayload payload;
  UnidicArtifactSource source;
  UnidicArtifactBuild build;
  UnidicArtifactQueryDefaults query_defaults;
  UnidicArtifactLicense license;
};

// ---- Chinese --------------------------------------------------------------

struct ZhArtifactPayload {
  std::string path;
  std::string format;
  std::optional<std::string> file_digest_algorithm;
  std::optional<std::string> file_digest;
  std::string checksum_algorithm;
  std::string checksum;
};

struct ZhArtifactSource {
  std::string name;
  std::string version;
  std::string cedict;
};

struct ZhArtifactBuild {
  std::string pinyin_view;
  std::optional<std::uint64_t> max_readings_per_surface;
  std::uint64_t entries = 0;
};

struct ZhArtifactQueryDefaults {
  std::uint64_t max_span_chars = 0;
  std::uint64_t max_paths = 0;
  bool longest_match_only = false;
  std::optional<std::uint64_t> max_readings_per_segment;
};

struct ZhArtifactLicenseReference {
  std::string label;
  std::string path;
};

struct ZhArtifactLicense {
  std::string selected_license;
  std::vector<ZhArtifactLicenseReference> references;
};

struct ZhArtifactMetadata {
  std::uint32_t schema_version = 0;
  std::string artifact_type;
  std::string artifact_name;
  std::string generator;
  ZhArtifactPayload payload;
  ZhArtifactSource source;
  ZhArtifactBuild build;
  ZhArtifactQueryDefaults query_defaults;
  ZhArtifactLicense license;
};

std::expected<UnidicArtifactMetadata, io::YamlError> decode_unidic_artifact_metadata(std::string_view text);
std::expected<ZhArtifactMetadata, io::YamlError> decode_zh_artifact_metadata(std::string_view text);

}  // namespace orvel::bundle
