// UniDic reading index: loading the sample payload in its three forms, the
// whole dictionary in indexed form, and lookups per second in both forms.
// The payloads come from shared/data/unidic beside the work tree; binary
// and indexed copies are written to a temporary directory once.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "ja/unidic_payload_writer.hpp"
#include "ja/unidic_reading_index.hpp"
#include "ja/unidic_yaml_records.hpp"

namespace {

using orvel::ja::UnidicReadingIndex;
using orvel::ja::UnidicReadingIndexPayload;

std::filesystem::path shared_unidic(const char* name) {
  return std::filesystem::path(__FILE__).parent_path() / ".." / ".." / "shared" / "data" / "unidic" / name;
}

struct Forms {
  std::filesystem::path yaml, binary, indexed;
  std::vector<std::string> surfaces;
  std::uint64_t yaml_bytes = 0, binary_bytes = 0, indexed_bytes = 0;
};

std::optional<Forms> make_forms(const char* name) {
  Forms forms;
  forms.yaml = shared_unidic(name);
  std::ifstream in(forms.yaml, std::ios::binary);
  if (!in) return std::nullopt;
  std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  auto payload = orvel::ja::decode_unidic_payload_yaml(text);
  if (!payload) return std::nullopt;
  for (const auto& entry : payload->entries) forms.surfaces.push_back(entry.surface);
  const auto dir = std::filesystem::temp_directory_path() / "orvel_unidic_bench";
  std::filesystem::create_directories(dir);
  const std::string stem = std::filesystem::path(name).stem().string();
  forms.binary = dir / (stem + ".bin");
  forms.indexed = dir / (stem + ".idx");
  const auto binary = orvel::ja::unidic_binary_payload_bytes(*payload);
  auto indexed = orvel::ja::unidic_indexed_payload_bytes(*payload);
  if (!indexed || !orvel::ja::write_payload_file(forms.binary, binary) ||
      !orvel::ja::write_payload_file(forms.indexed, *indexed)) {
    return std::nullopt;
  }
  forms.yaml_bytes = text.size();
  forms.binary_bytes = binary.size();
  forms.indexed_bytes = indexed->size();
  return forms;
}

const std::optional<Forms>& sample() {
  static const std::optional<Forms> forms = make_forms("sample.yaml");
  return forms;
}

const std::optional<Forms>& full() {
  static const std::optional<Forms> forms = make_forms("full.yaml");
  return forms;
}

UnidicReadingIndex load_indexed(const std::filesystem::path& path) {
  auto bytes = orvel::ja::unidic::read_payload_file_bounded(path);
  auto index = UnidicReadingIndex::from_indexed_owned_bytes(std::move(*bytes));
  return std::move(*index);
}

template <class Load>
void run_load(benchmark::State& state, const std::optional<Forms>& forms, std::uint64_t Forms::*bytes, Load load) {
  if (!forms) {
    state.SkipWithError("shared/data/unidic not found");
    return;
  }
  for (auto _ : state) {
    auto index = load(*forms);
    benchmark::DoNotOptimize(index);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * ((*forms).*bytes)));
}

void BM_UnidicLoadSampleYaml(benchmark::State& state) {
  run_load(state, sample(), &Forms::yaml_bytes,
           [](const Forms& f) { return *UnidicReadingIndex::from_artifact_payload_path(f.yaml); });
}
BENCHMARK(BM_UnidicLoadSampleYaml)->Unit(benchmark::kMillisecond);

void BM_UnidicLoadSampleBinary(benchmark::State& state) {
  run_load(state, sample(), &Forms::binary_bytes,
           [](const Forms& f) { return *UnidicReadingIndex::from_binary_artifact_payload_path(f.binary); });
}
BENCHMARK(BM_UnidicLoadSampleBinary)->Unit(benchmark::kMillisecond);

void BM_UnidicLoadSampleIndexed(benchmark::State& state) {
  run_load(state, sample(), &Forms::indexed_bytes, [](const Forms& f) { return load_indexed(f.indexed); });
}
BENCHMARK(BM_UnidicLoadSampleIndexed)->Unit(benchmark::kMillisecond);

// Opening and validating the whole dictionary (663,935 surfaces).
void BM_UnidicLoadFullIndexed(benchmark::State& state) {
  run_load(state, full(), &Forms::indexed_bytes, [](const Forms& f) { return load_indexed(f.indexed); });
}
BENCHMARK(BM_UnidicLoadFullIndexed)->Unit(benchmark::kMillisecond);

void BM_UnidicLoadFullBinary(benchmark::State& state) {
  run_load(state, full(), &Forms::binary_bytes,
           [](const Forms& f) { return *UnidicReadingIndex::from_binary_artifact_payload_path(f.binary); });
}
BENCHMARK(BM_UnidicLoadFullBinary)->Unit(benchmark::kMillisecond);

// Lookups of every sample surface in turn, each also with one character
// appended (a miss); state.range(0) selects the indexed form.
void BM_UnidicLookup(benchmark::State& state) {
  const auto& forms = sample();
  if (!forms) {
    state.SkipWithError("shared/data/unidic not found");
    return;
  }
  const UnidicReadingIndex index = state.range(0) != 0
                                       ? load_indexed(forms->indexed)
                                       : *UnidicReadingIndex::from_binary_artifact_payload_path(forms->binary);
  std::vector<std::string> probes;
  for (const auto& s : forms->surfaces) {
    probes.push_back(s);
    probes.push_back(s + "の");
  }
  std::size_t i = 0;
  for (auto _ : state) {
    auto found = index.try_readings(probes[i]);
    benchmark::DoNotOptimize(found);
    if (++i == probes.size()) i = 0;
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()));
  state.SetLabel(state.range(0) != 0 ? "indexed" : "map");
}
BENCHMARK(BM_UnidicLookup)->Arg(0)->Arg(1);

void BM_UnidicChecksumSample(benchmark::State& state) {
  const auto& forms = sample();
  if (!forms) {
    state.SkipWithError("shared/data/unidic not found");
    return;
  }
  const UnidicReadingIndex index = state.range(0) != 0
                                       ? load_indexed(forms->indexed)
                                       : *UnidicReadingIndex::from_binary_artifact_payload_path(forms->binary);
  for (auto _ : state) {
    auto checksum = index.artifact_payload_checksum_for_algorithm("sha256-canonical-v1");
    benchmark::DoNotOptimize(checksum);
  }
  state.SetLabel(state.range(0) != 0 ? "indexed" : "map");
}
BENCHMARK(BM_UnidicChecksumSample)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
