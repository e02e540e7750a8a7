#include "metrics/cdist_path_similarity.hpp"

#include <algorithm>
#include <array>

#include "text/utf8.hpp"

namespace orvel {

PreparedPathSet::PreparedPathSet(std::span<const std::string> paths) {
  paths_.reserve(paths.size());
  for (const std::string& p : paths) paths_.push_back(text::decode_utf8(p));
  // The reading fronts mostly hand over sorted sets already.
  if (!std::ranges::is_sorted(paths_)) std::ranges::sort(paths_);
  paths_.erase(std::unique(paths_.begin(), paths_.end()), paths_.end());
}

namespace {

bool share_a_path(const std::vector<std::u32string>& a, const std::vector<std::u32string>& b) {
  auto i = a.begin();
  auto j = b.begin();
  while (i != a.end() && j != b.end()) {
    if (*i == *j) return true;
    if (*i < *j) {
      ++i;
    } else {
      ++j;
    }
  }
  return false;
}

std::size_t common_prefix(std::u32string_view a, std::u32string_view b) {
  const std::size_t n = std::min(a.size(), b.size());
  std::size_t i = 0;
  while (i < n && a[i] == b[i]) ++i;
  return i;
}

// Per-character match masks of one pattern of at most 64 characters.
class ShortPatternMasks {
 public:
  ShortPatternMasks(std::u32string_view pattern, std::vector<std::pair<char32_t, std::uint64_t>>& wide)
      : wide_(wide) {
    ascii_.fill(0);
    wide_.clear();
    for (std::size_t i = 0; i < pattern.size(); ++i) {
      const char32_t c = pattern[i];
      const std::uint64_t bit = std::uint64_t{1} << i;
      if (c < ascii_.size()) {
        ascii_[c] |= bit;
        continue;
      }
      auto found = std::ranges::find(wide_, c, &std::pair<char32_t, std::uint64_t>::first);
      if (found == wide_.end()) {
        wide_.emplace_back(c, bit);
      } else {
        found->second |= bit;
      }
    }
  }

  std::uint64_t operator[](char32_t c) const {
    if (c < ascii_.size()) return ascii_[c];
    for (const auto& [wc, mask] : wide_) {
      if (wc == c) return mask;
    }
    return 0;
  }

 private:
  std::array<std::uint64_t, 128> ascii_;
  std::vector<std::pair<char32_t, std::uint64_t>>& wide_;
};

// The distance is at least the length gap, and the similarity falls as the
// distance grows (also in floating point: the same division, then the same
// subtraction), so the gap's similarity bounds the pair's from above.
bool cannot_improve(double best, std::uint64_t left_len, std::uint64_t right_len) {
  const std::uint64_t gap = left_len > right_len ? left_len - right_len : right_len - left_len;
  return normalized_similarity_from_distance(gap, left_len, right_len) <= best;
}

using ColumnState = PathSimilarityWorkspace::ColumnState;

// One column of the bit-parallel Levenshtein recurrence (pattern along the
// rows, one text character per column, global alignment): the vertical
// deltas VP / VN and the bottom cell, which after the last column is the
// distance.
ColumnState advance(const ColumnState& s, std::uint64_t match, std::uint64_t last_row) {
  const std::uint64_t x = match | s.vn;
  const std::uint64_t d0 = (((x & s.vp) + s.vp) ^ s.vp) | x;
  std::uint64_t hp = s.vn | ~(d0 | s.vp);
  std::uint64_t hn = s.vp & d0;
  std::uint64_t score = s.score;
  if (hp & last_row) {
    ++score;
  } else if (hn & last_row) {
    --score;
  }
  hp = (hp << 1) | 1;
  hn <<= 1;
  return ColumnState{hn | ~(d0 | hp), hp & d0, score};
}

}  // namespace

double best_path_similarity(const PreparedPathSet& left, const PreparedPathSet& right,
                            PathSimilarityWorkspace& workspace) {
  if (left.empty() || right.empty()) return 0.0;
  if (share_a_path(left.paths(), right.paths())) return 1.0;
  // Similarity is symmetric: the smaller set supplies the patterns and the
  // larger one the prefix-sharing texts.
  const auto& patterns = left.paths().size() <= right.paths().size() ? left.paths() : right.paths();
  const auto& texts = &patterns == &left.paths() ? right.paths() : left.paths();
  std::size_t longest_text = 0;
  for (const std::u32string& t : texts) longest_text = std::max(longest_text, t.size());
  workspace.states_.resize(longest_text + 1);

  double best = 0.0;
  for (const std::u32string& a : patterns) {
    if (a.empty() || a.size() > 64) {
      for (const std::u32string& b : texts) {
        if (cannot_improve(best, a.size(), b.size())) continue;
        best = std::max(best, normalized_similarity_from_distance(workspace.strings_.levenshtein(a, b), a.size(),
                                                                  b.size()));
      }
      continue;
    }
    const ShortPatternMasks masks(a, workspace.wide_masks_);
    const std::uint64_t last_row = std::uint64_t{1} << (a.size() - 1);
    const std::uint64_t all_rows = a.size() == 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << a.size()) - 1;
    std::vector<ColumnState>& states = workspace.states_;
    states[0] = ColumnState{all_rows, 0, a.size()};
    const std::u32string* previous = nullptr;
    for (const std::u32string& b : texts) {
      if (cannot_improve(best, a.size(), b.size())) continue;
      // states[i] holds the column after the first i characters of the
      // previous text run; the shared prefix need not be run again.
      std::size_t i = previous == nullptr ? 0 : common_prefix(*previous, b);
      for (; i < b.size(); ++i) states[i + 1] = advance(states[i], masks[b[i]], last_row);
      previous = &b;
      best = std::max(best, normalized_similarity_from_distance(states[b.size()].score, a.size(), b.size()));
    }
  }
  // Distinct paths never score 1.0 (a distance of at least 1 over a finite
  // length), so the shared-path test above is the only way to 1.0.
  return best;
}

}  // namespace orvel
