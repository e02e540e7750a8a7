// Dictionary matrices and span searches over the sample UniDic index, split
// into the reading of the texts and the scoring, so that the two costs can
// be told apart. Texts are drawn from fixed seeds over the index's surfaces
// and kana.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "core/dictionary_options.hpp"
#include "ja/query.hpp"
#include "ja/unidic_reading_index.hpp"
#include "metrics/cdist_reading_matrices.hpp"
#include "metrics/dictionary_methods.hpp"
#include "text/utf8.hpp"

namespace orvel {
namespace {

const ja::UnidicReadingIndex& sample_index() {
  static const ja::UnidicReadingIndex index = [] {
    const auto path = std::filesystem::path(__FILE__).parent_path() / "../tests/data/unidic/small.yaml";
    return *ja::UnidicReadingIndex::from_artifact_payload_path(path);
  }();
  return index;
}

const std::vector<std::string> kPieces = {"東京", "大阪", "日本", "京都", "学校", "先生", "電話", "天気",
                                          "田中", "佐藤", "の", "は", "に", "です", "かな", "カラオケ",
                                          "ねこ", "いぬ", "さくら", "やま"};

std::string japanese_text(std::mt19937_64& rng, std::size_t pieces) {
  std::string t;
  for (std::size_t i = 0; i < pieces; ++i) t += kPieces[rng() % kPieces.size()];
  return t;
}

std::vector<std::string> japanese_texts(std::size_t count, std::uint64_t seed) {
  std::mt19937_64 rng(seed);
  std::vector<std::string> out;
  for (std::size_t i = 0; i < count; ++i) out.push_back(japanese_text(rng, 1));
  return out;
}

const DictionaryOptions kDefaults;

void BM_JaLatticesOf200Texts(benchmark::State& state) {
  const auto texts = japanese_texts(200, 1);
  for (auto _ : state) benchmark::DoNotOptimize(dictionary_lattices(DictionaryCall<JapaneseFront>{sample_index(), kDefaults}, texts));
  state.SetItemsProcessed(state.iterations() * 200);
}
BENCHMARK(BM_JaLatticesOf200Texts);

void BM_JaReadingSetsOf200Texts(benchmark::State& state) {
  const auto texts = japanese_texts(200, 1);
  for (auto _ : state) benchmark::DoNotOptimize(dictionary_reading_sets(DictionaryCall<JapaneseFront>{sample_index(), kDefaults}, texts));
  state.SetItemsProcessed(state.iterations() * 200);
}
BENCHMARK(BM_JaReadingSetsOf200Texts);

// The scoring alone, on readings made once. A similarity cell compares every
// reading path of the query with every one of the choice, so its cost is the
// product of the two path counts (tens for one kanji word).
void BM_JaDistanceMatrix20x200(benchmark::State& state) {
  const auto queries = *dictionary_lattices(DictionaryCall<JapaneseFront>{sample_index(), kDefaults}, japanese_texts(20, 2));
  const auto choices = *dictionary_lattices(DictionaryCall<JapaneseFront>{sample_index(), kDefaults}, japanese_texts(200, 3));
  for (auto _ : state) benchmark::DoNotOptimize(cdist_distance_matrix(queries, choices, std::nullopt));
  state.SetItemsProcessed(state.iterations() * 20 * 200);
}
BENCHMARK(BM_JaDistanceMatrix20x200);

void BM_JaSimilarityMatrix20x200(benchmark::State& state) {
  const auto queries = *dictionary_reading_sets(DictionaryCall<JapaneseFront>{sample_index(), kDefaults}, japanese_texts(20, 2));
  const auto choices = *dictionary_reading_sets(DictionaryCall<JapaneseFront>{sample_index(), kDefaults}, japanese_texts(200, 3));
  for (auto _ : state) benchmark::DoNotOptimize(cdist_similarity_matrix(queries, choices, std::nullopt));
  state.SetItemsProcessed(state.iterations() * 20 * 200);
}
BENCHMARK(BM_JaSimilarityMatrix20x200);

// A 4-character query in a text of range(0) pieces (one to four characters
// each), automatic span width. Every span is read through the index, and a
// span's reading paths multiply with its pieces, so this grows quickly.
void BM_JaPartialRatio(benchmark::State& state) {
  std::mt19937_64 rng(4);
  const std::string text = japanese_text(rng, static_cast<std::size_t>(state.range(0)));
  const std::string query = "東京です";
  const DictionaryCall<JapaneseFront> call{sample_index(), kDefaults};
  for (auto _ : state) benchmark::DoNotOptimize(dictionary_partial_ratio(call, query, text, 0, std::nullopt));
}
BENCHMARK(BM_JaPartialRatio)->Arg(4)->Arg(8)->Unit(benchmark::kMillisecond);

// The larger sample index, where one span of a few kanji reads as tens of
// thousands of paths, so that the span search is dominated by the best
// path-set similarity: the 40,000-surface UniDic sample shipped in
// bundles/ja-unidic-sample, or the YAML payload that ORVEL_UNIDIC_SAMPLE names.
const ja::UnidicReadingIndex* large_sample_index() {
  static const std::optional<ja::UnidicReadingIndex> index = []() -> std::optional<ja::UnidicReadingIndex> {
    if (const char* configured = std::getenv("ORVEL_UNIDIC_SAMPLE")) {
      auto loaded = ja::UnidicReadingIndex::from_artifact_payload_path(configured);
      if (!loaded) return std::nullopt;
      return std::move(*loaded);
    }
    auto bytes = ja::unidic::read_payload_file_bounded(std::filesystem::path(ORVEL_SOURCE_DIR) / "bundles" /
                                                       "ja-unidic-sample" / "payload" / "readings.idx");
    if (!bytes) return std::nullopt;
    auto loaded = ja::UnidicReadingIndex::from_indexed_owned_bytes(std::move(*bytes));
    if (!loaded) return std::nullopt;
    return std::move(*loaded);
  }();
  return index ? &*index : nullptr;
}

// The first `chars` characters of a text drawn from the pieces.
std::string japanese_text_of_length(std::uint64_t seed, std::size_t chars) {
  std::mt19937_64 rng(seed);
  std::string t;
  while (text::count_scalars(t) < chars) t += kPieces[rng() % kPieces.size()];
  while (text::count_scalars(t) > chars) {
    t.pop_back();
    while (!t.empty() && (static_cast<unsigned char>(t.back()) & 0xC0) == 0x80) t.pop_back();
  }
  return t;
}

void BM_JaPartialRatioSampleIndex(benchmark::State& state) {
  const ja::UnidicReadingIndex* index = large_sample_index();
  if (index == nullptr) {
    state.SkipWithError("sample UniDic index not found");
    return;
  }
  const std::string text = japanese_text_of_length(4, static_cast<std::size_t>(state.range(0)));
  const std::string query = "東京です";
  const DictionaryCall<JapaneseFront> call{*index, kDefaults};
  for (auto _ : state) benchmark::DoNotOptimize(dictionary_partial_ratio(call, query, text, 0, std::nullopt));
}
BENCHMARK(BM_JaPartialRatioSampleIndex)->Arg(10)->Arg(25)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace
}  // namespace orvel
