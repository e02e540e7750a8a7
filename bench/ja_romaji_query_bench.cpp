// The Japanese query front over the sample UniDic payload: lattices and
// romaji strings of 10-, 40- and 200-character mixed texts (kanji words,
// kana and typed romaji), with the lattice size as counters.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <string>

#include "ja/query.hpp"
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
  const DictionaryOptions options;
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
}
BENCHMARK(BM_JaLatticeFront)->Arg(10)->Arg(40)->Arg(200)->Unit(benchmark::kMicrosecond);

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
