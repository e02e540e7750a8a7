#pragma once
// Pinyin reading-path search: the distinct ways to read a Chinese text as a
// sequence of indexed surfaces, each contributing one of its readings, by a
// dynamic programme from the end of the text to its start. In the hybrid
// form a stretch of typed pinyin (the direct-pinyin characters from a
// position up to the next other character) may also stand for itself,
// however long it is.
//
// Generation order decides which of several paths with the same joined
// reading survives and which are cut by max_paths: at each position,
// dictionary segments by ascending end, each surface's first
// max_readings_per_segment readings in stored order, tails in their list's
// order; then the typed-pinyin segment. Each position keeps at most
// max_paths paths, listed in ascending byte order of their joined reading.
//
// Paths share their tails: a position's paths point at the paths of the
// positions they continue with, and readings are views into the index or
// into per-search buffers, so memory grows with the number of kept paths,
// not with their lengths: at most max_paths nodes of 32 bytes per text
// position. A position's list is released once no position still to be
// computed (the search runs from the end) can continue with it.
#include <cstddef>
#include <cstdint>
#include <deque>
#include <expected>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/dictionary_options.hpp"
#include "core/lattice.hpp"
#include "core/lattice_similarity.hpp"
#include "zh/zh_artifact_payload_error.hpp"

namespace orvel::zh {

class CedictReadingIndex;

struct PinyinReadingSegment {
  std::string surface;  // the covered slice of the text, as typed
  std::string reading;  // a stored reading, or the slice's typed-pinyin form
  bool direct = false;  // a typed-pinyin segment of the hybrid form
  friend bool operator==(const PinyinReadingSegment&, const PinyinReadingSegment&) = default;
};

struct PinyinReadingPath {
  std::vector<PinyinReadingSegment> segments;  // left to right
  std::string reading;                         // the segments' readings joined
  friend bool operator==(const PinyinReadingPath&, const PinyinReadingPath&) = default;
};

// The paths of a whole text as found by the search, in ascending byte order
// of their reading. Holds views into the index it came from: it must not
// outlive the index.
class PinyinPathSearch {
 public:
  PinyinPathSearch(PinyinPathSearch&&) noexcept;
  PinyinPathSearch& operator=(PinyinPathSearch&&) noexcept;
  ~PinyinPathSearch();

  std::size_t size() const;
  bool empty() const { return size() == 0; }
  // The joined reading of path k.
  std::string reading(std::size_t k) const;
  // The Unicode scalar values of the joined reading of path k.
  SymbolPath symbols(std::size_t k) const;
  // Path k with its segments.
  PinyinReadingPath path(std::size_t k) const;

  // Runs the search (see the header comment). Fails on an option beyond its
  // limit (max_span_chars, max_paths, max_readings_per_segment, in that
  // order) or on a lookup error of an indexed index.
  static std::expected<PinyinPathSearch, ZhArtifactPayloadError> run(const CedictReadingIndex& index,
                                                                     std::string_view text,
                                                                     const DictionaryOptions& options,
                                                                     bool hybrid);

 private:
  friend class PinyinSuffixSearch;
  struct State;
  explicit PinyinPathSearch(std::unique_ptr<State> state);
  std::unique_ptr<State> state_;
};

// The search of PinyinPathSearch::run over a text, kept so that it answers
// for every suffix: the paths of text[from..] for each `from` (in
// characters) asked for, in descending order. The search runs from the end
// towards the start, and what it keeps at a position depends only on the
// text after it, so the spans of a text that end at one place are read with
// one search. An error (an option limit, or a lookup error at some
// position) is the answer for every `from` at or before the position where
// it came up, as it would be for the text from there. Holds views into the
// index: it must not outlive it.
//
// The readings of a suffix come on a lattice of the sets its paths form: a
// position's paths are the first max_paths that the search meets, so the
// tails of the paths that share a first segment reading are all the paths
// of the next position or the first of them, and the sets stay few however
// many paths there are. Sets are kept for every suffix read. Once the sets
// have looked at `set_budget` path nodes in all, each suffix is read onto a
// node per path node instead.
inline constexpr std::uint64_t kPinyinPathSetBudget = std::uint64_t{1} << 22;

class PinyinSuffixSearch {
 public:
  PinyinSuffixSearch(const CedictReadingIndex& index, std::string_view text, const DictionaryOptions& options,
                     bool hybrid, std::uint64_t set_budget = kPinyinPathSetBudget);
  PinyinSuffixSearch(PinyinSuffixSearch&&) noexcept;
  PinyinSuffixSearch& operator=(PinyinSuffixSearch&&) noexcept;
  ~PinyinSuffixSearch();

  // The joined readings of the paths that PinyinPathSearch::run finds for
  // text[from..], on a lattice (with the empty reading kept aside), or none
  // when there are no paths.
  std::expected<std::optional<ReadingLattice>, ZhArtifactPayloadError> readings_from(std::size_t from);

 private:
  std::unique_ptr<PinyinPathSearch::State> state_;
  std::optional<ZhArtifactPayloadError> error_;
  bool searchable_ = false;
  std::uint64_t set_budget_;
  // The path sets' budget ran out.
  bool spent_ = false;
};

}  // namespace orvel::zh
