#include "io/fst_error.hpp"

#include <fmt/format.h>

namespace orvel::io {

std::string FstError::message() const { return "FST error"; }

std::string FstError::debug() const {
  switch (kind) {
    case Kind::TooShort:
      return fmt::format("TooShort {{ size: {} }}", size);
    case Kind::UnsupportedVersion:
      return fmt::format("UnsupportedVersion {{ version: {} }}", version);
    case Kind::MisplacedRoot:
      return fmt::format("MisplacedRoot {{ root: {}, size: {} }}", root, size);
    case Kind::NodeOutOfBounds:
      return fmt::format("NodeOutOfBounds {{ address: {} }}", address);
    case Kind::InvalidFieldSize:
      return fmt::format("InvalidFieldSize {{ address: {} }}", address);
    case Kind::InvalidTarget:
      return fmt::format("InvalidTarget {{ address: {}, target: {} }}", address, target);
    case Kind::UnsortedTransitions:
      return fmt::format("UnsortedTransitions {{ address: {} }}", address);
    case Kind::InvalidIndex:
      return fmt::format("InvalidIndex {{ address: {} }}", address);
    case Kind::DeadEnd:
      return fmt::format("DeadEnd {{ address: {} }}", address);
    case Kind::OutputOverflow:
      return fmt::format("OutputOverflow {{ address: {} }}", address);
    case Kind::KeyTooLong:
      return fmt::format("KeyTooLong {{ size: {}, address: {} }}", size, address);
    case Kind::KeyCountMismatch:
      return fmt::format("KeyCountMismatch {{ key_count: {}, visited: {} }}", key_count, visited);
  }
  return "Unknown";
}

}  // namespace orvel::io
