#include "zh/pinyin_reading_paths.hpp"

#include <algorithm>
#include <cstring>
#include <optional>
#include <span>

#include "common/fatal_error.hpp"
#include "core/sequence_ids.hpp"
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

// The node's own reading, ":" first when colon_lead, as scalar values.
void append_piece_symbols(const Node& n, std::vector<std::uint32_t>& out) {
  if (n.colon_lead) out.push_back(':');
  const std::string_view reading = n.reading();
  for (std::size_t pos = 0; pos < reading.size();) {
    out.push_back(static_cast<std::uint32_t>(text::next_scalar(reading, pos)));
  }
}

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
  struct TypedRun {
    const TypedPinyinSuffixes* forms = nullptr;
    std::size_t start = 0;
  };

  // The search, from the end of the text towards its start: lists[i] holds
  // the paths from character i to the end once position i is done.
  const CedictReadingIndex* index = nullptr;
  DictionaryOptions options;
  bool hybrid = false;
  std::u32string chars;
  std::vector<std::size_t> run_end;
  std::size_t span = 0;
  std::vector<std::vector<NodeId>> lists;
  std::vector<Candidate> candidates;
  TypedRun run;
  std::size_t deferred = static_cast<std::size_t>(-1);
  std::size_t next = 0;  // positions next and after are done

  // Sets up the search of `text` (options within their limits); false when
  // no path can be found at all, so that nothing is to be done.
  bool begin(const CedictReadingIndex& index, std::string_view text, const DictionaryOptions& options, bool hybrid);
  // Computes position next - 1.
  std::expected<void, ZhArtifactPayloadError> step();
  // The joined readings of the paths `roots`, as a lattice along the nodes
  // they share, beside the empty reading when one of them has it.
  ReadingLattice reading_set(const std::vector<NodeId>& roots);
  // The same from the sets the paths form (PathSets below); none once the
  // sets have looked at more path nodes than `budget` over all calls.
  std::optional<ReadingLattice> grouped_reading_set(const std::vector<NodeId>& roots, std::uint64_t budget);
  class PathSets;
  std::unique_ptr<PathSets> path_sets;

  State() = default;
  ~State();  // where PathSets is complete
  // reading_set's buffers: the slot of each reached node (none elsewhere),
  // the nodes reached, their pieces and the order they are numbered in.
  std::vector<std::uint32_t> slot_of;
  std::vector<NodeId> reached;
  std::vector<std::uint32_t> piece_offsets;
  std::vector<std::uint32_t> piece_symbols;
  std::vector<std::uint32_t> order;

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
 public:
  PositionPaths(State& s, std::size_t max_paths) : s_(s), max_paths_(max_paths) {}

  bool full() const { return paths_.size() >= max_paths_; }

  // Adds the paths make(0), make(1), ... make(count - 1), whose readings
  // ascend (one segment reading before each of a sorted list of tails), in
  // that order until full: they are merged into the sorted paths kept so
  // far, and of two paths with the same reading the one kept first stays.
  template <class Make>
  void add_run(std::size_t count, Make&& make) {
    if (full() || count == 0) return;
    const std::size_t room = max_paths_ - paths_.size();
    merged_.clear();
    std::size_t kept = 0;
    std::size_t added = 0;
    for (std::size_t k = 0; k < count && added < room; ++k) {
      const NodeId id = s_.make(make(k));
      int order = 1;
      while (kept < paths_.size()) {
        order = s_.compare(paths_[kept], id);
        if (order >= 0) break;
        merged_.push_back(paths_[kept++]);
      }
      if (kept < paths_.size() && order == 0) {
        s_.release(id);  // the first path with this reading stays
        continue;
      }
      merged_.push_back(id);
      ++added;
    }
    merged_.insert(merged_.end(), paths_.begin() + static_cast<std::ptrdiff_t>(kept), paths_.end());
    paths_.swap(merged_);
  }

  // The paths in order, each ranked by its place.
  std::vector<NodeId> ranked() {
    std::uint16_t rank = 0;
    for (const NodeId id : paths_) {
      s_.nodes[id].rank = rank++;
      s_.nodes[id].ranked = true;
    }
    return std::move(paths_);
  }

 private:
  State& s_;
  std::vector<NodeId> paths_;  // in reading order
  std::vector<NodeId> merged_;
  std::size_t max_paths_;
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
      const std::string_view reading = (*c.readings)[r];
      paths.add_run(tails.size(), [&](std::size_t ti) { return segment(reading, i, c.end, tails[ti]); });
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
  paths.add_run(tails.size(), [&](std::size_t ti) {
    Node node = segment(form.rest, i, run_end, tails[ti]);
    node.direct = true;
    node.colon_lead = form.colon_lead;
    return node;
  });
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

