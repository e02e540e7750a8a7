#pragma once
// Shared pieces of the fuzz targets: a reader over the input bytes, the
// plain reference programmes the fast kernels are compared with, and the
// scratch files of the targets whose loaders read paths.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <unistd.h>
#include <utility>
#include <vector>

#include "core/lattice.hpp"

namespace orvel::fuzz {

// Stops the run with a report that libFuzzer records as a crash, keeping the
// input that caused it.
[[noreturn]] inline void mismatch(const char* what) {
  std::fprintf(stderr, "fuzz mismatch: %s\n", what);
  std::abort();
}
#define ORVEL_FUZZ_CHECK(cond)                                   \
  do {                                                           \
    if (!(cond)) ::orvel::fuzz::mismatch(#cond " at " __FILE__); \
  } while (0)

// With ORVEL_FUZZ_VERBOSE set, the targets print what each input gave
// (for replaying a saved input by hand).
inline void note(std::string_view what) {
  static const bool verbose = std::getenv("ORVEL_FUZZ_VERBOSE") != nullptr;
  if (verbose) std::fprintf(stderr, "%.*s\n", static_cast<int>(what.size()), what.data());
}

// Reads the input front to back; past the end every read gives 0.
class Bytes {
 public:
  Bytes(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  bool empty() const { return pos_ >= size_; }
  std::size_t left() const { return empty() ? 0 : size_ - pos_; }
  std::uint8_t byte() { return empty() ? 0 : data_[pos_++]; }
  std::uint16_t u16() { return static_cast<std::uint16_t>(byte() | (byte() << 8)); }
  // The bytes up to (not including) the next `stop`, which is consumed; the
  // rest of the input when there is none.
  std::string_view until(std::uint8_t stop) {
    const std::size_t begin = pos_;
    while (pos_ < size_ && data_[pos_] != stop) ++pos_;
    std::string_view out(reinterpret_cast<const char*>(data_ + begin), pos_ - begin);
    if (pos_ < size_) ++pos_;
    return out;
  }
  std::string_view rest() {
    std::string_view out(reinterpret_cast<const char*>(data_ + std::min(pos_, size_)), left());
    pos_ = size_;
    return out;
  }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t pos_ = 0;
};

// A small alphabet makes equal symbols, and so cheap edits, frequent; the
// bases put the symbols in ASCII, in the kana block, across the end of the
// directly indexed range of the pattern masks (U+00FF / U+0100), or at the
// top of Unicode.
struct Alphabet {
  unsigned size = 4;
  char32_t base = U'a';

  static Alphabet from_byte(std::uint8_t mode) {
    static constexpr char32_t kBases[] = {U'a', U'\u3041', U'\u00f8', U'\U0010ffe0'};
    return Alphabet{1u + (mode & 0x0fu), kBases[(mode >> 4) & 3u]};
  }
  char32_t symbol(std::uint8_t b) const { return base + b % size; }
};

inline void append_utf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

inline std::string utf8(std::u32string_view s) {
  std::string out;
  for (const char32_t c : s) append_utf8(out, c);
  return out;
}

// ---- plain reference programmes --------------------------------------------

// The references are not the code under test: they carry no coverage
// instrumentation, so that their loops neither steer the fuzzer nor take
// its time (comparison tracing in them cost more than the kernels they
// check). ASan and UBSan still check them.
#define ORVEL_FUZZ_REFERENCE __attribute__((no_sanitize("coverage")))

// Levenshtein by the full recurrence, two rows, no trimming.
ORVEL_FUZZ_REFERENCE inline std::uint64_t plain_levenshtein(std::u32string_view a, std::u32string_view b) {
  std::vector<std::uint64_t> prev(b.size() + 1), cur(b.size() + 1);
  for (std::size_t j = 0; j <= b.size(); ++j) prev[j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    cur[0] = i;
    for (std::size_t j = 1; j <= b.size(); ++j) {
      cur[j] = std::min({prev[j] + 1, cur[j - 1] + 1, prev[j - 1] + (a[i - 1] != b[j - 1] ? 1u : 0u)});
    }
    std::swap(prev, cur);
  }
  return prev[b.size()];
}

// Optimal string alignment (restricted Damerau) by the full recurrence, the
// last three rows kept.
ORVEL_FUZZ_REFERENCE inline std::uint64_t plain_osa(std::u32string_view a, std::u32string_view b) {
  std::vector<std::uint64_t> two(b.size() + 1), prev(b.size() + 1), cur(b.size() + 1);
  for (std::size_t j = 0; j <= b.size(); ++j) prev[j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    cur[0] = i;
    for (std::size_t j = 1; j <= b.size(); ++j) {
      std::uint64_t v = std::min({prev[j] + 1, cur[j - 1] + 1, prev[j - 1] + (a[i - 1] != b[j - 1] ? 1u : 0u)});
      if (i >= 2 && j >= 2 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1]) v = std::min(v, two[j - 2] + 1);
      cur[j] = v;
    }
    std::swap(two, prev);
    std::swap(prev, cur);
  }
  return prev[b.size()];
}

inline constexpr std::uint64_t kUnreached = (std::uint64_t{1} << 62) - 1;

// The lattice distance pulled cell by cell from the arcs list alone (not
// the per-node end lists the kernels walk), 64-bit saturating costs.
ORVEL_FUZZ_REFERENCE inline std::uint64_t plain_lattice_distance(const Lattice& left, const Lattice& right, bool damerau) {
  const std::uint64_t R = right.node_count();
  std::vector<std::uint64_t> cost(left.node_count() * R, kUnreached);
  auto at = [&](std::uint64_t i, std::uint64_t j) -> std::uint64_t& { return cost[i * R + j]; };
  auto plus = [](std::uint64_t a, std::uint64_t b) {
    return a > std::numeric_limits<std::uint64_t>::max() - b ? std::numeric_limits<std::uint64_t>::max() : a + b;
  };
  std::vector<std::vector<Arc>> in_left(left.node_count()), in_right(R);
  for (const Arc& a : left.arcs()) in_left[a.dst].push_back(a);
  for (const Arc& a : right.arcs()) in_right[a.dst].push_back(a);
  at(left.start(), right.start()) = 0;
  for (std::uint64_t i = left.start(); i <= left.end(); ++i) {
    for (std::uint64_t j = right.start(); j <= right.end(); ++j) {
      if (i == left.start() && j == right.start()) continue;
      std::uint64_t v = at(i, j);
      for (const Arc& x : in_left[i]) {
        for (const Arc& y : in_right[j]) v = std::min(v, plus(at(x.src, y.src), x.symbol == y.symbol ? 0 : 1));
      }
      for (const Arc& x : in_left[i]) v = std::min(v, plus(at(x.src, j), 1));
      for (const Arc& y : in_right[j]) v = std::min(v, plus(at(i, y.src), 1));
      if (damerau) {
        for (const Arc& x : in_left[i]) {
          for (const Arc& y : in_right[j]) {
            for (const Arc& x2 : in_left[x.src]) {
              for (const Arc& y2 : in_right[y.src]) {
                if (x2.symbol == y.symbol && x.symbol == y2.symbol) v = std::min(v, plus(at(x2.src, y2.src), 1));
              }
            }
          }
        }
      }
      at(i, j) = v;
    }
  }
  return at(left.end(), right.end());
}

// Number of start-to-end paths of a lattice, saturating at `cap`.
ORVEL_FUZZ_REFERENCE inline std::uint64_t path_count(const Lattice& lattice, std::uint64_t cap) {
  std::vector<std::uint64_t> count(lattice.node_count(), 0);
  count[lattice.start()] = 1;
  for (std::uint64_t n = lattice.start(); n < lattice.node_count(); ++n) {
    if (count[n] == 0) continue;
    for (const ArcEnd& next : lattice.outgoing_ends(n)) count[next.node] = std::min(cap, count[next.node] + count[n]);
  }
  return count[lattice.end()];
}

// Every string a lattice spells, by walking all its paths (call only after
// path_count shows there are few), into a set or, unsorted and with
// repeats, a vector. The path's string is kept in UTF-8 as the walk goes.
template <class Set>
ORVEL_FUZZ_REFERENCE void spell_from(const Lattice& lattice, std::uint64_t node, std::string& prefix, Set& out) {
  if (node == lattice.end()) out.insert(out.end(), prefix);
  const std::size_t length = prefix.size();
  for (const ArcEnd& next : lattice.outgoing_ends(node)) {
    append_utf8(prefix, static_cast<char32_t>(next.symbol));
    spell_from(lattice, next.node, prefix, out);
    prefix.resize(length);
  }
}

template <class Set>
ORVEL_FUZZ_REFERENCE void spelt_strings(const Lattice& lattice, Set& out) {
  std::string prefix;
  spell_from(lattice, lattice.start(), prefix, out);
}

// Strings sorted, each once.
ORVEL_FUZZ_REFERENCE inline std::vector<std::string> sorted_unique(std::vector<std::string> strings) {
  std::sort(strings.begin(), strings.end());
  strings.erase(std::unique(strings.begin(), strings.end()), strings.end());
  return strings;
}

// The strings a lattice spells, sorted, each once.
ORVEL_FUZZ_REFERENCE inline std::vector<std::string> sorted_spelt_strings(const Lattice& lattice) {
  std::vector<std::string> out;
  spelt_strings(lattice, out);
  return sorted_unique(std::move(out));
}

// ---- files -------------------------------------------------------------------

// A directory of this process for the loaders that read paths, removed at
// exit. In memory where the system offers it.
inline const std::filesystem::path& scratch_dir() {
  static const std::filesystem::path dir = [] {
    std::filesystem::path base = std::filesystem::exists("/dev/shm") ? "/dev/shm" : std::filesystem::temp_directory_path();
    auto dir = base / ("orvel-fuzz-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    static struct Cleanup {
      std::filesystem::path path;
      ~Cleanup() {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
      }
    } cleanup{dir};
    return dir;
  }();
  return dir;
}

inline void write_file(const std::filesystem::path& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) mismatch("cannot write a scratch file");
}

// A file of the source tree (the test data).
inline std::filesystem::path source_path(std::string_view relative) {
  return std::filesystem::path(ORVEL_SOURCE_DIR) / relative;
}

}  // namespace orvel::fuzz
