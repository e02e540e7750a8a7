#include "ja/segmentation.hpp"

#include <algorithm>
#include <memory_resource>
#include <set>

#include "ja/romaji_expansion.hpp"
#include "ja/unidic_reading_index.hpp"
#include "text/utf8.hpp"

namespace orvel::ja {

using detail::DictionaryPathNode;

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
          b = b->next.get();
        }
        return b_head.empty() ? 0 : -1;
      }
      a_head = node_reading(*a);
      a = a->next.get();
      continue;
    }
    if (b_head.empty()) {
      if (b->next == nullptr) return 1;
      b_head = node_reading(*b);
      b = b->next.get();
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

  Probe probe() const {
    return {segment->reading, &(*tail_block)->nodes[tail_index]};
  }
};

struct PendingLess {
  bool operator()(const Pending& a, const Pending& b) const { return compare(a.probe(), b.probe()) < 0; }
};

// The readings kept at one position while they are being inserted. The set
// and its nodes live in a buffer released when the position is done.
class EntryBuilder {
 public:
  EntryBuilder(std::size_t position, std::uint64_t max_paths)
      : position_(position), max_paths_(max_paths), block_(std::make_shared<DictionaryPathBlock>()),
        set_(&buffer_) {}

  bool full() const { return set_.size() >= max_paths_; }

  const DictionaryReadingSegment* add_segment(std::string surface, std::string reading, bool direct) {
    block_->segments.push_back(DictionaryReadingSegment{std::move(surface), std::move(reading), direct});
    return &block_->segments.back();
  }

  // Inserts segment + the tail's path `tail_index` unless a path with the
  // same reading is kept.
  void insert(const DictionaryReadingSegment* segment, const Entry& tail_block, std::size_t tail_index) {
    const Pending pending{segment, &tail_block, static_cast<std::uint32_t>(tail_index)};
    const Probe probe = pending.probe();
    // Tails come in byte order, so a new key usually lands right after the
    // previous one: try that place before searching the whole set.
    auto it = set_.end();
    bool placed = false;
    if (last_ != set_.end() && compare(probe, last_->probe()) > 0) {
      // Past the greatest element std::next climbs the whole tree; the
      // greatest element itself is known at once.
      auto after = last_ == std::prev(set_.end()) ? set_.end() : std::next(last_);
      const int c = after == set_.end() ? -1 : compare(probe, after->probe());
      if (c == 0) {
        last_ = after;
        return;
      }
      if (c < 0) {
        it = after;
        placed = true;
      }
    }
    if (!placed) {
      it = set_.lower_bound(pending);
      if (it != set_.end() && compare(probe, it->probe()) == 0) {
        last_ = it;
        return;
      }
    }
    last_ = set_.emplace_hint(it, pending);
  }

  Entry finish() {
    block_->nodes.reserve(set_.size());
    std::uint32_t rank = 0;
    for (const Pending& p : set_) {
      DictionaryPathNode node;
      node.segment = p.segment;
      node.next = std::shared_ptr<const DictionaryPathNode>(*p.tail_block, &(*p.tail_block)->nodes[p.tail_index]);
      node.position = position_;
      node.rank = rank++;
      block_->nodes.push_back(std::move(node));
    }
    return std::move(block_);
  }

 private:
  std::uint64_t position_;
  std::uint64_t max_paths_;
  std::shared_ptr<DictionaryPathBlock> block_;
  std::pmr::unsynchronized_pool_resource buffer_;
  std::pmr::set<Pending, PendingLess> set_;
  std::pmr::set<Pending, PendingLess>::iterator last_ = set_.end();
};

bool empty(const Entry& entry) { return !entry || entry->nodes.empty(); }

struct Candidate {
  std::size_t end;
  UnidicReadings readings;
};

// For each position, the end of the directly readable run starting there
// (the position itself when its character cannot be read as typed).
std::vector<std::size_t> direct_run_ends(std::string_view text, std::span<const std::size_t> b) {
  const std::size_t n = b.size() - 1;
  std::vector<std::size_t> run_end(n + 1, n);
  for (std::size_t v = n; v-- > 0;) {
    std::size_t pos = b[v];
    const bool readable = is_directly_readable_char(text::next_scalar(text, pos));
    run_end[v] = readable ? run_end[v + 1] : v;
  }
  return run_end;
}

