#include "ja/shared_path_lattice.hpp"

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "core/sequence_ids.hpp"
#include "ja/romaji_expansion.hpp"
#include "ja/romaji_steps.hpp"
#include "ja/romaji_table.hpp"
#include "text/utf8.hpp"

namespace orvel::ja {

namespace {

using detail::DictionaryPathNode;

constexpr std::size_t kVowels = 6;
constexpr std::uint32_t kNone = std::numeric_limits<std::uint32_t>::max();
// Counts are kept below this; a count that reaches it passes every limit.
constexpr std::uint64_t kCap = std::uint64_t{1} << 62;

std::uint64_t capped_add(std::uint64_t a, std::uint64_t b) { return std::min(a + b, kCap); }
std::uint64_t capped_mul(std::uint64_t a, std::uint64_t b) {
  if (a == 0 || b == 0) return 0;
  return a > kCap / b ? kCap : std::min(a * b, kCap);
}

using VowelCounts = std::array<std::uint64_t, kVowels>;

// How a set's segments begin: as read, without their first unit (a step
// before took it), or with a kana carried over from the segment before
// (whole readings join it and their first unit into one digraph).
struct SetContext {
  bool consumed = false;
  std::string carry;
  // The set a segment that was all carried over leads from: the two sets
  // then share their entry nodes, so no other set may lead here.
  std::uint32_t only_after = std::numeric_limits<std::uint32_t>::max();
};

// A set of links starting at one character position, in one context.
struct LinkSet {
  std::vector<const DictionaryPathNode*> links;  // by rank
  std::uint64_t position = 0;
  SetContext context;
  bool is_end = false;
  std::vector<std::uint32_t> edges;
  // Over the readable paths from here, for each last vowel before the set:
  // the most strings one path can add, and the most symbols.
  VowelCounts max_strings{};
  VowelCounts max_symbols{};
  bool live = false;
  // Its expansion failed: no path through it can be read this way.
  bool failed = false;
};

using Entry = std::array<std::uint32_t, kVowels>;

// One segment read from a set into the set of its tails.
struct SegmentEdge {
  std::uint32_t to = 0;
  std::vector<RomajiStep> steps;
  // Per step and last vowel before it, the alternatives of that step as
  // emit reads them: a range of SharedPathLattice::alternatives_, made the
  // first time it is asked for (kNone until then).
  std::vector<std::array<std::uint32_t, 2>> alternatives;
};

// One alternative of a step from a node of a given last vowel: its symbols
// (a range of SharedPathLattice::symbols_) and the last vowel after it.
struct StepAlternative {
  std::uint32_t first_symbol = 0;
  std::uint32_t symbol_count = 0;
  LastVowel last_vowel = LastVowel::None;
};

// The open nodes of an edge being emitted: at most one per last vowel.
struct Frontier {
  std::array<FrontierState, kVowels> states;
  std::size_t size = 0;
  void push(FrontierState state) { states[size++] = state; }
  std::span<const FrontierState> view() const { return std::span(states.data(), size); }
};

struct SegmentUnits {
  bool readable = false;
  std::vector<Unit> units;
};

class SharedPathLattice {
 public:
  SharedPathLattice(SharedPathReading how, std::uint64_t budget) : how_(how), budget_(budget) {}

  enum class Outcome { Root, Fails, Spent };
  struct Added {
    Outcome outcome = Outcome::Fails;
    std::uint32_t root = 0;
  };

