#pragma once
// Small map-form and indexed indexes for the Chinese tests.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "zh/cedict_reading_index.hpp"
#include "zh/cedict_yaml_records.hpp"
#include "zh/zh_indexed_payload_writer.hpp"

namespace orvel::zh::testing {

using Entries = std::vector<std::pair<std::string, std::vector<std::string>>>;

inline ZhReadingIndexPayload payload_of(const Entries& entries, std::string view = "tone3") {
  ZhReadingIndexPayload payload;
  payload.schema_version = 1;
  payload.payload_type = "orvel.zh.reading-index.surface-readings";
  payload.pinyin_view = std::move(view);
  for (const auto& [surface, readings] : entries) payload.entries.push_back({surface, readings});
  return payload;
}

inline CedictReadingIndex map_index(const Entries& entries, std::string view = "tone3") {
  auto index = CedictReadingIndex::from_artifact_payload(payload_of(entries, std::move(view)));
  if (!index) throw std::runtime_error(index.error().message());
  return std::move(*index);
}

inline CedictReadingIndex indexed_copy(const CedictReadingIndex& index) {
  auto indexed = CedictReadingIndex::from_indexed_owned_bytes(zh_indexed_payload_bytes(index));
  if (!indexed) throw std::runtime_error(indexed.error().message());
  return std::move(*indexed);
}

inline std::string data_path(const std::string& name) { return std::string(ORVEL_TEST_DATA_DIR) + "/" + name; }

}  // namespace orvel::zh::testing
