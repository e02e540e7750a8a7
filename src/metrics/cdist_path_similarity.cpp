#include "metrics/cdist_path_similarity.hpp"

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>

#include "text/utf8.hpp"

namespace orvel {

namespace {

std::size_t common_prefix(std::u32string_view a, std::u32string_view b) {
  const std::size_t n = std::min(a.size(), b.size());
  std::size_t i = 0;
  while (i < n && a[i] == b[i]) ++i;
  return i;
}

bool is_ascii(std::string_view s) {
  std::uint64_t seen = 0;
  std::size_t i = 0;
  for (; i + 8 <= s.size(); i += 8) {
    std::uint64_t chunk;
    std::memcpy(&chunk, s.data() + i, 8);
    seen |= chunk;
  }
  for (; i < s.size(); ++i) seen |= static_cast<unsigned char>(s[i]);
  return (seen & 0x8080808080808080ULL) == 0;
}

}  // namespace

PreparedPathSet::PreparedPathSet(std::span<const std::string> paths) {
  std::size_t bytes = 0;
  for (const std::string& p : paths) bytes += p.size();
  scalars_.reserve(bytes);
  ranges_.reserve(paths.size());
  for (const std::string& p : paths) {
    const std::size_t offset = scalars_.size();
    // Romaji and pinyin readings are ASCII: widen them byte by byte.
    if (is_ascii(p)) {
      scalars_.resize(offset + p.size());
      char32_t* out = scalars_.data() + offset;
      for (std::size_t i = 0; i < p.size(); ++i) out[i] = static_cast<unsigned char>(p[i]);
    } else {
      text::append_decoded_utf8(p, scalars_);
    }
    ranges_.push_back(PathRange{offset, scalars_.size() - offset});
  }
  const auto view = [this](const PathRange& r) { return std::u32string_view(scalars_.data() + r.offset, r.length); };
  const auto less = [&](const PathRange& x, const PathRange& y) { return view(x) < view(y); };
  const auto same = [&](const PathRange& x, const PathRange& y) { return view(x) == view(y); };
  // The reading fronts mostly hand over sorted sets already.
  if (!std::ranges::is_sorted(ranges_, less)) std::ranges::sort(ranges_, less);
  ranges_.erase(std::unique(ranges_.begin(), ranges_.end(), same), ranges_.end());
  build_trie();
}

void PreparedPathSet::build_trie() {
  constexpr std::uint32_t kUnset = std::numeric_limits<std::uint32_t>::max();
  std::size_t scalars = 0;
  for (const PathRange& r : ranges_) {
    scalars += r.length;
    longest_path_ = std::max(longest_path_, r.length);
  }
  if (ranges_.empty() || scalars >= kUnset) return;
  // Sorted paths are the trie's leaves in depth-first order: each path adds
  // the nodes after its common prefix with the one before, and closes the
  // previous path's nodes below that prefix.
  std::vector<std::uint32_t> open;  // open[d]: the node at depth d on the current path
  const auto close_deepest = [&] {
    TrieNode& node = trie_[open.back()];
    node.end = static_cast<std::uint32_t>(trie_.size());
    open.pop_back();
    if (open.empty()) return;
    TrieNode& parent = trie_[open.back()];
    std::uint32_t shortest = node.shortest_below;
    std::uint32_t longest = node.longest_below == kUnset ? 0 : node.longest_below;
    if (node.terminal) {
      shortest = std::min(shortest, node.depth);
      longest = std::max(longest, node.depth);
    }
    parent.shortest_below = std::min(parent.shortest_below, shortest);
    parent.longest_below = parent.longest_below == kUnset ? longest : std::max(parent.longest_below, longest);
  };
  // At most one node per scalar; only the part that is filled is touched.
  trie_.reserve(scalars + 1);
  trie_.push_back(TrieNode{0, 0, 0, kUnset, kUnset, false});
  open.push_back(0);
  std::u32string_view previous;
  for (std::size_t k = 0; k < ranges_.size(); ++k) {
    const std::u32string_view p = path(k);
    const std::size_t shared = k == 0 ? 0 : common_prefix(previous, p);
    while (open.size() > shared + 1) close_deepest();
    for (std::size_t d = shared + 1; d <= p.size(); ++d) {
      open.push_back(static_cast<std::uint32_t>(trie_.size()));
      trie_.push_back(TrieNode{p[d - 1], static_cast<std::uint32_t>(d), 0, kUnset, kUnset, false});
    }
    // Distinct sorted paths: a path is never a prefix of the one before, so
    // it ends on a node of its own (the root for the empty path).
    trie_[open.back()].terminal = true;
    previous = p;
  }
  while (!open.empty()) close_deepest();
}

namespace {

bool share_a_path(const PreparedPathSet& a, const PreparedPathSet& b) {
  std::size_t i = 0;
  std::size_t j = 0;
  while (i < a.size() && j < b.size()) {
    const int order = a.path(i).compare(b.path(j));
    if (order == 0) return true;
    if (order < 0) {
      ++i;
    } else {
      ++j;
    }
  }
  return false;
}

// Several patterns side by side in one machine word, each in a block of
// consecutive bits (pattern character i at bit offset + i), run together
// through the same text columns. The blocks never interact: the addition
// of the recurrence is done per block and the shifted-in row-0 delta is set
// at each block's first bit.
class PatternWord {
 public:
  struct Block {
    std::uint64_t bits;  // the block's rows
    std::uint32_t offset;
    std::uint32_t length;
  };

