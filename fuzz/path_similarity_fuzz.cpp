// The path-set similarity kernel (trie walk, packed patterns, subtree
// bounds) against the plain pairwise loop: the best normalized Levenshtein
// similarity over every pair of paths, 0.0 when a set is empty.
//
// Input: a mode byte (alphabet, see fuzz::Alphabet), then the paths, one
// symbol per byte, ended by 0xFE; 0xFF ends the left set. A byte 0xFD
// repeats the previous path 70 symbols long, so paths past one 64-bit
// pattern word are common; past the eighth such path 0xFD is a plain
// symbol, so that the pairwise loop stays cheap.
//
// The lattice similarity kernel, which the dictionary methods use, has its
// own target: lattice_similarity_fuzz.cpp.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/string_distance.hpp"
#include "fuzz_support.hpp"
#include "metrics/cdist_path_similarity.hpp"
#include "metrics/path_metrics.hpp"

namespace {

ORVEL_FUZZ_REFERENCE double pairwise(const std::vector<std::u32string>& left, const std::vector<std::u32string>& right) {
  double best = 0.0;
  for (const auto& a : left) {
    for (const auto& b : right) {
      const double s =
          orvel::normalized_similarity_from_distance(orvel::fuzz::plain_levenshtein(a, b), a.size(), b.size());
      if (s > best) best = s;
    }
  }
  return best;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  orvel::fuzz::Bytes in(data, size);
  const auto alphabet = orvel::fuzz::Alphabet::from_byte(in.byte());
  std::vector<std::u32string> sets[2];
  int side = 0;
  std::u32string path;
  bool open = false;
  int long_paths = 0;
  while (!in.empty() && side < 2) {
    const std::uint8_t b = in.byte();
    if (b == 0xFE || b == 0xFF) {
      sets[side].push_back(path);
      path.clear();
      open = false;
      if (b == 0xFF) ++side;
    } else if (b == 0xFD && long_paths < 8) {
      ++long_paths;
      const std::u32string seed = path.empty() ? std::u32string(1, alphabet.symbol(0)) : path;
      while (path.size() < 70) path += seed;
      open = true;
    } else {
      path.push_back(alphabet.symbol(b));
      open = true;
    }
  }
  if (open && side < 2) sets[side].push_back(path);

  std::vector<std::string> texts[2];
  for (int s = 0; s < 2; ++s) {
    for (const auto& p : sets[s]) texts[s].push_back(orvel::fuzz::utf8(p));
  }
  const double expected = pairwise(sets[0], sets[1]);

  static orvel::PathSimilarityWorkspace ws;
  const orvel::PreparedPathSet left(texts[0]);
  const orvel::PreparedPathSet right(texts[1]);
  ORVEL_FUZZ_CHECK(orvel::best_path_similarity(left, right, ws) == expected);
  ORVEL_FUZZ_CHECK(orvel::best_path_similarity(right, left, ws) == expected);
  // The plain front of the same score agrees too.
  ORVEL_FUZZ_CHECK(orvel::max_normalized_similarity(texts[0], texts[1]) == expected);
  return 0;
}
