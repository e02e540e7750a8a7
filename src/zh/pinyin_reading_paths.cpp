#include "zh/pinyin_reading_paths.hpp"

#include <algorithm>
#include <cstring>
#include <optional>
#include <set>

#include "common/fatal_error.hpp"
#include "text/utf8.hpp"
#include "zh/cedict_reading_index.hpp"
#include "zh/pinyin.hpp"
#include "zh/typed_pinyin_suffixes.hpp"

namespace orvel::zh {

namespace {

using NodeId = std::uint32_t;
// The empty path: the end of the text.
constexpr NodeId kEnd = static_cast<NodeId>(-1);
// No list position.
constexpr std::size_t kNoList = static_cast<std::size_t>(-1);

// One segment of a path plus the path it continues with. The node's joined
// reading is its own reading followed by its tail's joined reading. Kept to
// 32 bytes: a long text at the largest path cap holds millions of them.
struct Node {
  const char* text = nullptr;  // the node's own reading, after a ":" when colon_lead
  std::uint32_t text_len = 0;
  std::uint32_t position = 0;  // the segment covers characters [position, end)
  std::uint32_t end = 0;
  NodeId tail = kEnd;
  std::uint32_t refs = 0;
  std::uint16_t rank = 0;  // index in its position's list (max_paths <= 16384)
  bool ranked : 1 = false;  // rank is final
  bool direct : 1 = false;
  bool colon_lead : 1 = false;

  std::string_view reading() const { return {text, text_len}; }
};
static_assert(sizeof(Node) <= 32);

Node segment(std::string_view reading, std::size_t position, std::size_t end, NodeId tail) {
  Node node;
  node.text = reading.data();
  node.text_len = static_cast<std::uint32_t>(reading.size());
  node.position = static_cast<std::uint32_t>(position);
  node.end = static_cast<std::uint32_t>(end);
  node.tail = tail;
  return node;
}

std::size_t piece_length(const Node& n) { return n.text_len + (n.colon_lead ? 1 : 0); }

// The node's own reading from byte `offset` on.
std::string_view piece_from(const Node& n, std::size_t offset) {
  if (!n.colon_lead) return n.reading().substr(offset);
  if (offset == 0) return ":";
  return n.reading().substr(offset - 1);
}

}  // namespace

struct PinyinPathSearch::State {
  std::string text;
  std::vector<std::size_t> bounds;  // byte offset of every character, then the length
  std::vector<Node> nodes;
  std::vector<NodeId> free_slots;
  // Reading lists decoded from an indexed payload, and typed-pinyin forms:
  // the nodes' readings point into them.
  std::deque<std::vector<std::string>> decoded;
  std::deque<TypedPinyinSuffixes> typed;
  std::vector<NodeId> result;

  NodeId make(const Node& node) {
    NodeId id;
    if (!free_slots.empty()) {
      id = free_slots.back();
      free_slots.pop_back();
      nodes[id] = node;
    } else {
      if (nodes.size() >= kEnd) fail_fatal("pinyin path search node count", std::to_string(nodes.size()));
      id = static_cast<NodeId>(nodes.size());
      nodes.push_back(node);
    }
    nodes[id].refs = 1;
    if (node.tail != kEnd) ++nodes[node.tail].refs;
    return id;
  }

  void release(NodeId id) {
    // Iterative, so that a long chain is freed without deep recursion.
    while (id != kEnd) {
      Node& node = nodes[id];
      if (--node.refs != 0) return;
      const NodeId next = node.tail;
      node = Node{};
      free_slots.push_back(id);
      id = next;
    }
  }

  void release_list(std::vector<NodeId>& list) {
    for (const NodeId id : list) release(id);
    list.clear();
    list.shrink_to_fit();
  }

  // Byte order of the joined readings of two paths.
  int compare(NodeId a, NodeId b) const {
    std::size_t offset_a = 0;
    std::size_t offset_b = 0;
    for (;;) {
      if (offset_a == 0 && offset_b == 0) {
        if (a == b) return 0;
        // Two finished lists of one position are already in reading order.
        if (a != kEnd && b != kEnd && nodes[a].ranked && nodes[b].ranked &&
            nodes[a].position == nodes[b].position) {
          return nodes[a].rank < nodes[b].rank ? -1 : 1;
        }
      }
      if (a != kEnd && offset_a == piece_length(nodes[a])) {
        a = nodes[a].tail;
        offset_a = 0;
        continue;
      }
      if (b != kEnd && offset_b == piece_length(nodes[b])) {
        b = nodes[b].tail;
        offset_b = 0;
        continue;
      }
      if (a == kEnd || b == kEnd) return a == kEnd ? (b == kEnd ? 0 : -1) : 1;
      const std::string_view pa = piece_from(nodes[a], offset_a);
      const std::string_view pb = piece_from(nodes[b], offset_b);
      const std::size_t common = std::min(pa.size(), pb.size());
      if (const int c = std::memcmp(pa.data(), pb.data(), common); c != 0) return c < 0 ? -1 : 1;
      offset_a += common;
      offset_b += common;
    }
  }

