#pragma once
// The cutoff of the combined distances, read from the raw argument object.
// (The integer and float cutoffs are plain Count and Float arguments; their
// rules are applied by the metric kernels, metrics/score_cutoff.hpp.)
#include <Python.h>

#include "metrics/score_cutoff.hpp"

namespace orvel::py {

// nullptr (not given) or None: no cutoff. A bool, or anything that is not
// an integer in the signed 64-bit range: TypeError "score_cutoff must be an
// int for distance metrics". A negative integer: ValueError "score_cutoff
// must be >= 0 for distance metrics". False with the Python exception set.
bool validate_distance_score_cutoff(PyObject* score_cutoff, DistanceCutoff& out);

}  // namespace orvel::py
