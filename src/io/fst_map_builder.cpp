#include "io/fst_map_builder.hpp"

#include <algorithm>
#include <array>

#include <fmt/format.h>

#include "io/fst_checksum.hpp"
#include "io/fst_format.hpp"

namespace orvel::io {
namespace {

using fst::kEmptyAddress;

struct BuiltTransition {
  std::uint8_t input = 0;
  std::uint64_t output = 0;
  std::uint64_t target = 0;
  friend bool operator==(const BuiltTransition&, const BuiltTransition&) = default;
};

// A node whose transitions are all known: what gets written and shared.
struct BuiltNode {
  bool final = false;
  std::uint64_t final_output = 0;
  std::vector<BuiltTransition> transitions;  // ascending input
  friend bool operator==(const BuiltNode&, const BuiltNode&) = default;
};

// A node on the path of the last key: its last transition (the one the
// last key took) still waits for its target.
struct OpenNode {
  BuiltNode node;
  bool has_pending = false;
  std::uint8_t pending_input = 0;
  std::uint64_t pending_output = 0;

  void reset(bool final) {
    node.final = final;
    node.final_output = 0;
    node.transitions.clear();
    has_pending = false;
    pending_input = 0;
    pending_output = 0;
  }
  void close_pending(std::uint64_t target) {
    node.transitions.push_back({pending_input, pending_output, target});
    has_pending = false;
  }
};

// Bounded, lossy cache of written nodes: rows of two slots, the most recent
// hit in front. Its size and replacement rule decide which identical nodes
// are shared, and with that every later address of the map.
class NodeRegistry {
 public:
  static constexpr std::size_t kRows = 10000;

  NodeRegistry() : slots_(2 * kRows) {}

  struct Slot {
    bool used = false;
    BuiltNode node;
    std::uint64_t address = 0;
  };

  // The address of an identical cached node, or nullptr after making room
  // for `node` in front of its row (then `store` fills it).
  const Slot* find(const BuiltNode& node) {
    Slot* row = &slots_[2 * (hash(node) % kRows)];
    if (row[0].used && row[0].node == node) return &row[0];
    if (row[1].used && row[1].node == node) {
      std::swap(row[0], row[1]);
      return &row[0];
    }
    std::swap(row[0], row[1]);
    row[0].used = false;
    missed_ = &row[0];
    return nullptr;
  }
  void store(const BuiltNode& node, std::uint64_t address) {
    missed_->used = true;
    missed_->node = node;
    missed_->address = address;
  }

 private:
  // FNV-1a over whole 64-bit words.
  static std::uint64_t hash(const BuiltNode& node) {
    std::uint64_t h = 0xcbf29ce484222325ULL;
    const auto mix = [&h](std::uint64_t word) { h = (h ^ word) * 0x100000001b3ULL; };
    mix(node.final ? 1 : 0);
    mix(node.final_output);
    for (const BuiltTransition& t : node.transitions) {
      mix(t.input);
      mix(t.output);
      mix(t.target);
    }
    return h;
  }

  std::vector<Slot> slots_;
  Slot* missed_ = nullptr;
};

std::string to_hex(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size() * 2);
  for (const char c : bytes) out += fmt::format("{:02x}", static_cast<unsigned char>(c));
  return out;
}

}  // namespace

std::string FstBuildError::message() const {
  switch (kind) {
    case Kind::DuplicateKey:
      return "fst map key inserted twice";
    case Kind::OutOfOrder:
      return "fst map keys are not in ascending byte order";
  }
  return {};
}

std::string FstBuildError::debug() const {
  const char* name = kind == Kind::DuplicateKey ? "DuplicateKey" : "OutOfOrder";
  return fmt::format("{} {{ key: \"{}\", previous: \"{}\" }}", name, to_hex(key), to_hex(previous));
}

