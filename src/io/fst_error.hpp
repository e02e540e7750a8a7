#pragma once
// Why an fst map was refused: at open, or while decoding a node that a
// lookup or a visit reached. Every variant displays as the same fixed text;
// the variant and its fields say what was wrong.
#include <cstdint>
#include <string>

namespace orvel::io {

struct FstError {
  enum class Kind {
    TooShort,             // fewer bytes than the smallest map
    UnsupportedVersion,   // format version not 1, 2 or 3
    MisplacedRoot,        // the root address is not where the trailer must put it
    NodeOutOfBounds,      // a node's bytes leave the node area
    InvalidFieldSize,     // a delta or output width above 8, or a missing delta
    InvalidTarget,        // a transition pointing into the header
    UnsortedTransitions,  // the inputs of a node are not strictly increasing
    InvalidIndex,         // a transition index entry disagrees with the inputs
    DeadEnd,              // a non-final node without transitions below the root
    OutputOverflow,       // the outputs along a path do not fit in 64 bits
    KeyCountMismatch,     // the keys visited differ from the stored key count
    KeyTooLong,           // a visit's path grew past the longest key it accepts
  };

  Kind kind = Kind::TooShort;
  // Field meanings per kind: TooShort {size}; UnsupportedVersion {version};
  // MisplacedRoot {root, size}; node kinds {address} and, for InvalidTarget,
  // {address, target}; KeyCountMismatch {key_count, visited}; KeyTooLong
  // {size: the path length reached, address: the node it reached}.
  std::uint64_t size = 0;
  std::uint64_t version = 0;
  std::uint64_t root = 0;
  std::uint64_t address = 0;
  std::uint64_t target = 0;
  std::uint64_t key_count = 0;
  std::uint64_t visited = 0;

  // "FST error" for every variant.
  std::string message() const;
  // Variant name and fields, e.g. "MisplacedRoot { root: 9728, size: 58 }".
  std::string debug() const;
};

}  // namespace orvel::io
