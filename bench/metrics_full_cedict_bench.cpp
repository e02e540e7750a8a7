// Every kind of dictionary method on ordinary Chinese sentences with the
// whole CC-CEDICT sample (shared/data/cedict/sample-tone3.yaml beside the
// work tree, loaded once), and on texts of one character repeated, whose
// spans have as many dictionary paths as the options keep.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/dictionary_options.hpp"
#include "metrics/dictionary_methods.hpp"
#include "zh/cedict_reading_index.hpp"

namespace orvel {
namespace {

const zh::CedictReadingIndex* sample_index() {
  static const std::optional<zh::CedictReadingIndex> index = []() -> std::optional<zh::CedictReadingIndex> {
    const auto path = std::filesystem::path(ORVEL_SOURCE_DIR) / ".." / "shared" / "data" / "cedict" / "sample-tone3.yaml";
    auto loaded = zh::CedictReadingIndex::from_artifact_payload_path(path);
    if (!loaded) return std::nullopt;
    return std::move(*loaded);
  }();
  return index ? &*index : nullptr;
}

// A query and a text (the text about 30 characters or fewer).
const std::vector<std::pair<std::string, std::string>> kPairs = {
    {"北京", "我明年去北京上大学"},
    {"这个问题我们需要好好讨论一下", "春节是中国最重要的传统节日这个问题我们需要好好讨论一下"},
    {"人工智能", "人工智能的发展速度越来越快请把窗户关上外面太冷了"},
    {"2024年北京奥运会", "2024年北京奥运会长长长长长长长长长长长长长长长长长长长长"},
    {"重重重重重重重重", "乐乐乐乐乐乐乐乐乐乐乐乐乐乐乐乐乐乐乐乐乐乐乐乐乐乐乐乐乐乐"},
    {"长长长长长长长长长长长长长长长长长长长长", "行行行行行行行行行行行行行行行行行行行行长长长长长长长长长长长长长长长长长长长长"},
};

const DictionaryOptions kDefaults;

template <class Body>
void with_pair(benchmark::State& state, Body body) {
  const zh::CedictReadingIndex* index = sample_index();
  if (index == nullptr) {
    state.SkipWithError("CC-CEDICT sample not found beside the work tree");
    return;
  }
  const auto& pair = kPairs.at(static_cast<std::size_t>(state.range(0)));
  const DictionaryCall<ChineseFront> call{*index, kDefaults};
  for (auto _ : state) body(call, pair);
}

void BM_FullZhNormalizedSimilarity(benchmark::State& state) {
  with_pair(state, [](const auto& call, const auto& pair) {
    benchmark::DoNotOptimize(dictionary_normalized_similarity(call, pair.first, pair.second, std::nullopt));
  });
}
BENCHMARK(BM_FullZhNormalizedSimilarity)->DenseRange(0, 5)->Unit(benchmark::kMillisecond);

void BM_FullZhDistance(benchmark::State& state) {
  with_pair(state, [](const auto& call, const auto& pair) {
    benchmark::DoNotOptimize(dictionary_distance(call, pair.first, pair.second, std::nullopt));
  });
}
BENCHMARK(BM_FullZhDistance)->DenseRange(0, 5)->Unit(benchmark::kMillisecond);

void BM_FullZhPartialRatio(benchmark::State& state) {
  with_pair(state, [](const auto& call, const auto& pair) {
    benchmark::DoNotOptimize(dictionary_partial_ratio(call, pair.first, pair.second, 0, std::nullopt));
  });
}
BENCHMARK(BM_FullZhPartialRatio)->DenseRange(0, 5)->Unit(benchmark::kMillisecond);

void BM_FullZhPartialDistance(benchmark::State& state) {
  with_pair(state, [](const auto& call, const auto& pair) {
    benchmark::DoNotOptimize(dictionary_partial_distance(call, pair.first, pair.second, 0, std::nullopt));
  });
}
BENCHMARK(BM_FullZhPartialDistance)->DenseRange(0, 5)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace orvel
