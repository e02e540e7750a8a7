// The span reader of the Chinese best-span searches against each span read
// as a text of its own, with the small test indexes: spans of one end share
// one path search of each kind, and their readings come on the lattices of
// the sets their paths form; what a span gets must be what it gets alone:
// the same error or the same strings.
//
// Input: a flags byte (bit 0: the no-tone index, else tone3), an options
// byte (fuzz::options_from_byte), an order byte, then the text (at most 16
// characters are read). Order bits: 0-3 the span width (0: every width), 4
// spans in a shuffled order instead of the searches' (ends ascending,
// starts descending).
#include <cstddef>
#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "front_support.hpp"
#include "zh_index.hpp"
#include "ja/romaji_lattice_reduction.hpp"
#include "text/utf8.hpp"
#include "zh/zh_query.hpp"

namespace {

using Reading = std::expected<orvel::ReadingLattice, orvel::zh::CnLatticeError>;

// A reading's error, or its strings, listed when its lattice spells few.
std::string outcome(const Reading& read) {
  if (!read) return "error: " + read.error().message();
  std::string out = read->also_empty ? "also empty;" : "";
  if (orvel::fuzz::path_count(read->lattice, 4097) > 4096) return out + " many paths";
  std::set<std::string> spelt;
  orvel::fuzz::spelt_strings(read->lattice, spelt);
  for (const std::string& s : spelt) out += " [" + s + "]";
  return out;
}

// Whether two readings hold the same strings. The path sets' lattice can
// spell one string along several paths: past the listing's reach, the
// strings are told by the minimal automaton (its size depends only on them).
bool same_readings(const Reading& a, const Reading& b) {
  const std::string listed_a = outcome(a);
  const std::string listed_b = outcome(b);
  if (listed_a == listed_b || !a || !b || a->also_empty != b->also_empty) return listed_a == listed_b;
  const std::optional<orvel::Lattice> minimal_a = orvel::ja::detail::minimal_automaton_lattice(a->lattice);
  const std::optional<orvel::Lattice> minimal_b = orvel::ja::detail::minimal_automaton_lattice(b->lattice);
  if (!minimal_a || !minimal_b) return false;
  const auto shape = [](const orvel::Lattice& l) { return std::pair(l.node_count(), l.arcs().size()); };
  return shape(*minimal_a) == shape(*minimal_b) &&
         outcome(Reading(orvel::ReadingLattice{*minimal_a})) == outcome(Reading(orvel::ReadingLattice{*minimal_b}));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  orvel::fuzz::Bytes in(data, size);
  const auto& index = orvel::fuzz::small_zh_index((in.byte() & 1u) != 0);
  const orvel::DictionaryOptions options = orvel::fuzz::options_from_byte(in.byte());
  const std::uint8_t order = in.byte();
  std::string_view text = in.rest();
  // The reader takes UTF-8 (texts come from Python strings); cut to 16
  // characters.
  if (!orvel::text::validate_utf8(text)) return 0;
  std::vector<std::size_t> boundaries;
  for (std::size_t pos = 0; pos < text.size() && boundaries.size() < 16; orvel::text::next_scalar(text, pos)) {
    boundaries.push_back(pos);
  }
  if (boundaries.size() == 16) {
    std::size_t pos = boundaries.back();
    orvel::text::next_scalar(text, pos);
    text = text.substr(0, pos);
  }
  boundaries.push_back(text.size());
  const std::size_t n = boundaries.size() - 1;
  const std::uint64_t width = (order & 0x0Fu) == 0 ? n : (order & 0x0Fu);

  const auto spans = orvel::fuzz::spans_in_order(n, width, (order & 0x10u) != 0, static_cast<std::uint32_t>(size));
  orvel::zh::SpanPinyinReader reader(index, text, options, width);
  for (const auto& [start, end] : spans) {
    const std::string_view span = text.substr(boundaries[start], boundaries[end] - boundaries[start]);
    ORVEL_FUZZ_CHECK(same_readings(reader.read(start, end), orvel::zh::zh_or_direct_pinyin_lattice(span, index, options)));
  }
  return 0;
}
