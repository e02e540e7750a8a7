#pragma once
// Dense ids for sequences of 32-bit words, in the order they are first
// met: the signatures of node classes, the node sets of a subset
// construction, the keys of grouped links. All sequences live in one flat
// buffer and the table holds ids only, so interning costs no allocation
// per sequence and a lookup hashes the words once.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <utility>
#include <vector>

#include "common/fatal_error.hpp"

namespace orvel::detail {

class SequenceIds {
 public:
  // The id of `words`, and whether it is new. `words` may not point into
  // this table's own storage.
  std::pair<std::uint32_t, bool> intern(std::span<const std::uint32_t> words) {
    if ((entries_.size() + 1) * 2 > slots_.size()) grow();
    const std::uint64_t h = hash(words);
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t at = static_cast<std::size_t>(h) & mask;; at = (at + 1) & mask) {
      const std::uint32_t slot = slots_[at];
      if (slot == 0) {
        if (entries_.size() >= kMaxIds) throw FatalError("too many distinct sequences");
        const auto id = static_cast<std::uint32_t>(entries_.size());
        entries_.push_back(Entry{words_.size(), words.size(), h});
        words_.insert(words_.end(), words.begin(), words.end());
        slots_[at] = id + 1;
        return {id, true};
      }
      const Entry& e = entries_[slot - 1];
      if (e.hash == h && e.length == words.size() && equal(e, words)) return {slot - 1, false};
    }
  }

  // The words of id `id`; valid until the next intern.
  std::span<const std::uint32_t> words(std::uint32_t id) const {
    const Entry& e = entries_[id];
    return {words_.data() + e.offset, e.length};
  }

  std::uint32_t size() const { return static_cast<std::uint32_t>(entries_.size()); }
  // Words stored over all sequences.
  std::size_t stored_words() const { return words_.size(); }

  void clear() {
    entries_.clear();
    words_.clear();
    std::fill(slots_.begin(), slots_.end(), 0);
  }

 private:
  static constexpr std::size_t kMaxIds = std::size_t{1} << 31;

  struct Entry {
    std::size_t offset;
    std::size_t length;
    std::uint64_t hash;
  };

  // Four independent lanes, so that long sequences are not one chain of
  // multiplications.
  static std::uint64_t hash(std::span<const std::uint32_t> words) {
    constexpr std::uint64_t kMul = 0xBF58'476D'1CE4'E5B9ull;
    std::uint64_t lane[4] = {0x9E37'79B9'7F4A'7C15ull ^ words.size(), 0x6A09'E667'F3BC'C909ull,
                             0xBB67'AE85'84CA'A73Bull, 0x3C6E'F372'FE94'F82Bull};
    std::size_t k = 0;
    for (; k + 4 <= words.size(); k += 4) {
      for (std::size_t l = 0; l < 4; ++l) lane[l] = (lane[l] ^ words[k + l]) * kMul;
    }
    for (; k < words.size(); ++k) lane[0] = (lane[0] ^ words[k]) * kMul;
    std::uint64_t h = lane[0];
    for (std::size_t l = 1; l < 4; ++l) h = ((h ^ (h >> 31)) ^ lane[l]) * kMul;
    h ^= h >> 29;
    h *= 0x94D0'49BB'1331'11EBull;
    return h ^ (h >> 32);
  }

  bool equal(const Entry& e, std::span<const std::uint32_t> words) const {
    return words.empty() || std::memcmp(words_.data() + e.offset, words.data(), words.size_bytes()) == 0;
  }

  void grow() {
    const std::size_t capacity = slots_.empty() ? 64 : slots_.size() * 2;
    slots_.assign(capacity, 0);
    const std::size_t mask = capacity - 1;
    for (std::uint32_t id = 0; id < entries_.size(); ++id) {
      std::size_t at = static_cast<std::size_t>(entries_[id].hash) & mask;
      while (slots_[at] != 0) at = (at + 1) & mask;
      slots_[at] = id + 1;
    }
  }

  std::vector<Entry> entries_;
  std::vector<std::uint32_t> words_;
  std::vector<std::uint32_t> slots_;  // id + 1, or 0 for empty
};

}  // namespace orvel::detail
