// fst map reader on a map of 1,000,000 keys shaped like dictionary surfaces
// (UTF-8 words, values increasing offsets): lookup and visit cost per key,
// and open (which must not depend on the map's size).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "io/fst_map.hpp"
#include "io/fst_map_builder.hpp"

namespace {

using Entries = std::vector<std::pair<std::string, std::uint64_t>>;

const Entries& entries() {
  static const Entries e = [] {
    std::mt19937_64 rng(20261210);
    // Syllables in Latin letters and in kana (3-byte UTF-8), 2-6 per word.
    const std::vector<std::string> syllables = {
        "ka", "ki", "ku", "ke", "ko", "sa", "shi", "su", "ta", "chi", "tsu", "na", "ni", "ha", "ma", "ya", "ra",
        "wa", "n",  "ga", "\xe3\x81\x8b", "\xe3\x81\x8d", "\xe3\x81\x8f", "\xe3\x81\x95", "\xe3\x81\x97",
        "\xe3\x81\x9f", "\xe3\x81\xaa", "\xe3\x81\xaf", "\xe3\x81\xbe", "\xe3\x82\x84", "\xe3\x82\x89",
        "\xe3\x82\x8f", "\xe3\x82\x93", "\xe6\x97\xa5", "\xe6\x9c\xac", "\xe8\xaa\x9e"};
    std::vector<std::string> words;
    words.reserve(1100000);
    while (words.size() < 1100000) {
      std::string w;
      const int n = 2 + static_cast<int>(rng() % 5);
      for (int i = 0; i < n; ++i) w += syllables[rng() % syllables.size()];
      words.push_back(std::move(w));
    }
    std::sort(words.begin(), words.end());
    words.erase(std::unique(words.begin(), words.end()), words.end());
    words.resize(std::min<std::size_t>(words.size(), 1000000));
    Entries out;
    out.reserve(words.size());
    std::uint64_t offset = 0;
    for (auto& w : words) {
      out.emplace_back(std::move(w), offset);
      offset += 8 + rng() % 40;
    }
    return out;
  }();
  return e;
}

const std::vector<std::uint8_t>& map_bytes() {
  static const std::vector<std::uint8_t> bytes = orvel::io::build_fst_map(entries()).value();
  return bytes;
}

const orvel::io::FstMap& map() {
  static const orvel::io::FstMap m = orvel::io::FstMap::open(map_bytes()).value();
  return m;
}

void BM_FstBuild(benchmark::State& state) {
  const Entries& e = entries();
  for (auto _ : state) benchmark::DoNotOptimize(orvel::io::build_fst_map(e));
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(e.size()));
  state.counters["map_bytes"] = static_cast<double>(map_bytes().size());
}
BENCHMARK(BM_FstBuild)->Unit(benchmark::kMillisecond);

void BM_FstOpen(benchmark::State& state) {
  const auto& bytes = map_bytes();
  for (auto _ : state) {
    auto m = orvel::io::FstMap::open(std::shared_ptr<const void>(), bytes);
    benchmark::DoNotOptimize(m);
  }
}
BENCHMARK(BM_FstOpen);

void BM_FstLookupHit(benchmark::State& state) {
  const Entries& e = entries();
  std::vector<std::size_t> order(e.size());
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
  std::shuffle(order.begin(), order.end(), std::mt19937_64(7));
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(map().get(e[order[i]].first));
    if (++i == order.size()) i = 0;
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_FstLookupHit);

void BM_FstLookupMiss(benchmark::State& state) {
  const Entries& e = entries();
  std::mt19937_64 rng(11);
  std::vector<std::string> probes;
  for (int i = 0; i < 100000; ++i) probes.push_back(e[rng() % e.size()].first + "zq");
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(map().get(probes[i]));
    if (++i == probes.size()) i = 0;
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_FstLookupMiss);

void BM_FstVisit(benchmark::State& state) {
  for (auto _ : state) {
    std::uint64_t sum = 0;
    auto ok = map().for_each([&](std::string_view key, std::uint64_t value) { sum += key.size() + value; });
    benchmark::DoNotOptimize(ok);
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(map().key_count()));
}
BENCHMARK(BM_FstVisit)->Unit(benchmark::kMillisecond);

}  // namespace
