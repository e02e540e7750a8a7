#pragma once
// Reading the optional score_cutoff parameter in its three forms. Each
// reader returns false with the Python exception set.
#include <cstddef>

#include "metrics/score_cutoff.hpp"
#include "python/arguments.hpp"
#include "python/cutoff.hpp"

namespace orvel::py {

// A Count parameter: the integer cutoff rule.
struct CountCutoff {
  static constexpr ArgKind kind = ArgKind::Count;
  using type = DistanceCutoff;
  template <class Args>
  static bool read(const Args& a, std::size_t i, type& out) {
    out = a.optional_count(i);
    return true;
  }
};

// A Float parameter: the float rule, applied where a value is produced.
struct FloatCutoff {
  static constexpr ArgKind kind = ArgKind::Float;
  using type = ScoreCutoff;
  template <class Args>
  static bool read(const Args& a, std::size_t i, type& out) {
    out = a.optional_real(i);
    return true;
  }
};

// An Object parameter read by the combined distances' own rule.
struct RawCutoff {
  static constexpr ArgKind kind = ArgKind::Object;
  using type = DistanceCutoff;
  template <class Args>
  static bool read(const Args& a, std::size_t i, type& out) {
    return validate_distance_score_cutoff(a.object(i), out);
  }
};

}  // namespace orvel::py
