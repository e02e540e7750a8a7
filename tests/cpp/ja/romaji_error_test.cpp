#include <gtest/gtest.h>

#include "ja/ja_lattice_error.hpp"
#include "romaji_test_support.hpp"

namespace orvel::ja {
namespace {

TEST(JaLatticeError, Messages) {
  const std::pair<JaLatticeError, const char*> cases[] = {
      {JaLatticeError::unsupported_character(U'東', 0), "unsupported character '東' at char index 0"},
      {JaLatticeError::unsupported_character(U'\u0301', 3), "unsupported character '\\u{301}' at char index 3"},
      {JaLatticeError::unsupported_character(U'\u200b', 1), "unsupported character '\\u{200b}' at char index 1"},
      {JaLatticeError::unsupported_character(U'\U000F0000', 2), "unsupported character '\\u{f0000}' at char index 2"},
      {JaLatticeError::missing_romaji_variant("ゐ"), "missing romaji variant for kana unit \"ゐ\""},
      {JaLatticeError::no_readings(), "at least one reading is required"},
      {JaLatticeError::invalid_lattice(LatticeError::mixed_empty_and_non_empty_paths()),
       "mixed empty and non-empty paths need epsilon arcs, which orvel-core does not model yet"},
      {JaLatticeError::distance_error(DistanceError{DistanceError::Kind::TooManyCells, 5000, 4000, 16000000}),
       "distance matrix 5000x4000 exceeds the maximum of 16000000 cells"},
      {JaLatticeError::dictionary("UniDic artifact max_paths length/count 16385 exceeds limit 16384"),
       "UniDic artifact max_paths length/count 16385 exceeds limit 16384"},
      {JaLatticeError::expansion_limit(ExpansionLimitKind::InputCharacters, 1025, 1024),
       "romaji expansion exceeded input characters limit: 1025 > 1024"},
      {JaLatticeError::expansion_limit(ExpansionLimitKind::ExpandedPaths, 65537, 65536),
       "romaji expansion exceeded expanded romaji paths limit: 65537 > 65536"},
      {JaLatticeError::expansion_limit(ExpansionLimitKind::ExpandedSymbols, 1048577, 1048576),
       "romaji expansion exceeded expanded romaji symbols limit: 1048577 > 1048576"},
  };
  for (const auto& [error, message] : cases) EXPECT_EQ(error.message(), message);
}

TEST(JaLatticeError, TagsAreFixed) {
  EXPECT_EQ(static_cast<int>(JaLatticeError::Kind::UnsupportedCharacter), 0);
  EXPECT_EQ(static_cast<int>(JaLatticeError::Kind::Dictionary), 5);
  EXPECT_EQ(static_cast<int>(JaLatticeError::Kind::ExpansionLimit), 6);
  EXPECT_EQ(static_cast<int>(ExpansionLimitKind::ExpandedSymbols), 2);
}

}  // namespace
}  // namespace orvel::ja
