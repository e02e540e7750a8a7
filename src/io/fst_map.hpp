#pragma once
// Reader of the fst 0.4 map format (format versions 1, 2 and 3): a sorted
// map from byte-string keys to u64 values stored as a minimal acyclic
// transducer.
//
// Opening costs O(1) whatever the map's size: it checks the header, the
// trailer and the root node. Every other node is decoded, with every byte it
// touches bounds-checked, when a lookup or a visit reaches it, so damaged
// bytes surface there as an FstError, never as an out-of-bounds read. A
// visit decodes every reachable node: once `for_each` has gone through the
// whole map without error, no later `get` on it can fail.
//
// The bytes are shared and never changed: an FstMap is cheap to copy and
// safe to read from several threads at once.
#include <cstddef>
#include <cstdint>
#include <expected>
#include <memory>
#include <optional>
#include <span>
#include <string_view>
#include <type_traits>
#include <vector>

#include "io/fst_error.hpp"

namespace orvel::io {

class FstMap {
 public:
  // Takes the map's bytes over.
  static std::expected<FstMap, FstError> open(std::vector<std::uint8_t> bytes);
  // Reads `bytes`, which `owner` keeps alive (e.g. a range of a larger
  // shared buffer).
  static std::expected<FstMap, FstError> open(std::shared_ptr<const void> owner,
                                              std::span<const std::uint8_t> bytes);

  // The key count stored in the trailer.
  std::uint64_t key_count() const noexcept { return key_count_; }
  // Format version, 1 to 3.
  std::uint64_t version() const noexcept { return version_; }
  std::span<const std::uint8_t> bytes() const noexcept { return bytes_; }

  // The value of `key`, or nullopt when it is not a key. Errors only for a
  // damaged map.
  std::expected<std::optional<std::uint64_t>, FstError> get(std::string_view key) const;

  // Calls visit(std::string_view key, std::uint64_t value) for every key in
  // ascending (unsigned) byte order; the empty key, if present, comes first.
  // `visit` returns void, or bool where false stops the visit early (the
  // result is then success). The key view is valid only during the call.
  // Fails when a node is damaged or when the number of keys differs from
  // key_count() (checked as soon as the visit passes it, so a damaged map
  // cannot make a visit run long). A path longer than `max_key_bytes` fails
  // with KeyTooLong as soon as the descent reaches it, before any key below
  // it is spelled out: a long chain costs no more than the limit.
  template <class Visit>
  std::expected<void, FstError> for_each(Visit&& visit, std::uint64_t max_key_bytes = UINT64_MAX) const {
    using V = std::remove_reference_t<Visit>;
    return visit_all(
        [](void* context, std::string_view key, std::uint64_t value) -> bool {
          V& f = *static_cast<V*>(context);
          if constexpr (std::is_void_v<std::invoke_result_t<V&, std::string_view, std::uint64_t>>) {
            f(key, value);
            return true;
          } else {
            return static_cast<bool>(f(key, value));
          }
        },
        const_cast<void*>(static_cast<const void*>(std::addressof(visit))), max_key_bytes);
  }

 private:
  using VisitFn = bool (*)(void* context, std::string_view key, std::uint64_t value);

  FstMap() = default;
  std::expected<void, FstError> visit_all(VisitFn fn, void* context, std::uint64_t max_key_bytes) const;

  std::shared_ptr<const void> owner_;
  std::span<const std::uint8_t> bytes_;
  std::uint64_t version_ = 0;
  std::uint64_t key_count_ = 0;
  std::uint64_t root_ = 0;
};

}  // namespace orvel::io
