#include "ja/query.hpp"

#include <algorithm>
#include <unordered_set>

#include "common/fatal_error.hpp"
#include "core/string_distance.hpp"
#include "ja/romaji_expansion.hpp"
#include "ja/romaji_lattice_fronts.hpp"
#include "ja/romaji_lattice_reduction.hpp"
#include "ja/romaji_steps.hpp"
#include "ja/romaji_table.hpp"
#include "ja/shared_path_lattice.hpp"
#include "ja/unidic_reading_index.hpp"
#include "text/utf8.hpp"

namespace orvel::ja {

namespace {

bool is_ascii_alphanumeric(char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool is_all_ascii(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

bool is_skippable(const JaLatticeError& error) {
  return error.kind == JaLatticeError::Kind::UnsupportedCharacter ||
         error.kind == JaLatticeError::Kind::MissingRomajiVariant;
}

JaLatticeError dictionary_error(const UnidicArtifactPayloadError& error) {
  return JaLatticeError::dictionary(error.message());
}

// The readings of a lookup that are used: the first max_readings_per_segment.
std::size_t used_readings(const UnidicReadings& readings, const DictionaryOptions& options) {
  std::size_t used = readings.size();
  if (options.max_readings_per_segment) {
    used = static_cast<std::size_t>(std::min<std::uint64_t>(used, *options.max_readings_per_segment));
  }
  return used;
}

// The romaji strings of a unit list depend on its units alone, and many
// dictionary paths of one text (東京 as one word or as 東 and 京) spell the
// same units: a list seen before adds nothing and fails nothing new.
class SeenUnitLists {
 public:
  // False when the same units were offered before.
  bool first_time(std::span<const Unit> units) {
    key_.clear();
    for (const Unit& unit : units) {
      key_ += static_cast<char>('0' + static_cast<int>(unit.kind));
      key_ += unit.text;
      key_ += '\0';
    }
    return seen_.insert(key_).second;
  }

 private:
  std::unordered_set<std::string> seen_;
  std::string key_;
};

// Builds one lattice from segmented inputs added one by one, so that the
// inputs of many dictionary paths never exist all at once.
class SegmentedLattice {
 public:
  std::expected<void, JaLatticeError> add_stretch(std::string_view text, RomajiSegmentMode mode) {
    stretches_.assign(1, RomajiSegmentInput{text, mode});
    return add();
  }

  std::expected<void, JaLatticeError> add_path(const DictionaryReadingPath& path) {
    stretches_.clear();
    path.for_each_segment([&](const DictionaryReadingSegment& segment) {
      stretches_.push_back(
          RomajiSegmentInput{segment.reading, segment.direct ? RomajiSegmentMode::Direct : RomajiSegmentMode::Reading});
    });
    return add();
  }

  // The paths of one search, from their shared segments where that reads
  // them as add_path would.
  std::expected<void, JaLatticeError> add_paths(const KeptPaths& paths, SharedSegmentReader* = nullptr) {
    if (paths.size() > 1 && add_paths_by_shared_segments(builder_, paths, SharedPathReading{})) return {};
    for (std::size_t i = 0; i < paths.size(); ++i) {
      if (auto ok = add_path(paths.path(i)); !ok) return ok;
    }
    return {};
  }

  bool empty() const { return builder_.empty(); }
  void restart() { *this = SegmentedLattice(); }

  std::expected<std::optional<Lattice>, JaLatticeError> finish() && {
    if (builder_.empty()) return std::optional<Lattice>();
    auto lattice = std::move(builder_).into_lattice();
    if (!lattice) return std::unexpected(std::move(lattice.error()));
    // The builder gives every path its own nodes; the reduced lattice spells
    // the same strings with nodes that grow with the text, not the paths.
    return std::optional<Lattice>(reduce_reading_lattice(std::move(*lattice)));
  }

 private:
  // As add_segmented_input: the units of all stretches, a stretch with an
  // unsupported character or a kana without a row skipping the input.
  std::expected<void, JaLatticeError> add() {
    units_.clear();
    for (const RomajiSegmentInput& stretch : stretches_) {
      if (auto ok = append_segments(stretch.text, stretch.mode, units_); !ok) {
        if (ok.error().kind == JaLatticeError::Kind::UnsupportedCharacter) return {};
        return std::unexpected(std::move(ok.error()));
      }
    }
    if (!seen_.first_time(units_)) return {};
    if (auto ok = builder_.add_units(units_); !ok) {
      if (ok.error().kind == JaLatticeError::Kind::MissingRomajiVariant) return {};
      return std::unexpected(std::move(ok.error()));
    }
    return {};
  }

  RomajiLatticeBuilder builder_{true};
  std::vector<Unit> units_;
  std::vector<RomajiSegmentInput> stretches_;
  SeenUnitLists seen_;
};

std::expected<KeptPaths, JaLatticeError> dictionary_paths(const UnidicReadingIndex& index, std::string_view text,
                                                          const DictionaryOptions& options, bool include_direct) {
  auto paths = kept_reading_paths(index, text, options, include_direct);
  if (!paths) return std::unexpected(dictionary_error(paths.error()));
  return std::move(*paths);
}


// How the romaji string list's paths are grouped: each within its limits.
constexpr SharedPathReading kQueryGrouping{.query_limits = true};

// The shared_of hook of a text read on its own: its paths are grouped alone.
constexpr auto no_shared_grouping = [](bool) -> SharedSegmentReader* { return nullptr; };

// The lattice of the strings that unidic_or_direct_romaji_paths lists, fed
// with the unit lists those strings are expanded from.
class RomajiSetLattice {
 public:
  explicit RomajiSetLattice(SpanLatticeForm form = SpanLatticeForm::Reduced) : form_(form) {}

  void add_steps(std::span<const RomajiStep> steps) {
    builder_.add_steps(steps);
    ++lists_;
  }

  // One dictionary path, read as romaji_paths_from_segmented_readings reads
  // it alone: a path with an unsupported character or a kana without a row is
  // skipped; an input or expansion limit is that function's own error.
  std::expected<void, JaLatticeError> add_path(const DictionaryReadingPath& path) {
    units_.clear();
    if (auto ok = append_path_units(path, units_); !ok) return skip_or_fail(std::move(ok.error()));
    if (!seen_.first_time(units_)) return {};
    auto steps = romaji_steps_from_units(units_);
    if (!steps) return skip_or_fail(std::move(steps.error()));
    if (!romaji_expansion_fits(*steps, kQueryRomajiLimits.max_paths, kQueryRomajiLimits.max_symbols)) {
      // Over a limit: the expansion itself tells which, with its counts
      // (as romaji_paths_from_segmented_readings of this path would).
      auto checked = check_romaji_expansion(*steps, kQueryRomajiLimits.max_paths, kQueryRomajiLimits.max_symbols);
      if (!checked) return skip_or_fail(std::move(checked.error()));
      throw FatalError("romaji expansion count disagrees with the expansion");
    }
    add_steps(*steps);
    return {};
  }

  // The paths of one search, from their shared segments where that reads
  // them as add_path would (no path near a limit); the result is reduced.
  // `shared` keeps the grouping of the paths of earlier texts found by the
  // same search.
  std::expected<void, JaLatticeError> add_paths(const KeptPaths& paths, SharedSegmentReader* shared = nullptr) {
    if (paths.size() > 1) {
      const auto added = shared != nullptr ? shared->add_paths(builder_, paths)
                                           : add_paths_by_shared_segments(builder_, paths, kQueryGrouping);
      if (added) {
        if (*added) lists_ += 2;
        return {};
      }
    }
    for (std::size_t i = 0; i < paths.size(); ++i) {
      if (auto ok = add_path(paths.path(i)); !ok) return ok;
    }
    return {};
  }

  bool empty() const { return builder_.empty(); }
  void restart() { *this = RomajiSetLattice(form_); }

  // For a builder with at least one unit list.
  ReadingLattice finish() && {
    const bool also_empty = builder_.has_empty_reading() && builder_.has_nonempty_reading();
    if (also_empty) builder_.drop_empty_reading();
    auto lattice = std::move(builder_).into_lattice();
    if (!lattice) throw FatalError("valid romaji set lattice: " + lattice.error().message());
    if (lists_ <= 1) return ReadingLattice{std::move(*lattice), also_empty};
    if (form_ == SpanLatticeForm::Built) return ReadingLattice{std::move(*lattice), also_empty};
    return ReadingLattice{reduce_reading_lattice(std::move(*lattice)), also_empty};
  }

 private:
  static std::expected<void, JaLatticeError> skip_or_fail(JaLatticeError error) {
    if (is_skippable(error)) return {};
    return std::unexpected(std::move(error));
  }

  RomajiLatticeBuilder builder_{true};
  std::vector<Unit> units_;
  SeenUnitLists seen_;
  std::size_t lists_ = 0;
  SpanLatticeForm form_;
};

// The units of a typed text when romaji_paths_with_limits would list its
// strings; none when it would fail.
std::optional<std::vector<RomajiStep>> direct_steps_within_limits(std::string_view text) {
  if (text::count_scalars(text) > kQueryRomajiLimits.max_input_chars) return std::nullopt;
  auto units = segment(text, RomajiSegmentMode::Direct);
  if (!units) return std::nullopt;
  auto steps = romaji_steps_from_units(*units);
  if (!steps) return std::nullopt;
  if (!romaji_expansion_fits(*steps, kQueryRomajiLimits.max_paths, kQueryRomajiLimits.max_symbols)) {
    return std::nullopt;
  }
  return std::move(*steps);
}

std::set<std::string>& insert_all(std::set<std::string>& strings, std::vector<std::string>& more) {
  for (std::string& s : more) strings.insert(std::move(s));
  return strings;
}

std::vector<std::string> in_byte_order(std::set<std::string>& strings) {
  std::vector<std::string> out;
  out.reserve(strings.size());
  while (!strings.empty()) out.push_back(std::move(strings.extract(strings.begin()).value()));
  return out;
}

// The strings of one dictionary path (romaji_paths_from_segmented_readings
// of that path alone) added to `strings`; a path with an unsupported
// character or a kana without a row adds nothing.
std::expected<void, JaLatticeError> add_supported_path(std::set<std::string>& strings,
                                                       const DictionaryReadingPath& path) {
  auto more = romaji_paths_from_segmented_readings(std::span(&path, 1));
  if (!more) {
    if (is_skippable(more.error())) return {};
    return std::unexpected(std::move(more.error()));
  }
  insert_all(strings, *more);
  return {};
}

// The romaji strings of a text as a set, for gather_romaji.
class RomajiStringSet {
 public:
  void add_strings(std::vector<std::string>& strings) { insert_all(strings_, strings); }
  std::expected<void, JaLatticeError> add_path(const DictionaryReadingPath& path) {
    return add_supported_path(strings_, path);
  }
  std::expected<void, JaLatticeError> add_paths(const KeptPaths& paths, SharedSegmentReader* = nullptr) {
    return extend_supported_dictionary_paths(strings_, paths);
  }
  bool empty() const { return strings_.empty(); }
  void restart() { strings_.clear(); }
  std::vector<std::string> in_byte_order() { return orvel::ja::in_byte_order(strings_); }

 private:
  std::set<std::string> strings_;
};

// The order in which the romaji strings of a text are gathered, for the
// string list and the reading set alike. With the typed text readable (its
// strings already in `sink`) and holding ASCII letters or digits: its exact
// readings (the first max_readings_per_segment) and, for a hybrid text, its
// dictionary paths with direct stretches. Not readable as typed: the
// dictionary paths without, then with, direct stretches, each into an
// emptied sink (restart), until one holds strings. False when nothing was
// gathered (the typed text's own error is then the answer).
// The dictionary paths come from paths_of(include_direct), the search of
// dictionary_paths for the text, and are grouped through
// shared_of(include_direct) when that is not null.
template <class Sink, class PathsOf, class SharedOf>
std::expected<bool, JaLatticeError> gather_romaji(std::string_view text, const UnidicReadingIndex& index,
                                                  const DictionaryOptions& options, bool typed_readable, Sink& sink,
                                                  PathsOf&& paths_of, SharedOf&& shared_of) {
  if (typed_readable) {
    if (!has_ascii_alphanumeric(text)) return true;
    auto found = index.try_readings(text);
    if (!found) return std::unexpected(dictionary_error(found.error()));
    if (*found) {
      const UnidicReadings& readings = **found;
      const std::size_t used = used_readings(readings, options);
      for (std::size_t r = 0; r < used; ++r) {
        const DictionaryReadingPath exact({DictionaryReadingSegment{std::string(text), readings[r], false}});
        if (auto ok = sink.add_path(exact); !ok) return std::unexpected(std::move(ok.error()));
      }
    }
    auto hybrid = should_try_hybrid_for_direct_ascii(text, index);
    if (!hybrid) return std::unexpected(std::move(hybrid.error()));
    if (*hybrid) {
      auto paths = paths_of(true);
      if (!paths) return std::unexpected(std::move(paths.error()));
      if (auto ok = sink.add_paths(*paths, shared_of(true)); !ok) return std::unexpected(std::move(ok.error()));
    }
    return true;
  }
  for (const bool include_direct : {false, true}) {
    auto paths = paths_of(include_direct);
    if (!paths) return std::unexpected(std::move(paths.error()));
    sink.restart();
    if (auto ok = sink.add_paths(*paths, shared_of(include_direct)); !ok) {
      return std::unexpected(std::move(ok.error()));
    }
    if (!sink.empty()) return true;
  }
  return false;
}

template <class Sink>
std::expected<bool, JaLatticeError> gather_romaji(std::string_view text, const UnidicReadingIndex& index,
                                                  const DictionaryOptions& options, bool typed_readable, Sink& sink) {
  return gather_romaji(
      text, index, options, typed_readable, sink,
      [&](bool include_direct) { return dictionary_paths(index, text, options, include_direct); },
      no_shared_grouping);
}

// The lattice of a directly readable text holding ASCII letters or digits:
// the text as typed, its exact readings and, for a hybrid text, its
// segmentations with direct stretches.
std::expected<std::optional<Lattice>, JaLatticeError> direct_ascii_lattice(std::string_view text,
                                                                          const UnidicReadingIndex& index,
                                                                          const DictionaryOptions& options) {
  SegmentedLattice lattice;
  if (auto ok = lattice.add_stretch(text, RomajiSegmentMode::Direct); !ok) return std::unexpected(ok.error());
  // An exact reading added as a one-segment path is that reading's stretch.
  if (auto ok = gather_romaji(text, index, options, true, lattice); !ok) return std::unexpected(std::move(ok.error()));
  return std::move(lattice).finish();
}

}  // namespace

bool has_ascii_alphanumeric(std::string_view text) { return std::any_of(text.begin(), text.end(), is_ascii_alphanumeric); }

std::expected<bool, JaLatticeError> has_dictionary_reading(std::string_view text, const UnidicReadingIndex& index) {
  auto found = index.try_readings(text);
  if (!found) return std::unexpected(dictionary_error(found.error()));
  return found->has_value();
}

std::expected<bool, JaLatticeError> should_try_hybrid_for_direct_ascii(std::string_view text,
                                                                      const UnidicReadingIndex& index) {
  if (!has_ascii_alphanumeric(text) || is_all_ascii(text)) return false;
  // ASCII bytes never occur inside a multi-byte character, so runs can be
  // found on the bytes.
  std::size_t i = 0;
  while (i < text.size()) {
    if (!is_ascii_alphanumeric(text[i])) {
      ++i;
      continue;
    }
    const std::size_t start = i;
    while (i < text.size() && is_ascii_alphanumeric(text[i])) ++i;
    const bool single_at_end = i == text.size() && i - start == 1 && start > 0;
    if (single_at_end) continue;
    auto found = has_dictionary_reading(text.substr(start, i - start), index);
    if (!found) return std::unexpected(std::move(found.error()));
    if (*found) return true;
  }
  return false;
}

std::expected<void, JaLatticeError> extend_supported_dictionary_paths(std::set<std::string>& strings,
                                                                     const KeptPaths& paths) {
  for (std::size_t i = 0; i < paths.size(); ++i) {
    if (auto ok = add_supported_path(strings, paths.path(i)); !ok) return ok;
  }
  return {};
}

std::expected<std::optional<Lattice>, JaLatticeError> lattice_from_dictionary_reading_paths(const KeptPaths& paths) {
  if (paths.empty()) return std::optional<Lattice>();
  SegmentedLattice lattice;
  if (auto ok = lattice.add_paths(paths); !ok) return std::unexpected(ok.error());
  return std::move(lattice).finish();
}

std::expected<Lattice, JaLatticeError> unidic_or_direct_lattice(std::string_view text,
                                                               const UnidicReadingIndex& index,
                                                               const DictionaryOptions& options) {
  if (auto ok = validate_dictionary_options(options); !ok) return std::unexpected(std::move(ok.error()));

  if (!has_ascii_alphanumeric(text)) {
    if (auto direct = RomajiVariantTable::build_lattice(text)) return std::move(*direct);
    auto from_index = index.romaji_lattice(text, options);
    if (!from_index) return std::unexpected(std::move(from_index.error()));
    if (*from_index) return std::move(**from_index);
  } else if (can_build_direct_romaji_path(text)) {
    auto lattice = direct_ascii_lattice(text, index, options);
    if (!lattice) return std::unexpected(std::move(lattice.error()));
    if (*lattice) return std::move(**lattice);
  }

  auto words = dictionary_paths(index, text, options, false);
  if (!words) return std::unexpected(std::move(words.error()));
  if (!words->empty()) {
    auto lattice = lattice_from_dictionary_reading_paths(*words);
    if (!lattice) return std::unexpected(std::move(lattice.error()));
    if (*lattice) return std::move(**lattice);
  }

  auto hybrid = dictionary_paths(index, text, options, true);
  if (!hybrid) return std::unexpected(std::move(hybrid.error()));
  if (!hybrid->empty()) {
    auto lattice = lattice_from_dictionary_reading_paths(*hybrid);
    if (!lattice) return std::unexpected(std::move(lattice.error()));
    if (*lattice) return std::move(**lattice);
  }
  return RomajiVariantTable::build_lattice(text);
}

std::expected<std::vector<std::string>, JaLatticeError> unidic_or_direct_romaji_paths(
    std::string_view text, const UnidicReadingIndex& index, const DictionaryOptions& options) {
  if (auto ok = validate_dictionary_options(options); !ok) return std::unexpected(std::move(ok.error()));

  auto direct = romaji_paths_with_limits(text, kQueryRomajiLimits);
  if (direct && !has_ascii_alphanumeric(text)) return std::move(*direct);
  RomajiStringSet strings;
  if (direct) strings.add_strings(*direct);
  auto gathered = gather_romaji(text, index, options, direct.has_value(), strings);
  if (!gathered) return std::unexpected(std::move(gathered.error()));
  if (*gathered) return strings.in_byte_order();
  return romaji_paths_with_limits(text, kQueryRomajiLimits);
}

template <class PathsOf, class SharedOf>
std::expected<ReadingLattice, JaLatticeError> romaji_set_lattice(std::string_view text,
                                                                 const UnidicReadingIndex& index,
                                                                 const DictionaryOptions& options,
                                                                 SpanLatticeForm form, PathsOf&& paths_of,
                                                                 SharedOf&& shared_of) {
  if (auto ok = validate_dictionary_options(options); !ok) return std::unexpected(std::move(ok.error()));

  const auto direct = direct_steps_within_limits(text);
  RomajiSetLattice lattice(form);
  if (direct) lattice.add_steps(*direct);
  auto gathered = gather_romaji(text, index, options, direct.has_value(), lattice, paths_of, shared_of);
  if (!gathered) return std::unexpected(std::move(gathered.error()));
  if (*gathered) return std::move(lattice).finish();
  auto failed = romaji_paths_with_limits(text, kQueryRomajiLimits);
  if (!failed) return std::unexpected(std::move(failed.error()));
  throw FatalError("typed romaji expansion count disagrees with the expansion");
}

std::expected<ReadingLattice, JaLatticeError> unidic_or_direct_romaji_lattice(
    std::string_view text, const UnidicReadingIndex& index, const DictionaryOptions& options) {
  return romaji_set_lattice(
      text, index, options, SpanLatticeForm::Reduced,
      [&](bool include_direct) { return dictionary_paths(index, text, options, include_direct); },
      no_shared_grouping);
}

SpanRomajiReader::SpanRomajiReader(const UnidicReadingIndex& index, std::string_view text,
                                   const DictionaryOptions& options, std::uint64_t span_limit, SpanLatticeForm form)
    : index_(index),
      text_(text),
      options_(options),
      span_limit_(span_limit),
      form_(form),
      boundaries_(char_boundaries(text)) {}

SpanRomajiReader::~SpanRomajiReader() = default;

std::expected<ReadingLattice, JaLatticeError> SpanRomajiReader::read(std::size_t start, std::size_t end) {
  const std::string_view span = text_.substr(boundaries_[start], boundaries_[end] - boundaries_[start]);
  return romaji_set_lattice(
      span, index_, options_, form_,
      [&](bool include_direct) -> std::expected<KeptPaths, JaLatticeError> {
        std::optional<Search>& search = searches_[include_direct ? 1 : 0];
        // One search serves the spans of one end while their starts descend.
        if (!search || search->end != end || start > search->start || start < search->lowest) {
          const std::size_t widest = span_limit_ >= end ? 0 : static_cast<std::size_t>(end - span_limit_);
          const std::size_t lowest = std::min(widest, start);
          search.emplace(Search{SuffixSegmenter(index_, text_, boundaries_, end, lowest, options_, include_direct),
                                std::make_unique<SharedSegmentReader>(kQueryGrouping), end, lowest, start});
        }
        search->start = start;
        auto paths = search->segmenter.kept_from(start);
        if (!paths) return std::unexpected(dictionary_error(paths.error()));
        return std::move(*paths);
      },
      // paths_of has just made the search of the same kind.
      [&](bool include_direct) { return searches_[include_direct ? 1 : 0]->grouping.get(); });
}

std::expected<double, JaLatticeError> normalized_similarity_with_unidic_index(std::string_view left,
                                                                              std::string_view right,
                                                                              const UnidicReadingIndex& index,
                                                                              const DictionaryOptions& options) {
  if (auto ok = validate_dictionary_options(options); !ok) return std::unexpected(std::move(ok.error()));
  auto left_set = unidic_or_direct_romaji_lattice(left, index, options);
  if (!left_set) return std::unexpected(std::move(left_set.error()));
  auto right_set = unidic_or_direct_romaji_lattice(right, index, options);
  if (!right_set) return std::unexpected(std::move(right_set.error()));
  return best_normalized_similarity(*left_set, *right_set);
}

}  // namespace orvel::ja
