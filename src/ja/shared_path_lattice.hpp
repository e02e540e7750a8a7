#pragma once
// The romaji strings of many dictionary paths of one text, added to a
// lattice from the segments the paths share instead of path by path.
//
// The paths of one search are chains of shared links: a text of thirty
// characters keeps up to 1,024 paths over a few dozen distinct segments.
// Reading each path alone repeats the same units, steps and limit counts
// hundreds of times and gives a lattice of thousands of nodes that only the
// reduction shrinks again. Here the links are grouped into sets: the paths
// continuing from one set, after one segment, form the set of their tails.
// Each segment of a set is read once, and its strings are joined to its
// tails' lattice through the node of each last vowel, so the lattice grows
// with the sets and segments, not with the paths.
//
// A step of the romaji reading depends on one unit after it (a small tsu
// doubles the next consonant; a consonant letter and a small ya, yu or yo
// form one step), so a set is split by the first unit of its tails where
// the last unit of a segment looks ahead, and a tail whose first unit was
// taken by such a step is its own set.
#include <cstdint>
#include <memory>
#include <optional>
#include <span>

#include "ja/romaji_lattice_builder.hpp"
#include "ja/segmentation.hpp"

namespace orvel::ja {

struct SharedPathReading {
  // Every path read as its whole reading in Reading mode (as the readings of
  // a text are), not segment by segment.
  bool whole_readings = false;
  // The limits under which the romaji string list reads one path: 1,024
  // reading characters, 65,536 strings and 1,048,576 symbols.
  bool query_limits = false;
};

// Links a grouping may look at, over all its sets; past it the paths are
// read one at a time.
inline constexpr std::uint64_t kSharedGroupingBudget = std::uint64_t{1} << 22;

// Adds to `builder` the romaji strings that reading the paths one at a time
// adds (a path with an unsupported character or a kana without a row adds
// nothing) and says whether any path gave strings. The paths must be those of
// one segmentation search. None, with the builder unchanged, where the
// shared reading cannot stand for the path-by-path one: a segment with no
// units, a digraph that whole readings would join across two segments, a
// path that may pass a limit, or paths beyond the grouping's budget. The
// caller then reads the paths one at a time, which gives the exact errors.
std::optional<bool> add_paths_by_shared_segments(RomajiLatticeBuilder& builder,
                                                 std::span<const DictionaryReadingPath> paths, SharedPathReading how,
                                                 std::uint64_t budget = kSharedGroupingBudget);
std::optional<bool> add_paths_by_shared_segments(RomajiLatticeBuilder& builder, const KeptPaths& paths,
                                                 SharedPathReading how, std::uint64_t budget = kSharedGroupingBudget);

// add_paths_by_shared_segments for the paths of many texts found by one
// search (the spans of a text that end at one place): the sets of links, and
// what is known of each, are kept from one call to the next, so a set that
// many texts reach is read once. Each call gives what the function gives for
// its paths alone (with the same budget), with a lattice of the same shape.
// When all calls together have looked at more links than that budget, each
// call is answered on its own.
class SharedSegmentReader {
 public:
  explicit SharedSegmentReader(SharedPathReading how, std::uint64_t budget = kSharedGroupingBudget);
  ~SharedSegmentReader();
  SharedSegmentReader(const SharedSegmentReader&) = delete;
  SharedSegmentReader& operator=(const SharedSegmentReader&) = delete;

  std::optional<bool> add_paths(RomajiLatticeBuilder& builder, const KeptPaths& paths);

 private:
  struct Kept;
  SharedPathReading how_;
  std::uint64_t budget_;
  std::unique_ptr<Kept> kept_;
};

}  // namespace orvel::ja
