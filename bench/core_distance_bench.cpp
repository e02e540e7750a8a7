// Lattice and string distances at the sizes the module meets: names and
// lyric lines of 8 to 128 characters, romaji lattices of 20 to 200 nodes.
// Inputs are generated from fixed seeds, so runs are comparable.
#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <vector>

#include "core/compact_lattice.hpp"
#include "core/lattice_distance.hpp"
#include "core/string_distance.hpp"

namespace orvel {
namespace {

// Syllables with their alternative romanisations, as the romaji front end
// produces them.
const std::vector<std::vector<std::u32string>> kSyllables = {
    {U"ka"}, {U"shi", U"si"}, {U"tsu", U"tu"}, {U"n", U"nn"}, {U"ji", U"zi", U"di"}, {U"ra"}, {U"ko"},
    {U"chi", U"ti"}, {U"fu", U"hu"}, {U"o", U"wo"}, {U"kyo"}, {U"e", U"he"}, {U"ma"}, {U"ri"}, {U"to"},
    {U"sha", U"sya"}, {U"nu"}, {U"a"}, {U"ha", U"wa"}, {U"yu"},
};

// A romaji-like text of about `chars` characters with a realistic spread of
// letters, and a near copy of it (a few edits), for string distances.
std::pair<std::u32string, std::u32string> string_pair(std::size_t chars, std::uint64_t seed) {
  std::mt19937_64 rng(seed);
  std::u32string a;
  while (a.size() < chars) a += kSyllables[rng() % kSyllables.size()][0];
  a.resize(chars);
  std::u32string b = a;
  for (std::size_t e = 0; e < 1 + chars / 8; ++e) {
    const std::size_t at = rng() % b.size();
    switch (rng() % 3) {
      case 0: b[at] = U'a' + rng() % 26; break;
      case 1: b.erase(at, 1); break;
      default: b.insert(b.begin() + at, U'a' + rng() % 26); break;
    }
  }
  return {a, b};
}

// A segment lattice: one boundary node per syllable, each alternative a
// chain between two boundaries, until about `nodes` nodes exist.
Lattice romaji_lattice(std::size_t nodes, std::uint64_t seed) {
  std::mt19937_64 rng(seed);
  std::vector<Arc> arcs;
  std::uint64_t boundary = 0;
  std::uint64_t next = 1;
  std::vector<std::vector<std::u32string>> segments;
  while (next < nodes) {
    const auto& choices = kSyllables[rng() % kSyllables.size()];
    segments.push_back(choices);
    std::uint64_t interior = 0;
    for (const auto& c : choices) interior += c.size() - 1;
    next += interior + 1;
  }
  // Number boundaries after their interiors so every arc ascends: interior
  // nodes of a segment come before the boundary that closes it.
  next = 1;
  for (const auto& choices : segments) {
    std::uint64_t interior = 0;
    for (const auto& c : choices) interior += c.size() - 1;
    const std::uint64_t close = next + interior;
    for (const auto& c : choices) {
      std::uint64_t from = boundary;
      for (std::size_t i = 0; i < c.size(); ++i) {
        const std::uint64_t to = i + 1 == c.size() ? close : next++;
        arcs.push_back(Arc{from, to, static_cast<std::uint32_t>(c[i])});
        from = to;
      }
    }
    boundary = close;
    next = close + 1;
  }
  return *Lattice::from_edges(boundary + 1, 0, boundary, std::move(arcs));
}

// The pair of string_pair as UTF-8, in romaji (range(1) 0) or with every
// letter as a kana of three bytes (range(1) 1), for the text forms that
// decode their UTF-8 arguments.
std::pair<std::string, std::string> text_pair(std::size_t chars, bool kana, std::uint64_t seed = 1) {
  const auto [a, b] = string_pair(chars, seed);
  auto utf8 = [kana](const std::u32string& s) {
    std::string out;
    for (const char32_t c : s) {
      if (!kana) {
        out += static_cast<char>(c);
        continue;
      }
      const char32_t k = U'\u3041' + (c - U'a');
      out += static_cast<char>(0xE0 | (k >> 12));
      out += static_cast<char>(0x80 | ((k >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (k & 0x3F));
    }
    return out;
  };
  return {utf8(a), utf8(b)};
}

void BM_TextLevenshtein(benchmark::State& state) {
  const auto [a, b] = text_pair(state.range(0), state.range(1) == 1);
  for (auto _ : state) benchmark::DoNotOptimize(levenshtein_str(a, b));
}
BENCHMARK(BM_TextLevenshtein)->ArgsProduct({{8, 32, 128}, {0, 1}});

void BM_StringLevenshtein(benchmark::State& state) {
  const auto [a, b] = string_pair(state.range(0), 1);
  StringDistanceWorkspace ws;
  for (auto _ : state) benchmark::DoNotOptimize(ws.levenshtein(a, b));
}
BENCHMARK(BM_StringLevenshtein)->Arg(8)->Arg(32)->Arg(128);

void BM_StringLevenshteinCutoff2(benchmark::State& state) {
  const auto [a, b] = string_pair(state.range(0), 1);
  StringDistanceWorkspace ws;
  for (auto _ : state) benchmark::DoNotOptimize(ws.levenshtein_with_cutoff(a, b, 2));
}
BENCHMARK(BM_StringLevenshteinCutoff2)->Arg(8)->Arg(32)->Arg(128);

void BM_StringDamerau(benchmark::State& state) {
  const auto [a, b] = string_pair(state.range(0), 1);
  StringDistanceWorkspace ws;
  for (auto _ : state) benchmark::DoNotOptimize(ws.damerau_levenshtein(a, b));
}
BENCHMARK(BM_StringDamerau)->Arg(8)->Arg(32)->Arg(128);

void BM_StringDamerauCutoff2(benchmark::State& state) {
  const auto [a, b] = string_pair(state.range(0), 1);
  StringDistanceWorkspace ws;
  for (auto _ : state) benchmark::DoNotOptimize(ws.damerau_levenshtein_with_cutoff(a, b, 2));
}
BENCHMARK(BM_StringDamerauCutoff2)->Arg(8)->Arg(32)->Arg(128);

// Bounded forms on long texts: a near copy (three substitutions spread over
// the text, so the middle after trimming stays long) and two texts that
// part at once. range(0): characters; range(1): 1 for the Damerau form.
std::pair<std::u32string, std::u32string> long_pair(std::size_t chars, bool unrelated) {
  std::mt19937_64 rng(7);
  std::u32string a(chars, U'a');
  if (unrelated) return {a, std::u32string(chars, U'b')};
  for (auto& ch : a) ch = U'a' + rng() % 26;
  std::u32string b = a;
  for (const std::size_t at : {chars / 10, chars / 2, chars - chars / 10}) b[at] = U'A';
  return {a, b};
}

void BM_StringLongCutoff3NearCopy(benchmark::State& state) {
  const auto [a, b] = long_pair(state.range(0), false);
  StringDistanceWorkspace ws;
  for (auto _ : state) {
    benchmark::DoNotOptimize(state.range(1) == 1 ? ws.damerau_levenshtein_with_cutoff(a, b, 3)
                                                 : ws.levenshtein_with_cutoff(a, b, 3));
  }
}
BENCHMARK(BM_StringLongCutoff3NearCopy)->ArgsProduct({{10'000, 100'000}, {0, 1}})->Unit(benchmark::kMicrosecond);

void BM_StringLongCutoff3Unrelated(benchmark::State& state) {
  const auto [a, b] = long_pair(state.range(0), true);
  StringDistanceWorkspace ws;
  for (auto _ : state) {
    benchmark::DoNotOptimize(state.range(1) == 1 ? ws.damerau_levenshtein_with_cutoff(a, b, 3)
                                                 : ws.levenshtein_with_cutoff(a, b, 3));
  }
}
BENCHMARK(BM_StringLongCutoff3Unrelated)->ArgsProduct({{100'000}, {0, 1}})->Unit(benchmark::kMicrosecond);

// Lattice pairs of similar size from different seeds (unrelated texts).
void BM_LatticeDistance(benchmark::State& state) {
  const Lattice left = romaji_lattice(state.range(0), 1), right = romaji_lattice(state.range(0), 2);
  DistanceWorkspace ws;
  for (auto _ : state) benchmark::DoNotOptimize(ws.try_distance(left, right));
  state.counters["cells"] = static_cast<double>(left.node_count() * right.node_count());
}
BENCHMARK(BM_LatticeDistance)->Arg(20)->Arg(50)->Arg(100)->Arg(200);

void BM_LatticeDamerauDistance(benchmark::State& state) {
  const Lattice left = romaji_lattice(state.range(0), 1), right = romaji_lattice(state.range(0), 2);
  DistanceWorkspace ws;
  for (auto _ : state) benchmark::DoNotOptimize(ws.try_damerau_distance(left, right));
}
BENCHMARK(BM_LatticeDamerauDistance)->Arg(20)->Arg(50)->Arg(100)->Arg(200);

// Cutoff forms: {nodes, cutoff}; unrelated texts, so the search gives up.
void BM_LatticeDistanceCutoff(benchmark::State& state) {
  const Lattice left = romaji_lattice(state.range(0), 1), right = romaji_lattice(state.range(0), 2);
  DistanceWorkspace ws;
  for (auto _ : state) benchmark::DoNotOptimize(ws.try_distance_with_cutoff(left, right, state.range(1)));
}
BENCHMARK(BM_LatticeDistanceCutoff)->ArgsProduct({{20, 50, 100, 200}, {2, 8}});

void BM_LatticeDamerauDistanceCutoff(benchmark::State& state) {
  const Lattice left = romaji_lattice(state.range(0), 1), right = romaji_lattice(state.range(0), 2);
  DistanceWorkspace ws;
  for (auto _ : state) benchmark::DoNotOptimize(ws.try_damerau_distance_with_cutoff(left, right, state.range(1)));
}
BENCHMARK(BM_LatticeDamerauDistanceCutoff)->ArgsProduct({{20, 50, 100, 200}, {2, 8}});

// A lattice against itself: distance 0, the search runs straight down the
// diagonal.
void BM_LatticeWithinSelf(benchmark::State& state) {
  const Lattice left = romaji_lattice(state.range(0), 1);
  DistanceWorkspace ws;
  for (auto _ : state) benchmark::DoNotOptimize(ws.try_within_distance(left, left, 2));
}
BENCHMARK(BM_LatticeWithinSelf)->Arg(20)->Arg(200);

void BM_CompactLattice(benchmark::State& state) {
  std::mt19937_64 rng(5);
  std::vector<SymbolPath> paths(state.range(0));
  for (auto& p : paths) {
    for (int s = 0; s < 6; ++s) {
      const auto& choices = kSyllables[rng() % 6];
      const auto& c = choices[rng() % choices.size()];
      p.insert(p.end(), c.begin(), c.end());
    }
  }
  for (auto _ : state) benchmark::DoNotOptimize(Lattice::try_from_symbol_paths_compact(paths));
}
BENCHMARK(BM_CompactLattice)->Arg(16)->Arg(256);

// The chain lattice of 16 UTF-8 paths (romaji, or kana with range(1) 1).
void BM_TextPathLattice(benchmark::State& state) {
  std::vector<std::string> paths;
  for (std::uint64_t seed = 0; seed < 16; ++seed) {
    paths.push_back(text_pair(state.range(0), state.range(1) == 1, seed).first);
  }
  for (auto _ : state) benchmark::DoNotOptimize(Lattice::try_from_paths(paths));
}
BENCHMARK(BM_TextPathLattice)->ArgsProduct({{8, 64}, {0, 1}});

}  // namespace
}  // namespace orvel
