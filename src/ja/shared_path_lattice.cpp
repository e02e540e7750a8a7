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
// Links looked at while grouping, over all sets; past it the paths are read
// one at a time.
constexpr std::uint64_t kMaxGroupedLinks = std::uint64_t{1} << 22;

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
  std::array<std::uint32_t, kVowels> entry;

  LinkSet() { entry.fill(kNone); }
};

// One segment read from a set into the set of its tails.
struct SegmentEdge {
  std::uint32_t to = 0;
  std::vector<RomajiStep> steps;
};

struct SegmentUnits {
  bool readable = false;
  std::vector<Unit> units;
};

class SharedPathLattice {
 public:
  explicit SharedPathLattice(SharedPathReading how) : how_(how) {}

  // False when the construction does not apply.
  bool group(std::span<const DictionaryReadingPath> paths) {
    std::vector<const DictionaryPathNode*> roots;
    roots.reserve(paths.size());
    // Reading chars from each link to the end of its path. Links are shared
    // and told apart by (position, rank), so each is counted once.
    std::uint64_t first_position = 0;
    std::vector<std::vector<std::uint64_t>> chars_from;
    constexpr std::uint64_t kUnknown = std::numeric_limits<std::uint64_t>::max();
    const auto memo = [&](const DictionaryPathNode* node) -> std::uint64_t& {
      auto& at = chars_from[node->position - first_position];
      if (at.size() <= node->rank) at.resize(node->rank + 1, kUnknown);
      return at[node->rank];
    };
    std::vector<const DictionaryPathNode*> pending;
    const auto chars_of = [&](const DictionaryPathNode* head) {
      pending.clear();
      std::uint64_t known = 0;
      for (const DictionaryPathNode* node = head; node != nullptr; node = node->next.get()) {
        // Not links of one search: read the paths one at a time.
        if (node->position < first_position || node->position - first_position >= chars_from.size()) return kUnknown;
        if (const std::uint64_t found = memo(node); found != kUnknown) {
          known = found;
          break;
        }
        pending.push_back(node);
      }
      for (auto it = pending.rbegin(); it != pending.rend(); ++it) {
        if ((*it)->segment) known += text::count_scalars((*it)->segment->reading);
        memo(*it) = known;
      }
      return known;
    };
    if (how_.query_limits && !paths.empty() && paths.front().head() != nullptr) {
      // Positions only grow along a path, from the first link's to the end's.
      first_position = paths.front().head()->position;
      std::uint64_t last_position = first_position;
      for (const DictionaryPathNode* node = paths.front().head(); node != nullptr; node = node->next.get()) {
        if (node->position < first_position) return false;
        last_position = node->position;
      }
      chars_from.resize(last_position - first_position + 1);
    }
    for (const DictionaryReadingPath& path : paths) {
      if (path.head() == nullptr) return false;
      if (how_.query_limits) {
        if (path.head()->position != first_position) return false;
        if (chars_of(path.head()) > kQueryRomajiLimits.max_input_chars) return false;
      }
      roots.push_back(path.head());
    }
    auto root = set_for(std::move(roots), SetContext{});
    if (!root) return false;
    root_ = *root;
    for (std::size_t next = 0; next < sets_.size(); ++next) {
      if (!expand(static_cast<std::uint32_t>(next))) return false;
    }
    order_ = by_position();
    return true;
  }