  // Filled in by clear(), before a word is first used.
  PatternWord() {}

  void clear() {
    block_count_ = wide_count_ = 0;
    rows_ = first_ = top_ = 0;
    used_ = 0;
    ascii_.fill(0);
  }
  bool fits(std::size_t length) const { return used_ + length <= 64; }
  bool empty() const { return block_count_ == 0; }

  // A pattern of 1..64 characters that fits.
  void add(std::u32string_view pattern) {
    const auto offset = used_;
    const auto length = static_cast<std::uint32_t>(pattern.size());
    const std::uint64_t bits = (length == 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << length) - 1) << offset;
    blocks_[block_count_++] = Block{bits, offset, length};
    rows_ |= bits;
    first_ |= std::uint64_t{1} << offset;
    top_ |= std::uint64_t{1} << (offset + length - 1);
    used_ += length;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
      const char32_t c = pattern[i];
      const std::uint64_t bit = std::uint64_t{1} << (offset + i);
      if (c < ascii_.size()) {
        ascii_[c] |= bit;
        continue;
      }
      auto found = std::find_if(wide_.begin(), wide_.begin() + wide_count_,
                                [c](const auto& entry) { return entry.first == c; });
      if (found == wide_.begin() + wide_count_) {
        wide_[wide_count_++] = {c, bit};
      } else {
        found->second |= bit;
      }
    }
  }

  std::uint64_t match(char32_t c) const {
    if (c < ascii_.size()) return ascii_[c];
    for (std::size_t k = 0; k < wide_count_; ++k) {
      if (wide_[k].first == c) return wide_[k].second;
    }
    return 0;
  }

  std::span<const Block> blocks() const { return {blocks_.data(), block_count_}; }
  std::uint64_t rows() const { return rows_; }
  std::uint64_t first_rows() const { return first_; }
  std::uint64_t top_rows() const { return top_; }

 private:
  // A word holds at most 64 characters, so at most 64 blocks and 64
  // distinct characters.
  std::array<Block, 64> blocks_;
  std::size_t block_count_;
  std::uint64_t rows_;
  std::uint64_t first_;
  std::uint64_t top_;
  std::uint32_t used_;
  std::array<std::uint64_t, 128> ascii_;
  std::array<std::pair<char32_t, std::uint64_t>, 64> wide_;
  std::size_t wide_count_;
};

std::uint64_t length_gap(std::uint64_t a, std::uint64_t b) { return a > b ? a - b : b - a; }

// Every bound below relies on the similarity falling as the distance grows
// and rising with the longer length, also in floating point: the same
// correctly rounded division, then the same subtraction, are monotone. So a
// lower bound on the distance and an upper bound on the longer length give
// an upper bound on the similarity, and a pair or subtree whose bound does
// not exceed the best so far cannot change the maximum.
bool cannot_improve(double best, std::uint64_t distance_at_least, std::uint64_t pattern_len,
                    std::uint64_t longest_len) {
  return normalized_similarity_from_distance(distance_at_least, pattern_len, longest_len) <= best;
}

using ColumnState = PathSimilarityWorkspace::ColumnState;

