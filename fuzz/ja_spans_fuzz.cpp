// The span reader of the Japanese best-span searches against each span read
// as a text of its own, with the small test index: spans of one end share a
// segmentation search and a grouping of their links, and what a span gets
// from them must be what it gets alone. The reduced form gives the same
// error, or a lattice of the same strings, node count and arc count; the
// built form the same error or the same strings.
//
// Input: an options byte (fuzz::options_from_byte), an order byte, then the
// text (at most 16 characters are read). Order bits: 0-3 the span width
// (0: every width), 4 spans in a shuffled order instead of the searches'
// (ends ascending, starts descending).
#include <cstddef>
#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "front_support.hpp"
#include "ja_index.hpp"
#include "ja/query.hpp"
#include "ja/romaji_lattice_reduction.hpp"
#include "ja/segmentation.hpp"
#include "ja/unidic_reading_index.hpp"
#include "text/utf8.hpp"

namespace {

using Reading = std::expected<orvel::ReadingLattice, orvel::ja::JaLatticeError>;

// A reading's outcome: its error, or its strings (when few), with the
// lattice's size when `shape` is asked for.
std::string outcome(const Reading& read, bool shape) {
  if (!read) return "error: " + read.error().message();
  std::string out = read->also_empty ? "also empty;" : "";
  if (shape) {
    out += std::to_string(read->lattice.node_count()) + " nodes " + std::to_string(read->lattice.arcs().size()) +
           " arcs;";
  }
  if (orvel::fuzz::path_count(read->lattice, 4097) > 4096) return out + " many paths";
  std::set<std::string> spelt;
  orvel::fuzz::spelt_strings(read->lattice, spelt);
  for (const std::string& s : spelt) out += " " + s;
  return out;
}

// Whether two readings hold the same strings. A lattice as built (or merged)
// can spell one string along many paths: past the listing's reach, the
// strings are told by the minimal automaton (its size depends only on them,
// and it spells each string once).
bool same_strings(const Reading& a, const Reading& b) {
  const std::string listed_a = outcome(a, false);
  const std::string listed_b = outcome(b, false);
  if (listed_a == listed_b || !a || !b || a->also_empty != b->also_empty) return listed_a == listed_b;
  const std::optional<orvel::Lattice> minimal_a = orvel::ja::detail::minimal_automaton_lattice(a->lattice);
  const std::optional<orvel::Lattice> minimal_b = orvel::ja::detail::minimal_automaton_lattice(b->lattice);
  if (!minimal_a || !minimal_b) return false;
  const auto as_reading = [](const orvel::Lattice& lattice) { return Reading(orvel::ReadingLattice{lattice}); };
  return outcome(as_reading(*minimal_a), true) == outcome(as_reading(*minimal_b), true);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const orvel::ja::UnidicReadingIndex& index = orvel::fuzz::small_ja_index();
  orvel::fuzz::Bytes in(data, size);
  const orvel::DictionaryOptions options = orvel::fuzz::options_from_byte(in.byte());
  const std::uint8_t order = in.byte();
  std::string_view text = in.rest();
  // Texts come as valid UTF-8 (from Python strings); cut to 16 characters.
  if (!orvel::text::validate_utf8(text)) return 0;
  std::vector<std::size_t> boundaries = orvel::ja::char_boundaries(text);
  if (boundaries.size() > 17) {
    text = text.substr(0, boundaries[16]);
    boundaries.resize(17);
    boundaries.back() = text.size();
  }
  const std::size_t n = boundaries.size() - 1;
  const std::uint64_t width = (order & 0x0Fu) == 0 ? n : (order & 0x0Fu);

  const auto spans = orvel::fuzz::spans_in_order(n, width, (order & 0x10u) != 0, static_cast<std::uint32_t>(size));
  orvel::ja::SpanRomajiReader reduced(index, text, options, width);
  orvel::ja::SpanRomajiReader built(index, text, options, width, orvel::ja::SpanLatticeForm::Built);
  for (const auto& [start, end] : spans) {
    const std::string_view span = text.substr(boundaries[start], boundaries[end] - boundaries[start]);
    const auto alone = orvel::ja::unidic_or_direct_romaji_lattice(span, index, options);
    ORVEL_FUZZ_CHECK(outcome(reduced.read(start, end), true) == outcome(alone, true));
    ORVEL_FUZZ_CHECK(same_strings(built.read(start, end), alone));
  }
  return 0;
}
