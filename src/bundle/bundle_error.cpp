#include "bundle/bundle_error.hpp"

#include <fmt/format.h>

#include "ja/unidic_artifact_payload_error.hpp"
#include "text/quoted.hpp"
#include "zh/zh_artifact_payload_error.hpp"

namespace orvel::bundle {
namespace {

BundleError make(BundleError::Kind kind, BundleLanguage language) {
  BundleError e;
  e.kind = kind;
  e.language = language;
  return e;
}

bool japanese(const BundleError& e) { return e.language == BundleLanguage::Japanese; }

}  // namespace

using Kind = BundleError::Kind;

BundleError BundleError::metadata_io(BundleLanguage language, io::IoError io) {
  auto e = make(Kind::MetadataIo, language);
  e.io = std::move(io);
  return e;
}

BundleError BundleError::metadata_utf8(BundleLanguage language, text::Utf8Error utf8) {
  auto e = make(Kind::MetadataUtf8, language);
  e.utf8 = utf8;
  return e;
}

BundleError BundleError::metadata_yaml(BundleLanguage language, io::YamlError yaml) {
  auto e = make(Kind::MetadataYaml, language);
  e.yaml = std::move(yaml);
  return e;
}

BundleError BundleError::unsupported_schema_version(BundleLanguage language, std::uint32_t version) {
  auto e = make(Kind::UnsupportedSchemaVersion, language);
  e.number = version;
  return e;
}

BundleError BundleError::unsupported_artifact_type(BundleLanguage language, std::string artifact_type) {
  auto e = make(Kind::UnsupportedArtifactType, language);
  e.text = std::move(artifact_type);
  return e;
}

BundleError BundleError::bundle_path_outside(BundleLanguage language, std::string relative) {
  auto e = make(Kind::BundlePathOutside, language);
  e.text = std::move(relative);
  return e;
}

BundleError BundleError::bundle_path_with_nul(BundleLanguage language, std::string relative) {
  auto e = make(Kind::BundlePathWithNul, language);
  e.text = std::move(relative);
  return e;
}

BundleError BundleError::missing_license_reference(BundleLanguage language, std::string label, std::string path) {
  auto e = make(Kind::MissingLicenseReference, language);
  e.text = std::move(label);
  e.path = std::move(path);
  return e;
}

BundleError BundleError::digest_fields_incomplete(BundleLanguage language) {
  return make(Kind::DigestFieldsIncomplete, language);
}

BundleError BundleError::unsupported_digest_algorithm(BundleLanguage language, std::string algorithm) {
  auto e = make(Kind::UnsupportedDigestAlgorithm, language);
  e.text = std::move(algorithm);
  return e;
}

BundleError BundleError::digest_io(BundleLanguage language, io::IoError io) {
  auto e = make(Kind::DigestIo, language);
  e.io = std::move(io);
  return e;
}

BundleError BundleError::digest_mismatch(BundleLanguage language, std::string metadata, std::string recomputed) {
  auto e = make(Kind::DigestMismatch, language);
  e.expected = std::move(metadata);
  e.actual = std::move(recomputed);
  return e;
}

BundleError BundleError::payload(BundleLanguage language, PayloadLoadError error) {
  auto e = make(Kind::Payload, language);
  e.payload_error = std::move(error);
  return e;
}

BundleError BundleError::unsupported_checksum_algorithm(BundleLanguage language, std::string algorithm) {
  auto e = make(Kind::UnsupportedChecksumAlgorithm, language);
  e.text = std::move(algorithm);
  return e;
}

BundleError BundleError::checksum_mismatch(BundleLanguage language, std::string metadata, std::string recomputed) {
  auto e = make(Kind::ChecksumMismatch, language);
  e.expected = std::move(metadata);
  e.actual = std::move(recomputed);
  return e;
}

BundleError BundleError::entry_count_mismatch(BundleLanguage language, std::uint64_t metadata,
                                              std::uint64_t payload) {
  auto e = make(Kind::EntryCountMismatch, language);
  e.number = metadata;
  e.payload_number = payload;
  return e;
}

BundleError BundleError::pinyin_view_mismatch(BundleLanguage language, std::string metadata, std::string payload) {
  auto e = make(Kind::PinyinViewMismatch, language);
  e.expected = std::move(metadata);
  e.actual = std::move(payload);
  return e;
}

BundleError BundleError::artifact_limit_exceeded(BundleLanguage language, std::string field, std::uint64_t value,
                                             std::uint64_t limit) {
  auto e = make(Kind::ArtifactLimitExceeded, language);
  e.text = std::move(field);
  e.number = value;
  e.payload_number = limit;
  return e;
}

std::string BundleError::message() const {
  switch (kind) {
    case Kind::MetadataIo:
    case Kind::DigestIo:
      return io.message();
    case Kind::MetadataUtf8:
      return utf8.message();
    case Kind::MetadataYaml:
      return yaml.message();
    case Kind::UnsupportedSchemaVersion:
      return japanese(*this) ? fmt::format("unsupported Japanese metadata schema version {}", number)
                             : fmt::format("unsupported zh metadata schema version {}", number);
    case Kind::UnsupportedArtifactType:
      return japanese(*this) ? fmt::format("unsupported Japanese artifact type {}", text::quoted_text(text))
                             : fmt::format("unsupported zh artifact type {}", text::quoted_text(text));
    case Kind::BundlePathOutside:
      return fmt::format("bundle path {} must be relative and stay inside the bundle", text::quoted_text(text));
    case Kind::BundlePathWithNul:
      return io::kEmbeddedNulText;
    case Kind::MissingLicenseReference:
      return fmt::format("missing license reference {} at {}", text, path);
    case Kind::DigestFieldsIncomplete:
      return japanese(*this) ? "payload file digest algorithm and digest must be provided together"
                             : "zh payload file digest algorithm and digest must be provided together";
    case Kind::UnsupportedDigestAlgorithm:
      return japanese(*this)
                 ? fmt::format("unsupported payload file digest algorithm {}", text::quoted_text(text))
                 : fmt::format("unsupported zh payload file digest algorithm {}", text::quoted_text(text));
    case Kind::DigestMismatch:
      return fmt::format("payload file digest mismatch: metadata has {}, recomputed {}", expected, actual);
    case Kind::Payload:
      return payload_error.message();
    case Kind::UnsupportedChecksumAlgorithm:
      return fmt::format("unsupported checksum algorithm {}", text::quoted_text(text));
    case Kind::ChecksumMismatch:
      return fmt::format("payload checksum mismatch: metadata has {}, recomputed {}", expected, actual);
    case Kind::EntryCountMismatch:
      return fmt::format("entry count mismatch: metadata has {}, payload has {}", number, payload_number);
    case Kind::PinyinViewMismatch:
      return fmt::format("pinyin view mismatch: metadata has {}, payload has {}", expected, actual);
    case Kind::ArtifactLimitExceeded:
      // The languages' own limit errors carry this text.
      return japanese(*this) ? ja::UnidicArtifactPayloadError::artifact_limit_exceeded(text, number, payload_number).message()
                             : zh::ZhArtifactPayloadError::artifact_limit_exceeded(text, number, payload_number).message();
  }
  return "bundle error";
}

std::string BundleError::debug() const {
  const char* lang = japanese(*this) ? "Japanese" : "Chinese";
  switch (kind) {
    case Kind::MetadataIo: return fmt::format("MetadataIo {{ {}, {} }}", lang, io.debug());
    case Kind::DigestIo: return fmt::format("DigestIo {{ {}, {} }}", lang, io.debug());
    case Kind::MetadataUtf8: return fmt::format("MetadataUtf8 {{ {}, {} }}", lang, utf8.debug());
    case Kind::MetadataYaml: return fmt::format("MetadataYaml {{ {}, {} }}", lang, yaml.debug());
    case Kind::Payload: return fmt::format("Payload {{ {}, {} }}", lang, payload_error.debug());
    default:
      return fmt::format(
          "BundleError {{ kind: {}, language: {}, text: {}, path: {}, expected: {}, actual: {}, number: {}, "
          "payload_number: {} }}",
          static_cast<int>(kind), lang, text::quoted_text(text), text::quoted_text(path),
          text::quoted_text(expected), text::quoted_text(actual), number, payload_number);
  }
}

}  // namespace orvel::bundle
