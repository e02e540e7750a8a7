#pragma once
// Dictionary segmentation of a Japanese text: every way to cut the text into
// indexed words (and, optionally, stretches read as typed), with the words'
// readings combined into readings of the whole text.
//
// The search runs from the end of the text to its start. Position v keeps at
// most `max_paths` distinct readings of text[v..n], each inserted in a fixed
// order (candidate spans by ascending end, readings in stored order, suffix
// paths in byte order of their reading) where the first insertion of a
// reading wins. Paths share their tails: a path is its first segment plus a
// reference to the path it continues, so memory grows with the paths kept,
// not with paths times text length.
#include <cstddef>
#include <cstdint>
#include <deque>
#include <expected>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/dictionary_options.hpp"
#include "ja/ja_lattice_error.hpp"
#include "ja/unidic_artifact_payload_error.hpp"
#include "text/utf8.hpp"

namespace orvel::ja {

class UnidicReadingIndex;

struct DictionaryReadingSegment {
  // The stretch of the input covered, exactly as typed.
  std::string surface;
  // A reading of the surface from the index; the surface itself when direct.
  std::string reading;
  // A stretch read as typed rather than a dictionary word.
  bool direct = false;

  friend bool operator==(const DictionaryReadingSegment&, const DictionaryReadingSegment&) = default;
};

namespace detail {
// One link of a shared segment chain. Links are kept in blocks, one block per
// text position holding its paths in byte order of their reading together
// with their first segments. A block owns the blocks its links' `next`
// point into, so a chain keeps exactly the blocks it passes through.
struct DictionaryPathNode {
  const DictionaryReadingSegment* segment = nullptr;  // in the same block; null at the end of the text
  const DictionaryPathNode* next = nullptr;           // in a block this block owns
  std::uint64_t position = 0;  // character position where the segment starts
  std::uint32_t rank = 0;      // order of the path's reading among those kept at `position`
  // Reading characters from this link to the end of its chain (saturating).
  std::uint32_t chars = 0;
};
struct DictionaryPathBlock {
  DictionaryPathBlock() = default;
  DictionaryPathBlock(const DictionaryPathBlock&) = delete;
  DictionaryPathBlock& operator=(const DictionaryPathBlock&) = delete;
  // Releases the chain of owned blocks one at a time: a text of many
  // thousands of positions would otherwise release it recursively.
  ~DictionaryPathBlock();

  std::deque<DictionaryReadingSegment> segments;  // stable addresses
  std::vector<DictionaryPathNode> nodes;
  // The blocks the links' `next` point into, each once. Mutable only for
  // the destructor, which takes them from a block it is the last owner of.
  mutable std::vector<std::shared_ptr<const DictionaryPathBlock>> tails;
};
// The `chars` of a link whose segment's reading has `segment_chars`
// characters, continuing into `next` (null at the end).
std::uint32_t chars_through(std::uint64_t segment_chars, const DictionaryPathNode* next);
}  // namespace detail

// One segmentation of a whole text: its segments in text order and the
// concatenation of their readings.
class DictionaryReadingPath {
 public:
  DictionaryReadingPath() = default;
  explicit DictionaryReadingPath(std::vector<DictionaryReadingSegment> segments);
  explicit DictionaryReadingPath(std::shared_ptr<const detail::DictionaryPathNode> head) : head_(std::move(head)) {}

  // The concatenation of the segments' readings, made on each call.
  std::string reading() const;
  // The first link of the segment chain (shared with other paths of the same
  // search); null for a path without segments.
  const detail::DictionaryPathNode* head() const { return head_.get(); }
  std::vector<DictionaryReadingSegment> segments() const;
  std::size_t segment_count() const;

  // Calls f(const DictionaryReadingSegment&) for each segment in order.
  template <class F>
  void for_each_segment(F&& f) const {
    for (const detail::DictionaryPathNode* node = head_.get(); node != nullptr; node = node->next) {
      if (node->segment) f(*node->segment);
    }
  }

  friend bool operator==(const DictionaryReadingPath& a, const DictionaryReadingPath& b) {
    return a.segments() == b.segments();
  }

