#pragma once
// The static kana-to-romaji table. Each row maps a kana key (one hiragana
// character, the long-vowel mark, or a two-character digraph) to its romaji
// variants, main romanisation first.
#include <cstddef>
#include <expected>
#include <optional>
#include <span>
#include <string_view>

#include "core/lattice.hpp"
#include "ja/ja_lattice_error.hpp"

namespace orvel::ja {

struct RomajiRow {
  std::string_view kana;
  std::span<const std::string_view> variants;
};

class RomajiVariantTable {
 public:
  static constexpr std::size_t kRowCount = 115;
  // Rows 0 to 81 have one-character keys, rows 82 to 114 are the digraphs.
  static constexpr std::size_t kFirstDigraphRow = 82;

  static std::span<const RomajiRow> rows();
  // The row whose key equals `kana` exactly, searched in row order.
  static const RomajiRow* find(std::string_view kana);
  static bool has_row(std::string_view kana) { return find(kana) != nullptr; }

  // The lattice whose start-to-end paths are exactly the romaji strings of a
  // text read as typed (segmented in Direct mode). The empty text gives the
  // one-node lattice. Errors: UnsupportedCharacter, MissingRomajiVariant.
  static std::expected<Lattice, JaLatticeError> build_lattice(std::string_view text);
};

}  // namespace orvel::ja
