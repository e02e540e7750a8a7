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
#include <string_view>
#include <vector>

#include "front_support.hpp"
#include "span_readings.hpp"
#include "zh_index.hpp"
#include "text/utf8.hpp"
#include "zh/zh_query.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  orvel::fuzz::Bytes in(data, size);
  const auto& index = orvel::fuzz::small_zh_index((in.byte() & 1u) != 0);
  const orvel::DictionaryOptions options = orvel::fuzz::options_from_byte(in.byte());
  const std::uint8_t order = in.byte();
  // The reader takes UTF-8 (texts come from Python strings); cut to 16
  // characters.
  const std::string_view input = in.rest();
  if (!orvel::text::validate_utf8(input)) return 0;
  const auto [text, boundaries] = orvel::fuzz::first_chars(input, 16);
  const std::size_t n = boundaries.size() - 1;
  const std::uint64_t width = (order & 0x0Fu) == 0 ? n : (order & 0x0Fu);

  const auto spans = orvel::fuzz::spans_in_order(n, width, (order & 0x10u) != 0, static_cast<std::uint32_t>(size));
  orvel::zh::SpanPinyinReader reader(index, text, options, width);
  for (const auto& [start, end] : spans) {
    const std::string_view span = text.substr(boundaries[start], boundaries[end] - boundaries[start]);
    ORVEL_FUZZ_CHECK(orvel::fuzz::same_reading_strings(reader.read(start, end),
                                                      orvel::zh::zh_or_direct_pinyin_lattice(span, index, options)));
  }
  return 0;
}
