#pragma once
// Decoding of one fst node, read backwards from its state byte. Decoding
// checks that every byte of the node lies inside the node area and that the
// field widths are possible, so the accessors below read only checked
// bytes; transition targets are checked when a transition is read.
#include <cstddef>
#include <cstdint>
#include <expected>

#include "io/fst_error.hpp"

namespace orvel::io::fst {

// The part of a map that nodes live in: offsets [kHeaderSize, limit).
struct NodeArea {
  const std::uint8_t* data = nullptr;  // the whole map, offset 0 first
  std::uint64_t limit = 0;             // first offset of the trailer
  bool indexed = false;                // format version 2 or later: large nodes carry an index
};

struct Transition {
  std::uint8_t input = 0;
  std::uint64_t output = 0;
  std::uint64_t target = 0;
};

class Node {
 public:
  // Returned by find() for a damaged index entry.
  static constexpr std::size_t kCorrupt = static_cast<std::size_t>(-1);

  static std::expected<Node, FstError> decode(const NodeArea& area, std::uint64_t address);

  std::uint64_t address() const noexcept { return address_; }
  bool is_final() const noexcept { return final_; }
  std::uint64_t final_output() const noexcept { return final_output_; }
  std::size_t size() const noexcept { return count_; }

  // Input byte of transition i (i < size()); transitions are in ascending
  // input order in a sound node.
  std::uint8_t input(std::size_t i) const noexcept;
  // Position of the transition with input `byte`: size() when there is none,
  // kCorrupt when the transition index points at another input.
  std::size_t find(std::uint8_t byte) const noexcept;
  // Transition i (i < size()); fails when its target is impossible.
  std::expected<Transition, FstError> transition(std::size_t i) const;
  // Inputs strictly increasing and the index (if any) consistent with them.
  // Lookups rely on both; a visit checks each node it enters.
  std::expected<void, FstError> check_order() const;

 private:
  enum class Form : std::uint8_t { Empty, OneNext, One, General };

  std::expected<Transition, FstError> resolve(std::uint8_t input, std::uint64_t output, std::uint64_t delta) const;

  const std::uint8_t* data_ = nullptr;
  std::uint64_t address_ = 0;
  std::uint64_t low_ = 0;  // lowest address of the node
  Form form_ = Form::Empty;
  bool final_ = true;
  std::uint8_t tsize_ = 0;
  std::uint8_t osize_ = 0;
  bool has_index_ = false;
  std::size_t count_ = 0;
  std::uint64_t final_output_ = 0;
  // One-transition forms: the transition's fields.
  std::uint8_t one_input_ = 0;
  std::uint64_t one_output_ = 0;
  std::uint64_t one_delta_ = 0;
  // General form (layout in the .cpp): input(i) at inputs_top_ - i, delta(i)
  // at inputs_low_ - (i + 1) * tsize_, output(i) at outputs_top_ - (i + 1) * osize_,
  // index entry of byte b at index_base_ + b.
  std::uint64_t inputs_top_ = 0;
  std::uint64_t inputs_low_ = 0;
  std::uint64_t outputs_top_ = 0;  // first byte after the output block
  std::uint64_t index_base_ = 0;
};

}  // namespace orvel::io::fst
