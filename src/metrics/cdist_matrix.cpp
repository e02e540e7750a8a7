#include "metrics/cdist_matrix.hpp"

#include "text/utf8.hpp"

namespace orvel {

std::vector<std::u32string> char_sets(std::span<const std::string> texts) {
  std::vector<std::u32string> out;
  out.reserve(texts.size());
  for (const std::string& t : texts) out.push_back(text::decode_utf8(t));
  return out;
}

}  // namespace orvel
