#include "ja/romaji_lattice_builder.hpp"

#include <algorithm>
#include <array>

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

void RomajiLatticeBuilder::add_steps(std::span<const RomajiStep> steps) {
  if (steps.empty()) {
    has_empty_reading_ = true;
    return;
  }
  has_nonempty_reading_ = true;
  std::vector<FrontierState> frontier{FrontierState{0, LastVowel::None}};
  for (std::size_t s = 0; s + 1 < steps.size(); ++s) {
    const std::vector<RomajiTransition> moves = transitions(frontier, steps[s]);
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
    step_arcs_.clear();
    for (const RomajiTransition& t : moves) add_chain(t, vowel_node[static_cast<std::size_t>(t.last_vowel)]);
    next_node_ = step_start + interior + distinct;
    frontier.clear();
    for (std::size_t v = 0; v < present.size(); ++v) {
      if (present[v]) frontier.push_back(FrontierState{vowel_node[v], static_cast<LastVowel>(v)});
    }
  }
  step_arcs_.clear();
  for (const RomajiTransition& t : transitions(frontier, steps.back())) add_chain(t, kEndPlaceholder);
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
