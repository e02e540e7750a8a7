#include "ja/segmentation.hpp"

#include <algorithm>
#include <limits>
#include <set>

#include "ja/romaji_expansion.hpp"
#include "ja/unidic_reading_index.hpp"
#include "text/utf8.hpp"

namespace orvel::ja {

using detail::DictionaryPathNode;

namespace detail {

DictionaryPathBlock::~DictionaryPathBlock() {
  std::vector<std::shared_ptr<const DictionaryPathBlock>> pending = std::move(tails);
  while (!pending.empty()) {
    std::shared_ptr<const DictionaryPathBlock> block = std::move(pending.back());
    pending.pop_back();
    // As its last owner, take its tails before it goes, so that releasing
    // it releases nothing further.
    if (block.use_count() == 1) {
      for (auto& tail : block->tails) pending.push_back(std::move(tail));
      block->tails.clear();
    }
  }
}

std::uint32_t chars_through(std::uint64_t segment_chars, const DictionaryPathNode* next) {
  const std::uint64_t chars = segment_chars + (next != nullptr ? next->chars : 0);
  return static_cast<std::uint32_t>(std::min<std::uint64_t>(chars, std::numeric_limits<std::uint32_t>::max()));
}

}  // namespace detail

namespace {

std::string_view node_reading(const DictionaryPathNode& node) {
  return node.segment ? std::string_view(node.segment->reading) : std::string_view();
}

// Byte order of head + reading(tail) against the same for another key, walking
// the two segment chains side by side. Where both sides reach the start of
// paths kept at one position, their ranks there decide without reading on.
int compare_keys(std::string_view a_head, const DictionaryPathNode* a, std::string_view b_head,
                 const DictionaryPathNode* b) {
  for (;;) {
    if (a_head.empty() && b_head.empty()) {
      if (a == b) return 0;
      if (a->position == b->position) return a->rank < b->rank ? -1 : 1;
    }
    if (a_head.empty()) {
      if (a->next == nullptr) {
        // a has ended: equal only when b ends too.
        while (b_head.empty() && b->next != nullptr) {
          b_head = node_reading(*b);
          b = b->next;
        }
        return b_head.empty() ? 0 : -1;
      }
      a_head = node_reading(*a);
      a = a->next;
      continue;
    }
    if (b_head.empty()) {
      if (b->next == nullptr) return 1;
      b_head = node_reading(*b);
      b = b->next;
      continue;
    }
    const std::size_t m = std::min(a_head.size(), b_head.size());
    const int c = a_head.substr(0, m).compare(b_head.substr(0, m));
    if (c != 0) return c < 0 ? -1 : 1;
    a_head.remove_prefix(m);
    b_head.remove_prefix(m);
  }
}

// A reading about to be inserted: a first segment's reading before a kept path.
struct Probe {
  std::string_view head;
  const DictionaryPathNode* tail;
};

int compare(const Probe& a, const Probe& b) { return compare_keys(a.head, a.tail, b.head, b.tail); }

using detail::DictionaryPathBlock;
using Entry = std::shared_ptr<const DictionaryPathBlock>;

// A path being collected for one position: its first segment (in the
// position's block) and the kept path it continues.
struct Pending {
  const DictionaryReadingSegment* segment;
  const Entry* tail_block;
  std::uint32_t tail_index;
  std::uint32_t segment_chars;  // reading characters of the segment

  Probe probe() const {
    return {segment->reading, &(*tail_block)->nodes[tail_index]};
  }
};

bool less(const Pending& a, const Probe& b) { return compare(a.probe(), b) < 0; }

// The readings kept at one position while they are being inserted, in byte
// order. They come a run at a time: one first segment before each path kept
// at a later position, in the byte order of those, so the keys of a run
// ascend and usually all come after the keys kept so far (one comparison).
// A run that falls among them is merged in, each key found by galloping on
// from the place of the one before.
class EntryBuilder {
 public:
  explicit EntryBuilder(std::uint64_t max_paths) : max_paths_(max_paths) {}

  void start(std::size_t position) {
    position_ = position;
    block_ = std::make_shared<DictionaryPathBlock>();
    kept_.clear();
  }

  bool full() const { return kept_.size() >= max_paths_; }

  // A first segment of this position's paths, with its reading characters.
  struct Segment {
    const DictionaryReadingSegment* segment;
    std::uint32_t chars;
  };

  Segment add_segment(std::string surface, std::string reading, bool direct) {
    block_->segments.push_back(DictionaryReadingSegment{std::move(surface), std::move(reading), direct});
    const DictionaryReadingSegment& added = block_->segments.back();
    return {&added, detail::chars_through(text::count_scalars(added.reading), nullptr)};
  }

