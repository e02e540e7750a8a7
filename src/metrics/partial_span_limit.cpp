#include <algorithm>
#include <limits>

#include "common/fatal_error.hpp"
#include "metrics/partial_dictionary.hpp"

namespace orvel {

namespace {

std::uint64_t saturating_add(std::uint64_t a, std::uint64_t b) {
  return b > std::numeric_limits<std::uint64_t>::max() - a ? std::numeric_limits<std::uint64_t>::max() : a + b;
}

}  // namespace

std::uint64_t effective_partial_span_limit(std::string_view query, std::uint64_t requested_max_span_chars,
                                           std::span<const std::string> query_paths) {
  if (requested_max_span_chars != 0) return requested_max_span_chars;
  const std::uint64_t q = text::count_scalars(query);
  const std::uint64_t base = q == 0 ? 0 : std::max(saturating_add(q, q), saturating_add(q, 4));
  std::uint64_t longest = q;
  if (!query_paths.empty()) {
    longest = 0;
    for (const std::string& path : query_paths) longest = std::max<std::uint64_t>(longest, text::count_scalars(path));
  }
  return std::max(base, longest);
}

std::uint64_t effective_partial_span_limit(std::string_view query, std::uint64_t requested_max_span_chars,
                                           const ReadingLattice& query_readings) {
  if (requested_max_span_chars != 0) return requested_max_span_chars;
  const std::uint64_t q = text::count_scalars(query);
  const std::uint64_t base = q == 0 ? 0 : std::max(saturating_add(q, q), saturating_add(q, 4));
  return std::max(base, longest_string_length(query_readings.lattice));
}

const Lattice& reading_set_lattice(const ReadingLattice& readings) {
  if (readings.also_empty) fail_fatal("valid string path lattice", LatticeError::mixed_empty_and_non_empty_paths().debug());
  return readings.lattice;
}

}  // namespace orvel
