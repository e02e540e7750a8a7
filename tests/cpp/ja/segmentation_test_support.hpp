#pragma once
// Small in-memory reading indexes for the segmentation and query tests.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "ja/segmentation.hpp"
#include "ja/unidic_reading_index.hpp"

namespace orvel::ja::testing {

using Entries = std::vector<std::pair<std::string, std::vector<std::string>>>;

inline UnidicReadingIndex make_index(const Entries& entries) {
  UnidicReadingIndexPayload payload;
  for (const auto& [surface, readings] : entries) payload.entries.push_back({surface, readings});
  auto index = UnidicReadingIndex::from_artifact_payload(std::move(payload));
  if (!index) ADD_FAILURE() << index.error().message();
  return std::move(*index);
}

inline DictionaryOptions options(std::uint64_t max_span_chars = 8, std::uint64_t max_paths = 1024,
                                 std::optional<std::uint64_t> max_readings_per_segment = std::nullopt,
                                 bool longest_only = false) {
  DictionaryOptions o;
  o.max_span_chars = max_span_chars;
  o.max_paths = max_paths;
  o.max_readings_per_segment = max_readings_per_segment;
  o.longest_only = longest_only;
  return o;
}

// "東/トウ+かな/かな*" : surface/reading per segment, * for a direct one.
inline std::string describe(const DictionaryReadingPath& path) {
  std::string out;
  path.for_each_segment([&](const DictionaryReadingSegment& s) {
    if (!out.empty()) out += '+';
    out += s.surface + "/" + s.reading + (s.direct ? "*" : "");
  });
  return out;
}

inline std::vector<std::string> describe(const std::vector<DictionaryReadingPath>& paths) {
  std::vector<std::string> out;
  for (const auto& p : paths) out.push_back(describe(p));
  return out;
}

}  // namespace orvel::ja::testing