  // Groups the paths (all of one search) under the set of their first links
  // and reads every set after it that is not known yet. Fails where the
  // shared reading cannot stand for the paths (see
  // add_paths_by_shared_segments); Spent when the grouping budget of this
  // lattice ran out (it then answers nothing more; for a lattice of one
  // call, that is a failure too). Sets made by earlier calls are reused:
  // what a set holds depends only on its links and context, so the outcome
  // for the paths is that of a lattice made for them alone.
  Added add_root(std::span<const DictionaryPathNode* const> heads) {
    if (spent_) return {Outcome::Spent};
    roots_.clear();
    roots_.reserve(heads.size());
    std::uint64_t first_position = 0;
    if (how_.query_limits && !heads.empty() && heads.front() != nullptr) {
      // Positions only grow along a path, from the first link's to the end's.
      first_position = heads.front()->position;
      std::uint64_t last_position = first_position;
      for (const DictionaryPathNode* node = heads.front(); node != nullptr; node = node->next) {
        if (node->position < first_position) return {Outcome::Fails};
        last_position = node->position;
      }
      // Paths of one search all end at the end of its text.
      if (!last_position_) last_position_ = last_position;
      if (*last_position_ != last_position) return {Outcome::Spent};
    }
    for (const DictionaryPathNode* head : heads) {
      if (head == nullptr) return {Outcome::Fails};
      if (how_.query_limits) {
        if (head->position != first_position) return {Outcome::Fails};
        if (head->chars > kQueryRomajiLimits.max_input_chars) return {Outcome::Fails};
      }
      roots_.push_back(head);
    }
    const std::size_t known = sets_.size();
    const auto root = set_for(roots_, SetContext{});
    if (spent_) return {Outcome::Spent};
    if (!root) return {Outcome::Fails};
    for (std::size_t next = known; next < sets_.size(); ++next) {
      if (!expand(static_cast<std::uint32_t>(next))) sets_[next].failed = true;
      if (spent_) return {Outcome::Spent};
    }
    bound_new_sets(known);

    // What reading these paths alone would have grouped: every set reached
    // from the root. Each was expanded once, here or for earlier paths, and
    // all of them together stayed within the budget, so these alone would
    // have too.
    reach(*root);
    for (const std::uint32_t id : reached_) {
      if (sets_[id].failed) return {Outcome::Fails};
    }
    const LinkSet& top = sets_[*root];
    if (how_.query_limits && top.live) {
      const auto none = static_cast<std::size_t>(LastVowel::None);
      if (top.max_strings[none] > kQueryRomajiLimits.max_paths ||
          top.max_symbols[none] > kQueryRomajiLimits.max_symbols) {
        return {Outcome::Fails};
      }
    }
    return {Outcome::Root, *root};
  }

  bool any_string(std::uint32_t root) const { return sets_[root].live; }

  // The lattice of the readable paths of `root` (the last set add_root gave)
  // into `builder`.
  void emit(std::uint32_t root, RomajiLatticeBuilder& builder) {
    node_count_ = 2;  // the start, and the end until the renumbering
    arcs_.clear();
    // The sets reached, by ascending position: every set after the sets
    // leading to it.
    std::sort(reached_.begin(), reached_.end(), [&](std::uint32_t a, std::uint32_t b) {
      return sets_[a].position != sets_[b].position ? sets_[a].position < sets_[b].position : a < b;
    });
    if (entries_.size() < sets_.size()) entries_.resize(sets_.size());
    Entry none;
    none.fill(kNone);
    for (const std::uint32_t s : reached_) entries_[s] = none;
    entries_[root][static_cast<std::size_t>(LastVowel::None)] = kStart;
    for (const std::uint32_t s : reached_) {
      const LinkSet& set = sets_[s];
      if (set.is_end || !set.live) continue;
      Frontier entry;
      for (std::size_t v = 0; v < kVowels; ++v) {
        if (entries_[s][v] != kNone) entry.push(FrontierState{entries_[s][v], static_cast<LastVowel>(v)});
      }
      if (entry.size == 0) continue;
      for (const std::uint32_t e : set.edges) {
        const SegmentEdge& edge = edges_[e];
        if (!sets_[edge.to].live) continue;
        if (edge.steps.empty()) {
          // The segment was all carried over into its tails.
          entries_[edge.to] = entries_[s];
          continue;
        }
        Frontier frontier = entry;
        for (std::size_t k = 0; k < edge.steps.size(); ++k) {
          frontier = add_step(frontier, e, k, k + 1 == edge.steps.size() ? edge.to : kNone);
        }
      }
    }
    renumber_into(builder);
  }

 private:
  static constexpr std::uint32_t kStart = 0;
  static constexpr std::uint32_t kEnd = 1;

