// Chinese reading index: loading the full CC-CEDICT sample (both views) as
// YAML and as an indexed payload, with the heap the loaded index holds, and
// the pinyin-paths and lattice fronts for Chinese texts of 4, 16 and 64
// characters. The payloads come from shared/data/cedict beside the work
// tree; indexed copies are written to a temporary directory once.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "text/utf8.hpp"
#include "zh/cedict_reading_index.hpp"
#include "zh/zh_indexed_payload_writer.hpp"
#include "zh/zh_query.hpp"

namespace {

using orvel::DictionaryOptions;
using orvel::zh::CedictReadingIndex;

std::filesystem::path shared_cedict(const char* name) {
  return std::filesystem::path(__FILE__).parent_path() / ".." / ".." / "shared" / "data" / "cedict" / name;
}

struct Forms {
  std::filesystem::path yaml, indexed;
  std::uint64_t yaml_bytes = 0, indexed_bytes = 0;
};

std::optional<Forms> make_forms(const char* name) {
  Forms forms;
  forms.yaml = shared_cedict(name);
  auto index = CedictReadingIndex::from_artifact_payload_path(forms.yaml);
  if (!index) return std::nullopt;
  const auto bytes = orvel::zh::zh_indexed_payload_bytes(*index);
  const auto dir = std::filesystem::temp_directory_path() / "orvel_cedict_bench";
  std::filesystem::create_directories(dir);
  forms.indexed = dir / (std::filesystem::path(name).stem().string() + ".idx");
  std::ofstream(forms.indexed, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  forms.yaml_bytes = std::filesystem::file_size(forms.yaml);
  forms.indexed_bytes = bytes.size();
  return forms;
}

const std::optional<Forms>& sample(bool tone3) {
  static const std::optional<Forms> t = make_forms("sample-tone3.yaml");
  static const std::optional<Forms> n = make_forms("sample-no-tone.yaml");
  return tone3 ? t : n;
}

CedictReadingIndex load_indexed(const std::filesystem::path& path) {
  auto bytes = orvel::zh::read_payload_file_bounded(path);
  return std::move(*CedictReadingIndex::from_indexed_owned_bytes(std::move(*bytes)));
}

CedictReadingIndex load(const Forms& forms, bool indexed) {
  return indexed ? load_indexed(forms.indexed) : *CedictReadingIndex::from_artifact_payload_path(forms.yaml);
}

std::size_t heap_in_use() { return mallinfo2().uordblks; }

// range(0): 1 tone3 / 0 no-tone; range(1): 1 indexed / 0 YAML.
void BM_CedictLoadSample(benchmark::State& state) {
  const bool tone3 = state.range(0) != 0;
  const bool indexed = state.range(1) != 0;
  const auto& forms = sample(tone3);
  if (!forms) {
    state.SkipWithError("shared/data/cedict not found");
    return;
  }
  std::size_t held = 0;
  for (auto _ : state) {
    const std::size_t before = heap_in_use();
    auto index = load(*forms, indexed);
    held = heap_in_use() - before;
    benchmark::DoNotOptimize(index);
  }
  state.counters["index_heap_MiB"] = static_cast<double>(held) / (1 << 20);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() *
                                                    (indexed ? forms->indexed_bytes : forms->yaml_bytes)));
  state.SetLabel(std::string(tone3 ? "tone3 " : "no-tone ") + (indexed ? "indexed" : "yaml"));
}
BENCHMARK(BM_CedictLoadSample)->ArgsProduct({{1, 0}, {0, 1}})->Unit(benchmark::kMillisecond)->Iterations(3);

// A Chinese text of n characters cut from a fixed run of common words.
std::string chinese_text(std::size_t n) {
  const std::u32string words = U"中国人民银行在北京和上海的大学里听音乐长城重庆你好我们的朋友都很高兴见到你";
  std::u32string text;
  while (text.size() < n) text += words;
  return orvel::text::encode_utf8(std::u32string_view(text).substr(0, n));
}

const CedictReadingIndex* front_index(bool indexed) {
  static const std::optional<CedictReadingIndex> map =
      sample(true) ? std::optional(load(*sample(true), false)) : std::nullopt;
  static const std::optional<CedictReadingIndex> idx =
      sample(true) ? std::optional(load(*sample(true), true)) : std::nullopt;
  const auto& which = indexed ? idx : map;
  return which ? &*which : nullptr;
}

// range(0): characters; range(1): 1 indexed / 0 map; range(2): max_paths.
template <bool Lattice>
void run_front(benchmark::State& state) {
  const CedictReadingIndex* index = front_index(state.range(1) != 0);
  if (index == nullptr) {
    state.SkipWithError("shared/data/cedict not found");
    return;
  }
  const std::string text = chinese_text(static_cast<std::size_t>(state.range(0)));
  DictionaryOptions options;
  options.max_paths = static_cast<std::uint64_t>(state.range(2));
  std::size_t size = 0;
  for (auto _ : state) {
    if constexpr (Lattice) {
      auto lattice = orvel::zh::zh_or_direct_lattice(text, *index, options);
      size = lattice->node_count();
      benchmark::DoNotOptimize(lattice);
    } else {
      auto paths = orvel::zh::zh_or_direct_pinyin_paths(text, *index, options);
      size = paths->size();
      benchmark::DoNotOptimize(paths);
    }
  }
  state.counters[Lattice ? "nodes" : "paths"] = static_cast<double>(size);
  state.SetLabel(state.range(1) != 0 ? "indexed" : "map");
}

void BM_CedictPinyinPaths(benchmark::State& state) { run_front<false>(state); }
void BM_CedictLattice(benchmark::State& state) { run_front<true>(state); }
BENCHMARK(BM_CedictPinyinPaths)->ArgsProduct({{4, 16, 64}, {0, 1}, {1024}})->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CedictLattice)->ArgsProduct({{4, 16, 64}, {0, 1}, {1024}})->Unit(benchmark::kMicrosecond);
// The largest path cap on the longest text: work and memory stay bounded.
BENCHMARK(BM_CedictPinyinPaths)->Args({64, 0, 16384})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CedictLattice)->Args({64, 0, 16384})->Unit(benchmark::kMillisecond);

}  // namespace