// The programme shared by both result forms; the kept paths of position 0.
std::expected<Entry, UnidicArtifactPayloadError> segment_with_index(const UnidicReadingIndex& index,
                                                                    std::string_view text,
                                                                    const DictionaryOptions& options,
                                                                    bool include_direct) {
  if (auto ok = check_dictionary_option_limits(options); !ok) {
    return std::unexpected(UnidicArtifactPayloadError::from_option_limit(ok.error()));
  }
  if (options.max_span_chars == 0 || text.empty() || options.max_paths == 0) return Entry{};

  const std::vector<std::size_t> b = char_boundaries(text);
  const std::size_t n = b.size() - 1;
  const std::uint64_t max_span = options.max_span_chars;
  const std::vector<std::size_t> run_end = include_direct ? direct_run_ends(text, b) : std::vector<std::size_t>{};

  std::vector<Entry> entries(n + 1);
  {
    auto end_of_text = std::make_shared<DictionaryPathBlock>();
    end_of_text->nodes.push_back(DictionaryPathNode{nullptr, nullptr, n, 0});
    entries[n] = std::move(end_of_text);
  }

  std::vector<Candidate> candidates;
  for (std::size_t v = n; v-- > 0;) {
    candidates.clear();
    const std::size_t last_end = static_cast<std::size_t>(std::min<std::uint64_t>(v + max_span, n));
    for (std::size_t e = v + 1; e <= last_end; ++e) {
      if (empty(entries[e])) continue;
      auto found = index.try_readings(text.substr(b[v], b[e] - b[v]));
      if (!found) return std::unexpected(std::move(found.error()));
      if (*found) candidates.push_back(Candidate{e, std::move(**found)});
    }
    if (options.longest_only && !include_direct && candidates.size() > 1) {
      candidates.erase(candidates.begin(), candidates.end() - 1);
    }

    EntryBuilder builder(v, options.max_paths);
    for (const Candidate& candidate : candidates) {
      if (builder.full()) break;
      const std::string_view surface = text.substr(b[v], b[candidate.end] - b[v]);
      std::size_t used = candidate.readings.size();
      if (options.max_readings_per_segment) {
        used = static_cast<std::size_t>(std::min<std::uint64_t>(used, *options.max_readings_per_segment));
      }
      const Entry& tails = entries[candidate.end];
      for (std::size_t r = 0; r < used && !builder.full(); ++r) {
        const DictionaryReadingSegment* segment = builder.add_segment(std::string(surface), candidate.readings[r], false);
        for (std::size_t k = 0; k < tails->nodes.size(); ++k) {
          builder.insert(segment, tails, k);
          if (builder.full()) break;
        }
      }
    }
    if (include_direct && !builder.full() && run_end[v] > v && !empty(entries[run_end[v]])) {
      const std::size_t d = run_end[v];
      const std::string surface(text.substr(b[v], b[d] - b[v]));
      const DictionaryReadingSegment* segment = builder.add_segment(surface, surface, true);
      const Entry& tails = entries[d];
      for (std::size_t k = 0; k < tails->nodes.size(); ++k) {
        builder.insert(segment, tails, k);
        if (builder.full()) break;
      }
    }
    entries[v] = builder.finish();

    // Drop what no earlier position can reach any more: spans from v' < v
    // end before v + max_span, and a direct stretch from v' < v ends where
    // the run through v - 1 ends.
    const auto needed_by_direct = [&](std::size_t e) { return include_direct && v > 0 && run_end[v - 1] == e; };
    if (v + max_span <= n && !needed_by_direct(v + max_span)) entries[v + max_span] = Entry{};
    if (include_direct && v > 0 && run_end[v] > v && run_end[v] >= v + max_span && !needed_by_direct(run_end[v])) {
      entries[run_end[v]] = Entry{};
    }
  }
  return std::move(entries[0]);
}

std::string reading_of(const DictionaryPathNode* node) {
  std::string reading;
  for (; node != nullptr; node = node->next.get()) reading += node_reading(*node);
  return reading;
}

}  // namespace

DictionaryReadingPath::DictionaryReadingPath(std::vector<DictionaryReadingSegment> segments) {
  std::shared_ptr<const DictionaryPathNode> head;
  for (auto it = segments.rbegin(); it != segments.rend(); ++it) {
    auto block = std::make_shared<detail::DictionaryPathBlock>();
    block->segments.push_back(std::move(*it));
    block->nodes.push_back(DictionaryPathNode{&block->segments.back(), std::move(head), 0, 0});
    head = std::shared_ptr<const DictionaryPathNode>(block, &block->nodes.back());
  }
  head_ = std::move(head);
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
  auto kept = segment_with_index(index, text, options, include_direct);
  if (!kept) return std::unexpected(std::move(kept.error()));
  std::vector<DictionaryReadingPath> paths;
  if (!*kept) return paths;
  const Entry& block = *kept;
  paths.reserve(block->nodes.size());
  for (const DictionaryPathNode& node : block->nodes) {
    paths.emplace_back(std::shared_ptr<const DictionaryPathNode>(block, &node));
  }
  return paths;
}

std::expected<std::vector<std::string>, UnidicArtifactPayloadError> reading_sequences_with_stats_inner(
    const UnidicReadingIndex& index, std::string_view text, const DictionaryOptions& options, bool include_direct) {
  auto kept = segment_with_index(index, text, options, include_direct);
  if (!kept) return std::unexpected(std::move(kept.error()));
  std::vector<std::string> readings;
  if (!*kept) return readings;
  readings.reserve((*kept)->nodes.size());
  for (const DictionaryPathNode& node : (*kept)->nodes) readings.push_back(reading_of(&node));
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

std::vector<std::size_t> char_boundaries(std::string_view text) {
  std::vector<std::size_t> b;
  b.reserve(text.size() + 1);
  std::size_t pos = 0;
  while (pos < text.size()) {
    b.push_back(pos);
    pos += text::utf8_sequence_length(static_cast<unsigned char>(text[pos]));
  }
  b.push_back(text.size());
  return b;
}

}  // namespace orvel::ja