  // False when a path may pass a limit.
  bool bound() {
    for (auto it = order_.rbegin(); it != order_.rend(); ++it) {
      LinkSet& set = sets_[*it];
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
    if (!how_.query_limits || !sets_[root_].live) return true;
    const auto none = static_cast<std::size_t>(LastVowel::None);
    return sets_[root_].max_strings[none] <= kQueryRomajiLimits.max_paths &&
           sets_[root_].max_symbols[none] <= kQueryRomajiLimits.max_symbols;
  }

  bool any_string() const { return sets_[root_].live; }

  // The lattice of the readable paths into `builder`.
  void emit(RomajiLatticeBuilder& builder) {
    node_count_ = 2;  // the start, and the end until the renumbering
    sets_[root_].entry[static_cast<std::size_t>(LastVowel::None)] = kStart;
    for (const std::uint32_t s : order_) {
      const LinkSet& set = sets_[s];
      if (set.is_end || !set.live) continue;
      std::vector<FrontierState> entry;
      for (std::size_t v = 0; v < kVowels; ++v) {
        if (set.entry[v] != kNone) entry.push_back(FrontierState{set.entry[v], static_cast<LastVowel>(v)});
      }
      if (entry.empty()) continue;
      for (const std::uint32_t e : set.edges) {
        const SegmentEdge& edge = edges_[e];
        if (!sets_[edge.to].live) continue;
        if (edge.steps.empty()) {
          // The segment was all carried over into its tails.
          sets_[edge.to].entry = set.entry;
          continue;
        }
        std::vector<FrontierState> frontier = entry;
        for (std::size_t k = 0; k < edge.steps.size(); ++k) {
          frontier = add_step(frontier, edge.steps[k], k + 1 == edge.steps.size() ? edge.to : kNone);
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
    for (std::size_t i = 0; i < links.size(); ++i) {
      // Links of one search are told apart by their rank at their position.
      if (links[i]->position != position || (i > 0 && links[i]->rank <= links[i - 1]->rank)) return std::nullopt;
      key_.push_back(links[i]->rank);
    }
    grouped_links_ += links.size();
    if (grouped_links_ > kMaxGroupedLinks) return std::nullopt;
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
        tails.push_back({link->next.get()});
      } else {
        tails[static_cast<std::size_t>(at - segments.begin())].push_back(link->next.get());
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
    edges_.push_back(SegmentEdge{*to, std::move(*steps)});
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

  std::vector<std::uint32_t> by_position() const {
    std::vector<std::uint32_t> order(sets_.size());
    for (std::uint32_t i = 0; i < order.size(); ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(),
                     [&](std::uint32_t a, std::uint32_t b) { return sets_[a].position < sets_[b].position; });
    return order;
  }

  // One step from `frontier`: into new nodes, one per last vowel, or into
  // the entry nodes of set `into` (the end for the end set).
  std::vector<FrontierState> add_step(std::span<const FrontierState> frontier, const RomajiStep& step,
                                      std::uint32_t into) {
    std::array<std::uint32_t, kVowels> fresh;
    fresh.fill(kNone);
    const auto target = [&](LastVowel vowel) -> std::uint32_t {
      const auto v = static_cast<std::size_t>(vowel);
      if (into == kNone) {
        if (fresh[v] == kNone) fresh[v] = new_node();
        return fresh[v];
      }
      LinkSet& set = sets_[into];
      if (set.is_end) return kEnd;
      if (set.entry[v] == kNone) set.entry[v] = new_node();
      return set.entry[v];
    };
    for (const RomajiTransition& move : RomajiLatticeBuilder::transitions(frontier, step)) {
      if (move.symbols.empty()) continue;
      const std::uint32_t last = target(move.last_vowel);
      std::uint32_t src = static_cast<std::uint32_t>(move.from_node);
      for (std::size_t k = 0; k < move.symbols.size(); ++k) {
        const std::uint32_t dst = k + 1 == move.symbols.size() ? last : new_node();
        arcs_.push_back(Arc{src, dst, move.symbols[k]});
        src = dst;
      }
    }
    std::vector<FrontierState> next;
    for (std::size_t v = 0; v < kVowels; ++v) {
      if (fresh[v] != kNone) next.push_back(FrontierState{fresh[v], static_cast<LastVowel>(v)});
    }
    return next;
  }

  std::uint32_t new_node() { return node_count_++; }

  // Numbers the nodes so that every arc ascends, the start first and the end
  // last, and hands the graph to the builder.
  void renumber_into(RomajiLatticeBuilder& builder) {
    std::sort(arcs_.begin(), arcs_.end(), [](const Arc& a, const Arc& b) {
      return std::tie(a.src, a.dst, a.symbol) < std::tie(b.src, b.dst, b.symbol);
    });
    arcs_.erase(std::unique(arcs_.begin(), arcs_.end()), arcs_.end());
    std::vector<std::uint32_t> indegree(node_count_, 0);
    std::vector<std::uint32_t> first_out(node_count_ + 1, 0);
    for (const Arc& arc : arcs_) {
      ++indegree[arc.dst];
      ++first_out[arc.src + 1];
    }
    for (std::size_t n = 0; n < node_count_; ++n) first_out[n + 1] += first_out[n];
    // Every node lies on a path from the start to the end, so the end is
    // the last node without unplaced predecessors.
    std::vector<std::uint64_t> place(node_count_, 0);
    std::vector<std::uint32_t> ready{kStart};
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
  // The sets by ascending position: every set after the sets leading to it.
  std::vector<std::uint32_t> order_;
  orvel::detail::SequenceIds set_ids_;
  std::unordered_map<const DictionaryReadingSegment*, SegmentUnits> units_;
  std::vector<std::uint32_t> key_;
  std::vector<Unit> own_;
  std::vector<Unit> window_;
  std::uint64_t grouped_links_ = 0;
  std::uint32_t root_ = 0;
  std::vector<Arc> arcs_;
  std::uint32_t node_count_ = 0;
};

}  // namespace

std::optional<bool> add_paths_by_shared_segments(RomajiLatticeBuilder& builder,
                                                 std::span<const DictionaryReadingPath> paths, SharedPathReading how) {
  if (paths.empty()) return false;
  SharedPathLattice lattice(how);
  if (!lattice.group(paths) || !lattice.bound()) return std::nullopt;
  if (!lattice.any_string()) return false;
  lattice.emit(builder);
  return true;
}

}  // namespace orvel::ja
