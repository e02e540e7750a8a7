#pragma once
// The Japanese surface-to-readings index, in its map form (from a YAML or
// binary payload) or its indexed form (an fst map over the payload bytes).
#include <cstddef>
#include <cstdint>
#include <expected>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <variant>
#include <vector>

#include "core/dictionary_options.hpp"
#include "ja/unidic_artifact_payload_error.hpp"
#include "ja/unidic_payload.hpp"

namespace orvel {
class Lattice;
}

namespace orvel::ja {

struct JaLatticeError;
class IndexedUnidicPayload;

// The readings found for a surface: a view of the list stored in a map-form
// index (valid while the index lives), or a list decoded for this call.
class UnidicReadings {
 public:
  static UnidicReadings view(const std::vector<std::string>& stored) { return UnidicReadings(&stored, {}); }
  static UnidicReadings owned(std::vector<std::string> decoded) {
    return UnidicReadings(nullptr, std::move(decoded));
  }

  const std::vector<std::string>& list() const { return stored_ != nullptr ? *stored_ : owned_; }
  std::size_t size() const { return list().size(); }
  const std::string& operator[](std::size_t i) const { return list()[i]; }
  auto begin() const { return list().begin(); }
  auto end() const { return list().end(); }

 private:
  UnidicReadings(const std::vector<std::string>* stored, std::vector<std::string> owned)
      : stored_(stored), owned_(std::move(owned)) {}
  const std::vector<std::string>* stored_;
  std::vector<std::string> owned_;
};

// Found (readings), not found (nullopt) or, in the indexed form only, an error.
using UnidicLookup = std::expected<std::optional<UnidicReadings>, UnidicArtifactPayloadError>;

class UnidicReadingIndex {
 public:
  struct StringHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view s) const noexcept { return std::hash<std::string_view>{}(s); }
  };
  using Map = std::unordered_map<std::string, std::vector<std::string>, StringHash, std::equal_to<>>;

  // Validates a payload record and builds the map form. The record is consumed.
  static std::expected<UnidicReadingIndex, UnidicArtifactPayloadError> from_artifact_payload(
      UnidicReadingIndexPayload payload);
  // YAML payload file (formats "yaml", "yaml.surface-readings.v1").
  static std::expected<UnidicReadingIndex, UnidicArtifactPayloadError> from_artifact_payload_path(
      const std::filesystem::path& path);
  // Binary payload file "ORVELU01" (formats "binary", "binary.surface-readings.v1").
  static std::expected<UnidicReadingIndex, UnidicArtifactPayloadError> from_binary_artifact_payload_path(
      const std::filesystem::path& path);
  // Indexed payload "ORVELI01", the whole file as read by
  // unidic::read_payload_file_bounded (formats "indexed", "fst",
  // "indexed-fst.surface-readings.v1"). The bytes are handed over.
  static std::expected<UnidicReadingIndex, UnidicArtifactPayloadError> from_indexed_owned_bytes(
      std::vector<std::uint8_t> bytes);

  // Number of surfaces.
  std::uint64_t entry_count() const;
  bool is_indexed() const { return std::holds_alternative<Indexed>(form_); }

  // Exact lookup of the text's bytes.
  UnidicLookup try_readings_exact(std::string_view text) const;
  // Exact lookup, then, when not found, one retry with the width-normalised
  // text (see normalize_ascii_width).
  UnidicLookup try_readings(std::string_view text) const;

  // Every surface in ascending byte order with its readings in stored order.
  UnidicReadingIndexPayload artifact_payload() const;
  // "sha256-canonical-v1" or "fnv1a64-canonical-v1" of the canonical text;
  // nothing for any other name.
  std::optional<std::string> artifact_payload_checksum_for_algorithm(std::string_view algorithm) const;
  // The canonical text itself.
  std::string canonical_text() const;

  // The dictionary reading lattice of a text: none when no reading could be
  // used. It is reduced to the fewest nodes that spell the same romaji
  // strings (ja/romaji_lattice_reduction.hpp), so its size follows the text,
  // not the number of readings. Defined with the romaji lattice fronts.
  std::expected<std::optional<Lattice>, JaLatticeError> romaji_lattice(
      std::string_view text, const DictionaryOptions& options) const;

  // Map form only: the stored map (nullptr for the indexed form).
  const Map* map() const { return std::get_if<Map>(&form_); }
  // Indexed form only (nullptr for the map form).
  const IndexedUnidicPayload* indexed() const;

 private:
  using Indexed = std::shared_ptr<const IndexedUnidicPayload>;
  explicit UnidicReadingIndex(Map map) : form_(std::move(map)) {}
  explicit UnidicReadingIndex(Indexed indexed) : form_(std::move(indexed)) {}

  std::variant<Map, Indexed> form_;
};

// Folds U+3000 to a space and U+FF01..U+FF5E to U+0021..U+007E; nothing when
// no character changes.
std::optional<std::string> normalize_ascii_width(std::string_view text);

namespace unidic {

// Metadata size test of the YAML and binary loaders (the file type is not
// examined).
std::expected<void, UnidicArtifactPayloadError> check_payload_file_size(const std::filesystem::path& path);

// The whole payload file, read under the payload size cap; a path that is not
// a regular file is refused.
std::expected<std::vector<std::uint8_t>, UnidicArtifactPayloadError> read_payload_file_bounded(
    const std::filesystem::path& path);

// The little-endian u64 at `offset` of an indexed header; TruncatedIndexed
// with `field` when it does not fit.
std::expected<std::uint64_t, UnidicArtifactPayloadError> read_u64_le_bytes(std::span<const std::uint8_t> bytes,
                                                                           std::size_t offset, std::string_view field);

}  // namespace unidic

}  // namespace orvel::ja
