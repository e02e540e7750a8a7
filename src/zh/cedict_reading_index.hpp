#pragma once
// The Chinese surface-to-pinyin-readings index with its pinyin view, in its
// map form (from a YAML payload) or its indexed form (an fst map over the
// payload bytes "ORVELZ01"). Every stored reading is known to be in the
// normal form of the view (zh/pinyin.hpp), so queries never normalise them.
//
// Immutable once built; any number of threads may query one index at once.
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
#include "zh/pinyin.hpp"
#include "zh/zh_artifact_payload_error.hpp"

namespace orvel {
class Lattice;
}

namespace orvel::zh {

struct ZhReadingIndexPayload;
struct PinyinReadingPath;
struct CnLatticeError;
class IndexedZhPayload;

inline constexpr std::string_view kZhPayloadType = "orvel.zh.reading-index.surface-readings";
inline constexpr std::uint32_t kZhSchemaVersion = 1;

// Limits of a Chinese payload (inclusive). The payload size limit is
// io::kMaxPayloadBytes.
inline constexpr std::uint64_t kZhMaxEntries = 2'000'000;
inline constexpr std::uint64_t kZhMaxSurfaceBytes = 16'384;
inline constexpr std::uint64_t kZhMaxReadingCount = 256;
inline constexpr std::uint64_t kZhMaxReadingBytes = 16'384;

// The readings found for a surface: a view of the list stored in a map-form
// index (valid while the index lives), or a list decoded for this call.
class ZhReadings {
 public:
  static ZhReadings view(const std::vector<std::string>& stored) { return ZhReadings(&stored, {}); }
  static ZhReadings owned(std::vector<std::string> decoded) { return ZhReadings(nullptr, std::move(decoded)); }

  const std::vector<std::string>& list() const { return stored_ != nullptr ? *stored_ : owned_; }
  bool is_view() const { return stored_ != nullptr; }
  std::size_t size() const { return list().size(); }
  const std::string& operator[](std::size_t i) const { return list()[i]; }
  auto begin() const { return list().begin(); }
  auto end() const { return list().end(); }
  // The decoded list itself (the stored list copied, for a view).
  std::vector<std::string> take() && { return stored_ != nullptr ? *stored_ : std::move(owned_); }

 private:
  ZhReadings(const std::vector<std::string>* stored, std::vector<std::string> owned)
      : stored_(stored), owned_(std::move(owned)) {}
  const std::vector<std::string>* stored_;
  std::vector<std::string> owned_;
};

// Found (readings), not found (nullopt) or, in the indexed form only, an error.
using ZhLookup = std::expected<std::optional<ZhReadings>, ZhArtifactPayloadError>;

class CedictReadingIndex {
 public:
  struct StringHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view s) const noexcept { return std::hash<std::string_view>{}(s); }
  };
  using Map = std::unordered_map<std::string, std::vector<std::string>, StringHash, std::equal_to<>>;

  // Validates a payload record and builds the map form; the record is
  // consumed. Checks stop at the first failure, entry by entry: schema
  // version, payload type, pinyin view ("tone3"; "no-tone", "notone" or
  // "normal"), entry count, then per entry the surface length, reading count,
  // empty surface, no readings, and per reading its length, emptiness, normal
  // form and repetition, and last a repeated surface.
  static std::expected<CedictReadingIndex, ZhArtifactPayloadError> from_artifact_payload(
      ZhReadingIndexPayload payload);
  // YAML payload file: size test by metadata, then decoding, then
  // from_artifact_payload.
  static std::expected<CedictReadingIndex, ZhArtifactPayloadError> from_artifact_payload_path(
      const std::filesystem::path& path);
  // Indexed payload "ORVELZ01", the whole file as read by
  // read_payload_file_bounded. The bytes are handed over. Every key and
  // readings record is validated here, so no later lookup or export fails.
  static std::expected<CedictReadingIndex, ZhArtifactPayloadError> from_indexed_owned_bytes(
      std::vector<std::uint8_t> bytes);

  // Number of surfaces.
  std::uint64_t entry_count() const;
  PinyinView view() const { return tone3_ ? PinyinView::Tone3 : PinyinView::NoTone; }
  bool tone3() const { return tone3_; }
  // "tone3" or "no-tone".
  std::string_view pinyin_view() const { return pinyin_view_name(view()); }
  bool is_indexed() const { return std::holds_alternative<Indexed>(form_); }

  // Exact lookup of the surface's bytes; there is no width-folded retry.
  ZhLookup try_readings(std::string_view surface) const;

  // Every surface in ascending byte order with its readings in stored order,
  // and the canonical view name.
  ZhReadingIndexPayload artifact_payload() const;
  // "sha256-canonical-v1" of the canonical text; nothing for any other name.
  std::optional<std::string> artifact_payload_checksum_for_algorithm(std::string_view algorithm) const;
  // The canonical text itself.
  std::string canonical_text() const;

  // Every distinct way to read the whole text by dictionary segments (and,
  // when `hybrid`, typed-pinyin stretches), ascending by joined reading, at
  // most options.max_paths of them; empty when nothing covers the text.
  // See zh/pinyin_reading_paths.hpp.
  std::expected<std::vector<PinyinReadingPath>, ZhArtifactPayloadError> reading_paths_with_stats_inner(
      std::string_view text, const DictionaryOptions& options, bool hybrid) const;

  // The compact lattice of the dictionary reading paths of a text (hybrid:
  // of the hybrid paths); none when no path covers the text. Search errors
  // come back as CnLatticeError Dictionary. See zh/zh_query.hpp.
  std::expected<std::optional<Lattice>, CnLatticeError> pinyin_lattice(std::string_view text,
                                                                        const DictionaryOptions& options) const;
  std::expected<std::optional<Lattice>, CnLatticeError> hybrid_pinyin_lattice(
      std::string_view text, const DictionaryOptions& options) const;

  // Map form only: the stored map (nullptr for the indexed form).
  const Map* map() const { return std::get_if<Map>(&form_); }
  // Indexed form only (nullptr for the map form).
  const IndexedZhPayload* indexed() const;

 private:
  using Indexed = std::shared_ptr<const IndexedZhPayload>;
  CedictReadingIndex(Map map, bool tone3) : form_(std::move(map)), tone3_(tone3) {}
  CedictReadingIndex(Indexed indexed, bool tone3) : form_(std::move(indexed)), tone3_(tone3) {}

  std::variant<Map, Indexed> form_;
  bool tone3_ = true;
};

// The file-level helpers of the loaders, with Chinese errors.

// Metadata size test of the YAML loader (the file type is not examined).
std::expected<void, ZhArtifactPayloadError> check_payload_file_size(const std::filesystem::path& path);

// The whole payload file, read under the payload size cap; a path that is not
// a regular file is refused.
std::expected<std::vector<std::uint8_t>, ZhArtifactPayloadError> read_payload_file_bounded(
    const std::filesystem::path& path);

// The little-endian u64 at `offset`, or TruncatedIndexed {field}.
std::expected<std::uint64_t, ZhArtifactPayloadError> read_u64_le_bytes(std::span<const std::uint8_t> bytes,
                                                                       std::size_t offset,
                                                                       std::string_view field);

}  // namespace orvel::zh
