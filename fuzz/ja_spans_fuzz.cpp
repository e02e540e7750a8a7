// The span reader of the Japanese best-span searches against each span read
// as a text of its own, with the small test index: spans of one end share a
// segmentation search and a grouping of their links, and what a span gets
// from them must be what it gets alone. The reduced form gives the same
// error, or a lattice of the same strings, node count and arc count; the
// built form the same error or the same strings.
//
// Input: an options byte (fuzz::options_from_byte), an order byte, then the
// text (at most 12 characters are read: up to 78 spans, each read three
// ways). Order bits: 0-3 the span width (0: every width), 4 spans in a
// shuffled order instead of the searches' (ends ascending, starts
// descending).
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "front_support.hpp"
#include "span_readings.hpp"
#include "ja_index.hpp"
#include "ja/query.hpp"
#include "ja/unidic_reading_index.hpp"
#include "text/utf8.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const orvel::ja::UnidicReadingIndex& index = orvel::fuzz::small_ja_index();
  orvel::fuzz::Bytes in(data, size);
  const orvel::DictionaryOptions options = orvel::fuzz::options_from_byte(in.byte());
  const std::uint8_t order = in.byte();
  // Texts come as valid UTF-8 (from Python strings); cut to 12 characters.
  const std::string_view input = in.rest();
  if (!orvel::text::validate_utf8(input)) return 0;
  const auto [text, boundaries] = orvel::fuzz::first_chars(input, 12);
  const std::size_t n = boundaries.size() - 1;
  const std::uint64_t width = (order & 0x0Fu) == 0 ? n : (order & 0x0Fu);

  const auto spans = orvel::fuzz::spans_in_order(n, width, (order & 0x10u) != 0, static_cast<std::uint32_t>(size));
  orvel::ja::SpanRomajiReader reduced(index, text, options, width);
  orvel::ja::SpanRomajiReader built(index, text, options, width, orvel::ja::SpanLatticeForm::Built);
  for (const auto& [start, end] : spans) {
    const std::string_view span = text.substr(boundaries[start], boundaries[end] - boundaries[start]);
    const auto alone = orvel::ja::unidic_or_direct_romaji_lattice(span, index, options);
    // The span alone is listed once for both comparisons; the reduced form
    // must match its strings and its shape.
    const std::string listed_alone = orvel::fuzz::reading_outcome(alone, false);
    const auto from_reduced = reduced.read(start, end);
    ORVEL_FUZZ_CHECK(orvel::fuzz::reading_outcome(from_reduced, false) == listed_alone);
    ORVEL_FUZZ_CHECK(orvel::fuzz::reading_shape(from_reduced) == orvel::fuzz::reading_shape(alone));
    ORVEL_FUZZ_CHECK(orvel::fuzz::same_reading_strings(built.read(start, end), alone, listed_alone));
  }
  return 0;
}