  const SegmentUnits& units_of(const DictionaryReadingSegment* segment) {
    auto [it, inserted] = units_.try_emplace(segment);
    if (inserted) {
      const RomajiSegmentMode mode =
          segment->direct && !how_.whole_readings ? RomajiSegmentMode::Direct : RomajiSegmentMode::Reading;
      it->second.readable = append_segments(segment->reading, mode, it->second.units).has_value();
    }
    return it->second;
  }

  // The set of `links` (all at one position, in rank order), made once.
  std::optional<std::uint32_t> set_for(std::vector<const DictionaryPathNode*> links, SetContext context) {
    key_.clear();
    const std::uint64_t position = links.front()->position;
    key_.push_back(static_cast<std::uint32_t>(position));
    key_.push_back(static_cast<std::uint32_t>(position >> 32));
    key_.push_back(context.consumed ? 1 : 0);
    key_.push_back(context.only_after);
    key_.push_back(static_cast<std::uint32_t>(context.carry.size()));
    for (const char c : context.carry) key_.push_back(static_cast<unsigned char>(c));
    // Links of one search are told apart by their rank at their position;
    // the ranks, ascending, are keyed as runs of consecutive values (a
    // text's first links are all the ranks kept at a place, hundreds long).
    std::uint32_t run_start = links.front()->rank;
    std::uint32_t run_length = 0;
    for (std::size_t i = 0; i < links.size(); ++i) {
      if (links[i]->position != position || (i > 0 && links[i]->rank <= links[i - 1]->rank)) return std::nullopt;
      if (links[i]->rank != run_start + run_length) {
        key_.push_back(run_start);
        key_.push_back(run_length);
        run_start = links[i]->rank;
        run_length = 0;
      }
      ++run_length;
    }
    key_.push_back(run_start);
    key_.push_back(run_length);
    grouped_links_ += links.size();
    if (grouped_links_ > budget_) {
      spent_ = true;
      return std::nullopt;
    }
    const auto [id, inserted] = set_ids_.intern(key_);
    if (inserted) {
      LinkSet set;
      set.position = position;
      set.context = std::move(context);
      set.is_end = links.size() == 1 && links.front()->segment == nullptr;
      set.links = std::move(links);
      sets_.push_back(std::move(set));
    }
    return id;
  }

  bool expand(std::uint32_t id) {
    if (sets_[id].is_end) return true;
    // Group the links by segment, segments in the order of their first link.
    std::vector<const DictionaryReadingSegment*> segments;
    std::vector<std::vector<const DictionaryPathNode*>> tails;
    for (const DictionaryPathNode* link : sets_[id].links) {
      if (link->segment == nullptr || link->next == nullptr) return false;
      const auto at = std::find(segments.begin(), segments.end(), link->segment);
      if (at == segments.end()) {
        segments.push_back(link->segment);
        tails.push_back({link->next});
      } else {
        tails[static_cast<std::size_t>(at - segments.begin())].push_back(link->next);
      }
    }
    const SetContext context = sets_[id].context;
    for (std::size_t g = 0; g < segments.size(); ++g) {
      if (!read_segment(id, *segments[g], context, std::move(tails[g]))) return false;
    }
    return true;
  }

