// The bit-parallel string distances against the plain recurrences: the
// exact Levenshtein and restricted Damerau distances, both argument orders,
// every cutoff around the distance, and the UTF-8 text forms.
//
// Input: a mode byte (alphabet, see fuzz::Alphabet), then the two sequences
// split at the first 0xFF byte, one symbol per byte.
#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>

#include "core/string_distance.hpp"
#include "fuzz_support.hpp"

namespace {

using orvel::fuzz::plain_levenshtein;
using orvel::fuzz::plain_osa;

std::optional<std::uint64_t> within(std::uint64_t d, std::uint64_t k) {
  return d <= k ? std::optional<std::uint64_t>(d) : std::nullopt;
}

// Every cutoff from 0 to past the larger distance while that stays short;
// otherwise the ones at which an answer can change (0, the length gap, the
// distances and their neighbours) and a spread in between. The top values
// check that no bound overflows.
std::vector<std::uint64_t> cutoffs(std::uint64_t lev, std::uint64_t osa, std::uint64_t gap) {
  std::vector<std::uint64_t> out;
  const std::uint64_t top = std::max(lev, osa) + 1;
  if (top <= 96) {
    for (std::uint64_t k = 0; k <= top; ++k) out.push_back(k);
  } else {
    for (const std::uint64_t d : {lev, osa, gap}) {
      for (std::uint64_t k = d > 2 ? d - 2 : 0; k <= d + 2; ++k) out.push_back(k);
    }
    for (std::uint64_t k = 0; k < top; k += top / 16 + 1) out.push_back(k);
  }
  out.push_back(std::numeric_limits<std::uint64_t>::max() - 1);
  out.push_back(std::numeric_limits<std::uint64_t>::max());
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  orvel::fuzz::Bytes in(data, size);
  const auto alphabet = orvel::fuzz::Alphabet::from_byte(in.byte());
  std::u32string a, b;
  for (const char c : in.until(0xFF)) a.push_back(alphabet.symbol(static_cast<std::uint8_t>(c)));
  for (const char c : in.rest()) b.push_back(alphabet.symbol(static_cast<std::uint8_t>(c)));

  // One workspace for every run: nothing an earlier pair left may matter.
  static orvel::StringDistanceWorkspace ws;
  const std::uint64_t lev = plain_levenshtein(a, b);
  const std::uint64_t osa = plain_osa(a, b);
  ORVEL_FUZZ_CHECK(ws.levenshtein(a, b) == lev);
  ORVEL_FUZZ_CHECK(ws.levenshtein(b, a) == lev);
  ORVEL_FUZZ_CHECK(ws.damerau_levenshtein(a, b) == osa);
  ORVEL_FUZZ_CHECK(ws.damerau_levenshtein(b, a) == osa);

  const std::uint64_t gap = a.size() > b.size() ? a.size() - b.size() : b.size() - a.size();
  for (const std::uint64_t k : cutoffs(lev, osa, gap)) {
    ORVEL_FUZZ_CHECK(ws.levenshtein_with_cutoff(a, b, k) == within(lev, k));
    ORVEL_FUZZ_CHECK(ws.levenshtein_with_cutoff(b, a, k) == within(lev, k));
    ORVEL_FUZZ_CHECK(ws.damerau_levenshtein_with_cutoff(a, b, k) == within(osa, k));
    ORVEL_FUZZ_CHECK(ws.damerau_levenshtein_with_cutoff(b, a, k) == within(osa, k));
  }

  // The middles left by trimming keep the Levenshtein distance.
  const auto [ma, mb] = orvel::trim_common_affixes(a, b);
  ORVEL_FUZZ_CHECK(ma.size() <= a.size() && mb.size() <= b.size());
  ORVEL_FUZZ_CHECK(a.size() - ma.size() == b.size() - mb.size());
  ORVEL_FUZZ_CHECK(plain_levenshtein(ma, mb) == lev);

  // The text forms decode UTF-8 to the same scalars.
  const std::string ta = orvel::fuzz::utf8(a);
  const std::string tb = orvel::fuzz::utf8(b);
  ORVEL_FUZZ_CHECK(orvel::levenshtein_str(ta, tb) == lev);
  const auto damerau = orvel::try_damerau_levenshtein_str(ta, tb);
  ORVEL_FUZZ_CHECK(damerau && *damerau == osa);
  for (const std::uint64_t k : {std::uint64_t{0}, lev > 0 ? lev - 1 : 0, lev, osa}) {
    ORVEL_FUZZ_CHECK(orvel::levenshtein_str_with_cutoff(ta, tb, k) == within(lev, k));
    const auto cut = orvel::try_damerau_levenshtein_str_with_cutoff(ta, tb, k);
    ORVEL_FUZZ_CHECK(cut && *cut == within(osa, k));
  }

  const double similarity = orvel::normalized_similarity_from_distance(lev, a.size(), b.size());
  ORVEL_FUZZ_CHECK(similarity >= 0.0 && similarity <= 1.0);
  return 0;
}
