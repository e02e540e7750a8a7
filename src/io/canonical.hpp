#pragma once
// The framing of canonical payload texts, shared by both reading indexes,
// and the checksums computed over them.
#include <algorithm>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "io/sha256.hpp"

namespace orvel::io {

inline constexpr std::string_view kSha256CanonicalV1 = "sha256-canonical-v1";
inline constexpr std::string_view kFnv1a64CanonicalV1 = "fnv1a64-canonical-v1";

// Appends one record: the tag byte, the byte length of `bytes` in decimal, a
// line feed, the bytes and a line feed. The length frames the bytes, so they
// need no escaping.
void push_len_prefixed(std::string& out, char tag, std::string_view bytes);

// Appends a count line: the tag byte, the count in decimal and a line feed.
void push_count_line(std::string& out, char tag, std::uint64_t count);

// The bytes that push_len_prefixed appends for `len` bytes, and that
// push_count_line appends for `count`.
std::uint64_t len_prefixed_bytes(std::uint64_t len);
std::uint64_t count_line_bytes(std::uint64_t count);

// 64-bit FNV-1a (offset basis 0xcbf29ce484222325, prime 0x100000001b3).
std::uint64_t fnv1a64(std::string_view bytes);

// A canonical text fed straight into its checksum as it is written, so that
// the whole text is never held in memory.
class CanonicalDigest {
 public:
  enum class Algorithm { Sha256, Fnv1a64 };
  explicit CanonicalDigest(Algorithm algorithm);

  void append(std::string_view bytes);
  void push_len_prefixed(char tag, std::string_view bytes);
  void push_count_line(char tag, std::uint64_t count);
  // One entry of a reading index: 'S' surface, 'R' count, 'r' per reading.
  void push_entry(std::string_view surface, std::span<const std::string> readings);
  // The checksum of everything written, as sha256_canonical_hex or
  // fnv1a64_canonical_hex would give it for the whole text.
  std::string finish_hex();

 private:
  void hash(std::string_view bytes);
  void flush();

  Algorithm algorithm_;
  Sha256 sha256_;
  std::uint64_t fnv_ = 0xcbf29ce484222325ULL;
  std::string pending_;  // small writes, gathered before they are hashed
};

// Calls emit(surface, readings) for every entry of a map form (surface ->
// list of readings) in ascending byte order of the surfaces, a proper prefix
// first, without copying an entry.
template <class Map, class Emit>
void for_each_in_byte_order(const Map& map, Emit&& emit) {
  std::vector<const typename Map::value_type*> entries;
  entries.reserve(map.size());
  for (const auto& entry : map) entries.push_back(&entry);
  // std::string compares as unsigned bytes (char_traits<char>::compare is
  // memcmp); surfaces are unique, so the order is total.
  std::sort(entries.begin(), entries.end(), [](const auto* a, const auto* b) { return a->first < b->first; });
  for (const auto* entry : entries) emit(entry->first, entry->second);
}

// SHA-256 of the text as 64 lower-case hexadecimal digits.
std::string sha256_canonical_hex(std::string_view text);
// FNV-1a 64 of the text as 16 lower-case hexadecimal digits, zero-padded.
std::string fnv1a64_canonical_hex(std::string_view text);

}  // namespace orvel::io
