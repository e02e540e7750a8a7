// The free text matrices at the size of a typical batch: 1,000 x 1,000
// random lower-case words of 6 to 14 letters, on each vector build of the
// batch kernel. Inputs come from fixed seeds, so runs are comparable.
#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <vector>

#include "metrics/cdist_string_matrices.hpp"

namespace orvel {
namespace {

std::vector<std::string> words(std::size_t count, std::size_t shortest, std::size_t longest, std::uint64_t seed) {
  std::mt19937_64 rng(seed);
  std::vector<std::string> out(count);
  for (std::string& w : out) {
    w.resize(shortest + rng() % (longest - shortest + 1));
    for (char& ch : w) ch = static_cast<char>('a' + rng() % 26);
  }
  return out;
}

// range(0): BatchKernel; range(1): shortest word; range(2): 1 for the
// Damerau matrix.
void BM_CdistStringWords(benchmark::State& state) {
  const auto kernel = static_cast<BatchKernel>(state.range(0));
  if (!batch_kernel_available(kernel)) {
    state.SkipWithError("kernel not available on this processor");
    return;
  }
  const auto shortest = static_cast<std::size_t>(state.range(1));
  const auto queries = words(1000, shortest, 2 * shortest + 2, 1);
  const auto choices = words(1000, shortest, 2 * shortest + 2, 2);
  for (auto _ : state) {
    auto m = state.range(2) == 1 ? cdist_string_damerau_distance_matrix(queries, choices, std::nullopt, kernel)
                                 : cdist_string_distance_matrix(queries, choices, std::nullopt, kernel);
    benchmark::DoNotOptimize(m.row(0));
  }
  state.SetItemsProcessed(state.iterations() * 1'000'000);
}
BENCHMARK(BM_CdistStringWords)
    ->ArgsProduct({{static_cast<int>(BatchKernel::Portable), static_cast<int>(BatchKernel::Avx2)}, {3, 6, 14}, {0, 1}})
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace orvel