bool PinyinPathSearch::State::begin(const CedictReadingIndex& index_to_read, std::string_view text_to_read,
                                    const DictionaryOptions& search_options, bool search_hybrid) {
  text = std::string(text_to_read);
  // Text that is not UTF-8 has no characters to read: no path.
  if (search_options.max_span_chars == 0 || text.empty() || search_options.max_paths == 0 ||
      !text::validate_utf8(text)) {
    return false;
  }
  // Node fields hold positions and lengths in 32 bits.
  if (text.size() >= kEnd) fail_fatal("text too long for the pinyin path search", std::to_string(text.size()));
  index = &index_to_read;
  options = search_options;
  hybrid = search_hybrid;
  chars = split_characters();
  const std::size_t n = chars.size();
  if (hybrid) run_end = typed_run_ends(chars);
  span = static_cast<std::size_t>(options.max_span_chars);
  lists.assign(n + 1, {});
  lists[n].push_back(kEnd);
  next = n;
  return true;
}

std::expected<void, ZhArtifactPayloadError> PinyinPathSearch::State::step() {
  const std::size_t n = chars.size();
  const std::size_t i = next - 1;
  if (auto found = find_candidates(*index, i, std::min(i + span, n), lists, options.longest_only, candidates);
      !found) {
    return std::unexpected(std::move(found.error()));
  }
  PositionPaths paths(*this, static_cast<std::size_t>(options.max_paths));
  add_dictionary_paths(paths, i, candidates, lists, options.max_readings_per_segment);
  if (hybrid && !paths.full() && run_end[i] > i && !lists[run_end[i]].empty()) {
    add_typed_paths(paths, run, chars, i, run_end[i], lists[run_end[i]]);
  }
  lists[i] = paths.ranked();
  if (i > 0) release_passed_lists(lists, i + span, hybrid ? run_end[i - 1] : kNoList, deferred);
  next = i;
  return {};
}

// The kept paths of a search grouped into sets: a set is some of the paths
// kept at one position, and its paths, grouped by their first piece and the
// position after it, continue into the sets of their tails. The paths of a
// position are the first max_paths met, so a group's tails are all of the
// next position's paths or the first of them, and the sets stay few while
// the paths are many (a run of characters with two readings each keeps 1,024
// paths per position over a handful of sets). A set's strings are its
// groups' pieces followed by their tail sets' strings, so a lattice node per
// set spells the paths' readings with nodes that grow with the sets, not
// with the paths. What a set holds depends only on its paths, so the sets
// are kept for every span read from the search.
class PinyinPathSearch::State::PathSets {
 public:
  // `budget`: the path nodes the sets may look at over all calls.
  PathSets(const State& s, std::uint64_t budget) : s_(s), budget_(budget) {}

  std::optional<ReadingLattice> lattice_of(const std::vector<NodeId>& roots) {
    const std::optional<std::uint32_t> root = discover(roots);
    if (!root) return std::nullopt;
    return emit(*root);
  }

 private:
  struct Group {
    std::uint32_t first_symbol = 0;
    std::uint32_t symbol_count = 0;
    std::uint32_t to = 0;
  };
  struct Set {
    std::uint32_t position = 0;
    bool accepts_empty = false;
    std::vector<Group> groups;  // pieces with characters; empty ones are folded in
  };
  static constexpr std::uint32_t kNoSet = static_cast<std::uint32_t>(-1);

  // The set of `members` (path nodes at one position, or kEnd alone), made
  // and queued for expansion the first time.
  std::optional<std::uint32_t> set_for(std::vector<NodeId>& members) {
    key_.clear();
    if (members.front() == kEnd) {
      key_.push_back(static_cast<std::uint32_t>(s_.chars.size()));
      key_.push_back(kNoSet);
    } else {
      std::sort(members.begin(), members.end(), [&](NodeId a, NodeId b) { return s_.nodes[a].rank < s_.nodes[b].rank; });
      key_.push_back(s_.nodes[members.front()].position);
      // The ranks, ascending, as runs of consecutive values.
      std::uint32_t run_start = s_.nodes[members.front()].rank;
      std::uint32_t run_length = 0;
      for (const NodeId m : members) {
        if (!s_.nodes[m].ranked) return std::nullopt;
        if (s_.nodes[m].rank != run_start + run_length) {
          key_.push_back(run_start);
          key_.push_back(run_length);
          run_start = s_.nodes[m].rank;
          run_length = 0;
        }
        ++run_length;
      }
      key_.push_back(run_start);
      key_.push_back(run_length);
    }
    looked_ += members.size();
    if (looked_ > budget_) return std::nullopt;
    const auto [id, inserted] = ids_.intern(key_);
    if (inserted) {
      Set set;
      set.position = key_.front();
      sets_.push_back(std::move(set));
      final_.push_back(0);
      queue_.emplace_back(id, std::move(members));
    }
    return id;
  }

