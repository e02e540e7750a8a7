// The lattice distances (exact, cutoff, threshold; Levenshtein and
// restricted Damerau) against the plain pull programme, on two small
// lattices decoded from the input.
//
// Input: a mode byte, then per lattice a node count, the endpoints, an arc
// count and per arc its source, destination and symbol bytes. Mode bits:
//   0-1  alphabet size - 1 (equal symbols are frequent with few letters)
//   2    raw arcs: endpoints taken as given, so Lattice::from_edges must
//        refuse the bad ones; otherwise every arc runs forward inside
//   3    free start and end nodes (unreachable ends, nodes outside the
//        start..end rectangle); otherwise start 0 and end node_count - 1
//   4    the oversized pair instead: 4,001 x 4,000 nodes, refused by all six
#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <vector>

#include "core/lattice_distance.hpp"
#include "fuzz_support.hpp"

namespace {

using orvel::Arc;
using orvel::Lattice;
using orvel::fuzz::kUnreached;

std::optional<Lattice> decode_lattice(orvel::fuzz::Bytes& in, std::uint8_t mode) {
  const unsigned letters = 1u + (mode & 3u);
  const bool raw = (mode & 4u) != 0;
  const bool free_ends = (mode & 8u) != 0;
  const std::uint64_t n = 1 + in.byte() % 12;
  std::uint64_t start = 0, end = n - 1;
  if (free_ends) {
    start = in.byte() % (n + 1);  // n itself is outside: refused
    end = in.byte() % (n + 1);
  }
  const unsigned arc_count = in.byte() % 32;
  std::vector<Arc> arcs;
  for (unsigned i = 0; i < arc_count && !in.empty(); ++i) {
    std::uint64_t src = in.byte();
    std::uint64_t dst = in.byte();
    const std::uint32_t symbol = 'a' + in.byte() % letters;
    if (raw) {
      src %= n + 2;
      dst %= n + 2;
    } else {
      if (n < 2) break;
      src %= n - 1;
      dst = src + 1 + dst % (n - 1 - src);
    }
    arcs.push_back(Arc{src, dst, symbol});
  }
  auto lattice = Lattice::from_edges(n, start, end, std::move(arcs));
  if (!lattice) {
    ORVEL_FUZZ_CHECK(raw || free_ends);
    (void)lattice.error().message();
    return std::nullopt;
  }
  return std::move(*lattice);
}

std::optional<std::uint64_t> within(std::uint64_t d, std::uint64_t k) {
  return d <= k ? std::optional<std::uint64_t>(d) : std::nullopt;
}

void check_oversized() {
  // Built once: the refusal, not the building, is what each run checks.
  static const auto left = Lattice::from_edges(4001, 0, 4000, {});
  static const auto right = Lattice::from_edges(4000, 0, 3999, {});
  ORVEL_FUZZ_CHECK(left && right);
  const orvel::DistanceError expected{orvel::DistanceError::Kind::TooManyCells, 4001, 4000, 16'000'000};
  static orvel::DistanceWorkspace ws;
  ORVEL_FUZZ_CHECK(ws.try_distance(*left, *right).error() == expected);
  ORVEL_FUZZ_CHECK(ws.try_damerau_distance(*left, *right).error() == expected);
  ORVEL_FUZZ_CHECK(ws.try_distance_with_cutoff(*left, *right, 0).error() == expected);
  ORVEL_FUZZ_CHECK(ws.try_damerau_distance_with_cutoff(*left, *right, 0).error() == expected);
  ORVEL_FUZZ_CHECK(orvel::try_within_distance(*left, *right, 0).error() == expected);
  ORVEL_FUZZ_CHECK(orvel::try_within_damerau_distance(*left, *right, 0).error() == expected);
}

void check_model(orvel::DistanceWorkspace& ws, const Lattice& left, const Lattice& right, bool damerau) {
  const std::uint64_t d = orvel::fuzz::plain_lattice_distance(left, right, damerau);
  auto exact = damerau ? ws.try_damerau_distance(left, right) : ws.try_distance(left, right);
  ORVEL_FUZZ_CHECK(exact && *exact == d);
  auto mirrored = damerau ? ws.try_damerau_distance(right, left) : ws.try_distance(right, left);
  ORVEL_FUZZ_CHECK(mirrored && *mirrored == d);

  // Every cutoff up to past the distance (or past any reachable cost when
  // the end is unreachable), and the values around UNREACHED_COST.
  const std::uint64_t top = d == kUnreached ? left.node_count() + right.node_count() + 1 : d + 1;
  std::vector<std::uint64_t> ks;
  for (std::uint64_t k = 0; k <= top; ++k) ks.push_back(k);
  for (const std::uint64_t k : {kUnreached - 1, kUnreached, kUnreached + 1, std::numeric_limits<std::uint64_t>::max()}) {
    ks.push_back(k);
  }
  for (const std::uint64_t k : ks) {
    auto cut = damerau ? ws.try_damerau_distance_with_cutoff(left, right, k)
                       : ws.try_distance_with_cutoff(left, right, k);
    ORVEL_FUZZ_CHECK(cut && *cut == within(d, k));
    auto test = damerau ? ws.try_within_damerau_distance(left, right, k) : ws.try_within_distance(left, right, k);
    ORVEL_FUZZ_CHECK(test && *test == (d != kUnreached && d <= k));
  }
  auto free_test = damerau ? orvel::try_within_damerau_distance(left, right, d == kUnreached ? 0 : d)
                           : orvel::try_within_distance(left, right, d == kUnreached ? 0 : d);
  ORVEL_FUZZ_CHECK(free_test && *free_test == (d != kUnreached));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  orvel::fuzz::Bytes in(data, size);
  const std::uint8_t mode = in.byte();
  if ((mode & 16u) != 0) {
    check_oversized();
    return 0;
  }
  auto left = decode_lattice(in, mode);
  auto right = decode_lattice(in, mode);
  if (!left || !right) return 0;
  // One workspace for every run: nothing an earlier pair left may matter.
  static orvel::DistanceWorkspace ws;
  check_model(ws, *left, *right, false);
  check_model(ws, *left, *right, true);
  return 0;
}
