// The Japanese query front on any text, with the small test index: the
// lattice and the romaji strings of a text agree (the lattice spells the
// strings), a text's lattice is at distance 0 from itself, a text is fully
// similar to itself, and anything unreadable is a typed error.
//
// Input: an options byte (fuzz::options_from_byte), then the text.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "front_support.hpp"
#include "ja_index.hpp"
#include "ja/query.hpp"
#include "ja/unidic_reading_index.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const orvel::ja::UnidicReadingIndex& index = orvel::fuzz::small_ja_index();
  orvel::fuzz::Bytes in(data, size);
  const orvel::DictionaryOptions options = orvel::fuzz::options_from_byte(in.byte());
  const std::string_view text = in.rest();

  auto lattice = orvel::ja::unidic_or_direct_lattice(text, index, options);
  auto strings = orvel::ja::unidic_or_direct_romaji_paths(text, index, options);
  if (lattice) {
    orvel::fuzz::check_self_distance(*lattice);
  } else {
    ORVEL_FUZZ_CHECK(!lattice.error().message().empty());
  }
  auto self = orvel::ja::normalized_similarity_with_unidic_index(text, text, index, options);
  ORVEL_FUZZ_CHECK(self.has_value() == strings.has_value());
  if (!strings) {
    ORVEL_FUZZ_CHECK(!strings.error().message().empty());
    return 0;
  }
  orvel::fuzz::check_string_list(text, *strings);
  ORVEL_FUZZ_CHECK(*self == 1.0);
  if (lattice) orvel::fuzz::check_same_strings(*lattice, *strings);
  return 0;
}