  // Makes the set of the roots and every set after it not known yet: each
  // queued set's paths are grouped by piece and by the position after it,
  // and each group's tails become a set. Then, by descending position (a
  // set's tails lie after it), the new sets fold in the groups of the sets
  // that their empty pieces lead to.
  std::optional<std::uint32_t> discover(const std::vector<NodeId>& roots) {
    std::vector<NodeId> members(roots);
    const std::optional<std::uint32_t> root = set_for(members);
    if (!root) return std::nullopt;
    std::vector<std::uint32_t> made;
    std::vector<std::vector<Group>> raw;
    while (!queue_.empty()) {
      auto [id, paths] = std::move(queue_.back());
      queue_.pop_back();
      made.push_back(id);
      raw.emplace_back();
      if (paths.front() == kEnd) {
        sets_[id].accepts_empty = true;
        continue;
      }
      // Groups in the order of their first path; their tails in rank order.
      struct Pending {
        const Node* first;
        std::vector<NodeId> tails;
      };
      std::vector<Pending> pending;
      for (const NodeId m : paths) {
        const Node& node = s_.nodes[m];
        const auto same = [&](const Pending& p) {
          return p.first->end == node.end && p.first->colon_lead == node.colon_lead && p.first->reading() == node.reading();
        };
        auto at = std::find_if(pending.begin(), pending.end(), same);
        if (at == pending.end()) {
          pending.push_back(Pending{&node, {}});
          at = pending.end() - 1;
        }
        at->tails.push_back(node.tail);
      }
      for (Pending& p : pending) {
        Group group;
        group.first_symbol = static_cast<std::uint32_t>(symbols_.size());
        append_piece_symbols(*p.first, symbols_);
        group.symbol_count = static_cast<std::uint32_t>(symbols_.size()) - group.first_symbol;
        const std::optional<std::uint32_t> to = set_for(p.tails);
        if (!to) return std::nullopt;
        group.to = *to;
        raw[made.size() - 1].push_back(group);
      }
    }
    std::vector<std::size_t> order(made.size());
    for (std::size_t k = 0; k < order.size(); ++k) order[k] = k;
    std::sort(order.begin(), order.end(),
              [&](std::size_t a, std::size_t b) { return sets_[made[a]].position > sets_[made[b]].position; });
    for (const std::size_t k : order) {
      Set& set = sets_[made[k]];
      for (const Group& group : raw[k]) {
        if (group.symbol_count > 0) {
          set.groups.push_back(group);
          continue;
        }
        const Set& after = sets_[group.to];
        if (!final_[group.to]) fail_fatal("pinyin path sets", "an empty piece leads to a set not folded yet");
        set.accepts_empty = set.accepts_empty || after.accepts_empty;
        set.groups.insert(set.groups.end(), after.groups.begin(), after.groups.end());
      }
      final_[made[k]] = 1;
    }
    return root;
  }

