#include "io/fst_map.hpp"

#include <string>

#include "io/fst_format.hpp"
#include "io/fst_node.hpp"

namespace orvel::io {
namespace {

using fst::Node;
using fst::NodeArea;

std::uint64_t read_u64(const std::uint8_t* p) { return fst::read_packed(p, 8); }

FstError error_of(FstError::Kind kind) {
  FstError e;
  e.kind = kind;
  return e;
}

FstError overflow_at(std::uint64_t address) {
  FstError e = error_of(FstError::Kind::OutputOverflow);
  e.address = address;
  return e;
}

// a + b, or false when the sum does not fit in 64 bits (only a damaged map
// can make the outputs along a path overflow).
bool add_output(std::uint64_t& a, std::uint64_t b) { return !__builtin_add_overflow(a, b, &a); }

NodeArea area_of(std::span<const std::uint8_t> bytes, std::uint64_t version) {
  const std::uint64_t end = bytes.size() - (version == 3 ? fst::kChecksumSize : 0);
  return NodeArea{bytes.data(), end - fst::kTrailerSize, version >= 2};
}

}  // namespace

std::expected<FstMap, FstError> FstMap::open(std::vector<std::uint8_t> bytes) {
  auto owned = std::make_shared<const std::vector<std::uint8_t>>(std::move(bytes));
  const std::span<const std::uint8_t> view(*owned);
  return open(std::move(owned), view);
}

std::expected<FstMap, FstError> FstMap::open(std::shared_ptr<const void> owner, std::span<const std::uint8_t> bytes) {
  const std::uint64_t size = bytes.size();
  // The smallest map of version 3 is the bound for every version, so that
  // the same files are accepted as by the format's own reader.
  if (size < fst::kMinimumSize) {
    FstError e = error_of(FstError::Kind::TooShort);
    e.size = size;
    return std::unexpected(e);
  }
  const std::uint64_t version = read_u64(bytes.data());
  if (version == 0 || version > fst::kVersion) {
    FstError e = error_of(FstError::Kind::UnsupportedVersion);
    e.version = version;
    return std::unexpected(e);
  }
  const std::uint64_t end = size - (version == 3 ? fst::kChecksumSize : 0);
  const std::uint64_t root = read_u64(bytes.data() + end - 8);
  const std::uint64_t key_count = read_u64(bytes.data() + end - 16);
  // The root is written last, right before the trailer; address 0 (the
  // implicit final node) is the root only of the bare version-3 map {"" -> 0}.
  const bool root_placed = root == fst::kEmptyAddress ? version == 3 && size == fst::kMinimumSize
                                                      : root == end - fst::kTrailerSize - 1;
  if (!root_placed) {
    FstError e = error_of(FstError::Kind::MisplacedRoot);
    e.root = root;
    e.size = size;
    return std::unexpected(e);
  }
  auto root_node = Node::decode(area_of(bytes, version), root);
  if (!root_node) return std::unexpected(root_node.error());
  if (auto ok = root_node->check_order(); !ok) return std::unexpected(ok.error());

  FstMap map;
  map.owner_ = std::move(owner);
  map.bytes_ = bytes;
  map.version_ = version;
  map.key_count_ = key_count;
  map.root_ = root;
  return map;
}

std::expected<std::optional<std::uint64_t>, FstError> FstMap::get(std::string_view key) const {
  const NodeArea area = area_of(bytes_, version_);
  auto node = Node::decode(area, root_);
  if (!node) return std::unexpected(node.error());
  std::uint64_t sum = 0;
  for (const char c : key) {
    const auto byte = static_cast<std::uint8_t>(c);
    const std::size_t i = node->find(byte);
    if (i == Node::kCorrupt) {
      FstError e = error_of(FstError::Kind::InvalidIndex);
      e.address = node->address();
      return std::unexpected(e);
    }
    if (i == node->size()) return std::nullopt;
    auto t = node->transition(i);
    if (!t) return std::unexpected(t.error());
    if (!add_output(sum, t->output)) return std::unexpected(overflow_at(node->address()));
    node = Node::decode(area, t->target);
    if (!node) return std::unexpected(node.error());
  }
  if (!node->is_final()) return std::nullopt;
  if (!add_output(sum, node->final_output())) return std::unexpected(overflow_at(node->address()));
  return sum;
}

std::expected<void, FstError> FstMap::visit_all(VisitFn fn, void* context, std::uint64_t max_key_bytes) const {
  const NodeArea area = area_of(bytes_, version_);
  std::uint64_t visited = 0;
  const auto count_mismatch = [&] {
    FstError e = error_of(FstError::Kind::KeyCountMismatch);
    e.key_count = key_count_;
    e.visited = visited;
    return std::unexpected(e);
  };

  struct Frame {
    Node node;
    std::size_t next;
    std::uint64_t sum;  // outputs along the key so far
  };
  auto root = Node::decode(area, root_);
  if (!root) return std::unexpected(root.error());
  if (auto ok = root->check_order(); !ok) return std::unexpected(ok.error());
  std::string key;
  if (root->is_final()) {
    if (++visited > key_count_) return count_mismatch();
    if (!fn(context, key, root->final_output())) return {};
  }
  std::vector<Frame> stack;
  stack.push_back(Frame{*root, 0, 0});
  while (!stack.empty()) {
    Frame& top = stack.back();
    if (top.next == top.node.size()) {
      stack.pop_back();
      if (!stack.empty()) key.pop_back();
      continue;
    }
    if (key.size() >= max_key_bytes) {
      FstError e = error_of(FstError::Kind::KeyTooLong);
      e.size = key.size() + 1;
      e.address = top.node.address();
      return std::unexpected(e);
    }
    auto t = top.node.transition(top.next++);
    if (!t) return std::unexpected(t.error());
    std::uint64_t sum = top.sum;
    if (!add_output(sum, t->output)) return std::unexpected(overflow_at(top.node.address()));
    auto child = Node::decode(area, t->target);
    if (!child) return std::unexpected(child.error());
    if (auto ok = child->check_order(); !ok) return std::unexpected(ok.error());
    // Below the root every path leads to a key; a path that does not would
    // let damaged bytes make the visit run without bound.
    if (!child->is_final() && child->size() == 0) {
      FstError e = error_of(FstError::Kind::DeadEnd);
      e.address = child->address();
      return std::unexpected(e);
    }
    key.push_back(static_cast<char>(t->input));
    if (child->is_final()) {
      std::uint64_t value = sum;
      if (!add_output(value, child->final_output())) return std::unexpected(overflow_at(child->address()));
      if (++visited > key_count_) return count_mismatch();
      if (!fn(context, key, value)) return {};
    }
    stack.push_back(Frame{*child, 0, sum});
  }
  if (visited != key_count_) return count_mismatch();
  return {};
}

}  // namespace orvel::io
