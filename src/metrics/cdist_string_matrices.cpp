#include "metrics/cdist_string_matrices.hpp"

#include <algorithm>
#include <array>
#include <optional>
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
    starts_.reserve(texts.size() + 1);
    for (const std::string& t : texts) {
      starts_.push_back(chars_.size());
      text::append_decoded_utf8(t, chars_);
    }
    starts_.push_back(chars_.size());
  }
  std::size_t size() const { return starts_.size() - 1; }
  std::u32string_view operator[](std::size_t i) const {
    return std::u32string_view(chars_).substr(starts_[i], starts_[i + 1] - starts_[i]);
  }

 private:
  std::u32string chars_;
  std::vector<std::size_t> starts_;
};

enum class Model : bool { Levenshtein, Damerau };

// Distances of every query to every choice, each handed to
// finish(i, j, distance). The integer cutoff, when given, is used only to
// let queries longer than one vector lane run their bounded form; finish
// sees the exact distance or, from a bounded form, std::nullopt for "above
// the cutoff".
//
// Queries of 1 to 64 characters are packed by lane width (in order of
// length, so each pack holds queries of one width) and run against each
// choice on all lanes at once; empty queries are the choice length; longer
// queries keep the multi-word kernel with their masks built once per row.
template <class Finish>
void all_distances(const DecodedTexts& queries, const DecodedTexts& choices, Model model,
                   std::optional<std::uint64_t> cutoff, BatchKernel kernel, Finish finish) {
  const std::size_t rows = queries.size(), cols = choices.size();
  if (rows == 0 || cols == 0) return;
  const bool swaps = model == Model::Damerau;
  StringDistanceWorkspace ws;

  std::vector<std::size_t> short_rows;
  for (std::size_t i = 0; i < rows; ++i) {
    const std::u32string_view q = queries[i];
    if (q.empty()) {
      for (std::size_t j = 0; j < cols; ++j) finish(i, j, std::optional<std::uint64_t>(choices[j].size()));
    } else if (q.size() <= QueryBatch::kMaxPatternLength) {
      short_rows.push_back(i);
    } else {
      ws.prepare(q);
      for (std::size_t j = 0; j < cols; ++j) {
        const std::u32string_view c = choices[j];
        if (!cutoff) {
          finish(i, j, swaps ? ws.prepared_damerau_levenshtein(q, c) : ws.prepared_levenshtein(q, c));
        } else {
          finish(i, j,
                 swaps ? ws.prepared_damerau_levenshtein_with_cutoff(q, c, *cutoff)
                       : ws.prepared_levenshtein_with_cutoff(q, c, *cutoff));
        }
      }
    }
  }
  std::stable_sort(short_rows.begin(), short_rows.end(),
                   [&](std::size_t a, std::size_t b) { return queries[a].size() < queries[b].size(); });

  QueryBatch batch;
  std::array<std::u32string_view, QueryBatch::kVectorBytes> pack;
  std::array<std::uint64_t, QueryBatch::kVectorBytes> distances;
  for (std::size_t next = 0; next < short_rows.size();) {
    const unsigned lane_bytes = QueryBatch::lane_bytes_for(queries[short_rows[next]].size());
    const std::size_t lanes = QueryBatch::lanes(lane_bytes);
    std::size_t count = 0;
    while (count < lanes && next + count < short_rows.size() &&
           QueryBatch::lane_bytes_for(queries[short_rows[next + count]].size()) == lane_bytes) {
      pack[count] = queries[short_rows[next + count]];
      ++count;
    }
    batch.build(lane_bytes, std::span(pack.data(), count));
    const std::span<const std::size_t> pack_rows(short_rows.data() + next, count);
    for (std::size_t j = 0; j < cols; ++j) {
      const std::u32string_view c = choices[j];
      if (c.size() <= QueryBatch::max_text_length(lane_bytes)) {
        if (swaps) {
          batch.damerau_levenshtein(c, distances, kernel);
        } else {
          batch.levenshtein(c, distances, kernel);
        }
      } else {
        // Too long for the lane counters: one query at a time.
        for (std::size_t l = 0; l < count; ++l) {
          ws.prepare(pack[l]);
          distances[l] = swaps ? ws.prepared_damerau_levenshtein(pack[l], c) : ws.prepared_levenshtein(pack[l], c);
        }
      }
      for (std::size_t l = 0; l < count; ++l) finish(pack_rows[l], j, std::optional(distances[l]));
    }
    next += count;
  }
}

StringDistanceMatrix distance_matrix(std::span<const std::string> queries, std::span<const std::string> choices,
                                     DistanceCutoff cutoff, Model model, BatchKernel kernel) {
  const DecodedTexts q(queries), c(choices);
  StringDistanceMatrix m(q.size(), c.size());
  all_distances(q, c, model, cutoff, kernel, [&](std::size_t i, std::size_t j, std::optional<std::uint64_t> d) {
    m.at(i, j) = cutoff ? bounded_or_successor(d && *d <= *cutoff ? d : std::nullopt, *cutoff) : *d;
  });
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
  StringScoreMatrix m(q.size(), c.size());
  all_distances(q, c, Model::Levenshtein, std::nullopt, kernel,
                [&](std::size_t i, std::size_t j, std::optional<std::uint64_t> d) {
                  m.at(i, j) = finish(normalized_similarity_from_distance(*d, q[i].size(), c[j].size()));
                });
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