  // The lattice of the set `root`: its node first, the end last.
  ReadingLattice emit(std::uint32_t root) {
    // The sets reached, by descending position.
    reached_.assign(1, root);
    if (stamp_.size() < sets_.size()) stamp_.resize(sets_.size(), 0);
    ++round_;
    stamp_[root] = round_;
    for (std::size_t i = 0; i < reached_.size(); ++i) {
      for (const Group& group : sets_[reached_[i]].groups) {
        if (stamp_[group.to] == round_) continue;
        stamp_[group.to] = round_;
        reached_.push_back(group.to);
      }
    }
    const Set& top = sets_[root];
    if (top.groups.empty()) {
      return ReadingLattice{expect_valid(Lattice::from_edges(1, 0, 0, {}), "valid empty reading lattice"), false};
    }
    std::sort(reached_.begin(), reached_.end(), [&](std::uint32_t a, std::uint32_t b) {
      return sets_[a].position != sets_[b].position ? sets_[a].position > sets_[b].position : a > b;
    });
    // Numbered downwards from the end, each set after the chains leaving it,
    // so that every arc ascends; the root comes last.
    constexpr std::uint64_t kTop = std::uint64_t{1} << 62;
    std::uint64_t free_id = kTop;
    if (node_of_.size() < sets_.size()) node_of_.resize(sets_.size(), 0);
    std::vector<Arc> arcs;
    for (const std::uint32_t id : reached_) {
      const Set& set = sets_[id];
      if (set.groups.empty()) {
        node_of_[id] = kTop;  // the end
        continue;
      }
      const std::size_t first_arc = arcs.size();
      const auto chain = [&](const Group& group, std::uint64_t into) {
        std::uint64_t dst = into;
        for (std::uint32_t k = group.symbol_count; k-- > 1;) {
          const std::uint64_t src = --free_id;
          arcs.push_back(Arc{src, dst, symbols_[group.first_symbol + k]});
          dst = src;
        }
        arcs.push_back(Arc{kTop + 1, dst, symbols_[group.first_symbol]});  // from the set's node, set below
      };
      for (const Group& group : set.groups) {
        const Set& after = sets_[group.to];
        if (!after.groups.empty()) chain(group, node_of_[group.to]);
        if (after.accepts_empty) chain(group, kTop);
      }
      node_of_[id] = --free_id;
      for (std::size_t a = first_arc; a < arcs.size(); ++a) {
        if (arcs[a].src == kTop + 1) arcs[a].src = node_of_[id];
      }
    }
    const std::uint64_t base = node_of_[root];
    for (Arc& arc : arcs) {
      arc.src -= base;
      arc.dst -= base;
    }
    const std::uint64_t end = kTop - base;
    return ReadingLattice{expect_valid(Lattice::from_edges(end + 1, 0, end, std::move(arcs)), "valid pinyin reading set"),
                          top.accepts_empty};
  }

  const State& s_;
  std::uint64_t budget_;
  detail::SequenceIds ids_;
  std::vector<Set> sets_;
  std::vector<std::uint8_t> final_;
  std::vector<std::uint32_t> symbols_;
  std::vector<std::pair<std::uint32_t, std::vector<NodeId>>> queue_;
  std::vector<std::uint32_t> key_;
  std::uint64_t looked_ = 0;
  std::vector<std::uint32_t> reached_;
  std::vector<std::uint32_t> stamp_;
  std::uint32_t round_ = 0;
  std::vector<std::uint64_t> node_of_;
};

PinyinPathSearch::State::~State() = default;

std::optional<ReadingLattice> PinyinPathSearch::State::grouped_reading_set(const std::vector<NodeId>& roots,
                                                                           std::uint64_t budget) {
  if (!path_sets) path_sets = std::make_unique<PathSets>(*this, budget);
  return path_sets->lattice_of(roots);
}

