#include "metrics/cdist_string_matrices.hpp"

#include <algorithm>
#include <array>
#include <limits>
#include <optional>
#include <utility>
#include <vector>

#include "core/string_batch.hpp"
#include "core/string_distance.hpp"
#include "text/utf8.hpp"

namespace orvel {

namespace {

// Texts decoded once into one buffer of scalar values.
class DecodedTexts {
 public:
  explicit DecodedTexts(std::span<const std::string> texts) {
    std::size_t bytes = 0;
    for (const std::string& t : texts) bytes += t.size();
    chars_.reserve(bytes);
    std::vector<std::size_t> starts;
    starts.reserve(texts.size() + 1);
    for (const std::string& t : texts) {
      starts.push_back(chars_.size());
      text::append_decoded_utf8(t, chars_);
    }
    starts.push_back(chars_.size());
    views_.reserve(texts.size());
    for (std::size_t i = 0; i < texts.size(); ++i) views_.push_back({chars_.data() + starts[i], starts[i + 1] - starts[i]});
  }
  std::size_t size() const { return views_.size(); }
  std::u32string_view operator[](std::size_t i) const { return {views_[i].data, views_[i].size}; }
  std::span<const BatchText> all() const { return views_; }

 private:
  std::u32string chars_;
  std::vector<BatchText> views_;
};

enum class Model : bool { Levenshtein, Damerau };

// Fills m with the distance of every query to every choice, capped at
// `cap` (a distance above it is reported as cap): the integer cutoff rule
// with cap = k + 1. Queries of 1 to 64 characters are packed by lane width
// (in order of length, so each pack holds queries of one width) and run
// against all choices on all lanes at once; empty queries are the choice
// length; longer queries keep the multi-word kernel with their masks built
// once per row (and its bounded form when there is a cutoff).
void fill_distances(const DecodedTexts& queries, const DecodedTexts& choices, Model model, DistanceCutoff cutoff,
                    BatchKernel kernel, StringDistanceMatrix& m) {
  const std::size_t rows = queries.size(), cols = choices.size();
  if (rows == 0 || cols == 0) return;
  const bool swaps = model == Model::Damerau;
  const std::uint64_t cap = cutoff ? saturating_successor(*cutoff) : std::numeric_limits<std::uint64_t>::max();
  StringDistanceWorkspace ws;

  std::vector<std::size_t> short_rows;
  for (std::size_t i = 0; i < rows; ++i) {
    const std::u32string_view q = queries[i];
    std::uint64_t* const row = m.row(i);
    if (q.empty()) {
      for (std::size_t j = 0; j < cols; ++j) row[j] = std::min<std::uint64_t>(choices[j].size(), cap);
    } else if (q.size() <= QueryBatch::kMaxPatternLength) {
      short_rows.push_back(i);
    } else {
      ws.prepare(q);
      for (std::size_t j = 0; j < cols; ++j) {
        const std::u32string_view c = choices[j];
        if (!cutoff) {
          row[j] = swaps ? ws.prepared_damerau_levenshtein(q, c) : ws.prepared_levenshtein(q, c);
        } else {
          row[j] = bounded_or_successor(swaps ? ws.prepared_damerau_levenshtein_with_cutoff(q, c, *cutoff)
                                              : ws.prepared_levenshtein_with_cutoff(q, c, *cutoff),
                                        *cutoff);
        }
      }
    }
  }
  std::stable_sort(short_rows.begin(), short_rows.end(),
                   [&](std::size_t a, std::size_t b) { return queries[a].size() < queries[b].size(); });

  QueryBatch batch;
  std::array<std::u32string_view, QueryBatch::kVectorBytes> pack;
  std::array<std::uint64_t*, QueryBatch::kVectorBytes> pack_rows;
  for (std::size_t next = 0; next < short_rows.size();) {
    const unsigned lane_bytes = QueryBatch::lane_bytes_for(queries[short_rows[next]].size());
    const std::size_t lanes = QueryBatch::lanes(lane_bytes);
    std::size_t count = 0;
    while (count < lanes && next + count < short_rows.size() &&
           QueryBatch::lane_bytes_for(queries[short_rows[next + count]].size()) == lane_bytes) {
      pack[count] = queries[short_rows[next + count]];
      pack_rows[count] = m.row(short_rows[next + count]);
      ++count;
    }
    next += count;
    batch.build(lane_bytes, std::span(pack.data(), count));
    const std::span<std::uint64_t* const> out(pack_rows.data(), count);
    if (swaps) {
      batch.damerau_levenshtein(choices.all(), cap, out, kernel);
    } else {
      batch.levenshtein(choices.all(), cap, out, kernel);
    }
    // Choices too long for the lane counters: one query at a time.
    for (std::size_t j = 0; j < cols; ++j) {
      const std::u32string_view c = choices[j];
      if (c.size() <= QueryBatch::max_text_length(lane_bytes)) continue;
      for (std::size_t l = 0; l < count; ++l) {
        ws.prepare(pack[l]);
        const std::uint64_t d = swaps ? ws.prepared_damerau_levenshtein(pack[l], c) : ws.prepared_levenshtein(pack[l], c);
        pack_rows[l][j] = std::min(d, cap);
      }
    }
  }
}

StringDistanceMatrix distance_matrix(std::span<const std::string> queries, std::span<const std::string> choices,
                                     DistanceCutoff cutoff, Model model, BatchKernel kernel) {
  const DecodedTexts q(queries), c(choices);
  StringDistanceMatrix m(q.size(), c.size());
  fill_distances(q, c, model, cutoff, kernel, m);
  return m;
}

bool has_cells(std::span<const std::string> queries, std::span<const std::string> choices) {
  return !queries.empty() && !choices.empty();
}

// The cutoff is checked where the first value would be produced; no other
// error can come first, so one check before the cells decides it.
std::expected<void, MetricError> check_cutoff_at_first_cell(std::span<const std::string> queries,
                                                            std::span<const std::string> choices,
                                                            ScoreCutoff cutoff) {
  if (cutoff && !valid_score_cutoff(*cutoff) && has_cells(queries, choices)) {
    return std::unexpected(MetricError::score_cutoff_range());
  }
  return {};
}

// Similarity cells, handed to finish(similarity) for the float rule.
template <class Finish>
std::expected<StringScoreMatrix, MetricError> score_matrix(std::span<const std::string> queries,
                                                           std::span<const std::string> choices, ScoreCutoff cutoff,
                                                           BatchKernel kernel, Finish finish) {
  if (auto ok = check_cutoff_at_first_cell(queries, choices, cutoff); !ok) return std::unexpected(ok.error());
  const DecodedTexts q(queries), c(choices);
  StringDistanceMatrix distances(q.size(), c.size());
  fill_distances(q, c, Model::Levenshtein, std::nullopt, kernel, distances);
  StringScoreMatrix m(q.size(), c.size());
  for (std::size_t i = 0; i < q.size(); ++i) {
    const std::span<const std::uint64_t> from = std::as_const(distances).row(i);
    double* const to = m.row(i);
    for (std::size_t j = 0; j < c.size(); ++j) {
      to[j] = finish(normalized_similarity_from_distance(from[j], q[i].size(), c[j].size()));
    }
  }
  return m;
}

}  // namespace

StringDistanceMatrix cdist_string_distance_matrix(std::span<const std::string> queries,
                                            std::span<const std::string> choices, DistanceCutoff cutoff,
                                            BatchKernel kernel) {
  return distance_matrix(queries, choices, cutoff, Model::Levenshtein, kernel);
}

StringDistanceMatrix cdist_string_damerau_distance_matrix(std::span<const std::string> queries,
                                                    std::span<const std::string> choices, DistanceCutoff cutoff,
                                                    BatchKernel kernel) {
  return distance_matrix(queries, choices, cutoff, Model::Damerau, kernel);
}

StringDistanceMatrix cdist_string_combined_distance_matrix(std::span<const std::string> queries,
                                                     std::span<const std::string> choices, DistanceCutoff cutoff,
                                                     BatchKernel kernel) {
  return cdist_string_damerau_distance_matrix(queries, choices, cutoff, kernel);
}

std::expected<StringScoreMatrix, MetricError> cdist_string_similarity_matrix(std::span<const std::string> queries,
                                                                             std::span<const std::string> choices,
                                                                             ScoreCutoff cutoff, BatchKernel kernel) {
  return score_matrix(queries, choices, cutoff, kernel,
                      [cutoff](double s) { return cutoff && s < *cutoff ? 0.0 : s; });
}

std::expected<StringScoreMatrix, MetricError> cdist_string_normalized_distance_matrix(
    std::span<const std::string> queries, std::span<const std::string> choices, ScoreCutoff cutoff,
    BatchKernel kernel) {
  return score_matrix(queries, choices, cutoff, kernel, [cutoff](double s) {
    const double v = 1.0 - s;
    return cutoff && v > *cutoff ? 1.0 : v;
  });
}

}  // namespace orvel