  bool read_segment(std::uint32_t from, const DictionaryReadingSegment& segment, const SetContext& context,
                    std::vector<const DictionaryPathNode*> tails) {
    const SegmentUnits& read = units_of(&segment);
    if (!read.readable) return true;  // its paths are skipped
    const std::size_t skip = context.consumed ? 1 : 0;
    if (read.units.size() <= skip) return false;
    own_.assign(read.units.begin() + static_cast<std::ptrdiff_t>(skip), read.units.end());
    if (!context.carry.empty()) own_.front() = Unit::kana(context.carry + own_.front().text);
    if (how_.whole_readings) {
      // Tails whose whole readings join the last kana into a digraph begin
      // with it; the segment ends before it.
      std::vector<const DictionaryPathNode*> joined;
      std::erase_if(tails, [&](const DictionaryPathNode* tail) {
        if (!joins(own_.back(), tail)) return false;
        joined.push_back(tail);
        return true;
      });
      if (!joined.empty()) {
        const std::span<const Unit> before(own_.data(), own_.size() - 1);
        if (!before.empty() && looks_ahead(before.back())) return false;
        if (validate_romaji_units(before)) {
          if (!add_edge(from, before, nullptr, std::move(joined), own_.back().text)) return false;
        }
      }
      if (tails.empty()) return true;
    }
    const std::span<const Unit> own = own_;
    if (!validate_romaji_units(own)) return true;  // its paths are skipped
    if (!looks_ahead(own.back())) return add_edge(from, own, nullptr, std::move(tails));

    // Split the tails by their first unit.
    std::vector<const Unit*> firsts;
    std::vector<std::vector<const DictionaryPathNode*>> split;
    for (const DictionaryPathNode* tail : tails) {
      const Unit* first = nullptr;
      if (tail->segment != nullptr) {
        const SegmentUnits& next = units_of(tail->segment);
        if (!next.readable) continue;
        if (next.units.empty()) return false;
        first = &next.units.front();
      }
      const auto at = std::find_if(firsts.begin(), firsts.end(), [&](const Unit* f) {
        return f == first || (f != nullptr && first != nullptr && *f == *first);
      });
      if (at == firsts.end()) {
        firsts.push_back(first);
        split.push_back({tail});
      } else {
        split[static_cast<std::size_t>(at - firsts.begin())].push_back(tail);
      }
    }
    for (std::size_t k = 0; k < firsts.size(); ++k) {
      if (!add_edge(from, own, firsts[k], std::move(split[k]))) return false;
    }
    return true;
  }

  // The steps of `own` followed by `next` (the first unit of every tail), and
  // the edge into the set of the tails.
  bool add_edge(std::uint32_t from, std::span<const Unit> own, const Unit* next,
                std::vector<const DictionaryPathNode*> tails, std::string carry = {}) {
    if (tails.empty()) return true;
    window_.assign(own.begin(), own.end());
    const bool combined = next != nullptr && combines_with_next(own.back(), *next);
    const bool sokuon = next != nullptr && own.back().is_kana("っ");
    if (combined || sokuon) window_.push_back(*next);
    auto steps = romaji_steps_from_units(window_);
    // Only `next` can fail here; its own paths are then skipped.
    if (!steps) return true;
    if (sokuon) steps->pop_back();
    auto to = set_for(std::move(tails), SetContext{combined, std::move(carry), own.empty() ? from : kNone});
    if (!to) return false;
    sets_[from].edges.push_back(static_cast<std::uint32_t>(edges_.size()));
    edges_.push_back(SegmentEdge{*to, std::move(*steps), {}});
    return true;
  }

  // Whether the step of `last` depends on the unit after it.
  static bool looks_ahead(const Unit& last) { return last.is_kana("っ") || last.kind == Unit::Kind::Ascii; }

  // Whether a whole reading joins the kana `last` that ends a segment and
  // the small ya, yu or yo that begins the tail into one digraph.
  static bool joins(const Unit& last, const DictionaryPathNode* tail) {
    if (last.kind != Unit::Kind::Kana || text::count_scalars(last.text) != 1) return false;
    if (tail->segment == nullptr || tail->segment->reading.empty()) return false;
    std::size_t pos = 0;
    const char32_t c = fold_katakana(text::next_scalar(tail->segment->reading, pos));
    if (c != U'ゃ' && c != U'ゅ' && c != U'ょ') return false;
    std::string pair = last.text;
    text::append_utf8(pair, c);
    return RomajiVariantTable::has_row(pair);
  }

  // Counts of one more step in front of a tail, for every last vowel before it.
  static void step_back(const RomajiStep& step, VowelCounts& strings, VowelCounts& symbols) {
    VowelCounts before_strings{};
    VowelCounts before_symbols{};
    for (std::size_t v = 0; v < kVowels; ++v) {
      const auto vowel = static_cast<LastVowel>(v);
      const auto add = [&](std::string_view alternative) {
        const auto to = static_cast<std::size_t>(last_vowel_after(vowel, alternative));
        const std::uint64_t length = text::count_scalars(alternative);
        before_strings[v] = capped_add(before_strings[v], strings[to]);
        before_symbols[v] = capped_add(before_symbols[v], capped_add(capped_mul(length, strings[to]), symbols[to]));
      };
      if (step.kind == RomajiStep::Kind::Variants) {
        for (const std::string& variant : step.variants) add(variant);
      } else {
        for (std::string_view alternative : long_vowel_alternatives(vowel)) add(alternative);
      }
    }
    strings = before_strings;
    symbols = before_symbols;
  }