// One column of the bit-parallel Levenshtein recurrence (pattern rows along
// the bits, one text character per column, global alignment) for every
// block of a word at once: the vertical +1 / -1 deltas of the column.
ColumnState advance(const ColumnState& s, std::uint64_t match, std::uint64_t rows, std::uint64_t first,
                    std::uint64_t top) {
  const std::uint64_t x = match | s.vn;
  const std::uint64_t a = x & s.vp;
  // (a + vp) within each block: the top bits are added without carry so
  // that no carry leaves a block.
  const std::uint64_t sum = ((a & ~top) + (s.vp & ~top)) ^ ((a ^ s.vp) & top);
  const std::uint64_t d0 = (sum ^ s.vp) | x;
  std::uint64_t hp = s.vn | ~(d0 | s.vp);
  std::uint64_t hn = s.vp & d0;
  hp = (hp << 1) | first;
  hn = (hn << 1) & ~first;
  return ColumnState{(hn | ~(d0 | hp)) & rows, hp & d0 & rows, 0};
}

// Set bits of x. The portable builtin calls out to the runtime library
// on the baseline instruction set; this stays inline.
std::uint64_t count_bits(std::uint64_t x) {
  x = x - ((x >> 1) & 0x5555555555555555ULL);
  x = (x & 0x3333333333333333ULL) + ((x >> 2) & 0x3333333333333333ULL);
  x = (x + (x >> 4)) & 0x0F0F0F0F0F0F0F0FULL;
  return (x * 0x0101010101010101ULL) >> 56;
}

struct PortableCount {
  static std::uint64_t of(std::uint64_t x) { return count_bits(x); }
};

#if defined(__x86_64__) && defined(__GNUC__)
#define ORVEL_POPCNT_WALK 1
// The processor's population count, for code compiled for it (inlined
// into a function with that target).
struct HardwareCount {
  [[gnu::always_inline]] static inline std::uint64_t of(std::uint64_t x) {
    return static_cast<std::uint64_t>(__builtin_popcountll(x));
  }
};
#endif

// The bottom cell of a block after `column` text characters: the top cell
// is `column`, and the block's rows add their vertical deltas.
template <class Count = PortableCount>
[[gnu::always_inline]] inline std::uint64_t bottom_cell(const ColumnState& s, const PatternWord::Block& b,
                                                         std::uint64_t column) {
  return column + Count::of(s.vp & b.bits) - Count::of(s.vn & b.bits);
}

// Per block and path length L, the smallest distance whose similarity does
// not exceed the best so far (found with the similarity itself, so exact),
// worked out when first needed and forgotten when the best changes. A path
// ending at a trie node is scored only when its distance is below this.
class DistanceThresholds {
 public:
  DistanceThresholds(std::vector<std::uint64_t>& table, std::size_t blocks, std::size_t longest_path)
      : table_(table), stride_(longest_path + 1) {
    table_.assign(blocks * stride_, kUnknown);
  }

  void forget() { std::ranges::fill(table_, kUnknown); }

  std::uint64_t at(std::size_t block, std::uint64_t m, std::uint64_t length, double best) {
    std::uint64_t& t = table_[block * stride_ + length];
    if (t == kUnknown) t = find(m, length, best);
    return t;
  }

 private:
  static constexpr std::uint64_t kUnknown = ~std::uint64_t{0};

  static std::uint64_t find(std::uint64_t m, std::uint64_t length, double best) {
    const std::uint64_t longest = std::max(m, length);
    // A guess from the real-valued bound, then corrected by the similarity
    // as computed, which falls as the distance grows.
    auto d = static_cast<std::uint64_t>(std::clamp((1.0 - best) * static_cast<double>(longest), 0.0,
                                                   static_cast<double>(longest)));
    while (d > 0 && normalized_similarity_from_distance(d - 1, m, length) <= best) --d;
    while (d <= longest && normalized_similarity_from_distance(d, m, length) > best) ++d;
    return d;
  }

  std::vector<std::uint64_t>& table_;
  std::size_t stride_;
};

// The smallest cell of a block's column: no alignment of the block's
// pattern with a longer text costs less.
std::uint64_t column_minimum(const ColumnState& s, const PatternWord::Block& b, std::uint64_t column) {
  std::int64_t cell = static_cast<std::int64_t>(column);
  std::int64_t lowest = cell;
  for (std::uint32_t i = b.offset; i < b.offset + b.length; ++i) {
    cell += static_cast<std::int64_t>((s.vp >> i) & 1) - static_cast<std::int64_t>((s.vn >> i) & 1);
    lowest = std::min(lowest, cell);
  }
  return static_cast<std::uint64_t>(lowest);
}

