#include "io/fst_node.hpp"

#include "io/fst_format.hpp"

namespace orvel::io::fst {
namespace {

FstError node_error(FstError::Kind kind, std::uint64_t address) {
  FstError e;
  e.kind = kind;
  e.address = address;
  return e;
}

}  // namespace

// A general node, in ascending addresses (A = address of the state byte):
//   [final output]              osize bytes, if final and osize > 0
//   output(n-1) ... output(0)   osize bytes each
//   delta(n-1) ... delta(0)     tsize bytes each
//   input(n-1) ... input(0)     one byte each
//   [index]                     256 bytes, if indexed and n > 32
//   pack sizes                  tsize << 4 | osize
//   [count]                     if the state's count bits are 0 (1 means 256)
//   state                       at A
// The one-transition forms are [output] delta pack [input] state, and
// [input] state for the form whose target is the node just below it; the
// input byte is explicit only when the state's six low bits are 0.
std::expected<Node, FstError> Node::decode(const NodeArea& area, std::uint64_t address) {
  Node node;
  node.data_ = area.data;
  node.address_ = address;
  if (address == kEmptyAddress) return node;  // final, no transitions, output 0
  if (address < kHeaderSize || address >= area.limit) return std::unexpected(node_error(FstError::Kind::NodeOutOfBounds, address));

  const std::uint8_t* d = area.data;
  const std::uint8_t state = d[address];
  const std::uint8_t code = state & kStateCountMask;
  const std::uint64_t explicit_input = code == 0 ? 1 : 0;
  // Every check below keeps the node's lowest byte at or above kHeaderSize.
  const auto needs = [&](std::uint64_t bytes) { return address + 1 >= kHeaderSize + bytes; };

  switch (state >> 6) {
    case kStateOneNext: {
      if (!needs(1 + explicit_input)) return std::unexpected(node_error(FstError::Kind::NodeOutOfBounds, address));
      node.form_ = Form::OneNext;
      node.final_ = false;
      node.count_ = 1;
      node.low_ = address - explicit_input;
      node.one_input_ = explicit_input ? d[address - 1] : kCommonInputs[code - 1];
      node.one_delta_ = 1;  // the node that ends just below this one
      return node;
    }
    case kStateOne: {
      if (!needs(2 + explicit_input)) return std::unexpected(node_error(FstError::Kind::NodeOutOfBounds, address));
      const std::uint8_t sizes = d[address - 1 - explicit_input];
      const std::uint8_t tsize = sizes >> 4;
      const std::uint8_t osize = sizes & 0x0F;
      if (tsize == 0 || tsize > 8 || osize > 8) return std::unexpected(node_error(FstError::Kind::InvalidFieldSize, address));
      if (!needs(2 + explicit_input + tsize + osize)) {
        return std::unexpected(node_error(FstError::Kind::NodeOutOfBounds, address));
      }
      node.form_ = Form::One;
      node.final_ = false;
      node.count_ = 1;
      node.low_ = address - 1 - explicit_input - tsize - osize;
      node.one_input_ = explicit_input ? d[address - 1] : kCommonInputs[code - 1];
      node.one_output_ = read_packed(d + node.low_, osize);
      node.one_delta_ = read_packed(d + node.low_ + osize, tsize);
      return node;
    }
    default:
      break;
  }

  node.form_ = Form::General;
  node.final_ = (state & kStateFinal) != 0;
  std::uint64_t count_byte = 0;
  std::size_t n = code;
  if (code == 0) {
    if (!needs(2)) return std::unexpected(node_error(FstError::Kind::NodeOutOfBounds, address));
    count_byte = 1;
    n = d[address - 1];
    if (n == 1) n = 256;  // a real count of 1 always fits in the state byte
  }
  if (!needs(2 + count_byte)) return std::unexpected(node_error(FstError::Kind::NodeOutOfBounds, address));
  const std::uint8_t sizes = d[address - 1 - count_byte];
  const std::uint8_t tsize = sizes >> 4;
  const std::uint8_t osize = sizes & 0x0F;
  if (tsize > 8 || osize > 8 || (n > 0 && tsize == 0)) {
    return std::unexpected(node_error(FstError::Kind::InvalidFieldSize, address));
  }
  const std::uint64_t index = area.indexed && n > kIndexThreshold ? kIndexSize : 0;
  const std::uint64_t final_slot = node.final_ && osize > 0 ? osize : 0;
  const std::uint64_t total = n * (1 + tsize + osize) + index + 2 + count_byte + final_slot;
  if (!needs(total)) return std::unexpected(node_error(FstError::Kind::NodeOutOfBounds, address));

  node.count_ = n;
  node.tsize_ = tsize;
  node.osize_ = osize;
  node.has_index_ = index != 0;
  node.low_ = address + 1 - total;
  node.index_base_ = address - 1 - count_byte - kIndexSize;
  node.inputs_top_ = address - 2 - count_byte - index;
  node.inputs_low_ = node.inputs_top_ + 1 - n;
  node.outputs_top_ = node.inputs_low_ - n * tsize;
  if (final_slot != 0) node.final_output_ = read_packed(d + node.low_, osize);
  return node;
}

std::uint8_t Node::input(std::size_t i) const noexcept {
  return form_ == Form::General ? data_[inputs_top_ - i] : one_input_;
}

std::size_t Node::find(std::uint8_t byte) const noexcept {
  switch (form_) {
    case Form::Empty:
      return 0;
    case Form::OneNext:
    case Form::One:
      return one_input_ == byte ? 0 : 1;
    case Form::General:
      break;
  }
  if (has_index_) {
    const std::size_t i = data_[index_base_ + byte];
    if (i >= count_) return count_;
    return data_[inputs_top_ - i] == byte ? i : kCorrupt;
  }
  // Inputs ascend, so the scan stops at the first larger one.
  for (std::size_t i = 0; i < count_; ++i) {
    const std::uint8_t in = data_[inputs_top_ - i];
    if (in == byte) return i;
    if (in > byte) break;
  }
  return count_;
}

std::expected<Transition, FstError> Node::resolve(std::uint8_t input, std::uint64_t output, std::uint64_t delta) const {
  Transition t{input, output, kEmptyAddress};
  if (delta != 0) {
    // Targets lie below the node and above the header: 1..15 never hold a node.
    if (delta > low_ - kHeaderSize) {
      FstError e = node_error(FstError::Kind::InvalidTarget, address_);
      e.target = delta > low_ ? 0 : low_ - delta;
      return std::unexpected(e);
    }
    t.target = low_ - delta;
  }
  return t;
}

std::expected<Transition, FstError> Node::transition(std::size_t i) const {
  if (form_ != Form::General) return resolve(one_input_, one_output_, one_delta_);
  const std::uint64_t delta = read_packed(data_ + inputs_low_ - (i + 1) * tsize_, tsize_);
  const std::uint64_t output = osize_ == 0 ? 0 : read_packed(data_ + outputs_top_ - (i + 1) * osize_, osize_);
  return resolve(data_[inputs_top_ - i], output, delta);
}

std::expected<void, FstError> Node::check_order() const {
  if (form_ != Form::General) return {};
  for (std::size_t i = 1; i < count_; ++i) {
    if (data_[inputs_top_ - i] <= data_[inputs_top_ - i + 1]) {
      return std::unexpected(node_error(FstError::Kind::UnsortedTransitions, address_));
    }
  }
  if (!has_index_) return {};
  // Every entry below the count names the transition of its byte, and every
  // transition is reachable through the entry of its input.
  for (std::size_t b = 0; b < kIndexSize; ++b) {
    const std::size_t i = data_[index_base_ + b];
    if (i < count_ && data_[inputs_top_ - i] != b) return std::unexpected(node_error(FstError::Kind::InvalidIndex, address_));
  }
  for (std::size_t i = 0; i < count_; ++i) {
    if (data_[index_base_ + data_[inputs_top_ - i]] != i) {
      return std::unexpected(node_error(FstError::Kind::InvalidIndex, address_));
    }
  }
  return {};
}

}  // namespace orvel::io::fst
