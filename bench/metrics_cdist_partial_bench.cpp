// Query-by-choice matrices and best-span searches at the sizes callers use:
// 100 x 100 name-like strings, and a short query searched in a long lyric
// text. Inputs come from fixed seeds, so runs are comparable.
#include <benchmark/benchmark.h>

#include <limits>
#include <random>
#include <string>
#include <vector>

#include "metrics/cdist_reading_matrices.hpp"
#include "metrics/cdist_string_matrices.hpp"
#include "metrics/partial_alignment.hpp"
#include "metrics/partial_dictionary.hpp"

namespace orvel {
namespace {

const std::vector<std::string> kSyllables = {"ka", "shi", "tsu", "n",  "ji", "ra", "ko", "chi", "fu", "o",
                                             "kyo", "e",  "ma",  "ri", "to", "sha", "nu", "a",  "ha", "yu"};

std::string romaji_text(std::mt19937_64& rng, std::size_t chars) {
  std::string t;
  while (t.size() < chars) t += kSyllables[rng() % kSyllables.size()];
  t.resize(chars);
  return t;
}

// Texts of 6 to 24 characters.
std::vector<std::string> names(std::size_t count, std::uint64_t seed) {
  std::mt19937_64 rng(seed);
  std::vector<std::string> out;
  for (std::size_t i = 0; i < count; ++i) out.push_back(romaji_text(rng, 6 + rng() % 19));
  return out;
}

void BM_CdistStringDistance100x100(benchmark::State& state) {
  const auto queries = names(100, 1);
  const auto choices = names(100, 2);
  const DistanceCutoff cutoff = state.range(0) < 0 ? DistanceCutoff{} : DistanceCutoff(state.range(0));
  for (auto _ : state) benchmark::DoNotOptimize(cdist_string_distance_matrix(queries, choices, cutoff));
  state.SetItemsProcessed(state.iterations() * 100 * 100);
}
BENCHMARK(BM_CdistStringDistance100x100)->Arg(-1)->Arg(3);

void BM_CdistStringSimilarity100x100(benchmark::State& state) {
  const auto queries = names(100, 3);
  const auto choices = names(100, 4);
  for (auto _ : state) benchmark::DoNotOptimize(cdist_string_similarity_matrix(queries, choices, 0.6));
  state.SetItemsProcessed(state.iterations() * 100 * 100);
}
BENCHMARK(BM_CdistStringSimilarity100x100);

void BM_CdistLatticeDistance100x100(benchmark::State& state) {
  std::mt19937_64 rng(5);
  std::vector<Lattice> queries;
  std::vector<Lattice> choices;
  // Two romanisations per text, as the reading fronts give them.
  for (const auto& t : names(100, 6)) queries.push_back(Lattice::from_paths(ReadingPathSet{t, t + "u"}));
  for (const auto& t : names(100, 7)) choices.push_back(Lattice::from_paths(ReadingPathSet{t, "x" + t}));
  for (auto _ : state) benchmark::DoNotOptimize(cdist_distance_matrix(queries, choices, std::nullopt));
  state.SetItemsProcessed(state.iterations() * 100 * 100);
}
BENCHMARK(BM_CdistLatticeDistance100x100);

// A 6-character query in a text of range(0) characters, spans up to 12.
void BM_PartialRatioLongText(benchmark::State& state) {
  std::mt19937_64 rng(8);
  const std::string text = romaji_text(rng, static_cast<std::size_t>(state.range(0)));
  const std::string query = text.substr(text.size() / 2, 6);
  for (auto _ : state) benchmark::DoNotOptimize(partial_ratio_alignment(query, text, 12, std::nullopt));
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_PartialRatioLongText)->Arg(2000)->Arg(20000);

void BM_PartialDistanceLongText(benchmark::State& state) {
  std::mt19937_64 rng(9);
  const std::string text = romaji_text(rng, static_cast<std::size_t>(state.range(0)));
  const std::string query = text.substr(text.size() / 3, 6);
  for (auto _ : state) benchmark::DoNotOptimize(partial_distance_alignment(query, text, 12, std::nullopt));
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_PartialDistanceLongText)->Arg(2000)->Arg(20000);

// The dictionary search with an identity reader (each span reads as itself):
// the cost of the search machinery without a reading index.
void BM_DictionaryPartialRatioLongText(benchmark::State& state) {
  std::mt19937_64 rng(10);
  const std::string text = romaji_text(rng, static_cast<std::size_t>(state.range(0)));
  const std::string query = text.substr(text.size() / 2, 6);
  const ReadingPathSet query_paths = {query};
  const auto reader = [](std::string_view span) -> std::expected<std::optional<ReadingPathSet>, MetricError> {
    return std::optional<ReadingPathSet>(ReadingPathSet{std::string(span)});
  };
  for (auto _ : state) {
    benchmark::DoNotOptimize(dictionary_partial_ratio_alignment(query, text, 12, std::nullopt, query_paths, reader));
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_DictionaryPartialRatioLongText)->Arg(2000);

}  // namespace
}  // namespace orvel
