// The lattice similarity kernel (nodes split by prefix length) against the
// plain pairwise loop over the strings each lattice spells, and the reading
// set of a string list against the loop over the list.
//
// The same sets scored together with others that end alike
// (best_similarities_sharing_endings) against the same loop, asked only for
// their zeros and least distances, and with a floor under which values need
// not be exact.
//
// Input: a mode byte, then per lattice a node count and an arc count and per
// arc its source, destination and symbol bytes (arcs always run forward;
// start 0 and end node_count - 1, or free endpoints with mode bit 2). Mode
// bits 0-1: alphabet size - 1. Lattices with more than 64 strings are
// left out (the reference lists them all).
#include <cstddef>
#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "core/lattice_similarity.hpp"
#include "core/string_distance.hpp"
#include "fuzz_support.hpp"
#include "text/utf8.hpp"

namespace {

using orvel::Arc;
using orvel::Lattice;

std::optional<Lattice> decode_lattice(orvel::fuzz::Bytes& in, std::uint8_t mode) {
  const unsigned letters = 1u + (mode & 3u);
  const bool free_ends = (mode & 4u) != 0;
  const std::uint64_t n = 1 + in.byte() % 16;
  std::uint64_t start = 0, end = n - 1;
  if (free_ends) {
    start = in.byte() % n;
    end = start + in.byte() % (n - start);
  }
  const unsigned arc_count = in.byte() % 40;
  std::vector<Arc> arcs;
  for (unsigned i = 0; i < arc_count && !in.empty() && n >= 2; ++i) {
    const std::uint64_t src = in.byte() % (n - 1);
    const std::uint64_t dst = src + 1 + in.byte() % (n - 1 - src);
    arcs.push_back(Arc{src, dst, static_cast<std::uint32_t>('a' + in.byte() % letters)});
  }
  auto lattice = Lattice::from_edges(n, start, end, std::move(arcs));
  ORVEL_FUZZ_CHECK(lattice.has_value());
  return std::move(*lattice);
}

ORVEL_FUZZ_REFERENCE double pairwise(const std::set<std::string>& left, const std::set<std::string>& right) {
  std::vector<std::u32string> ys;
  for (const std::string& b : right) ys.push_back(orvel::text::decode_utf8(b));
  double best = 0.0;
  for (const std::string& a : left) {
    const std::u32string x = orvel::text::decode_utf8(a);
    for (const std::u32string& y : ys) {
      best = std::max(best, orvel::normalized_similarity_from_distance(orvel::fuzz::plain_levenshtein(x, y),
                                                                       x.size(), y.size()));
    }
  }
  return best;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  orvel::fuzz::Bytes in(data, size);
  const std::uint8_t mode = in.byte();
  const auto left = decode_lattice(in, mode);
  const auto right = decode_lattice(in, mode);
  if (!left || !right) return 0;
  if (orvel::fuzz::path_count(*left, 65) > 64 || orvel::fuzz::path_count(*right, 65) > 64) return 0;
  std::set<std::string> a, b;
  orvel::fuzz::spelt_strings(*left, a);
  orvel::fuzz::spelt_strings(*right, b);
  const double expected = pairwise(a, b);

  static orvel::LatticeSimilarityWorkspace ws;
  ORVEL_FUZZ_CHECK(ws.best_normalized_similarity(*left, *right) == expected);
  ORVEL_FUZZ_CHECK(ws.best_normalized_similarity(*right, *left) == expected);

  // The same strings as lists, an empty string added to the left list when
  // mode bit 3 says so: the reading sets keep it aside.
  std::vector<std::string> list_a(a.begin(), a.end()), list_b(b.begin(), b.end());
  std::set<std::string> with_empty = a;
  if ((mode & 8u) != 0) {
    list_a.push_back("");
    with_empty.insert("");
  }
  const orvel::ReadingLattice set_a = orvel::reading_lattice_from_paths(list_a);
  const orvel::ReadingLattice set_b = orvel::reading_lattice_from_paths(list_b);
  ORVEL_FUZZ_CHECK(ws.best_normalized_similarity(set_a, set_b) == pairwise(with_empty, b));

  // Sets that end alike, scored together: the right strings, the left and
  // right strings with one tail added, and the right lattice itself; each
  // value and least distance against the pairwise loop.
  const std::string tail(1 + (mode >> 4) % 3, static_cast<char>('a' + (mode >> 6)));
  std::vector<std::string> tailed_a, tailed_b;
  for (const std::string& s : a) tailed_a.push_back(s + tail);
  for (const std::string& s : b) tailed_b.push_back(s + tail);
  std::vector<orvel::ReadingLattice> group;
  group.push_back(set_b);
  group.push_back(orvel::reading_lattice_from_paths(tailed_a));
  group.push_back(orvel::reading_lattice_from_paths(tailed_b));
  group.push_back(orvel::ReadingLattice{*right, false});
  std::vector<const orvel::ReadingLattice*> others;
  for (const auto& g : group) others.push_back(&g);
  std::vector<orvel::LatticeSimilarityWorkspace::SharedSimilarity> shared;
  static orvel::LatticeSimilarityWorkspace group_ws;
  group_ws.best_similarities_sharing_endings(set_a, others, shared);
  ORVEL_FUZZ_CHECK(shared.size() == group.size());
  // Asked only whether each value is 0.0: the same zeros and least
  // distances, and no value above the exact one.
  std::vector<orvel::LatticeSimilarityWorkspace::SharedSimilarity> zero_only;
  group_ws.best_similarities_sharing_endings(set_a, others, zero_only, false);
  ORVEL_FUZZ_CHECK(zero_only.size() == group.size());
  for (std::size_t i = 0; i < group.size(); ++i) {
    ORVEL_FUZZ_CHECK((zero_only[i].similarity == 0.0) == (shared[i].similarity == 0.0));
    ORVEL_FUZZ_CHECK(zero_only[i].similarity <= shared[i].similarity);
    ORVEL_FUZZ_CHECK(zero_only[i].least_distance == shared[i].least_distance);
  }
  // With a floor at each exact value in turn (ties must stay exact): exact
  // at or above it, never above the exact value below it.
  std::vector<orvel::LatticeSimilarityWorkspace::SharedSimilarity> floored;
  for (std::size_t f = 0; f < group.size(); ++f) {
    const double floor = shared[f].similarity;
    group_ws.best_similarities_sharing_endings(set_a, others, floored, true, floor);
    ORVEL_FUZZ_CHECK(floored.size() == group.size());
    for (std::size_t i = 0; i < group.size(); ++i) {
      if (shared[i].similarity >= floor) {
        ORVEL_FUZZ_CHECK(floored[i].similarity == shared[i].similarity);
      } else {
        ORVEL_FUZZ_CHECK(floored[i].similarity <= shared[i].similarity);
      }
      ORVEL_FUZZ_CHECK(floored[i].least_distance == shared[i].least_distance);
    }
  }
  const std::set<std::string> group_strings[] = {b, std::set<std::string>(tailed_a.begin(), tailed_a.end()),
                                                 std::set<std::string>(tailed_b.begin(), tailed_b.end()), b};
  std::vector<std::u32string> xs;
  for (const std::string& x : a) xs.push_back(orvel::text::decode_utf8(x));
  for (std::size_t i = 0; i < group.size(); ++i) {
    // Element 3 spells what element 0 does.
    if (i == 3) {
      ORVEL_FUZZ_CHECK(shared[3].similarity == shared[0].similarity);
      ORVEL_FUZZ_CHECK(shared[3].least_distance == shared[0].least_distance || b.count("") != 0);
      continue;
    }
    double best = (with_empty.count("") != 0 && group_strings[i].count("") != 0) ? 1.0 : 0.0;
    std::optional<std::uint64_t> least;
    for (const std::string& y8 : group_strings[i]) {
      const std::u32string y = orvel::text::decode_utf8(y8);
      for (const std::u32string& x : xs) {
        const std::uint64_t d = orvel::fuzz::plain_levenshtein(x, y);
        best = std::max(best, orvel::normalized_similarity_from_distance(d, x.size(), y.size()));
        if (!x.empty() && !y.empty() && (!least || d < *least)) least = d;
      }
    }
    ORVEL_FUZZ_CHECK(shared[i].similarity == best);
    if (shared[i].least_distance) ORVEL_FUZZ_CHECK(shared[i].least_distance == least);
  }
  ORVEL_FUZZ_CHECK(orvel::longest_string_length(*left) ==
                   [&] {
                     std::uint64_t longest = 0;
                     for (const std::string& s : a) longest = std::max<std::uint64_t>(longest, orvel::text::count_scalars(s));
                     return longest;
                   }());
  return 0;
}
