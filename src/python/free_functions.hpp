#pragma once
// The module's free functions, all METH_FASTCALL | METH_KEYWORDS. Each binds
// and converts its arguments with the lock held, copies its texts, runs its
// computation with the lock released (python/gil.hpp) and converts the
// result back.
#include <Python.h>

namespace orvel::py {

#define ORVEL_FREE_FUNCTION(name) \
  PyObject* name(PyObject* module, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames)

// Over two texts.
ORVEL_FREE_FUNCTION(py_distance);
ORVEL_FREE_FUNCTION(py_damerau_distance);
ORVEL_FREE_FUNCTION(py_combined_distance);
ORVEL_FREE_FUNCTION(py_normalized_distance);
ORVEL_FREE_FUNCTION(py_normalized_similarity);
ORVEL_FREE_FUNCTION(py_ratio);
// Best span of a text for a query.
ORVEL_FREE_FUNCTION(py_partial_distance_alignment);
ORVEL_FREE_FUNCTION(py_partial_ratio_alignment);
// Query-by-choice matrices over texts.
ORVEL_FREE_FUNCTION(py_cdist_distance);
ORVEL_FREE_FUNCTION(py_cdist_damerau_distance);
ORVEL_FREE_FUNCTION(py_cdist_combined_distance);
ORVEL_FREE_FUNCTION(py_cdist_normalized_distance);
ORVEL_FREE_FUNCTION(py_cdist_normalized_similarity);
// Over two lists of reading paths.
ORVEL_FREE_FUNCTION(py_distance_paths);
ORVEL_FREE_FUNCTION(py_damerau_distance_paths);
ORVEL_FREE_FUNCTION(py_normalized_distance_paths);
ORVEL_FREE_FUNCTION(py_normalized_similarity_paths);
ORVEL_FREE_FUNCTION(py_ratio_paths);
ORVEL_FREE_FUNCTION(py_within_distance_paths);
ORVEL_FREE_FUNCTION(py_within_damerau_distance_paths);

#undef ORVEL_FREE_FUNCTION

}  // namespace orvel::py