  // Bounds the sets made since `known`: over the readable paths from each,
  // the most strings and symbols one path can add. A set's tails lie at
  // later positions, so by descending position they come first.
  void bound_new_sets(std::size_t known) {
    std::vector<std::uint32_t> order;
    for (std::size_t s = known; s < sets_.size(); ++s) order.push_back(static_cast<std::uint32_t>(s));
    std::stable_sort(order.begin(), order.end(),
                     [&](std::uint32_t a, std::uint32_t b) { return sets_[a].position > sets_[b].position; });
    for (const std::uint32_t s : order) {
      LinkSet& set = sets_[s];
      if (set.is_end) {
        set.live = true;
        set.max_strings.fill(1);
        set.max_symbols.fill(0);
        continue;
      }
      for (const std::uint32_t e : set.edges) {
        const SegmentEdge& edge = edges_[e];
        const LinkSet& tail = sets_[edge.to];
        if (!tail.live) continue;
        VowelCounts strings = tail.max_strings;
        VowelCounts symbols = tail.max_symbols;
        for (auto step = edge.steps.rbegin(); step != edge.steps.rend(); ++step) {
          step_back(*step, strings, symbols);
        }
        for (std::size_t v = 0; v < kVowels; ++v) {
          set.max_strings[v] = std::max(set.max_strings[v], strings[v]);
          set.max_symbols[v] = std::max(set.max_symbols[v], symbols[v]);
        }
        set.live = true;
      }
    }
  }

  // The sets reached from `root` along any edge, into reached_.
  void reach(std::uint32_t root) {
    reached_.clear();
    if (stamp_.size() < sets_.size()) stamp_.resize(sets_.size(), 0);
    ++round_;
    stamp_[root] = round_;
    reached_.push_back(root);
    for (std::size_t i = 0; i < reached_.size(); ++i) {
      for (const std::uint32_t e : sets_[reached_[i]].edges) {
        const std::uint32_t to = edges_[e].to;
        if (stamp_[to] == round_) continue;
        stamp_[to] = round_;
        reached_.push_back(to);
      }
    }
  }

  // The alternatives of step k of edge e after last vowel v, in the order
  // RomajiLatticeBuilder::transitions gives them for one frontier node.
  std::span<const StepAlternative> alternatives(std::uint32_t e, std::size_t k, LastVowel vowel) {
    SegmentEdge& edge = edges_[e];
    if (edge.alternatives.empty()) edge.alternatives.assign(edge.steps.size() * kVowels, {kNone, kNone});
    std::array<std::uint32_t, 2>& range = edge.alternatives[k * kVowels + static_cast<std::size_t>(vowel)];
    if (range[0] == kNone) {
      range[0] = static_cast<std::uint32_t>(alternatives_.size());
      const FrontierState state{0, vowel};
      for (const RomajiTransition& move : RomajiLatticeBuilder::transitions(std::span(&state, 1), edge.steps[k])) {
        alternatives_.push_back(StepAlternative{static_cast<std::uint32_t>(symbols_.size()),
                                                static_cast<std::uint32_t>(move.symbols.size()), move.last_vowel});
        symbols_.insert(symbols_.end(), move.symbols.begin(), move.symbols.end());
      }
      range[1] = static_cast<std::uint32_t>(alternatives_.size());
    }
    return std::span(alternatives_.data() + range[0], range[1] - range[0]);
  }

