// The YAML payload file loader of CedictReadingIndex.
#include "io/payload_file.hpp"
#include "zh/cedict_reading_index.hpp"
#include "zh/cedict_yaml_records.hpp"

namespace orvel::zh {

namespace {

using Error = ZhArtifactPayloadError;

}  // namespace

std::expected<CedictReadingIndex, Error> CedictReadingIndex::from_artifact_payload_path(
    const std::filesystem::path& path) {
  auto text = io::read_yaml_payload_text_as<Error>(path);
  if (!text) return std::unexpected(std::move(text).error());
  auto payload = decode_zh_payload_yaml(*text);
  if (!payload) return std::unexpected(Error::yaml(payload.error().message()));
  return from_artifact_payload(std::move(*payload));
}

}  // namespace orvel::zh
