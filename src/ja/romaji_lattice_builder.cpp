#include "ja/romaji_lattice_builder.hpp"

#include <algorithm>
#include <array>

#include "common/fatal_error.hpp"
#include "text/utf8.hpp"

namespace orvel::ja {

RomajiTransition RomajiTransition::make(std::string_view alternative, const FrontierState& state) {
  RomajiTransition t;
  t.from_node = state.node;
  t.last_vowel = state.last_vowel;
  std::size_t pos = 0;
  while (pos < alternative.size()) {
    const char32_t c = text::next_scalar(alternative, pos);
    t.symbols.push_back(static_cast<std::uint32_t>(c));
    if (const LastVowel v = vowel_of(c); v != LastVowel::None) t.last_vowel = v;
  }
  return t;
}

std::vector<RomajiTransition> RomajiLatticeBuilder::transitions(std::span<const FrontierState> frontier,
                                                                const RomajiStep& step) {
  std::vector<RomajiTransition> out;
  for (const FrontierState& state : frontier) {
    if (step.kind == RomajiStep::Kind::Variants) {
      for (const std::string& variant : step.variants) out.push_back(RomajiTransition::make(variant, state));
    } else {
      for (std::string_view alternative : long_vowel_alternatives(state.last_vowel)) {
        out.push_back(RomajiTransition::make(alternative, state));
      }
    }
  }
  return out;
}

bool RomajiLatticeBuilder::seen_arc(const Arc& arc) {
  // Only an arc between two nodes that existed before it can repeat one:
  // a one-symbol transition from a frontier node to a step's vowel node or
  // to the end. Vowel nodes and the frontier nodes of a unit list are new
  // with their step, so such repeats come from the same step's transitions,
  // except arcs from the start to the end, which every unit list can add.
  // With shared prefixes any frontier node may be shared, so every arc into
  // the end is checked against all earlier ones.
  if (share_prefixes_ && arc.dst == kEndPlaceholder) {
    return !end_arcs_.insert({arc.src, arc.symbol}).second;
  }
  if (arc.src == 0 && arc.dst == kEndPlaceholder) {
    if (std::find(start_end_symbols_.begin(), start_end_symbols_.end(), arc.symbol) != start_end_symbols_.end()) {
      return true;
    }
    start_end_symbols_.push_back(arc.symbol);
    return false;
  }
  if (std::find(step_arcs_.begin(), step_arcs_.end(), arc) != step_arcs_.end()) return true;
  step_arcs_.push_back(arc);
  return false;
}

void RomajiLatticeBuilder::add_chain(const RomajiTransition& transition, std::uint64_t last_dst) {
  std::uint64_t src = transition.from_node;
  for (std::size_t k = 0; k < transition.symbols.size(); ++k) {
    const bool last = k + 1 == transition.symbols.size();
    const std::uint64_t dst = last ? last_dst : next_node_++;
    const Arc arc{src, dst, transition.symbols[k]};
    // An arc into a new node cannot repeat one.
    if (k != 0 || !last || !seen_arc(arc)) arcs_.push_back(arc);
    src = dst;
  }
}

std::expected<void, JaLatticeError> RomajiLatticeBuilder::add_units(std::span<const Unit> units) {
  auto steps = romaji_steps_from_units(units);
  if (!steps) return std::unexpected(std::move(steps.error()));
  add_steps(*steps);
  return {};
}

std::vector<FrontierState> RomajiLatticeBuilder::add_step(std::span<const FrontierState> frontier,
                                                          const RomajiStep& step, bool last) {
  const std::vector<RomajiTransition> moves = transitions(frontier, step);
  step_arcs_.clear();
  if (last) {
    for (const RomajiTransition& t : moves) add_chain(t, kEndPlaceholder);
    return {};
  }
  std::uint64_t interior = 0;
  std::array<bool, 6> present{};
  for (const RomajiTransition& t : moves) {
    if (!t.symbols.empty()) interior += t.symbols.size() - 1;
    present[static_cast<std::size_t>(t.last_vowel)] = true;
  }
  const std::uint64_t step_start = next_node_;
  std::array<std::uint64_t, 6> vowel_node{};
  std::uint64_t distinct = 0;
  for (std::size_t v = 0; v < present.size(); ++v) {
    if (present[v]) vowel_node[v] = step_start + interior + distinct++;
  }
  for (const RomajiTransition& t : moves) add_chain(t, vowel_node[static_cast<std::size_t>(t.last_vowel)]);
  next_node_ = step_start + interior + distinct;
  std::vector<FrontierState> next;
  for (std::size_t v = 0; v < present.size(); ++v) {
    if (present[v]) next.push_back(FrontierState{vowel_node[v], static_cast<LastVowel>(v)});
  }
  return next;
}

void RomajiLatticeBuilder::add_steps(std::span<const RomajiStep> steps) {
  if (steps.empty()) {
    has_empty_reading_ = true;
    return;
  }
  has_nonempty_reading_ = true;
  if (share_prefixes_) {
    add_shared_steps(steps);
    return;
  }
  std::vector<FrontierState> frontier{FrontierState{0, LastVowel::None}};
  for (std::size_t s = 0; s < steps.size(); ++s) frontier = add_step(frontier, steps[s], s + 1 == steps.size());
}

void RomajiLatticeBuilder::add_graph(std::span<const Arc> arcs, std::uint64_t node_count) {
  has_nonempty_reading_ = true;
  // Node k between the start and the end becomes next_node_ - 1 + k.
  const std::uint64_t end = node_count - 1;
  const std::uint64_t base = next_node_ - 1;
  const auto place = [&](std::uint64_t node) {
    if (node == 0) return std::uint64_t{0};
    if (node == end) return kEndPlaceholder;
    return base + node;
  };
  for (const Arc& arc : arcs) arcs_.push_back(Arc{place(arc.src), place(arc.dst), arc.symbol});
  next_node_ += node_count - 2;
}

std::uint32_t RomajiLatticeBuilder::step_id(const RomajiStep& step) {
  step_key_.assign(1, step.kind == RomajiStep::Kind::Variants ? 'V' : 'L');
  for (const std::string& variant : step.variants) {
    step_key_ += variant;
    step_key_ += '\0';
  }
  return step_ids_.try_emplace(step_key_, static_cast<std::uint32_t>(step_ids_.size())).first->second;
}

void RomajiLatticeBuilder::add_shared_steps(std::span<const RomajiStep> steps) {
  if (trie_frontiers_.empty()) trie_frontiers_.push_back({FrontierState{0, LastVowel::None}});
  std::uint32_t at = 0;
  for (std::size_t s = 0; s < steps.size(); ++s) {
    const bool last = s + 1 == steps.size();
    const std::uint32_t id = step_id(steps[s]);
    // Trie nodes and distinct steps stay far below 2^31: each needs at least
    // one step of some unit list in memory.
    if (at >= (1u << 31) || id >= (1u << 31)) throw FatalError("romaji lattice builder: too many steps");
    const std::uint64_t key = (static_cast<std::uint64_t>(at) << 33) | (static_cast<std::uint64_t>(id) << 1) |
                              (last ? 1u : 0u);
    const auto [child, inserted] = trie_children_.try_emplace(key, 0);
    if (!inserted) {
      // A last step already taken from here adds nothing new.
      if (last) return;
      at = child->second;
      continue;
    }
    // Copied: add_step may grow the list of frontiers.
    const std::vector<FrontierState> frontier = trie_frontiers_[at];
    std::vector<FrontierState> next = add_step(frontier, steps[s], last);
    if (last) return;
    child->second = static_cast<std::uint32_t>(trie_frontiers_.size());
    at = child->second;
    trie_frontiers_.push_back(std::move(next));
  }
}

std::expected<Lattice, JaLatticeError> RomajiLatticeBuilder::into_lattice() && {
  if (!has_empty_reading_ && !has_nonempty_reading_) return std::unexpected(JaLatticeError::no_readings());
  if (!has_nonempty_reading_) {
    auto lattice = Lattice::from_edges(1, 0, 0, {});
    if (!lattice) return std::unexpected(JaLatticeError::invalid_lattice(lattice.error()));
    return std::move(*lattice);
  }
  if (has_empty_reading_) {
    return std::unexpected(JaLatticeError::invalid_lattice(LatticeError::mixed_empty_and_non_empty_paths()));
  }
  const std::uint64_t end = next_node_;
  for (Arc& arc : arcs_) {
    if (arc.dst == kEndPlaceholder) arc.dst = end;
  }
  auto lattice = Lattice::from_edges(end + 1, 0, end, std::move(arcs_));
  if (!lattice) return std::unexpected(JaLatticeError::invalid_lattice(lattice.error()));
  return std::move(*lattice);
}

}  // namespace orvel::ja
