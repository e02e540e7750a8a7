// The Japanese query front over the sample UniDic payload: lattices and
// romaji strings of 10-, 40- and 200-character mixed texts (kanji words,
// kana and typed romaji), with the lattice size as counters: nodes and arcs
// of the lattice the front returns, and raw_nodes and raw_arcs of the
// builder's lattice of the same dictionary paths before it is reduced.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "ja/query.hpp"
#include "ja/romaji_lattice_fronts.hpp"
#include "ja/romaji_lattice_reduction.hpp"
#include "ja/segmentation.hpp"
#include "ja/unidic_reading_index.hpp"
#include "text/utf8.hpp"

namespace {

using orvel::DictionaryOptions;
using orvel::ja::UnidicReadingIndex;

const UnidicReadingIndex* sample_index() {
  static const std::unique_ptr<UnidicReadingIndex> index = []() -> std::unique_ptr<UnidicReadingIndex> {
    const auto path =
        std::filesystem::path(__FILE__).parent_path() / ".." / ".." / "shared" / "data" / "unidic" / "sample.yaml";
    auto loaded = UnidicReadingIndex::from_artifact_payload_path(path);
    if (!loaded) return nullptr;
    return std::make_unique<UnidicReadingIndex>(std::move(*loaded));
  }();
  return index.get();
}

// A mixed text of `chars` characters, repeating one 10-character phrase.
std::string mixed_text(std::size_t chars) {
  static const std::u32string phrase = U"東京の猫はneko";
  std::u32string text;
  while (text.size() < chars) text += phrase;
  text.resize(chars);
  return orvel::text::encode_utf8(text);
}

void BM_JaLatticeFront(benchmark::State& state) {
  const UnidicReadingIndex* index = sample_index();
  if (index == nullptr) {
    state.SkipWithError("sample.yaml not found");
    return;
  }
  const std::string text = mixed_text(static_cast<std::size_t>(state.range(0)));
  DictionaryOptions options;
  options.max_paths = static_cast<std::uint64_t>(state.range(1));
  std::uint64_t nodes = 0, arcs = 0;
  for (auto _ : state) {
    auto lattice = orvel::ja::unidic_or_direct_lattice(text, *index, options);
    if (!lattice) {
      state.SkipWithError(lattice.error().message().c_str());
      return;
    }
    nodes = lattice->node_count();
    arcs = lattice->arcs().size();
    benchmark::DoNotOptimize(lattice);
  }
  state.counters["nodes"] = static_cast<double>(nodes);
  state.counters["arcs"] = static_cast<double>(arcs);

  // The same segmentations (these texts are read with direct stretches)
  // through the builder alone.
  auto paths = orvel::ja::reading_paths_with_stats_inner(*index, text, options, true);
  if (!paths) return;
  std::vector<std::vector<orvel::ja::RomajiSegmentInput>> inputs;
  for (const orvel::ja::DictionaryReadingPath& path : *paths) {
    auto& input = inputs.emplace_back();
    path.for_each_segment([&](const orvel::ja::DictionaryReadingSegment& segment) {
      input.push_back({segment.reading,
                       segment.direct ? orvel::ja::RomajiSegmentMode::Direct : orvel::ja::RomajiSegmentMode::Reading});
    });
  }
  auto raw = orvel::ja::romaji_lattice_from_supported_segmented_readings(inputs);
  if (!raw || !*raw) return;
  state.counters["raw_nodes"] = static_cast<double>((*raw)->node_count());
  state.counters["raw_arcs"] = static_cast<double>((*raw)->arcs().size());
}

// The reduction alone, on the builder's lattice of the text's dictionary
// paths.
void BM_JaLatticeReduction(benchmark::State& state) {
  const UnidicReadingIndex* index = sample_index();
  if (index == nullptr) {
    state.SkipWithError("sample.yaml not found");
    return;
  }
  const std::string text = mixed_text(static_cast<std::size_t>(state.range(0)));
  auto paths = orvel::ja::reading_paths_with_stats_inner(*index, text, DictionaryOptions{}, true);
  if (!paths) {
    state.SkipWithError(paths.error().message().c_str());
    return;
  }
  std::vector<std::vector<orvel::ja::RomajiSegmentInput>> inputs;
  for (const orvel::ja::DictionaryReadingPath& path : *paths) {
    auto& input = inputs.emplace_back();
    path.for_each_segment([&](const orvel::ja::DictionaryReadingSegment& segment) {
      input.push_back({segment.reading,
                       segment.direct ? orvel::ja::RomajiSegmentMode::Direct : orvel::ja::RomajiSegmentMode::Reading});
    });
  }
  auto raw = orvel::ja::romaji_lattice_from_supported_segmented_readings(inputs);
  if (!raw || !*raw) {
    state.SkipWithError("no lattice");
    return;
  }
  std::uint64_t nodes = 0;
  for (auto _ : state) {
    orvel::Lattice reduced = orvel::ja::reduce_reading_lattice(**raw);
    nodes = reduced.node_count();
    benchmark::DoNotOptimize(reduced);
  }
  state.counters["nodes"] = static_cast<double>(nodes);
}
BENCHMARK(BM_JaLatticeReduction)->Arg(10)->Arg(40)->Arg(200)->Unit(benchmark::kMicrosecond);
// Text length, then max_paths.
BENCHMARK(BM_JaLatticeFront)
    ->Args({10, 1024})
    ->Args({40, 1024})
    ->Args({200, 1024})
    ->Args({200, 16384})
    ->Unit(benchmark::kMicrosecond);

void BM_JaRomajiPathsFront(benchmark::State& state) {
  const UnidicReadingIndex* index = sample_index();
  if (index == nullptr) {
    state.SkipWithError("sample.yaml not found");
    return;
  }
  const std::string text = mixed_text(static_cast<std::size_t>(state.range(0)));
  const DictionaryOptions options;
  std::uint64_t strings = 0;
  for (auto _ : state) {
    auto paths = orvel::ja::unidic_or_direct_romaji_paths(text, *index, options);
    if (!paths) {
      state.SkipWithError(paths.error().message().c_str());
      return;
    }
    strings = paths->size();
    benchmark::DoNotOptimize(paths);
  }
  state.counters["strings"] = static_cast<double>(strings);
}
BENCHMARK(BM_JaRomajiPathsFront)->Arg(10)->Arg(40)->Arg(200)->Unit(benchmark::kMicrosecond);

}  // namespace
