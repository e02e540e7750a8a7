#pragma once
// Why an artifact bundle was refused. Every variant's display text is the
// whole message that the Python layer raises as ValueError.
#include <cstdint>
#include <string>

#include "bundle/bundle_language.hpp"
#include "bundle/payload_loading.hpp"
#include "io/bounded_read.hpp"
#include "io/yaml_error.hpp"
#include "text/utf8.hpp"

namespace orvel::bundle {

struct BundleError {
  enum class Kind {
    MetadataIo,                    // io: reading metadata.yaml
    MetadataUtf8,                  // utf8: metadata.yaml is not UTF-8
    MetadataYaml,                  // yaml: decoding metadata.yaml
    UnsupportedSchemaVersion,      // number
    UnsupportedArtifactType,       // text
    BundlePathOutside,             // text: the relative path as written
    BundlePathWithNul,             // text: the relative path as written
    MissingLicenseReference,       // text (label), path (resolved)
    DigestFieldsIncomplete,        // (only one of the two digest keys)
    UnsupportedDigestAlgorithm,    // text
    DigestIo,                      // io: reading the payload for its digest
    DigestMismatch,                // expected (metadata), actual (recomputed)
    Payload,                       // payload: the payload load's error
    UnsupportedChecksumAlgorithm,  // text
    ChecksumMismatch,              // expected (metadata), actual (recomputed)
    EntryCountMismatch,            // number (metadata), payload_number (index)
    PinyinViewMismatch,            // expected (metadata), actual (index view name)
    ArtifactLimitExceeded,             // text (field), number (value), payload_number (limit)
  };

  Kind kind = Kind::MetadataIo;
  BundleLanguage language = BundleLanguage::Japanese;
  io::IoError io;
  text::Utf8Error utf8;
  io::YamlError yaml;
  PayloadLoadError payload_error;
  std::string text;
  std::string path;
  std::string expected;
  std::string actual;
  std::uint64_t number = 0;
  std::uint64_t payload_number = 0;

  static BundleError metadata_io(BundleLanguage language, io::IoError io);
  static BundleError metadata_utf8(BundleLanguage language, text::Utf8Error utf8);
  static BundleError metadata_yaml(BundleLanguage language, io::YamlError yaml);
  static BundleError unsupported_schema_version(BundleLanguage language, std::uint32_t version);
  static BundleError unsupported_artifact_type(BundleLanguage language, std::string artifact_type);
  static BundleError bundle_path_outside(BundleLanguage language, std::string relative);
  static BundleError bundle_path_with_nul(BundleLanguage language, std::string relative);
  static BundleError missing_license_reference(BundleLanguage language, std::string label, std::string path);
  static BundleError digest_fields_incomplete(BundleLanguage language);
  static BundleError unsupported_digest_algorithm(BundleLanguage language, std::string algorithm);
  static BundleError digest_io(BundleLanguage language, io::IoError io);
  static BundleError digest_mismatch(BundleLanguage language, std::string metadata, std::string recomputed);
  static BundleError payload(BundleLanguage language, PayloadLoadError error);
  static BundleError unsupported_checksum_algorithm(BundleLanguage language, std::string algorithm);
  static BundleError checksum_mismatch(BundleLanguage language, std::string metadata, std::string recomputed);
  static BundleError entry_count_mismatch(BundleLanguage language, std::uint64_t metadata, std::uint64_t payload);
  static BundleError pinyin_view_mismatch(BundleLanguage language, std::string metadata, std::string payload);
  static BundleError artifact_limit_exceeded(BundleLanguage language, std::string field, std::uint64_t value,
                                         std::uint64_t limit);

  std::string message() const;
  std::string debug() const;
};

}  // namespace orvel::bundle