ReadingLattice PinyinPathSearch::State::reading_set(const std::vector<NodeId>& roots) {
  // Every node spells one string, its piece then its tail's, so a lattice
  // node per path node reached (the end for kEnd) with its piece as a chain
  // of arcs into its tail's node spells the roots' readings, each root's
  // first piece with characters leaving the start. A node with an empty
  // piece is its tail's node. Nodes are numbered down from the end by
  // descending position, so that every arc ascends.
  constexpr std::uint32_t kNoSlot = static_cast<std::uint32_t>(-1);
  if (slot_of.size() < nodes.size()) slot_of.resize(nodes.size(), kNoSlot);
  reached.clear();
  for (const NodeId root : roots) {
    if (root == kEnd) continue;
    for (NodeId id = nodes[root].tail; id != kEnd && slot_of[id] == kNoSlot; id = nodes[id].tail) {
      slot_of[id] = static_cast<std::uint32_t>(reached.size());
      reached.push_back(id);
    }
  }
  // The pieces of the reached nodes, as symbols.
  piece_offsets.assign(1, 0);
  piece_symbols.clear();
  const auto append_piece = [&](NodeId id) { append_piece_symbols(nodes[id], piece_symbols); };
  for (const NodeId id : reached) {
    append_piece(id);
    piece_offsets.push_back(static_cast<std::uint32_t>(piece_symbols.size()));
  }
  const auto piece_of = [&](std::uint32_t slot) {
    return std::span<const std::uint32_t>(piece_symbols.data() + piece_offsets[slot],
                                          piece_offsets[slot + 1] - piece_offsets[slot]);
  };
  // A root's own piece goes after the reached ones; one with an empty piece
  // starts with the first piece with characters along its chain, if any.
  struct RootStart {
    std::vector<std::uint32_t> symbols;
    NodeId tail = kEnd;
  };
  std::vector<RootStart> starts;
  bool also_empty = false;
  for (const NodeId root : roots) {
    NodeId id = root;
    RootStart start;
    while (id != kEnd) {
      if (slot_of[id] != kNoSlot) {
        const auto piece = piece_of(slot_of[id]);
        start.symbols.assign(piece.begin(), piece.end());
      } else {
        const std::size_t before = piece_symbols.size();
        append_piece(id);
        start.symbols.assign(piece_symbols.begin() + static_cast<std::ptrdiff_t>(before), piece_symbols.end());
        piece_symbols.resize(before);
      }
      if (!start.symbols.empty()) break;
      id = nodes[id].tail;
    }
    if (id == kEnd) {
      also_empty = true;
      continue;
    }
    start.tail = nodes[id].tail;
    starts.push_back(std::move(start));
  }
  const auto reset = [&]() {
    for (const NodeId id : reached) slot_of[id] = kNoSlot;
  };
  if (starts.empty()) {
    reset();
    return ReadingLattice{expect_valid(Lattice::from_edges(1, 0, 0, {}), "valid empty reading lattice"), false};
  }

  // The start, the end, every symbol of a reached piece but for those of
  // empty pieces, and every symbol of a root's start but its first.
  std::uint64_t count = 2 + piece_symbols.size();
  for (const RootStart& start : starts) count += start.symbols.size() - 1;
  const std::uint64_t end = count - 1;
  std::uint64_t free_id = end;
  std::vector<std::uint64_t> node_of(reached.size(), 0);
  const auto target = [&](NodeId tail) { return tail == kEnd ? end : node_of[slot_of[tail]]; };
  std::vector<Arc> arcs;
  arcs.reserve(count);
  // The chain of `piece` into `into`, from `from` or from a new node.
  const auto chain = [&](std::span<const std::uint32_t> piece, std::uint64_t into, bool from_start) {
    std::uint64_t dst = into;
    for (std::size_t k = piece.size(); k-- > 0;) {
      const std::uint64_t src = k == 0 && from_start ? 0 : --free_id;
      arcs.push_back(Arc{src, dst, piece[k]});
      dst = src;
    }
    return dst;
  };
  order.resize(reached.size());
  for (std::uint32_t k = 0; k < order.size(); ++k) order[k] = k;
  std::sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
    return nodes[reached[a]].position > nodes[reached[b]].position;
  });
  for (const std::uint32_t slot : order) {
    const NodeId id = reached[slot];
    const auto piece = piece_of(slot);
    node_of[slot] = piece.empty() ? target(nodes[id].tail) : chain(piece, target(nodes[id].tail), false);
  }
  for (const RootStart& start : starts) chain(start.symbols, target(start.tail), true);
  reset();
  if (free_id != 1) fail_fatal("pinyin reading set node count", std::to_string(free_id));
  return ReadingLattice{expect_valid(Lattice::from_edges(count, 0, end, std::move(arcs)), "valid pinyin reading set"),
                        also_empty};
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
  if (!s.begin(index, text, options, hybrid)) return PinyinPathSearch(std::move(owned));
  while (s.next > 0) {
    if (auto ok = s.step(); !ok) return std::unexpected(std::move(ok.error()));
  }
  s.result = std::move(s.lists[0]);
  return PinyinPathSearch(std::move(owned));
}

PinyinSuffixSearch::PinyinSuffixSearch(const CedictReadingIndex& index, std::string_view text,
                                       const DictionaryOptions& options, bool hybrid, std::uint64_t set_budget)
    : state_(std::make_unique<PinyinPathSearch::State>()), set_budget_(set_budget) {
  if (auto limits = check_dictionary_option_limits(options); !limits) {
    error_ = ZhArtifactPayloadError::from_option_limit(limits.error());
    return;
  }
  searchable_ = state_->begin(index, text, options, hybrid);
}
PinyinSuffixSearch::PinyinSuffixSearch(PinyinSuffixSearch&&) noexcept = default;
PinyinSuffixSearch& PinyinSuffixSearch::operator=(PinyinSuffixSearch&&) noexcept = default;
PinyinSuffixSearch::~PinyinSuffixSearch() = default;

std::expected<std::optional<ReadingLattice>, ZhArtifactPayloadError> PinyinSuffixSearch::readings_from(
    std::size_t from) {
  while (!error_ && searchable_ && state_->next > from) {
    if (auto ok = state_->step(); !ok) error_ = std::move(ok.error());
  }
  if (error_) return std::unexpected(*error_);
  if (!searchable_ || state_->lists[from].empty()) return std::optional<ReadingLattice>();
  if (!spent_) {
    if (auto grouped = state_->grouped_reading_set(state_->lists[from], set_budget_)) return grouped;
    // Past the sets' budget: each span from its path nodes from now on.
    spent_ = true;
  }
  return std::optional<ReadingLattice>(state_->reading_set(state_->lists[from]));
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