// Whether some pattern of the word may beat `best` on a path of length
// shortest..longest below a node whose column is `s` at `depth` (s is null
// for the root, whose column minimum is 0).
bool may_improve(const PatternWord& word, const ColumnState* s, std::uint64_t depth, std::uint64_t shortest,
                 std::uint64_t longest, double best) {
  for (const PatternWord::Block& b : word.blocks()) {
    const std::uint64_t m = b.length;
    std::uint64_t lower = shortest > m ? shortest - m : (longest < m ? m - longest : 0);
    if (cannot_improve(best, lower, m, longest)) continue;
    if (s != nullptr) {
      // At least the bottom cell less the columns still to come, and at
      // least the column minimum.
      const std::uint64_t bottom = bottom_cell(*s, b, depth);
      if (bottom > longest - depth) lower = std::max(lower, bottom - (longest - depth));
      lower = std::max(lower, column_minimum(*s, b, depth));
      if (cannot_improve(best, lower, m, longest)) continue;
    }
    return true;
  }
  return false;
}

// Subtrees with fewer nodes than this are run rather than bounded, which
// costs a pass over the word's rows.
constexpr std::uint32_t kBoundedSubtree = 64;

// Words run side by side down the trie: they share the walk, and their
// independent recurrences overlap in the processor.
constexpr std::size_t kWordsPerWalk = 8;

// The best similarity of the words' patterns with the paths of a trie, or
// `best` if none exceeds it. `states` holds K columns per trie depth.
template <std::size_t K, class Count>
[[gnu::always_inline]] inline double best_in_trie(std::span<const PatternWord, K> words,
                                                  const std::vector<PreparedPathSet::TrieNode>& trie, double best,
                                                  ColumnState* states, DistanceThresholds& thresholds) {
  const PreparedPathSet::TrieNode& root = trie[0];
  if (root.end == 1) return best;  // the empty path alone scores 0.0
  const auto any_may_improve = [&](const ColumnState* column, std::uint64_t depth,
                                   const PreparedPathSet::TrieNode& node) {
    for (std::size_t w = 0; w < K; ++w) {
      if (may_improve(words[w], column == nullptr ? nullptr : column + w, depth, node.shortest_below,
                      node.longest_below, best)) {
        return true;
      }
    }
    return false;
  };
  if (!any_may_improve(nullptr, 0, root)) return best;
  std::array<std::uint64_t, K> rows;
  std::array<std::uint64_t, K> first;
  std::array<std::uint64_t, K> top;
  for (std::size_t w = 0; w < K; ++w) {
    rows[w] = words[w].rows();
    first[w] = words[w].first_rows();
    top[w] = words[w].top_rows();
    states[w] = ColumnState{rows[w], 0, 0};
  }
  std::uint32_t i = 1;
  const auto n = static_cast<std::uint32_t>(trie.size());
  while (i < n) {
    const PreparedPathSet::TrieNode& node = trie[i];
    const std::uint64_t depth = node.depth;
    const ColumnState* parent = states + (depth - 1) * K;
    ColumnState* column = states + depth * K;
    for (std::size_t w = 0; w < K; ++w) {
      column[w] = advance(parent[w], words[w].match(node.symbol), rows[w], first[w], top[w]);
    }
    if (node.terminal) {
      std::size_t block_index = 0;
      for (std::size_t w = 0; w < K; ++w) {
        for (const PatternWord::Block& b : words[w].blocks()) {
          const std::uint64_t d = bottom_cell<Count>(column[w], b, depth);
          if (d < thresholds.at(block_index, b.length, depth, best)) {
            best = std::max(best, normalized_similarity_from_distance(d, b.length, depth));
            thresholds.forget();
          }
          ++block_index;
        }
      }
    }
    if (node.end - i >= kBoundedSubtree && !any_may_improve(column, depth, node)) {
      i = node.end;
    } else {
      ++i;
    }
  }
  return best;
}

template <std::size_t K>
double best_in_trie_portable(std::span<const PatternWord, K> words, const std::vector<PreparedPathSet::TrieNode>& trie,
                             double best, ColumnState* states, DistanceThresholds& thresholds) {
  return best_in_trie<K, PortableCount>(words, trie, best, states, thresholds);
}