struct FstMapBuilder::State {
  std::vector<std::uint8_t> out;
  // stack[d] is the node after the first d bytes of the last key; only the
  // first `depth` entries are live, the rest keep their memory for reuse.
  std::vector<OpenNode> stack;
  std::size_t depth = 0;
  NodeRegistry registry;
  std::uint64_t last_written = 1;  // no node written yet
  std::uint64_t count = 0;
  bool has_previous = false;
  std::string previous;

  State() { start(); }

  void start() {
    out.assign(fst::kHeaderSize, 0);
    out[0] = static_cast<std::uint8_t>(fst::kVersion);
    depth = 0;
    push(false);
  }

  OpenNode& push(bool final) {
    if (depth == stack.size()) stack.emplace_back();
    OpenNode& node = stack[depth++];
    node.reset(final);
    return node;
  }

  void append_packed(std::uint64_t n, std::size_t size) {
    for (std::size_t i = 0; i < size; ++i) out.push_back(static_cast<std::uint8_t>(n >> (8 * i)));
  }

  std::uint64_t compile(const BuiltNode& node) {
    if (node.final && node.transitions.empty() && node.final_output == 0) return kEmptyAddress;
    if (const NodeRegistry::Slot* hit = registry.find(node)) return hit->address;
    write(node);
    last_written = out.size() - 1;
    registry.store(node, last_written);
    return last_written;
  }

  void write(const BuiltNode& node) {
    const std::uint64_t low = out.size();
    const auto delta_of = [low](const BuiltTransition& t) { return t.target == kEmptyAddress ? 0 : low - t.target; };
    if (!node.final && node.transitions.size() == 1) {
      const BuiltTransition& t = node.transitions[0];
      const std::uint8_t code = fst::kCommonCodes[t.input];
      if (t.target == last_written && t.output == 0) {
        if (code == 0) out.push_back(t.input);
        out.push_back(static_cast<std::uint8_t>(fst::kStateOneNext << 6 | code));
        return;
      }
      const std::uint8_t osize = t.output == 0 ? 0 : fst::pack_size(t.output);
      const std::uint64_t delta = delta_of(t);
      const std::uint8_t tsize = fst::pack_size(delta);
      append_packed(t.output, osize);
      append_packed(delta, tsize);
      out.push_back(static_cast<std::uint8_t>(tsize << 4 | osize));
      if (code == 0) out.push_back(t.input);
      out.push_back(static_cast<std::uint8_t>(fst::kStateOne << 6 | code));
      return;
    }

    const std::size_t n = node.transitions.size();
    std::uint8_t tsize = 0;
    bool any_output = node.final_output != 0;
    std::uint8_t osize = fst::pack_size(node.final_output);
    for (const BuiltTransition& t : node.transitions) {
      tsize = std::max(tsize, fst::pack_size(delta_of(t)));
      any_output = any_output || t.output != 0;
      osize = std::max(osize, fst::pack_size(t.output));
    }
    if (!any_output) osize = 0;
    if (node.final && osize > 0) append_packed(node.final_output, osize);
    if (osize > 0) {
      for (std::size_t i = n; i-- > 0;) append_packed(node.transitions[i].output, osize);
    }
    for (std::size_t i = n; i-- > 0;) append_packed(delta_of(node.transitions[i]), tsize);
    for (std::size_t i = n; i-- > 0;) out.push_back(node.transitions[i].input);
    if (n > fst::kIndexThreshold) {
      std::array<std::uint8_t, fst::kIndexSize> index;
      index.fill(fst::kNoIndexEntry);
      for (std::size_t i = 0; i < n; ++i) index[node.transitions[i].input] = static_cast<std::uint8_t>(i);
      out.insert(out.end(), index.begin(), index.end());
    }
    out.push_back(static_cast<std::uint8_t>(tsize << 4 | osize));
    const bool count_in_state = n >= 1 && n <= fst::kStateCountMask;
    if (!count_in_state) out.push_back(static_cast<std::uint8_t>(n == 256 ? 1 : n));
    out.push_back(static_cast<std::uint8_t>((node.final ? fst::kStateFinal : 0) | (count_in_state ? n : 0)));
  }

