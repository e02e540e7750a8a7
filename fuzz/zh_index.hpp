#pragma once
// The small CC-CEDICT test indexes (tone3 and no-tone) that the Chinese front
// targets read with, loaded once.
#include "fuzz_support.hpp"
#include "zh/cedict_reading_index.hpp"

namespace orvel::fuzz {

inline const zh::CedictReadingIndex& small_zh_index(bool no_tone) {
  const auto load = [](const char* file) {
    auto loaded = zh::CedictReadingIndex::from_artifact_payload_path(source_path(file));
    if (!loaded) mismatch("the test index does not load");
    return std::move(*loaded);
  };
  static const zh::CedictReadingIndex tone3 = load("tests/data/cedict/small-tone3.yaml");
  static const zh::CedictReadingIndex no_tone_index = load("tests/data/cedict/small-no-tone.yaml");
  return no_tone ? no_tone_index : tone3;
}

}  // namespace orvel::fuzz
