#include "bundle/artifact_metadata.hpp"

#include "io/yaml_record.hpp"

namespace orvel::io::yaml {

using namespace orvel::bundle;

// Payload, query-defaults and licence records have the same keys in both
// languages; only their names (and so their type-error texts) differ.
template <class R>
struct PayloadFields {
  static constexpr std::array fields{
      required<&R::path>("path"),
      required<&R::format>("format"),
      optional<&R::file_digest_algorithm>("file_digest_algorithm"),
      optional<&R::file_digest>("file_digest"),
      required<&R::checksum_algorithm>("checksum_algorithm"),
      required<&R::checksum>("checksum"),
  };
};

template <class R>
struct QueryDefaultsFields {
  static constexpr std::array fields{
      required<&R::max_span_chars>("max_span_chars"),
      required<&R::max_paths>("max_paths"),
      required<&R::longest_match_only>("longest_match_only"),
      optional<&R::max_readings_per_segment>("max_readings_per_segment"),
  };
};

template <class R>
struct LicenseReferenceFields {
  static constexpr std::array fields{required<&R::label>("label"), required<&R::path>("path")};
};

template <class R>
struct LicenseFields {
  static constexpr std::array fields{
      required<&R::selected_license>("selected_license"),
      required<&R::references>("references"),
  };
};

template <class R>
struct MetadataFields {
  static constexpr std::array fields{
      required<&R::schema_version>("schema_version"),
      required<&R::artifact_type>("artifact_type"),
      required<&R::artifact_name>("artifact_name"),
      required<&R::generator>("generator"),
      required<&R::payload>("payload"),
      required<&R::source>("source"),
      required<&R::build>("build"),
      required<&R::query_defaults>("query_defaults"),
      required<&R::license>("license"),
  };
};

// ---- Japanese

template <>
struct RecordSchema<UnidicArtifactPayload> : PayloadFields<UnidicArtifactPayload> {
  static constexpr std::string_view name = "UnidicArtifactPayload";
};

template <>
struct RecordSchema<UnidicArtifactSource> {
  using R = UnidicArtifactSource;
  static constexpr std::string_view name = "UnidicArtifactSource";
  static constexpr std::array fields{
      required<&R::name>("name"),
      required<&R::version>("version"),
      required<&R::lex_csv>("lex_csv"),
  };
};

template <>
struct RecordSchema<UnidicArtifactBuild> {
  using R = UnidicArtifactBuild;
  static constexpr std::string_view name = "UnidicArtifactBuild";
  static constexpr std::array fields{
      required<&R::reading_field>("reading_field"),
      optional<&R::max_readings_per_surface>("max_readings_per_surface"),
      required<&R::exclude_ascii_surfaces>("exclude_ascii_surfaces"),
      required<&R::exclude_symbol_pos>("exclude_symbol_pos"),
      defaulted<&R::include_normalized_surfaces>("include_normalized_surfaces"),
      defaulted<&R::exclude_unsupported_readings>("exclude_unsupported_readings"),
      required<&R::entries>("entries"),
  };
};

template <>
struct RecordSchema<UnidicArtifactQueryDefaults> : QueryDefaultsFields<UnidicArtifactQueryDefaults> {
  static constexpr std::string_view name = "UnidicArtifactQueryDefaults";
};

template <>
struct RecordSchema<UnidicArtifactLicenseReference> : LicenseReferenceFields<UnidicArtifactLicenseReference> {
  static constexpr std::string_view name = "UnidicArtifactLicenseReference";
};

template <>
struct RecordSchema<UnidicArtifactLicense> : LicenseFields<UnidicArtifactLicense> {
  static constexpr std::string_view name = "UnidicArtifactLicense";
};

template <>
struct RecordSchema<UnidicArtifactMetadata> : MetadataFields<UnidicArtifactMetadata> {
  static constexpr std::string_view name = "UnidicArtifactMetadata";
};

// ---- Chinese

template <>
struct RecordSchema<ZhArtifactPayload> : PayloadFields<ZhArtifactPayload> {
  static constexpr std::string_view name = "ZhArtifactPayload";
};

template <>
struct RecordSchema<ZhArtifactSource> {
  using R = ZhArtifactSource;
  static constexpr std::string_view name = "ZhArtifactSource";
  static constexpr std::array fields{
      required<&R::name>("name"),
      required<&R::version>("version"),
      required<&R::cedict>("cedict"),
  };
};

template <>
struct RecordSchema<ZhArtifactBuild> {
  using R = ZhArtifactBuild;
  static constexpr std::string_view name = "ZhArtifactBuild";
  static constexpr std::array fields{
      required<&R::pinyin_view>("pinyin_view"),
      optional<&R::max_readings_per_surface>("max_readings_per_surface"),
      required<&R::entries>("entries"),
  };
};

template <>
struct RecordSchema<ZhArtifactQueryDefaults> : QueryDefaultsFields<ZhArtifactQueryDefaults> {
  static constexpr std::string_view name = "ZhArtifactQueryDefaults";
};

template <>
struct RecordSchema<ZhArtifactLicenseReference> : LicenseReferenceFields<ZhArtifactLicenseReference> {
  static constexpr std::string_view name = "ZhArtifactLicenseReference";
};

template <>
struct RecordSchema<ZhArtifactLicense> : LicenseFields<ZhArtifactLicense> {
  static constexpr std::string_view name = "ZhArtifactLicense";
};

template <>
struct RecordSchema<ZhArtifactMetadata> : MetadataFields<ZhArtifactMetadata> {
  static constexpr std::string_view name = "ZhArtifactMetadata";
};

}  // namespace orvel::io::yaml

namespace orvel::bundle {

std::expected<UnidicArtifactMetadata, io::YamlError> decode_unidic_artifact_metadata(std::string_view text) {
  return io::decode_yaml<UnidicArtifactMetadata>(text);
}

std::expected<ZhArtifactMetadata, io::YamlError> decode_zh_artifact_metadata(std::string_view text) {
  return io::decode_yaml<ZhArtifactMetadata>(text);
}

}  // namespace orvel::bundle
