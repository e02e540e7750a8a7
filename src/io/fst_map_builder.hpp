#pragma once
// Writer of fst maps in format version 3. Keys go in strictly increasing
// (unsigned) byte order, values are any u64. Nodes are written as soon as
// they are finished and shared through a bounded node cache, so the output
// is the same, byte for byte, as the format's reference writer gives for the
// same keys and values.
#include <cstdint>
#include <expected>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace orvel::io {

struct FstBuildError {
  enum class Kind {
    DuplicateKey,  // the key equals the previous key
    OutOfOrder,    // the key sorts before the previous key
  };

  Kind kind = Kind::DuplicateKey;
  std::string key;
  std::string previous;

  // "fst map key inserted twice" / "fst map keys are not in ascending byte order".
  std::string message() const;
  // Variant name with both keys in hexadecimal.
  std::string debug() const;
};

class FstMapBuilder {
 public:
  FstMapBuilder();
  ~FstMapBuilder();
  FstMapBuilder(FstMapBuilder&&) noexcept;
  FstMapBuilder& operator=(FstMapBuilder&&) noexcept;
  FstMapBuilder(const FstMapBuilder&) = delete;
  FstMapBuilder& operator=(const FstMapBuilder&) = delete;

  // Adds a key; it must sort after every key added before. A refused key
  // leaves the builder as it was.
  std::expected<void, FstBuildError> insert(std::string_view key, std::uint64_t value);
  std::uint64_t key_count() const noexcept;
  // The finished map. The builder is left empty (as if newly made).
  std::vector<std::uint8_t> finish();

 private:
  struct State;
  std::unique_ptr<State> state_;
};

// Builds a map from entries already in strictly increasing key order.
std::expected<std::vector<std::uint8_t>, FstBuildError> build_fst_map(
    std::span<const std::pair<std::string, std::uint64_t>> entries);

}  // namespace orvel::io