  template <class Visit>
  void walk(std::size_t k, Visit&& visit) const {
    for (NodeId id = result[k]; id != kEnd; id = nodes[id].tail) visit(nodes[id]);
  }

  // The steps of run(), below.
  struct Candidate {
    std::size_t end;
    const std::vector<std::string>* readings;
  };
  class PositionPaths;
  struct TypedRun;
  std::u32string split_characters();
  std::expected<void, ZhArtifactPayloadError> find_candidates(const CedictReadingIndex& index, std::size_t i,
                                                              std::size_t last,
                                                              const std::vector<std::vector<NodeId>>& lists,
                                                              bool longest_only, std::vector<Candidate>& candidates);
  void add_dictionary_paths(PositionPaths& paths, std::size_t i, const std::vector<Candidate>& candidates,
                            const std::vector<std::vector<NodeId>>& lists,
                            std::optional<std::uint64_t> max_readings_per_segment);
  void add_typed_paths(PositionPaths& paths, TypedRun& run, const std::u32string& chars, std::size_t i,
                       std::size_t run_end, const std::vector<NodeId>& tails);
  void release_passed_lists(std::vector<std::vector<NodeId>>& lists, std::size_t passed, std::size_t next_run_end,
                            std::size_t& deferred);
};

namespace {

// run_end[i]: the end of the typed-pinyin run from character i (i itself
// when character i cannot be typed pinyin), for i from 0 to n.
std::vector<std::size_t> typed_run_ends(const std::u32string& chars) {
  const std::size_t n = chars.size();
  std::vector<std::size_t> run_end(n + 1, n);
  for (std::size_t i = n; i-- > 0;) run_end[i] = is_direct_pinyin_char(chars[i]) ? run_end[i + 1] : i;
  return run_end;
}

}  // namespace

// The paths from one position to the end of the text, in byte order of their
// joined readings; of paths with the same reading the first one stays. Full
// once it holds max_paths paths.
class PinyinPathSearch::State::PositionPaths {
  struct ByReading {
    const State* s;
    bool operator()(NodeId a, NodeId b) const { return s->compare(a, b) < 0; }
  };
  using Set = std::set<NodeId, ByReading>;

 public:
  // Where the next path of a group likely belongs: the tails of one segment
  // reading come in reading order, so each new path usually goes right after
  // the previous one, and the hint makes that insertion constant time.
  using Hint = Set::iterator;

  PositionPaths(State& s, std::size_t max_paths) : s_(s), paths_(ByReading{&s}), max_paths_(max_paths) {}

  bool full() const { return full_; }
  Hint hint() { return paths_.end(); }

  void add(const Node& node, Hint& hint) {
    const NodeId id = s_.make(node);
    const std::size_t before = paths_.size();
    const Hint at = paths_.insert(hint, id);
    hint = std::next(at);
    if (paths_.size() == before) {
      s_.release(id);  // the first path with this reading stays
      return;
    }
    full_ = paths_.size() >= max_paths_;
  }

  // The paths in order, each ranked by its place.
  std::vector<NodeId> ranked() {
    std::vector<NodeId> list;
    list.reserve(paths_.size());
    std::uint16_t rank = 0;
    for (const NodeId id : paths_) {
      s_.nodes[id].rank = rank++;
      s_.nodes[id].ranked = true;
      list.push_back(id);
    }
    return list;
  }

