#include "core/string_distance.hpp"

#include <algorithm>
#include <tuple>

#include "text/utf8.hpp"

namespace orvel {

std::pair<std::u32string_view, std::u32string_view> trim_common_affixes(std::u32string_view a,
                                                                        std::u32string_view b) {
  std::size_t prefix = 0;
  const std::size_t shorter = std::min(a.size(), b.size());
  while (prefix < shorter && a[prefix] == b[prefix]) ++prefix;
  a.remove_prefix(prefix);
  b.remove_prefix(prefix);
  std::size_t suffix = 0;
  while (suffix < a.size() && suffix < b.size() && a[a.size() - 1 - suffix] == b[b.size() - 1 - suffix]) ++suffix;
  a.remove_suffix(suffix);
  b.remove_suffix(suffix);
  return {a, b};
}

namespace {

// Rows over the longer side, columns over the shorter; with equal lengths
// rows run over the second argument.
std::pair<std::u32string_view, std::u32string_view> rows_and_columns(std::u32string_view a, std::u32string_view b) {
  if (a.size() < b.size()) return {b, a};
  if (b.size() < a.size()) return {a, b};
  return {b, a};
}

}  // namespace

std::uint64_t StringDistanceWorkspace::levenshtein(std::u32string_view a, std::u32string_view b) {
  std::tie(a, b) = trim_common_affixes(a, b);
  const auto [rows, columns] = rows_and_columns(a, b);
  const std::size_t width = columns.size();
  if (width == 0) return rows.size();
  previous_.resize(width + 1);
  current_.resize(width + 1);
  for (std::size_t c = 0; c <= width; ++c) previous_[c] = c;
  for (std::size_t r = 1; r <= rows.size(); ++r) {
    const char32_t ch = rows[r - 1];
    current_[0] = r;
    for (std::size_t c = 1; c <= width; ++c) {
      const std::uint64_t substitute = previous_[c - 1] + (ch == columns[c - 1] ? 0 : 1);
      current_[c] = std::min({substitute, current_[c - 1] + 1, previous_[c] + 1});
    }
    std::swap(previous_, current_);
  }
  return previous_[width];
}

std::optional<std::uint64_t> StringDistanceWorkspace::levenshtein_with_cutoff(std::u32string_view a,
                                                                              std::u32string_view b,
                                                                              std::uint64_t cutoff) {
  std::tie(a, b) = trim_common_affixes(a, b);
  const auto [rows, columns] = rows_and_columns(a, b);
  const std::size_t width = columns.size();
  if (rows.size() - width > cutoff) return std::nullopt;
  if (width == 0) return rows.size();
  previous_.resize(width + 1);
  current_.resize(width + 1);
  for (std::size_t c = 0; c <= width; ++c) previous_[c] = c;
  for (std::size_t r = 1; r <= rows.size(); ++r) {
    const char32_t ch = rows[r - 1];
    current_[0] = r;
    std::uint64_t row_min = r;
    for (std::size_t c = 1; c <= width; ++c) {
      const std::uint64_t substitute = previous_[c - 1] + (ch == columns[c - 1] ? 0 : 1);
      current_[c] = std::min({substitute, current_[c - 1] + 1, previous_[c] + 1});
      row_min = std::min(row_min, current_[c]);
    }
    if (row_min > cutoff) return std::nullopt;
    std::swap(previous_, current_);
  }
  if (previous_[width] > cutoff) return std::nullopt;
  return previous_[width];
}

std::uint64_t StringDistanceWorkspace::damerau_levenshtein(std::u32string_view a, std::u32string_view b) {
  if (a.empty()) return b.size();
  if (b.empty()) return a.size();
  const std::size_t width = b.size();
  two_back_.assign(width + 1, 0);
  previous_.resize(width + 1);
  current_.assign(width + 1, 0);
  for (std::size_t c = 0; c <= width; ++c) previous_[c] = c;
  for (std::size_t r = 1; r <= a.size(); ++r) {
    current_[0] = r;
    for (std::size_t c = 1; c <= width; ++c) {
      std::uint64_t v = std::min({previous_[c - 1] + (a[r - 1] == b[c - 1] ? 0 : 1), current_[c - 1] + 1,
                                  previous_[c] + 1});
      if (r >= 2 && c >= 2 && a[r - 1] == b[c - 2] && b[c - 1] == a[r - 2]) v = std::min(v, two_back_[c - 2] + 1);
      current_[c] = v;
    }
    std::swap(two_back_, previous_);
    std::swap(previous_, current_);
  }
  return previous_[width];
}

std::optional<std::uint64_t> StringDistanceWorkspace::damerau_levenshtein_with_cutoff(std::u32string_view a,
                                                                                      std::u32string_view b,
                                                                                      std::uint64_t cutoff) {
  const std::size_t gap = a.size() > b.size() ? a.size() - b.size() : b.size() - a.size();
  if (gap > cutoff) return std::nullopt;
  if (a.empty()) return b.size() <= cutoff ? std::optional<std::uint64_t>(b.size()) : std::nullopt;
  if (b.empty()) return a.size() <= cutoff ? std::optional<std::uint64_t>(a.size()) : std::nullopt;
  const std::size_t width = b.size();
  two_back_.assign(width + 1, 0);
  previous_.resize(width + 1);
  current_.assign(width + 1, 0);
  for (std::size_t c = 0; c <= width; ++c) previous_[c] = c;
  for (std::size_t r = 1; r <= a.size(); ++r) {
    current_[0] = r;
    std::uint64_t row_min = r;
    for (std::size_t c = 1; c <= width; ++c) {
      std::uint64_t v = std::min({previous_[c - 1] + (a[r - 1] == b[c - 1] ? 0 : 1), current_[c - 1] + 1,
                                  previous_[c] + 1});
      if (r >= 2 && c >= 2 && a[r - 1] == b[c - 2] && b[c - 1] == a[r - 2]) v = std::min(v, two_back_[c - 2] + 1);
      current_[c] = v;
      row_min = std::min(row_min, v);
    }
    if (row_min > cutoff) return std::nullopt;
    std::swap(two_back_, previous_);
    std::swap(previous_, current_);
  }
  if (previous_[width] > cutoff) return std::nullopt;
  return previous_[width];
}

std::uint64_t levenshtein_str(std::string_view a, std::string_view b) {
  StringDistanceWorkspace workspace;
  return workspace.levenshtein(text::decode_utf8(a), text::decode_utf8(b));
}

std::optional<std::uint64_t> levenshtein_str_with_cutoff(std::string_view a, std::string_view b,
                                                         std::uint64_t cutoff) {
  StringDistanceWorkspace workspace;
  return workspace.levenshtein_with_cutoff(text::decode_utf8(a), text::decode_utf8(b), cutoff);
}

std::expected<std::uint64_t, DistanceError> try_damerau_levenshtein_str(std::string_view a, std::string_view b) {
  StringDistanceWorkspace workspace;
  return workspace.damerau_levenshtein(text::decode_utf8(a), text::decode_utf8(b));
}

std::expected<std::optional<std::uint64_t>, DistanceError> try_damerau_levenshtein_str_with_cutoff(
    std::string_view a, std::string_view b, std::uint64_t cutoff) {
  StringDistanceWorkspace workspace;
  return workspace.damerau_levenshtein_with_cutoff(text::decode_utf8(a), text::decode_utf8(b), cutoff);
}

double normalized_similarity_from_distance(std::uint64_t distance, std::uint64_t left_len, std::uint64_t right_len) {
  const std::uint64_t longest = std::max(left_len, right_len);
  if (longest == 0) return 1.0;
  const double x = 1.0 - static_cast<double>(distance) / static_cast<double>(longest);
  return std::min(std::max(x, 0.0), 1.0);
}

}  // namespace orvel
