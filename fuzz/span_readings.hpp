#pragma once
// Shared by the span reader targets: texts cut to their first characters,
// and the outcome of a reading (its error, or its strings) to compare a
// span as a reader gives it with the same span read alone.
#include <cstddef>
#include <expected>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/lattice_similarity.hpp"
#include "fuzz_support.hpp"
#include "ja/romaji_lattice_reduction.hpp"
#include "text/utf8.hpp"

namespace orvel::fuzz {

// A UTF-8 text cut to its first `chars` characters, with the boundaries of
// those characters (and the cut text's length last).
struct CutText {
  std::string_view text;
  std::vector<std::size_t> boundaries;
};
inline CutText first_chars(std::string_view text, std::size_t chars) {
  std::vector<std::size_t> boundaries = text::char_boundaries(text);
  if (boundaries.size() > chars + 1) {
    text = text.substr(0, boundaries[chars]);
    boundaries.resize(chars + 1);
    boundaries.back() = text.size();
  }
  return CutText{text, std::move(boundaries)};
}

// The node and arc counts of a reading's lattice; nothing for an error.
template <class Error>
std::string reading_shape(const std::expected<ReadingLattice, Error>& read) {
  if (!read) return {};
  return std::to_string(read->lattice.node_count()) + " nodes " + std::to_string(read->lattice.arcs().size()) + " arcs";
}

// A reading's error, or its strings (when its lattice spells few), with the
// lattice's node and arc counts when `shape` is asked for.
template <class Error>
std::string reading_outcome(const std::expected<ReadingLattice, Error>& read, bool shape) {
  if (!read) return "error: " + read.error().message();
  std::string out = read->also_empty ? "also empty;" : "";
  if (shape) out += reading_shape(read) + ";";
  if (path_count(read->lattice, 4097) > 4096) return out + " many paths";
  for (const std::string& s : sorted_spelt_strings(read->lattice)) out += " [" + s + "]";
  return out;
}

// Whether two readings give the same error or hold the same strings, with
// `listed_b` the outcome of `b` without its shape (listed once by callers
// that compare b more than once). A lattice as built can spell one string
// along many paths: past the listing's reach, the strings are told by the
// minimal automaton (its size depends only on them, and it spells each
// string once).
template <class Error>
bool same_reading_strings(const std::expected<ReadingLattice, Error>& a, const std::expected<ReadingLattice, Error>& b,
                          const std::string& listed_b) {
  const std::string listed_a = reading_outcome(a, false);
  if (listed_a == listed_b || !a || !b || a->also_empty != b->also_empty) return listed_a == listed_b;
  const std::optional<Lattice> minimal_a = ja::detail::minimal_automaton_lattice(a->lattice);
  const std::optional<Lattice> minimal_b = ja::detail::minimal_automaton_lattice(b->lattice);
  if (!minimal_a || !minimal_b) return false;
  using Reading = std::expected<ReadingLattice, Error>;
  return reading_outcome(Reading(ReadingLattice{*minimal_a}), true) ==
         reading_outcome(Reading(ReadingLattice{*minimal_b}), true);
}

template <class Error>
bool same_reading_strings(const std::expected<ReadingLattice, Error>& a, const std::expected<ReadingLattice, Error>& b) {
  return same_reading_strings(a, b, reading_outcome(b, false));
}

}  // namespace orvel::fuzz