 private:
  std::shared_ptr<const detail::DictionaryPathNode> head_;
};

// The paths a search keeps at one position, as the block holding them: path
// i is the chain from the block's link i, the paths in byte order of their
// reading. Handing on the block rather than a path each saves a reference
// count per path.
class KeptPaths {
 public:
  KeptPaths() = default;
  explicit KeptPaths(std::shared_ptr<const detail::DictionaryPathBlock> block) : block_(std::move(block)) {}

  std::size_t size() const { return block_ ? block_->nodes.size() : 0; }
  bool empty() const { return size() == 0; }
  const detail::DictionaryPathNode* head(std::size_t i) const { return &block_->nodes[i]; }
  DictionaryReadingPath path(std::size_t i) const {
    return DictionaryReadingPath(std::shared_ptr<const detail::DictionaryPathNode>(block_, head(i)));
  }
  std::vector<DictionaryReadingPath> paths() const;

 private:
  std::shared_ptr<const detail::DictionaryPathBlock> block_;
};

// The option limits (max_span_chars 256, max_paths 16384, then
// max_readings_per_segment 256 when given) as a query error: a copy of the
// options, or Dictionary carrying the ArtifactLimitExceeded message.
std::expected<DictionaryOptions, JaLatticeError> validate_dictionary_options(const DictionaryOptions& options);

// Every segmentation of the text, in byte order of the reading; with
// `include_direct`, stretches that can be read as typed become direct
// segments (not limited by max_span_chars). Empty when the text is empty,
// max_span_chars or max_paths is 0, or nothing covers the text. Errors: an
// option limit, or a lookup error of an indexed index.
std::expected<std::vector<DictionaryReadingPath>, UnidicArtifactPayloadError> reading_paths_with_stats_inner(
    const UnidicReadingIndex& index, std::string_view text, const DictionaryOptions& options, bool include_direct);

// The same paths as the block that holds them.
std::expected<KeptPaths, UnidicArtifactPayloadError> kept_reading_paths(const UnidicReadingIndex& index,
                                                                        std::string_view text,
                                                                        const DictionaryOptions& options,
                                                                        bool include_direct);

// The search of reading_paths_with_stats_inner over text[0..end), kept so
// that it answers for every suffix: the segmentations of text[from..end)
// for each `from` asked for, in descending order (the search runs from the
// end towards the start, and what it keeps at a position depends only on
// the text after it). Spans of one text that end at one place are read this
// way with one search. `boundaries` are those of the whole text
// (char_boundaries), `lowest` the smallest `from` that will be asked for.
// An error (an option limit, or a lookup error at some position) is the
// answer for every `from` at or before the position where it came up, as
// it would be for the text from there.
class SuffixSegmenter {
 public:
  SuffixSegmenter(const UnidicReadingIndex& index, std::string_view text, std::span<const std::size_t> boundaries,
                  std::size_t end, std::size_t lowest, const DictionaryOptions& options, bool include_direct);
  SuffixSegmenter(SuffixSegmenter&&) noexcept;
  SuffixSegmenter& operator=(SuffixSegmenter&&) noexcept;
  ~SuffixSegmenter();

  // The segmentations of text[from..end), as reading_paths_with_stats_inner
  // gives them for that text; lowest <= from <= end, descending over calls.
  std::expected<std::vector<DictionaryReadingPath>, UnidicArtifactPayloadError> paths_from(std::size_t from);
  // The same as the block of kept paths.
  std::expected<KeptPaths, UnidicArtifactPayloadError> kept_from(std::size_t from);

 private:
  class Search;
  std::unique_ptr<Search> search_;
  std::optional<UnidicArtifactPayloadError> error_;
};

// The same search keeping only the distinct whole-text readings, in byte order.
std::expected<std::vector<std::string>, UnidicArtifactPayloadError> reading_sequences_with_stats_inner(
    const UnidicReadingIndex& index, std::string_view text, const DictionaryOptions& options, bool include_direct);

// The end of the longest stretch text[b[start]..b[i]], start < i <= end,
// that can be read as typed, or nullopt when not even one character can.
// `boundaries` holds the byte offset of every character followed by the
// text's byte length.
std::optional<std::size_t> direct_fallback_end(std::string_view text, std::span<const std::size_t> boundaries,
                                               std::size_t start, std::size_t end);

// Byte offsets of every character of valid UTF-8, then its byte length.
using text::char_boundaries;

}  // namespace orvel::ja
