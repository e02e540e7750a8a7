#pragma once
// Builds one lattice whose start-to-end paths are exactly the romaji strings
// of one or more unit lists (whole readings of one text). After every step
// the partial strings that end in the same last vowel share one node, since
// the vowel is all that later steps can depend on; so at most six nodes stay
// open and the lattice grows with steps times alternatives, never with their
// product.
#include <cstdint>
#include <expected>
#include <span>
#include <string>
#include <tuple>
#include <unordered_map>
#include <set>
#include <utility>
#include <vector>

#include "core/lattice.hpp"
#include "ja/ja_lattice_error.hpp"
#include "ja/romaji_segment.hpp"
#include "ja/romaji_steps.hpp"

namespace orvel::ja {

// An open node while a unit list is being added.
struct FrontierState {
  std::uint64_t node = 0;
  LastVowel last_vowel = LastVowel::None;
};

// One alternative of one step leaving one frontier node.
struct RomajiTransition {
  std::vector<std::uint32_t> symbols;
  std::uint64_t from_node = 0;
  LastVowel last_vowel = LastVowel::None;  // after the alternative

  static RomajiTransition make(std::string_view alternative, const FrontierState& state);
};

class RomajiLatticeBuilder {
 public:
  RomajiLatticeBuilder() = default;
  // With `share_prefixes`, unit lists whose first steps are equal share the
  // nodes of those steps (the strings are the same; only the node numbering
  // differs from the plain builder). For lattices that are reduced anyway,
  // such as those of many dictionary paths of one text.
  explicit RomajiLatticeBuilder(bool share_prefixes) : share_prefixes_(share_prefixes) {}

  // Destination of arcs into the end node until the lattice is finished.
  static constexpr std::uint64_t kEndPlaceholder = UINT64_MAX;

  // Adds the romaji strings of one unit list. Errors: MissingRomajiVariant,
  // leaving the builder unchanged.
  std::expected<void, JaLatticeError> add_units(std::span<const Unit> units);
  // The same for the steps of a unit list (romaji_steps_from_units).
  void add_steps(std::span<const RomajiStep> steps);

  // Adds a lattice built elsewhere: its node 0 becomes the start, its last
  // node the end and every other node a new node. Every arc ascends, and the
  // graph spells at least one string, none of them empty.
  void add_graph(std::span<const Arc> arcs, std::uint64_t node_count);

  // Frontier-major, alternative-minor.
  static std::vector<RomajiTransition> transitions(std::span<const FrontierState> frontier, const RomajiStep& step);

  // NoReadings when nothing was added; the one-node lattice when only empty
  // unit lists were; InvalidLattice (MixedEmptyAndNonEmptyPaths) when empty
  // and non-empty ones met.
  std::expected<Lattice, JaLatticeError> into_lattice() &&;

  // Leaves the empty string out of the finished lattice (the caller keeps it
  // aside); for a builder that also has non-empty strings.
  void drop_empty_reading() { has_empty_reading_ = false; }

  const std::vector<Arc>& arcs() const { return arcs_; }
  std::uint64_t next_node() const { return next_node_; }
  bool has_empty_reading() const { return has_empty_reading_; }
  bool has_nonempty_reading() const { return has_nonempty_reading_; }
  bool empty() const { return !has_empty_reading_ && !has_nonempty_reading_; }

 private:
  // One step from `frontier`: its chains into new vowel nodes, whose states
  // are returned, or into the end for the last step.
  std::vector<FrontierState> add_step(std::span<const FrontierState> frontier, const RomajiStep& step, bool last);
  void add_shared_steps(std::span<const RomajiStep> steps);
  std::uint32_t step_id(const RomajiStep& step);

  // Adds the arcs of one transition's chain ending at `last_dst`.
  void add_chain(const RomajiTransition& transition, std::uint64_t last_dst);
  // Whether a one-symbol arc between existing nodes is already there (and
  // notes it otherwise).
  bool seen_arc(const Arc& arc);

  std::vector<Arc> arcs_;
  std::uint64_t next_node_ = 1;
  // The one-symbol arcs between existing nodes of the current step, and the
  // symbols of arcs from the start to the end.
  std::vector<Arc> step_arcs_;
  std::vector<std::uint32_t> start_end_symbols_;
  bool has_empty_reading_ = false;
  bool has_nonempty_reading_ = false;

  // Prefix sharing: the distinct steps seen, the trie of step sequences
  // (child of (node, step, last) -> node), each node's frontier, and the
  // arcs into the end from any node (a shared frontier node can reach the
  // end through several last steps).
  bool share_prefixes_ = false;
  std::unordered_map<std::string, std::uint32_t> step_ids_;
  std::unordered_map<std::uint64_t, std::uint32_t> trie_children_;
  std::vector<std::vector<FrontierState>> trie_frontiers_;
  std::set<std::pair<std::uint64_t, std::uint32_t>> end_arcs_;
  std::string step_key_;
};

}  // namespace orvel::ja
