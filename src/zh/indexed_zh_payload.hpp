#pragma once
// The indexed form of a Chinese reading index: the shared indexed-fst
// container with the magic "ORVELZ01", the pinyin view in the header word at
// offset 12 (0 no-tone, 1 tone3) and at most 2,000,000 entries.
#include <cstdint>
#include <expected>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "io/indexed_payload.hpp"
#include "zh/zh_artifact_payload_error.hpp"

namespace orvel::zh {

inline constexpr std::array<std::uint8_t, 8> kZhIndexedMagic = {'O', 'R', 'V', 'E', 'L', 'Z', '0', '1'};
inline constexpr std::uint32_t kZhIndexedVersion = 1;
inline constexpr std::uint32_t kZhIndexedViewNoTone = 0;
inline constexpr std::uint32_t kZhIndexedViewTone3 = 1;

class IndexedZhPayload {
 public:
  // The container parameters of the Chinese payload.
  static const io::IndexedPayloadFormat& format();

  // Header checks, fst open and key count, then every key and readings
  // record, including the normal form of each reading for the header's view.
  static std::expected<IndexedZhPayload, ZhArtifactPayloadError> load(std::vector<std::uint8_t> bytes);

  bool tone3() const { return payload_.header_word() == kZhIndexedViewTone3; }
  std::uint64_t entry_count() const { return payload_.entry_count(); }
  std::uint64_t readings_start() const { return payload_.readings_start(); }
  const io::FstMap& fst() const { return payload_.fst(); }
  const io::IndexedPayload& container() const { return payload_; }

  // Decodes the readings record at `offset` from the readings start.
  std::expected<std::vector<std::string>, ZhArtifactPayloadError> readings_at(std::uint64_t offset) const;
  // Exact lookup of a surface's bytes.
  std::expected<std::optional<std::vector<std::string>>, ZhArtifactPayloadError> lookup(
      std::string_view surface) const;

 private:
  explicit IndexedZhPayload(io::IndexedPayload payload) : payload_(std::move(payload)) {}
  io::IndexedPayload payload_;
};

}  // namespace orvel::zh