  // Finishes the nodes of the last key deeper than `keep`, deepest first,
  // and hands the last address to stack[keep]'s pending transition.
  void finish_below(std::size_t keep) {
    bool finished_any = false;
    std::uint64_t address = 0;
    while (depth > keep + 1) {
      OpenNode& node = stack[--depth];
      if (node.has_pending) node.close_pending(address);
      address = compile(node.node);
      finished_any = true;
    }
    if (finished_any) stack[keep].close_pending(address);
  }

  void insert(std::string_view key, std::uint64_t value) {
    if (key.empty()) {
      count = 1;
      stack[0].node.final = true;
      stack[0].node.final_output = value;
      return;
    }
    // Walk the prefix shared with the last key. Each transition keeps the
    // smaller of its output and what is left of the value; the excess moves
    // down to everything below it.
    std::size_t i = 0;
    std::uint64_t rest = value;
    while (i < key.size() && stack[i].has_pending && stack[i].pending_input == static_cast<std::uint8_t>(key[i])) {
      OpenNode& node = stack[i];
      const std::uint64_t kept = std::min(node.pending_output, rest);
      const std::uint64_t excess = node.pending_output - kept;
      rest -= kept;
      node.pending_output = kept;
      ++i;
      if (excess > 0) {
        OpenNode& below = stack[i];
        if (below.node.final) below.node.final_output += excess;
        for (BuiltTransition& t : below.node.transitions) t.output += excess;
        if (below.has_pending) below.pending_output += excess;
      }
    }
    ++count;
    finish_below(i);
    OpenNode& fork = stack[i];
    fork.has_pending = true;
    fork.pending_input = static_cast<std::uint8_t>(key[i]);
    fork.pending_output = rest;
    for (std::size_t j = i + 1; j < key.size(); ++j) {
      OpenNode& node = push(false);
      node.has_pending = true;
      node.pending_input = static_cast<std::uint8_t>(key[j]);
    }
    push(true);
  }

  std::vector<std::uint8_t> finish() {
    finish_below(0);
    const std::uint64_t root = compile(stack[0].node);
    append_packed(count, 8);
    append_packed(root, 8);
    const std::uint32_t checksum = fst::masked_crc32c(out);
    append_packed(checksum, fst::kChecksumSize);
    return std::move(out);
  }
};

FstMapBuilder::FstMapBuilder() : state_(std::make_unique<State>()) {}
FstMapBuilder::~FstMapBuilder() = default;
FstMapBuilder::FstMapBuilder(FstMapBuilder&&) noexcept = default;
FstMapBuilder& FstMapBuilder::operator=(FstMapBuilder&&) noexcept = default;

std::expected<void, FstBuildError> FstMapBuilder::insert(std::string_view key, std::uint64_t value) {
  State& s = *state_;
  if (s.has_previous) {
    const int order = key.compare(s.previous);  // unsigned byte order
    if (order <= 0) {
      return std::unexpected(FstBuildError{order == 0 ? FstBuildError::Kind::DuplicateKey : FstBuildError::Kind::OutOfOrder,
                                           std::string(key), s.previous});
    }
  }
  s.insert(key, value);
  s.has_previous = true;
  s.previous.assign(key);
  return {};
}

std::uint64_t FstMapBuilder::key_count() const noexcept { return state_->count; }

std::vector<std::uint8_t> FstMapBuilder::finish() {
  std::vector<std::uint8_t> bytes = state_->finish();
  state_ = std::make_unique<State>();
  return bytes;
}

std::expected<std::vector<std::uint8_t>, FstBuildError> build_fst_map(
    std::span<const std::pair<std::string, std::uint64_t>> entries) {
  FstMapBuilder builder;
  for (const auto& [key, value] : entries) {
    if (auto ok = builder.insert(key, value); !ok) return std::unexpected(ok.error());
  }
  return builder.finish();
}

}  // namespace orvel::io
