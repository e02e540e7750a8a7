#pragma once
// Test helper: a text of 1 to max_pieces pieces drawn from `pieces`.
#include <random>
#include <span>
#include <string>

namespace orvel::test_support {

inline std::string random_text(std::mt19937& rng, std::span<const std::string> pieces, int max_pieces) {
  std::uniform_int_distribution<std::size_t> piece(0, pieces.size() - 1);
  std::string text;
  for (int k = std::uniform_int_distribution<int>(1, max_pieces)(rng); k > 0; --k) text += pieces[piece(rng)];
  return text;
}

}  // namespace orvel::test_support
