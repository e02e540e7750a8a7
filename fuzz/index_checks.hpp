#pragma once
// What must hold of every reading index that a loader accepted, whatever
// bytes it came from: the export is sorted and complete, every exported
// surface looks up to its readings, the canonical text and checksums can be
// made, and the indexed payload written from the index loads back to the
// same export.
#include <string>

#include "fuzz_support.hpp"
#include "ja/unidic_canonical.hpp"
#include "ja/unidic_payload_writer.hpp"
#include "ja/unidic_reading_index.hpp"
#include "zh/cedict_reading_index.hpp"
#include "zh/cedict_yaml_records.hpp"
#include "zh/zh_indexed_payload_writer.hpp"

namespace orvel::fuzz {

template <class Index, class Export>
void check_export(const Index& index, const Export& exported) {
  ORVEL_FUZZ_CHECK(exported.entries.size() == index.entry_count());
  for (std::size_t i = 0; i < exported.entries.size(); ++i) {
    const auto& entry = exported.entries[i];
    if (i > 0) ORVEL_FUZZ_CHECK(exported.entries[i - 1].surface < entry.surface);
    ORVEL_FUZZ_CHECK(!entry.readings.empty());
    if (i < 64) {
      auto found = [&] {
        if constexpr (requires { index.try_readings_exact(entry.surface); }) {
          return index.try_readings_exact(entry.surface);
        } else {
          return index.try_readings(entry.surface);
        }
      }();
      ORVEL_FUZZ_CHECK(found && found->has_value() && (*found)->list() == entry.readings);
    }
  }
}

inline void check_unidic_index(const ja::UnidicReadingIndex& index) {
  const ja::UnidicReadingIndexPayload exported = index.artifact_payload();
  check_export(index, exported);
  const std::string canonical = index.canonical_text();
  ORVEL_FUZZ_CHECK(canonical.starts_with(ja::kUnidicCanonicalHeader));
  ORVEL_FUZZ_CHECK(index.artifact_payload_checksum_for_algorithm("sha256-canonical-v1").has_value());
  ORVEL_FUZZ_CHECK(index.artifact_payload_checksum_for_algorithm("fnv1a64-canonical-v1").has_value());
  ORVEL_FUZZ_CHECK(!index.artifact_payload_checksum_for_algorithm("sha256-file-v1").has_value());

  auto reloaded = ja::UnidicReadingIndex::from_indexed_owned_bytes(ja::unidic_indexed_payload_bytes(index));
  ORVEL_FUZZ_CHECK(reloaded.has_value());
  ORVEL_FUZZ_CHECK(reloaded->artifact_payload() == exported);
  ORVEL_FUZZ_CHECK(reloaded->canonical_text() == canonical);
}

inline void check_zh_index(const zh::CedictReadingIndex& index) {
  const zh::ZhReadingIndexPayload exported = index.artifact_payload();
  check_export(index, exported);
  ORVEL_FUZZ_CHECK(exported.pinyin_view == index.pinyin_view());
  const std::string canonical = index.canonical_text();
  ORVEL_FUZZ_CHECK(index.artifact_payload_checksum_for_algorithm("sha256-canonical-v1").has_value());
  ORVEL_FUZZ_CHECK(!index.artifact_payload_checksum_for_algorithm("fnv1a64-canonical-v1").has_value());

  auto reloaded = zh::CedictReadingIndex::from_indexed_owned_bytes(zh::zh_indexed_payload_bytes(index));
  ORVEL_FUZZ_CHECK(reloaded.has_value());
  ORVEL_FUZZ_CHECK(reloaded->tone3() == index.tone3());
  ORVEL_FUZZ_CHECK(reloaded->artifact_payload() == exported);
  ORVEL_FUZZ_CHECK(reloaded->canonical_text() == canonical);
}

}  // namespace orvel::fuzz