 private:
  State& s_;
  Set paths_;
  std::size_t max_paths_;
  bool full_ = false;
};

// The typed-pinyin forms of the run being walked through (the search walks
// from the end of the text, so a run is entered at its last character).
struct PinyinPathSearch::State::TypedRun {
  const TypedPinyinSuffixes* forms = nullptr;
  std::size_t start = 0;
};

// Fills bounds and returns the characters of the text.
std::u32string PinyinPathSearch::State::split_characters() {
  const std::string_view t(text);
  std::u32string chars;
  chars.reserve(t.size());
  bounds.reserve(t.size() + 1);
  for (std::size_t pos = 0; pos < t.size();) {
    bounds.push_back(pos);
    chars.push_back(text::next_scalar(t, pos));
  }
  bounds.push_back(t.size());
  return chars;
}

// The dictionary readings of the segments from character i to ends up to
// last, skipping ends from which no path goes on; with longest_only only the
// longest segment.
std::expected<void, ZhArtifactPayloadError> PinyinPathSearch::State::find_candidates(
    const CedictReadingIndex& index, std::size_t i, std::size_t last, const std::vector<std::vector<NodeId>>& lists,
    bool longest_only, std::vector<Candidate>& candidates) {
  const std::string_view t(text);
  candidates.clear();
  for (std::size_t j = i + 1; j <= last; ++j) {
    if (lists[j].empty()) continue;
    auto found = index.try_readings(t.substr(bounds[i], bounds[j] - bounds[i]));
    if (!found) return std::unexpected(std::move(found.error()));
    if (!*found) continue;
    if ((*found)->is_view()) {
      candidates.push_back({j, &(*found)->list()});
    } else {
      decoded.push_back(std::move(**found).take());
      candidates.push_back({j, &decoded.back()});
    }
  }
  if (longest_only && candidates.size() > 1) candidates.erase(candidates.begin(), candidates.end() - 1);
  return {};
}

// Each candidate reading (up to max_readings_per_segment per segment)
// followed by each path from its segment's end.
void PinyinPathSearch::State::add_dictionary_paths(PositionPaths& paths, std::size_t i,
                                                   const std::vector<Candidate>& candidates,
                                                   const std::vector<std::vector<NodeId>>& lists,
                                                   std::optional<std::uint64_t> max_readings_per_segment) {
  for (const Candidate& c : candidates) {
    std::size_t k = c.readings->size();
    if (max_readings_per_segment) k = std::min<std::uint64_t>(k, *max_readings_per_segment);
    for (std::size_t r = 0; r < k && !paths.full(); ++r) {
      const std::vector<NodeId>& tails = lists[c.end];
      PositionPaths::Hint hint = paths.hint();
      for (std::size_t ti = 0; ti < tails.size() && !paths.full(); ++ti) {
        paths.add(segment((*c.readings)[r], i, c.end, tails[ti]), hint);
      }
    }
    if (paths.full()) break;
  }
}

// The typed pinyin from character i to the end of its run, as one direct
// segment, followed by each path from the run's end.
void PinyinPathSearch::State::add_typed_paths(PositionPaths& paths, TypedRun& run, const std::u32string& chars,
                                              std::size_t i, std::size_t run_end, const std::vector<NodeId>& tails) {
  if (run.forms == nullptr || i < run.start || i >= run_end || run.forms->size() != run_end - run.start) {
    std::size_t start = i;
    while (start > 0 && is_direct_pinyin_char(chars[start - 1])) --start;
    run.start = start;
    run.forms = &typed.emplace_back(std::string_view(text).substr(bounds[start], bounds[run_end] - bounds[start]));
  }
  const TypedPinyinSuffixes::Form& form = run.forms->form(i - run.start);
  PositionPaths::Hint hint = paths.hint();
  for (std::size_t ti = 0; ti < tails.size() && !paths.full(); ++ti) {
    Node node = segment(form.rest, i, run_end, tails[ti]);
    node.direct = true;
    node.colon_lead = form.colon_lead;
    paths.add(node, hint);
  }
}

PinyinPathSearch::PinyinPathSearch(std::unique_ptr<State> state) : state_(std::move(state)) {}
PinyinPathSearch::PinyinPathSearch(PinyinPathSearch&&) noexcept = default;
PinyinPathSearch& PinyinPathSearch::operator=(PinyinPathSearch&&) noexcept = default;
PinyinPathSearch::~PinyinPathSearch() = default;

std::size_t PinyinPathSearch::size() const { return state_->result.size(); }

std::string PinyinPathSearch::reading(std::size_t k) const {
  std::string out;
  state_->walk(k, [&](const Node& n) {
    if (n.colon_lead) out.push_back(':');
    out.append(n.reading());
  });
  return out;
}

SymbolPath PinyinPathSearch::symbols(std::size_t k) const {
  const std::string joined = reading(k);
  SymbolPath out;
  out.reserve(joined.size());
  std::size_t pos = 0;
  while (pos < joined.size()) out.push_back(static_cast<std::uint32_t>(text::next_scalar(joined, pos)));
  return out;
}

PinyinReadingPath PinyinPathSearch::path(std::size_t k) const {
  PinyinReadingPath path;
  state_->walk(k, [&](const Node& n) {
    PinyinReadingSegment segment;
    const std::size_t begin = state_->bounds[n.position];
    segment.surface = state_->text.substr(begin, state_->bounds[n.end] - begin);
    if (n.colon_lead) segment.reading.push_back(':');
    segment.reading.append(n.reading());
    segment.direct = n.direct;
    path.reading += segment.reading;
    path.segments.push_back(std::move(segment));
  });
  return path;
}

// Releases the lists that no earlier position can reach any more, once the
// search has moved on to the position before i: the list at `passed` (i plus
// the dictionary span) unless it is the end of the typed-pinyin run that the
// next position belongs to (next_run_end); such a list is deferred until the
// run ends elsewhere (run ends only move down). Positions beyond the text
// are ignored.
void PinyinPathSearch::State::release_passed_lists(std::vector<std::vector<NodeId>>& lists, std::size_t passed,
                                                   std::size_t next_run_end, std::size_t& deferred) {
  if (deferred != kNoList && deferred != next_run_end) {
    release_list(lists[deferred]);
    deferred = kNoList;
  }
  if (passed < lists.size()) {
    if (passed == next_run_end) {
      deferred = passed;
    } else {
      release_list(lists[passed]);
    }
  }
}

std::expected<PinyinPathSearch, ZhArtifactPayloadError> PinyinPathSearch::run(const CedictReadingIndex& index,
                                                                             std::string_view text,
                                                                             const DictionaryOptions& options,
                                                                             bool hybrid) {
  if (auto limits = check_dictionary_option_limits(options); !limits) {
    return std::unexpected(ZhArtifactPayloadError::from_option_limit(limits.error()));
  }
  auto owned = std::make_unique<State>();
  State& s = *owned;
  s.text = std::string(text);
  // Text that is not UTF-8 has no characters to read: no path.
  if (options.max_span_chars == 0 || text.empty() || options.max_paths == 0 || !text::validate_utf8(text)) {
    return PinyinPathSearch(std::move(owned));
  }
  // Node fields hold positions and lengths in 32 bits.
  if (text.size() >= kEnd) fail_fatal("text too long for the pinyin path search", std::to_string(text.size()));
  const std::u32string chars = s.split_characters();
  const std::size_t n = chars.size();
  const std::vector<std::size_t> run_end = hybrid ? typed_run_ends(chars) : std::vector<std::size_t>{};

  const std::size_t span = static_cast<std::size_t>(options.max_span_chars);
  // lists[i]: the paths from character i to the end, found from the end of
  // the text backwards.
  std::vector<std::vector<NodeId>> lists(n + 1);
  lists[n].push_back(kEnd);
  std::vector<State::Candidate> candidates;
  State::TypedRun run;
  std::size_t deferred = kNoList;

  for (std::size_t i = n; i-- > 0;) {
    if (auto found = s.find_candidates(index, i, std::min(i + span, n), lists, options.longest_only, candidates);
        !found) {
      return std::unexpected(std::move(found.error()));
    }
    State::PositionPaths paths(s, static_cast<std::size_t>(options.max_paths));
    s.add_dictionary_paths(paths, i, candidates, lists, options.max_readings_per_segment);
    if (hybrid && !paths.full() && run_end[i] > i && !lists[run_end[i]].empty()) {
      s.add_typed_paths(paths, run, chars, i, run_end[i], lists[run_end[i]]);
    }
    lists[i] = paths.ranked();

    if (i > 0) s.release_passed_lists(lists, i + span, hybrid ? run_end[i - 1] : kNoList, deferred);
  }
  s.result = std::move(lists[0]);
  return PinyinPathSearch(std::move(owned));
}

std::expected<std::vector<PinyinReadingPath>, ZhArtifactPayloadError> CedictReadingIndex::reading_paths_with_stats_inner(
    std::string_view text, const DictionaryOptions& options, bool hybrid) const {
  auto search = PinyinPathSearch::run(*this, text, options, hybrid);
  if (!search) return std::unexpected(std::move(search.error()));
  std::vector<PinyinReadingPath> paths;
  paths.reserve(search->size());
  for (std::size_t k = 0; k < search->size(); ++k) paths.push_back(search->path(k));
  return paths;
}

}  // namespace orvel::zh
