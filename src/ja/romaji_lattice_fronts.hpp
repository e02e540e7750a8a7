#pragma once
// Romaji lattices and romaji string lists of whole readings and of segmented
// inputs; the lattice of a typed text is RomajiVariantTable::build_lattice.
#include <expected>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/lattice.hpp"
#include "ja/ja_lattice_error.hpp"
#include "ja/romaji_lattice_builder.hpp"
#include "ja/romaji_segment.hpp"
#include "ja/segmentation.hpp"

namespace orvel::ja {

// One stretch of a segmented input: a stretch of the text or a reading of
// one dictionary segment, with the mode it is segmented in.
struct RomajiSegmentInput {
  std::string_view text;
  RomajiSegmentMode mode = RomajiSegmentMode::Direct;
};

// The lattice of whole readings (each segmented in Reading mode). A reading
// with an unsupported character or a kana without a row is skipped; none
// when every reading was skipped.
std::expected<std::optional<Lattice>, JaLatticeError> romaji_lattice_from_supported_readings(
    std::span<const std::string> readings);

// Adds one segmented input: the units of all its stretches, concatenated so
// that the small tsu, small ya/yu/yo and long-vowel rules work across
// stretch boundaries. Returns false when the input was skipped (a stretch
// with an unsupported character, or a kana without a row); the builder is
// then unchanged.
template <class Input>
std::expected<bool, JaLatticeError> add_segmented_input(RomajiLatticeBuilder& builder, const Input& input,
                                                        std::vector<Unit>& scratch) {
  scratch.clear();
  for (const auto& stretch : input) {
    const RomajiSegmentInput piece{stretch.text, stretch.mode};
    if (auto ok = append_segments(piece.text, piece.mode, scratch); !ok) {
      if (ok.error().kind == JaLatticeError::Kind::UnsupportedCharacter) return false;
      return std::unexpected(std::move(ok.error()));
    }
  }
  if (auto ok = builder.add_units(scratch); !ok) {
    if (ok.error().kind == JaLatticeError::Kind::MissingRomajiVariant) return false;
    return std::unexpected(std::move(ok.error()));
  }
  return true;
}

// The lattice of segmented inputs, each a range of items with `text` and
// `mode`, added in order; none when every input was skipped.
template <class Inputs>
std::expected<std::optional<Lattice>, JaLatticeError> romaji_lattice_from_supported_segmented_readings(
    const Inputs& inputs) {
  RomajiLatticeBuilder builder;
  std::vector<Unit> scratch;
  for (const auto& input : inputs) {
    auto added = add_segmented_input(builder, input, scratch);
    if (!added) return std::unexpected(std::move(added.error()));
  }
  if (builder.empty()) return std::optional<Lattice>();
  auto lattice = std::move(builder).into_lattice();
  if (!lattice) return std::unexpected(std::move(lattice.error()));
  return std::optional<Lattice>(std::move(*lattice));
}

// The units of one dictionary path, its segments' readings segmented in
// turn (Direct mode for direct segments, Reading mode otherwise), appended to
// `units`. Errors, the first met: ExpansionLimit (input characters) once the
// readings pass 1,024 characters, checked before each segment is segmented;
// UnsupportedCharacter.
std::expected<void, JaLatticeError> append_path_units(const DictionaryReadingPath& path, std::vector<Unit>& units);

// The romaji strings of dictionary paths, path by path (duplicates kept),
// each path read as its segments' readings (Direct mode for direct segments,
// Reading mode otherwise) under 1,024 input characters, 65,536 strings and
// 1,048,576 symbols, the last two over all paths together. Errors:
// ExpansionLimit, UnsupportedCharacter, MissingRomajiVariant, and NoReadings
// for no path at all.
std::expected<std::vector<std::string>, JaLatticeError> romaji_paths_from_segmented_readings(
    std::span<const DictionaryReadingPath> paths);

}  // namespace orvel::ja
