#pragma once
// The small UniDic test index that the Japanese front targets read with,
// loaded once.
#include "fuzz_support.hpp"
#include "ja/unidic_reading_index.hpp"

namespace orvel::fuzz {

inline const ja::UnidicReadingIndex& small_ja_index() {
  static const ja::UnidicReadingIndex index = [] {
    auto loaded = ja::UnidicReadingIndex::from_artifact_payload_path(source_path("tests/data/unidic/small.yaml"));
    if (!loaded) mismatch("the test index does not load");
    return std::move(*loaded);
  }();
  return index;
}

}  // namespace orvel::fuzz
