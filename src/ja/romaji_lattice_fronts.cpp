#include "ja/romaji_lattice_fronts.hpp"

#include <limits>

#include "ja/romaji_expansion.hpp"
#include "ja/romaji_lattice_reduction.hpp"
#include "ja/romaji_table.hpp"
#include "ja/shared_path_lattice.hpp"
#include "ja/unidic_reading_index.hpp"
#include "text/utf8.hpp"

namespace orvel::ja {

namespace {

bool is_skippable_reading_error(const JaLatticeError& error) {
  return error.kind == JaLatticeError::Kind::UnsupportedCharacter ||
         error.kind == JaLatticeError::Kind::MissingRomajiVariant;
}

std::expected<std::optional<Lattice>, JaLatticeError> finish(RomajiLatticeBuilder builder) {
  if (builder.empty()) return std::optional<Lattice>();
  auto lattice = std::move(builder).into_lattice();
  if (!lattice) return std::unexpected(std::move(lattice.error()));
  return std::optional<Lattice>(std::move(*lattice));
}

}  // namespace

std::expected<Lattice, JaLatticeError> RomajiVariantTable::build_lattice(std::string_view text) {
  auto units = segment(text, RomajiSegmentMode::Direct);
  if (!units) return std::unexpected(std::move(units.error()));
  RomajiLatticeBuilder builder;
  if (auto ok = builder.add_units(*units); !ok) return std::unexpected(std::move(ok.error()));
  return std::move(builder).into_lattice();
}

std::expected<std::optional<Lattice>, JaLatticeError> romaji_lattice_from_supported_readings(
    std::span<const std::string> readings) {
  // Reduced by its callers: readings share their first steps.
  RomajiLatticeBuilder builder(true);
  std::vector<Unit> units;
  for (const std::string& reading : readings) {
    units.clear();
    auto ok = append_segments(reading, RomajiSegmentMode::Reading, units);
    if (ok) ok = builder.add_units(units);
    if (!ok && !is_skippable_reading_error(ok.error())) return std::unexpected(std::move(ok.error()));
  }
  return finish(std::move(builder));
}

std::expected<void, JaLatticeError> append_path_units(const DictionaryReadingPath& path, std::vector<Unit>& units) {
  constexpr std::uint64_t kMaxInputChars = kQueryRomajiLimits.max_input_chars;
  std::uint64_t chars = 0;
  std::expected<void, JaLatticeError> status;
  path.for_each_segment([&](const DictionaryReadingSegment& segment) {
    if (!status) return;
    chars += text::count_scalars(segment.reading);
    if (chars > kMaxInputChars) {
      status = std::unexpected(
          JaLatticeError::expansion_limit(ExpansionLimitKind::InputCharacters, chars, kMaxInputChars));
      return;
    }
    status = append_segments(segment.reading, segment.direct ? RomajiSegmentMode::Direct : RomajiSegmentMode::Reading,
                             units);
  });
  return status;
}

std::expected<std::vector<std::string>, JaLatticeError> romaji_paths_from_segmented_readings(
    std::span<const DictionaryReadingPath> paths) {
  constexpr std::uint64_t kMaxPaths = kQueryRomajiLimits.max_paths;
  constexpr std::uint64_t kMaxSymbols = kQueryRomajiLimits.max_symbols;
  constexpr std::uint64_t kSaturated = std::numeric_limits<std::uint64_t>::max();

  std::vector<std::string> result;
  std::uint64_t result_symbols = 0;
  std::vector<Unit> units;
  for (const DictionaryReadingPath& path : paths) {
    units.clear();
    if (auto ok = append_path_units(path, units); !ok) return std::unexpected(std::move(ok.error()));
    auto strings = romaji_paths_from_units(units, kMaxPaths, kMaxSymbols);
    if (!strings) return std::unexpected(std::move(strings.error()));

    const std::uint64_t count = result.size() + strings->size();
    if (count > kMaxPaths) {
      return std::unexpected(JaLatticeError::expansion_limit(ExpansionLimitKind::ExpandedPaths, count, kMaxPaths));
    }
    std::uint64_t symbols = result_symbols;
    for (const std::string& s : *strings) {
      const std::uint64_t c = text::count_scalars(s);
      symbols = c > kSaturated - symbols ? kSaturated : symbols + c;
    }
    if (symbols > kMaxSymbols) {
      return std::unexpected(JaLatticeError::expansion_limit(ExpansionLimitKind::ExpandedSymbols, symbols, kMaxSymbols));
    }
    result_symbols = symbols;
    for (std::string& s : *strings) result.push_back(std::move(s));
  }
  if (result.empty()) return std::unexpected(JaLatticeError::no_readings());
  return result;
}

std::expected<std::optional<Lattice>, JaLatticeError> UnidicReadingIndex::romaji_lattice(
    std::string_view text, const DictionaryOptions& options) const {
  if (auto ok = validate_dictionary_options(options); !ok) return std::unexpected(std::move(ok.error()));
  auto paths = reading_paths_with_stats_inner(*this, text, options, false);
  if (!paths) return std::unexpected(JaLatticeError::dictionary(paths.error().message()));
  if (paths->empty()) return std::optional<Lattice>();
  std::expected<std::optional<Lattice>, JaLatticeError> lattice;
  RomajiLatticeBuilder shared(true);
  if (const auto added = add_paths_by_shared_segments(shared, *paths, SharedPathReading{.whole_readings = true})) {
    lattice = finish(std::move(shared));
  } else {
    // The paths' readings are the distinct readings of the text.
    std::vector<std::string> readings;
    readings.reserve(paths->size());
    for (const DictionaryReadingPath& path : *paths) readings.push_back(path.reading());
    lattice = romaji_lattice_from_supported_readings(readings);
  }
  // Whole readings share most of their strings; the builder gives each its
  // own nodes, so the lattice is reduced before any distance sees it.
  if (lattice && *lattice) **lattice = reduce_reading_lattice(std::move(**lattice));
  return lattice;
}

}  // namespace orvel::ja
