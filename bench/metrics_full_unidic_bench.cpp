// Every kind of dictionary method on ordinary Japanese sentences with the
// whole UniDic dictionary (663,935 surfaces), and the steps they are made
// of: the lattice front, the romaji reading set, the similarity kernel.
//
// The indexed payload is written once by `bash scripts/bench-data.sh` into
// a cache outside the repository; its path comes from ORVEL_UNIDIC_FULL
// (default: $HOME/.cache/orvel/unidic-full.indexed). Without it the
// benchmarks are skipped.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "core/dictionary_options.hpp"
#include "core/lattice_similarity.hpp"
#include "ja/query.hpp"
#include "ja/unidic_reading_index.hpp"
#include "metrics/dictionary_methods.hpp"

namespace orvel {
namespace {

const ja::UnidicReadingIndex* full_index() {
  static const std::optional<ja::UnidicReadingIndex> index = []() -> std::optional<ja::UnidicReadingIndex> {
    std::filesystem::path path;
    if (const char* configured = std::getenv("ORVEL_UNIDIC_FULL")) {
      path = configured;
    } else if (const char* home = std::getenv("HOME")) {
      path = std::filesystem::path(home) / ".cache/orvel/unidic-full.indexed";
    }
    if (path.empty() || !std::filesystem::exists(path)) return std::nullopt;
    auto bytes = ja::unidic::read_payload_file_bounded(path);
    if (!bytes) return std::nullopt;
    auto loaded = ja::UnidicReadingIndex::from_indexed_owned_bytes(std::move(*bytes));
    if (!loaded) return std::nullopt;
    return std::move(*loaded);
  }();
  return index ? &*index : nullptr;
}

// Sentence pairs of 5 to 30 characters, and two of about 60.
const std::vector<std::pair<std::string, std::string>> kPairs = {
    {"一二三四五", "漢字仮名交じり文"},
    {"私は東京に行きたい", "東京都の新聞社"},
    {"明日は雨が降るでしょう", "あしたはあめがふるでしょう"},
    {"東京駅から新幹線で大阪へ向かう", "東京駅から新幹"},
    {"はより実用的なプログラミング言語の開発を開始し", "ハヨリジツヨウテキナプログラミングゲンゴノカイハツヲカイシシ"},
    {"彼女は毎朝コーヒーを飲みながら新聞を読んでいます", "かのじょはまいあさこーひーをのみながらしんぶんをよんでいます"},
    {"日本の首都である東京には多くの人が住んでおり、毎日たくさんの電車が走っています。週末には観光客も訪れます。",
     "にほんのしゅとであるとうきょうにはおおくのひとがすんでおり、まいにちたくさんのでんしゃがはしっています。"},
};

const DictionaryOptions kDefaults;

// Runs `body(call, pairs[range(0)])`, skipping without the dictionary.
template <class Body>
void with_pair(benchmark::State& state, Body body,
               const std::vector<std::pair<std::string, std::string>>& pairs = kPairs) {
  const ja::UnidicReadingIndex* index = full_index();
  if (index == nullptr) {
    state.SkipWithError("whole UniDic indexed payload not found (bash scripts/bench-data.sh)");
    return;
  }
  const auto& pair = pairs.at(static_cast<std::size_t>(state.range(0)));
  const DictionaryCall<JapaneseFront> call{*index, kDefaults};
  for (auto _ : state) body(call, pair);
}

void PairArgs(benchmark::internal::Benchmark* b) {
  for (std::size_t i = 0; i < kPairs.size(); ++i) b->Arg(static_cast<std::int64_t>(i));
  b->Unit(benchmark::kMillisecond);
}

void BM_FullJaLatticeFront(benchmark::State& state) {
  with_pair(state, [](const auto& call, const auto& pair) {
    benchmark::DoNotOptimize(ja::unidic_or_direct_lattice(pair.first, call.index, call.options));
  });
}
BENCHMARK(BM_FullJaLatticeFront)->Apply(PairArgs);

void BM_FullJaReadingSet(benchmark::State& state) {
  with_pair(state, [](const auto& call, const auto& pair) {
    benchmark::DoNotOptimize(ja::unidic_or_direct_romaji_lattice(pair.first, call.index, call.options));
  });
}
BENCHMARK(BM_FullJaReadingSet)->Apply(PairArgs);

void BM_FullJaSimilarityKernel(benchmark::State& state) {
  const ja::UnidicReadingIndex* index = full_index();
  if (index == nullptr) {
    state.SkipWithError("whole UniDic indexed payload not found (bash scripts/bench-data.sh)");
    return;
  }
  const auto& pair = kPairs.at(static_cast<std::size_t>(state.range(0)));
  const auto left = ja::unidic_or_direct_romaji_lattice(pair.first, *index, kDefaults);
  const auto right = ja::unidic_or_direct_romaji_lattice(pair.second, *index, kDefaults);
  if (!left || !right) {
    state.SkipWithError((left ? right.error() : left.error()).message().c_str());
    return;
  }
  LatticeSimilarityWorkspace workspace;
  for (auto _ : state) benchmark::DoNotOptimize(workspace.best_normalized_similarity(*left, *right));
  state.counters["left_nodes"] = static_cast<double>(left->lattice.node_count());
  state.counters["right_nodes"] = static_cast<double>(right->lattice.node_count());
}
BENCHMARK(BM_FullJaSimilarityKernel)->Apply(PairArgs);

void BM_FullJaDistance(benchmark::State& state) {
  with_pair(state, [](const auto& call, const auto& pair) {
    benchmark::DoNotOptimize(dictionary_distance(call, pair.first, pair.second, std::nullopt));
  });
}
BENCHMARK(BM_FullJaDistance)->Apply(PairArgs);

void BM_FullJaNormalizedSimilarity(benchmark::State& state) {
  with_pair(state, [](const auto& call, const auto& pair) {
    benchmark::DoNotOptimize(dictionary_normalized_similarity(call, pair.first, pair.second, std::nullopt));
  });
}
BENCHMARK(BM_FullJaNormalizedSimilarity)->Apply(PairArgs);

void BM_FullJaCdistSimilarity1x1(benchmark::State& state) {
  with_pair(state, [](const auto& call, const auto& pair) {
    const std::vector<std::string> q{pair.first}, c{pair.second};
    benchmark::DoNotOptimize(dictionary_cdist_normalized_similarity(call, q, c, std::nullopt));
  });
}
BENCHMARK(BM_FullJaCdistSimilarity1x1)->Apply(PairArgs);

// The right text searched in the left one, automatic width.
void BM_FullJaPartialRatio(benchmark::State& state) {
  with_pair(state, [](const auto& call, const auto& pair) {
    benchmark::DoNotOptimize(dictionary_partial_ratio(call, pair.second.substr(0, 9), pair.first, 0, std::nullopt));
  });
}
BENCHMARK(BM_FullJaPartialRatio)->Apply(PairArgs);

void BM_FullJaPartialDistance(benchmark::State& state) {
  with_pair(state, [](const auto& call, const auto& pair) {
    benchmark::DoNotOptimize(
        dictionary_partial_distance(call, pair.second.substr(0, 9), pair.first, 0, std::nullopt));
  });
}
BENCHMARK(BM_FullJaPartialDistance)->Apply(PairArgs);

// The left sentence searched in the right one, both whole.
void BM_FullJaPartialRatioWhole(benchmark::State& state) {
  with_pair(state, [](const auto& call, const auto& pair) {
    benchmark::DoNotOptimize(dictionary_partial_ratio(call, pair.first, pair.second, 0, std::nullopt));
  });
}
BENCHMARK(BM_FullJaPartialRatioWhole)->Apply(PairArgs);

void BM_FullJaPartialDistanceWhole(benchmark::State& state) {
  with_pair(state, [](const auto& call, const auto& pair) {
    benchmark::DoNotOptimize(dictionary_partial_distance(call, pair.first, pair.second, 0, std::nullopt));
  });
}
BENCHMARK(BM_FullJaPartialDistanceWhole)->Apply(PairArgs);

// A sentence's query searched in the next pair's longer sentence, whose
// spans are read at every width up to the query's own.
void BM_FullJaPartialRatioAcross(benchmark::State& state) {
  const auto next = static_cast<std::size_t>(state.range(0)) + 1;
  with_pair(state, [next](const auto& call, const auto& pair) {
    benchmark::DoNotOptimize(dictionary_partial_ratio(call, pair.first, kPairs.at(next).first, 0, std::nullopt));
  });
}
BENCHMARK(BM_FullJaPartialRatioAcross)->DenseRange(0, 4)->Unit(benchmark::kMillisecond);

void BM_FullJaPartialDistanceAcross(benchmark::State& state) {
  const auto next = static_cast<std::size_t>(state.range(0)) + 1;
  with_pair(state, [next](const auto& call, const auto& pair) {
    benchmark::DoNotOptimize(dictionary_partial_distance(call, pair.first, kPairs.at(next).first, 0, std::nullopt));
  });
}
BENCHMARK(BM_FullJaPartialDistanceAcross)->DenseRange(0, 4)->Unit(benchmark::kMillisecond);

// Queries in texts of up to 30 characters: short queries in a sentence whose
// spans near the reading limits (many short spans, each with hundreds of
// dictionary paths); typed romaji before kanji (spans read with and without
// direct stretches); sentences found in two sentences joined.
const std::vector<std::pair<std::string, std::string>> kShortQueries = {
    {"一二三四", "週末には観光客も訪れますが、平日は静かな町です。駅前の商店街"},
    {"一二三四五六", "週末には観光客も訪れますが、平日は静かな町です。駅前の商店街"},
    {"東京駅から新幹", "週末には観光客も訪れますが、平日は静かな町です。駅前の商店街"},
    {"konnichiwa", "konnichiwa日日日日日日日日日日日日日日日日日日日日"},
    {"日日日日日日日日日日日日日日日日日日日日", "日日日日日日日日日日日日日日日日日日日日"},
    {"弟はまだ小学生なのに背が高い", "弟はまだ小学生なのに背が高いこの辺りは夜になると静かになる"},
    {"東京特許許可局長今日急遽休暇許可拒否", "すもももももももものうち東京特許許可局長今日急遽休暇許可拒否"},
    // Ends in an expansion limit met part way through the text.
    {"私の名前は田中です", "昨日の夜、友達と一緒に映画を見に行った私の名前は田中です"},
};

void BM_FullJaPartialRatioShortQuery(benchmark::State& state) {
  with_pair(
      state,
      [](const auto& call, const auto& pair) {
        benchmark::DoNotOptimize(dictionary_partial_ratio(call, pair.first, pair.second, 0, std::nullopt));
      },
      kShortQueries);
}
BENCHMARK(BM_FullJaPartialRatioShortQuery)->DenseRange(0, 7)->Unit(benchmark::kMillisecond);

void BM_FullJaPartialDistanceShortQuery(benchmark::State& state) {
  with_pair(
      state,
      [](const auto& call, const auto& pair) {
        benchmark::DoNotOptimize(dictionary_partial_distance(call, pair.first, pair.second, 0, std::nullopt));
      },
      kShortQueries);
}
BENCHMARK(BM_FullJaPartialDistanceShortQuery)->DenseRange(0, 7)->Unit(benchmark::kMillisecond);

// Ten sentences against ten.
void BM_FullJaCdistSimilarity10x10(benchmark::State& state) {
  const ja::UnidicReadingIndex* index = full_index();
  if (index == nullptr) {
    state.SkipWithError("whole UniDic indexed payload not found (bash scripts/bench-data.sh)");
    return;
  }
  std::vector<std::string> queries, choices;
  for (std::size_t i = 0; i < 5; ++i) {
    queries.push_back(kPairs[i].first);
    queries.push_back(kPairs[i].second);
    choices.push_back(kPairs[(i + 1) % 5].second);
    choices.push_back(kPairs[(i + 2) % 5].first);
  }
  const DictionaryCall<JapaneseFront> call{*index, kDefaults};
  for (auto _ : state) benchmark::DoNotOptimize(dictionary_cdist_normalized_similarity(call, queries, choices, std::nullopt));
}
BENCHMARK(BM_FullJaCdistSimilarity10x10)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace orvel