  // Inserts segment + each path kept in `tails`, in their order, until
  // full; a key whose reading is kept already is passed over.
  void insert_run(const Segment& segment, const Entry& tails) {
    const std::size_t count = tails->nodes.size();
    if (count == 0 || full()) return;
    const auto key = [&](std::size_t k) {
      return Pending{segment.segment, &tails, static_cast<std::uint32_t>(k), segment.chars};
    };
    const std::size_t room = static_cast<std::size_t>(max_paths_ - kept_.size());
    if (kept_.empty() || compare(key(0).probe(), kept_.back().probe()) > 0) {
      const std::size_t take = std::min(count, room);
      for (std::size_t k = 0; k < take; ++k) kept_.push_back(key(k));
      keep_tails(tails);
      return;
    }
    // The place of each new key among those kept before this run; the keys
    // of a run are distinct and ascend, so their places do too.
    additions_.clear();
    std::size_t place = 0;
    for (std::size_t k = 0; k < count && additions_.size() < room; ++k) {
      const Probe probe = key(k).probe();
      place = lower_bound_from(place, probe);
      if (place < kept_.size() && compare(probe, kept_[place].probe()) == 0) continue;
      additions_.emplace_back(place, k);
    }
    if (additions_.empty()) return;
    keep_tails(tails);
    std::size_t read = kept_.size();
    kept_.resize(kept_.size() + additions_.size());
    std::size_t write = kept_.size();
    for (std::size_t a = additions_.size(); a-- > 0;) {
      const auto [at, k] = additions_[a];
      while (read > at) kept_[--write] = kept_[--read];
      kept_[--write] = key(k);
    }
  }

  Entry finish() {
    block_->nodes.reserve(kept_.size());
    std::uint32_t rank = 0;
    for (const Pending& p : kept_) {
      const DictionaryPathNode* next = &(*p.tail_block)->nodes[p.tail_index];
      block_->nodes.push_back(
          DictionaryPathNode{p.segment, next, position_, rank++, detail::chars_through(p.segment_chars, next)});
    }
    return std::move(block_);
  }

 private:
  // The first kept key at or after `from` that is not less than `probe`
  // (every key before `from` is less).
  std::size_t lower_bound_from(std::size_t from, const Probe& probe) const {
    std::size_t lo = from;
    std::size_t hi = kept_.size();
    for (std::size_t step = 1;; step *= 2) {
      const std::size_t at = lo + step - 1;
      if (at >= kept_.size()) break;
      if (!less(kept_[at], probe)) {
        hi = at;
        break;
      }
      lo = at + 1;
    }
    while (lo < hi) {
      const std::size_t mid = lo + (hi - lo) / 2;
      if (less(kept_[mid], probe)) {
        lo = mid + 1;
      } else {
        hi = mid;
      }
    }
    return lo;
  }

  void keep_tails(const Entry& tails) {
    if (std::find(block_->tails.begin(), block_->tails.end(), tails) == block_->tails.end()) {
      block_->tails.push_back(tails);
    }
  }

  std::uint64_t max_paths_;
  std::size_t position_ = 0;
  std::shared_ptr<DictionaryPathBlock> block_;
  std::vector<Pending> kept_;
  std::vector<std::pair<std::size_t, std::size_t>> additions_;
};

bool empty(const Entry& entry) { return !entry || entry->nodes.empty(); }

struct Candidate {
  std::size_t end;
  UnidicReadings readings;
};

}  // namespace

// The backward search over text[0..end): position v keeps the paths of
// text[v..end) alone, so one search serves every start.
class SuffixSegmenter::Search {
 public:
  Search(const UnidicReadingIndex& index, std::string_view text, std::span<const std::size_t> boundaries,
         std::size_t end, std::size_t lowest, const DictionaryOptions& options, bool include_direct)
      : index_(index), text_(text), b_(boundaries), n_(end), lowest_(lowest), options_(options),
        include_direct_(include_direct), max_span_(options.max_span_chars), entries_(end - lowest + 1),
        run_end_(include_direct ? end - lowest + 1 : 0, end), v_(end) {
    auto end_of_text = std::make_shared<DictionaryPathBlock>();
    end_of_text->nodes.push_back(DictionaryPathNode{nullptr, nullptr, end, 0, 0});
    entry(end) = std::move(end_of_text);
    if (include_direct_ && end > lowest) set_run_end(end - 1);
  }

  std::expected<Entry, UnidicArtifactPayloadError> kept_from(std::size_t from) {
    while (!error_ && v_ > from) step(v_ - 1);
    if (error_) return std::unexpected(*error_);
    return entry(from);
  }

