// The Chinese query front on any text, with the small test indexes: the
// lattice and the pinyin strings of a text agree (the lattice spells the
// strings), a text's lattice is at distance 0 from itself, a text is fully
// similar to itself, and anything unreadable is a typed error.
//
// Input: a flags byte (bit 0: the no-tone index, else tone3), an options
// byte (fuzz::options_from_byte), then the text.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "front_support.hpp"
#include "zh_index.hpp"
#include "zh/zh_query.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  orvel::fuzz::Bytes in(data, size);
  const auto& index = orvel::fuzz::small_zh_index((in.byte() & 1u) != 0);
  const orvel::DictionaryOptions options = orvel::fuzz::options_from_byte(in.byte());
  const std::string_view text = in.rest();

  auto lattice = orvel::zh::zh_or_direct_lattice(text, index, options);
  auto strings = orvel::zh::zh_or_direct_pinyin_paths(text, index, options);
  ORVEL_FUZZ_CHECK(lattice.has_value() == strings.has_value());
  auto self = orvel::zh::normalized_similarity_with_zh_index(text, text, index, options);
  ORVEL_FUZZ_CHECK(self.has_value() == strings.has_value());
  if (!strings) {
    ORVEL_FUZZ_CHECK(!strings.error().message().empty());
    ORVEL_FUZZ_CHECK(lattice.error() == strings.error());
    return 0;
  }
  ORVEL_FUZZ_CHECK(!strings->empty());
  ORVEL_FUZZ_CHECK(*self == 1.0);
  orvel::fuzz::check_self_distance(*lattice);
  orvel::fuzz::check_same_strings(*lattice, *strings);
  return 0;
}