  // Step k of edge e from `frontier`: into new nodes, one per last vowel, or
  // into the entry nodes of set `into` (the end for the end set).
  Frontier add_step(const Frontier& frontier, std::uint32_t e, std::size_t k, std::uint32_t into) {
    std::array<std::uint32_t, kVowels> fresh;
    fresh.fill(kNone);
    const auto target = [&](LastVowel vowel) -> std::uint32_t {
      const auto v = static_cast<std::size_t>(vowel);
      if (into == kNone) {
        if (fresh[v] == kNone) fresh[v] = new_node();
        return fresh[v];
      }
      if (sets_[into].is_end) return kEnd;
      Entry& entry = entries_[into];
      if (entry[v] == kNone) entry[v] = new_node();
      return entry[v];
    };
    for (const FrontierState& state : frontier.view()) {
      for (const StepAlternative& move : alternatives(e, k, state.last_vowel)) {
        if (move.symbol_count == 0) continue;
        const std::uint32_t last = target(move.last_vowel);
        const std::uint32_t* symbols = symbols_.data() + move.first_symbol;
        std::uint32_t src = static_cast<std::uint32_t>(state.node);
        for (std::uint32_t c = 0; c < move.symbol_count; ++c) {
          const std::uint32_t dst = c + 1 == move.symbol_count ? last : new_node();
          arcs_.push_back(Arc{src, dst, symbols[c]});
          src = dst;
        }
      }
    }
    Frontier next;
    for (std::size_t v = 0; v < kVowels; ++v) {
      if (fresh[v] != kNone) next.push(FrontierState{fresh[v], static_cast<LastVowel>(v)});
    }
    return next;
  }

  std::uint32_t new_node() { return node_count_++; }

  // Numbers the nodes so that every arc ascends, the start first and the end
  // last, and hands the graph to the builder.
  void renumber_into(RomajiLatticeBuilder& builder) {
    // Arcs in (source, destination, symbol) order without repeats: a
    // counting sort by source, then each source's few arcs sorted.
    std::vector<std::uint32_t>& first_out = first_out_;
    first_out.assign(node_count_ + 1, 0);
    for (const Arc& arc : arcs_) ++first_out[arc.src + 1];
    for (std::size_t n = 0; n < node_count_; ++n) first_out[n + 1] += first_out[n];
    sorted_arcs_.resize(arcs_.size());
    next_slot_.assign(first_out.begin(), first_out.end() - 1);
    for (const Arc& arc : arcs_) sorted_arcs_[next_slot_[arc.src]++] = arc;
    arcs_.clear();
    for (std::size_t n = 0; n < node_count_; ++n) {
      const auto from = sorted_arcs_.begin() + first_out[n];
      const auto to = sorted_arcs_.begin() + first_out[n + 1];
      std::sort(from, to, [](const Arc& a, const Arc& b) { return std::tie(a.dst, a.symbol) < std::tie(b.dst, b.symbol); });
      first_out[n] = static_cast<std::uint32_t>(arcs_.size());
      for (auto arc = from; arc != to; ++arc) {
        if (arc == from || *arc != *(arc - 1)) arcs_.push_back(*arc);
      }
    }
    first_out[node_count_] = static_cast<std::uint32_t>(arcs_.size());
    std::vector<std::uint32_t>& indegree = indegree_;
    indegree.assign(node_count_, 0);
    for (const Arc& arc : arcs_) ++indegree[arc.dst];
    // Every node lies on a path from the start to the end, so the end is
    // the last node without unplaced predecessors.
    std::vector<std::uint64_t>& place = place_;
    place.assign(node_count_, 0);
    std::vector<std::uint32_t>& ready = ready_;
    ready.assign(1, kStart);
    std::uint64_t placed = 0;
    for (std::size_t i = 0; i < ready.size(); ++i) {
      const std::uint32_t node = ready[i];
      place[node] = placed++;
      for (std::uint32_t a = first_out[node]; a < first_out[node + 1]; ++a) {
        if (--indegree[arcs_[a].dst] == 0) ready.push_back(static_cast<std::uint32_t>(arcs_[a].dst));
      }
    }
    for (Arc& arc : arcs_) {
      arc.src = place[arc.src];
      arc.dst = place[arc.dst];
    }
    builder.add_graph(arcs_, placed);
  }