 private:
  Entry& entry(std::size_t position) { return entries_[position - lowest_]; }
  std::size_t run_end(std::size_t position) const { return run_end_[position - lowest_]; }
  // The end of the directly readable run from `position` (the position
  // itself when its character cannot be read as typed).
  void set_run_end(std::size_t position) {
    std::size_t pos = b_[position];
    const bool readable = is_directly_readable_char(text::next_scalar(text_, pos));
    run_end_[position - lowest_] = readable ? (position + 1 == n_ ? n_ : run_end(position + 1)) : position;
  }

  void step(std::size_t v) {
    // run_end of v is known; that of v - 1 is read below.
    if (include_direct_ && v > lowest_) set_run_end(v - 1);
    candidates_.clear();
    const std::size_t last_end = static_cast<std::size_t>(std::min<std::uint64_t>(v + max_span_, n_));
    for (std::size_t e = v + 1; e <= last_end; ++e) {
      if (empty(entry(e))) continue;
      auto found = index_.try_readings(text_.substr(b_[v], b_[e] - b_[v]));
      if (!found) {
        error_ = std::move(found.error());
        return;
      }
      if (*found) candidates_.push_back(Candidate{e, std::move(**found)});
    }
    if (options_.longest_only && !include_direct_ && candidates_.size() > 1) {
      candidates_.erase(candidates_.begin(), candidates_.end() - 1);
    }

    EntryBuilder& builder = builder_;
    builder.start(v);
    for (const Candidate& candidate : candidates_) {
      if (builder.full()) break;
      const std::string_view surface = text_.substr(b_[v], b_[candidate.end] - b_[v]);
      std::size_t used = candidate.readings.size();
      if (options_.max_readings_per_segment) {
        used = static_cast<std::size_t>(std::min<std::uint64_t>(used, *options_.max_readings_per_segment));
      }
      const Entry& tails = entry(candidate.end);
      for (std::size_t r = 0; r < used && !builder.full(); ++r) {
        builder.insert_run(builder.add_segment(std::string(surface), candidate.readings[r], false), tails);
      }
    }
    if (include_direct_ && !builder.full() && run_end(v) > v && !empty(entry(run_end(v)))) {
      const std::size_t d = run_end(v);
      const std::string surface(text_.substr(b_[v], b_[d] - b_[v]));
      builder.insert_run(builder.add_segment(surface, surface, true), entry(d));
    }
    entry(v) = builder.finish();
    v_ = v;

    // Drop what no earlier position can reach any more: spans from v' < v
    // end before v + max_span, and a direct stretch from v' < v ends where
    // the run through v - 1 ends.
    const bool has_earlier = v > lowest_;
    const auto needed_by_direct = [&](std::size_t e) { return include_direct_ && has_earlier && run_end(v - 1) == e; };
    if (v + max_span_ <= n_ && !needed_by_direct(v + max_span_)) entry(v + max_span_) = Entry{};
    if (include_direct_ && has_earlier && run_end(v) > v && run_end(v) >= v + max_span_ &&
        !needed_by_direct(run_end(v))) {
      entry(run_end(v)) = Entry{};
    }
  }

