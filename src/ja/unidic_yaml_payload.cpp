// The YAML payload loader: size test, open, decode the whole document, then
// the shared validation.
#include <string>

#include "io/payload_file.hpp"
#include "ja/unidic_reading_index.hpp"
#include "ja/unidic_yaml_records.hpp"

namespace orvel::ja {


std::expected<UnidicReadingIndex, UnidicArtifactPayloadError> UnidicReadingIndex::from_artifact_payload_path(
    const std::filesystem::path& path) {
  using Error = UnidicArtifactPayloadError;
  auto text = io::read_yaml_payload_text_as<Error>(path);
  if (!text) return std::unexpected(std::move(text).error());
  auto payload = decode_unidic_payload_yaml(*text);
  if (!payload) return std::unexpected(Error::yaml(payload.error().message()));
  return from_artifact_payload(std::move(*payload));
}

}  // namespace orvel::ja