  SharedPathReading how_;
  std::vector<LinkSet> sets_;
  std::vector<SegmentEdge> edges_;
  orvel::detail::SequenceIds set_ids_;
  std::unordered_map<const DictionaryReadingSegment*, SegmentUnits> units_;
  std::vector<std::uint32_t> key_;
  std::vector<Unit> own_;
  std::vector<Unit> window_;
  // Links handed to set_for over all calls; past the budget the lattice is
  // spent.
  std::uint64_t budget_;
  std::uint64_t grouped_links_ = 0;
  bool spent_ = false;
  std::vector<const DictionaryPathNode*> roots_;
  std::optional<std::uint64_t> last_position_;
  // The sets the last add_root reached, and the marks of that walk.
  std::vector<std::uint32_t> reached_;
  std::vector<std::uint32_t> stamp_;
  std::uint32_t round_ = 0;
  // emit's entry nodes per set and last vowel.
  std::vector<Entry> entries_;
  std::vector<Arc> arcs_;
  std::uint32_t node_count_ = 0;
  // The alternatives of the edges' steps (SegmentEdge::alternatives) and
  // their symbols.
  std::vector<StepAlternative> alternatives_;
  std::vector<std::uint32_t> symbols_;
  // renumber_into's buffers.
  std::vector<Arc> sorted_arcs_;
  std::vector<std::uint32_t> first_out_;
  std::vector<std::uint32_t> next_slot_;
  std::vector<std::uint32_t> indegree_;
  std::vector<std::uint64_t> place_;
  std::vector<std::uint32_t> ready_;
};

// The paths' strings into `builder` through `lattice`, or none.
std::optional<bool> add_through(SharedPathLattice& lattice, RomajiLatticeBuilder& builder,
                                std::span<const DictionaryPathNode* const> heads, bool& spent) {
  const SharedPathLattice::Added added = lattice.add_root(heads);
  spent = added.outcome == SharedPathLattice::Outcome::Spent;
  if (added.outcome != SharedPathLattice::Outcome::Root) return std::nullopt;
  if (!lattice.any_string(added.root)) return false;
  lattice.emit(added.root, builder);
  return true;
}

std::optional<bool> add_heads_by_shared_segments(RomajiLatticeBuilder& builder,
                                                 std::span<const DictionaryPathNode* const> heads,
                                                 SharedPathReading how, std::uint64_t budget) {
  if (heads.empty()) return false;
  SharedPathLattice lattice(how, budget);
  bool spent = false;
  return add_through(lattice, builder, heads, spent);
}

std::vector<const DictionaryPathNode*> heads_of(const KeptPaths& kept) {
  std::vector<const DictionaryPathNode*> heads(kept.size());
  for (std::size_t i = 0; i < heads.size(); ++i) heads[i] = kept.head(i);
  return heads;
}

}  // namespace

std::optional<bool> add_paths_by_shared_segments(RomajiLatticeBuilder& builder,
                                                 std::span<const DictionaryReadingPath> paths, SharedPathReading how,
                                                 std::uint64_t budget) {
  std::vector<const DictionaryPathNode*> heads(paths.size());
  for (std::size_t i = 0; i < heads.size(); ++i) heads[i] = paths[i].head();
  return add_heads_by_shared_segments(builder, heads, how, budget);
}

std::optional<bool> add_paths_by_shared_segments(RomajiLatticeBuilder& builder, const KeptPaths& paths,
                                                 SharedPathReading how, std::uint64_t budget) {
  return add_heads_by_shared_segments(builder, heads_of(paths), how, budget);
}

struct SharedSegmentReader::Kept {
  Kept(SharedPathReading how, std::uint64_t budget) : lattice(how, budget) {}
  SharedPathLattice lattice;
  // The paths whose links the lattice points into.
  std::vector<KeptPaths> paths;
};

SharedSegmentReader::SharedSegmentReader(SharedPathReading how, std::uint64_t budget)
    : how_(how), budget_(budget), kept_(std::make_unique<Kept>(how, budget)) {}
SharedSegmentReader::~SharedSegmentReader() = default;

std::optional<bool> SharedSegmentReader::add_paths(RomajiLatticeBuilder& builder, const KeptPaths& paths) {
  if (paths.empty()) return false;
  const std::vector<const DictionaryPathNode*> heads = heads_of(paths);
  if (kept_) {
    kept_->paths.push_back(paths);
    bool spent = false;
    const std::optional<bool> added = add_through(kept_->lattice, builder, heads, spent);
    if (!spent) return added;
    // Past the budget of all calls together: each call on its own from now.
    kept_.reset();
  }
  return add_heads_by_shared_segments(builder, heads, how_, budget_);
}

}  // namespace orvel::ja