  const UnidicReadingIndex& index_;
  std::string_view text_;
  std::span<const std::size_t> b_;
  std::size_t n_;
  std::size_t lowest_;
  DictionaryOptions options_;
  bool include_direct_;
  std::uint64_t max_span_;
  std::vector<Entry> entries_;
  std::vector<std::size_t> run_end_;
  std::size_t v_;  // entries are made down to here
  std::optional<UnidicArtifactPayloadError> error_;
  std::vector<Candidate> candidates_;
  EntryBuilder builder_{options_.max_paths};
};

SuffixSegmenter::SuffixSegmenter(const UnidicReadingIndex& index, std::string_view text,
                                 std::span<const std::size_t> boundaries, std::size_t end, std::size_t lowest,
                                 const DictionaryOptions& options, bool include_direct) {
  if (auto ok = check_dictionary_option_limits(options); !ok) {
    error_ = UnidicArtifactPayloadError::from_option_limit(ok.error());
  } else if (options.max_span_chars != 0 && options.max_paths != 0 && end > lowest) {
    search_ = std::make_unique<Search>(index, text, boundaries, end, lowest, options, include_direct);
  }
}

SuffixSegmenter::SuffixSegmenter(SuffixSegmenter&&) noexcept = default;
SuffixSegmenter& SuffixSegmenter::operator=(SuffixSegmenter&&) noexcept = default;
SuffixSegmenter::~SuffixSegmenter() = default;

std::vector<DictionaryReadingPath> KeptPaths::paths() const {
  std::vector<DictionaryReadingPath> out;
  out.reserve(size());
  for (std::size_t i = 0; i < size(); ++i) out.push_back(path(i));
  return out;
}

std::expected<std::vector<DictionaryReadingPath>, UnidicArtifactPayloadError> SuffixSegmenter::paths_from(
    std::size_t from) {
  auto kept = kept_from(from);
  if (!kept) return std::unexpected(std::move(kept.error()));
  return kept->paths();
}

std::expected<KeptPaths, UnidicArtifactPayloadError> SuffixSegmenter::kept_from(std::size_t from) {
  if (error_) return std::unexpected(*error_);
  if (!search_) return KeptPaths();
  auto kept = search_->kept_from(from);
  if (!kept) return std::unexpected(std::move(kept.error()));
  return KeptPaths(std::move(*kept));
}

std::expected<KeptPaths, UnidicArtifactPayloadError> kept_reading_paths(const UnidicReadingIndex& index,
                                                                        std::string_view text,
                                                                        const DictionaryOptions& options,
                                                                        bool include_direct) {
  const std::vector<std::size_t> b = char_boundaries(text);
  SuffixSegmenter search(index, text, b, b.size() - 1, 0, options, include_direct);
  return search.kept_from(0);
}

namespace {

std::string reading_of(const DictionaryPathNode* node) {
  std::string reading;
  for (; node != nullptr; node = node->next) reading += node_reading(*node);
  return reading;
}

}  // namespace

DictionaryReadingPath::DictionaryReadingPath(std::vector<DictionaryReadingSegment> segments) {
  std::shared_ptr<const detail::DictionaryPathBlock> tail;
  for (auto it = segments.rbegin(); it != segments.rend(); ++it) {
    auto block = std::make_shared<detail::DictionaryPathBlock>();
    block->segments.push_back(std::move(*it));
    const DictionaryPathNode* next = tail ? &tail->nodes.back() : nullptr;
    const DictionaryReadingSegment* segment = &block->segments.back();
    block->nodes.push_back(
        DictionaryPathNode{segment, next, 0, 0, detail::chars_through(text::count_scalars(segment->reading), next)});
    if (tail) block->tails.push_back(std::move(tail));
    tail = std::move(block);
  }
  if (tail) head_ = std::shared_ptr<const DictionaryPathNode>(tail, &tail->nodes.back());
}

std::string DictionaryReadingPath::reading() const { return reading_of(head_.get()); }

std::vector<DictionaryReadingSegment> DictionaryReadingPath::segments() const {
  std::vector<DictionaryReadingSegment> out;
  for_each_segment([&](const DictionaryReadingSegment& s) { out.push_back(s); });
  return out;
}

std::size_t DictionaryReadingPath::segment_count() const {
  std::size_t count = 0;
  for_each_segment([&](const DictionaryReadingSegment&) { ++count; });
  return count;
}

std::expected<DictionaryOptions, JaLatticeError> validate_dictionary_options(const DictionaryOptions& options) {
  if (auto ok = check_dictionary_option_limits(options); !ok) {
    return std::unexpected(JaLatticeError::dictionary(UnidicArtifactPayloadError::from_option_limit(ok.error()).message()));
  }
  return options;
}

std::expected<std::vector<DictionaryReadingPath>, UnidicArtifactPayloadError> reading_paths_with_stats_inner(
    const UnidicReadingIndex& index, std::string_view text, const DictionaryOptions& options, bool include_direct) {
  auto kept = kept_reading_paths(index, text, options, include_direct);
  if (!kept) return std::unexpected(std::move(kept.error()));
  return kept->paths();
}

std::expected<std::vector<std::string>, UnidicArtifactPayloadError> reading_sequences_with_stats_inner(
    const UnidicReadingIndex& index, std::string_view text, const DictionaryOptions& options, bool include_direct) {
  auto kept = kept_reading_paths(index, text, options, include_direct);
  if (!kept) return std::unexpected(std::move(kept.error()));
  std::vector<std::string> readings;
  readings.reserve(kept->size());
  for (std::size_t i = 0; i < kept->size(); ++i) readings.push_back(reading_of(kept->head(i)));
  return readings;
}

std::optional<std::size_t> direct_fallback_end(std::string_view text, std::span<const std::size_t> boundaries,
                                               std::size_t start, std::size_t end) {
  std::size_t i = start;
  while (i < end) {
    std::size_t pos = boundaries[i];
    if (!is_directly_readable_char(text::next_scalar(text, pos))) break;
    ++i;
  }
  if (i > start) return i;
  return std::nullopt;
}

}  // namespace orvel::ja