#ifdef ORVEL_POPCNT_WALK
// Scoring the paths that end at a node counts the bits of every block; the
// same walk compiled for processors with a population count instruction.
template <std::size_t K>
[[gnu::target("popcnt")]] double best_in_trie_popcnt(std::span<const PatternWord, K> words,
                                                     const std::vector<PreparedPathSet::TrieNode>& trie, double best,
                                                     ColumnState* states, DistanceThresholds& thresholds) {
  return best_in_trie<K, HardwareCount>(words, trie, best, states, thresholds);
}

bool has_popcount() {
  static const bool supported = __builtin_cpu_supports("popcnt");
  return supported;
}
#endif

template <std::size_t K>
double walk_trie(std::span<const PatternWord, K> words, const std::vector<PreparedPathSet::TrieNode>& trie,
                 double best, ColumnState* states, DistanceThresholds& thresholds) {
#ifdef ORVEL_POPCNT_WALK
  if (has_popcount()) return best_in_trie_popcnt<K>(words, trie, best, states, thresholds);
#endif
  return best_in_trie_portable<K>(words, trie, best, states, thresholds);
}

// The walk over the first `count` (1..K) words.
template <std::size_t K>
double walk_words(std::size_t count, const std::array<PatternWord, kWordsPerWalk>& words,
                  const std::vector<PreparedPathSet::TrieNode>& trie, double best, ColumnState* states,
                  DistanceThresholds& thresholds) {
  if constexpr (K > 1) {
    if (count < K) return walk_words<K - 1>(count, words, trie, best, states, thresholds);
  }
  return walk_trie(std::span<const PatternWord, K>(words.data(), K), trie, best, states, thresholds);
}

}  // namespace

double best_path_similarity(const PreparedPathSet& left, const PreparedPathSet& right,
                            PathSimilarityWorkspace& workspace) {
  if (left.empty() || right.empty()) return 0.0;
  if (share_a_path(left, right)) return 1.0;
  // Similarity is symmetric: the smaller set supplies the patterns and the
  // larger one the trie.
  const bool left_patterns = left.size() <= right.size();
  const PreparedPathSet& pattern_set = left_patterns ? left : right;
  const PreparedPathSet& text_set = left_patterns ? right : left;
  const std::vector<PreparedPathSet::TrieNode>& trie = text_set.trie();

  // An empty pattern scores 0.0 against every other (non-empty) path, and so
  // does any pattern against an empty path: neither can raise the maximum.
  double best = 0.0;
  std::array<PatternWord, kWordsPerWalk> words;
  std::size_t filled = 0;  // words[filled] is being filled
  words[0].clear();
  workspace.states_.resize((text_set.longest_path() + 1) * kWordsPerWalk);
  const auto run_words = [&](std::size_t count) {
    std::size_t blocks = 0;
    for (std::size_t w = 0; w < count; ++w) blocks += words[w].blocks().size();
    DistanceThresholds thresholds(workspace.thresholds_, blocks, text_set.longest_path());
    best = walk_words<kWordsPerWalk>(count, words, trie, best, workspace.states_.data(), thresholds);
  };
  for (std::size_t p = 0; p < pattern_set.size(); ++p) {
    const std::u32string_view a = pattern_set.path(p);
    if (a.empty()) continue;
    if (a.size() > 64 || trie.empty()) {
      for (std::size_t t = 0; t < text_set.size(); ++t) {
        const std::u32string_view b = text_set.path(t);
        if (cannot_improve(best, length_gap(a.size(), b.size()), a.size(), b.size())) continue;
        best = std::max(best, normalized_similarity_from_distance(workspace.strings_.levenshtein(a, b), a.size(),
                                                                  b.size()));
      }
      continue;
    }
    if (!words[filled].fits(a.size())) {
      if (++filled == kWordsPerWalk) {
        run_words(kWordsPerWalk);
        filled = 0;
      }
      words[filled].clear();
    }
    words[filled].add(a);
  }
  if (!words[0].empty()) run_words(words[filled].empty() ? filled : filled + 1);
  // Distinct paths never score 1.0 (a distance of at least 1 over a finite
  // length), so the shared-path test above is the only way to 1.0.
  return best;
}

}  // namespace orvel
