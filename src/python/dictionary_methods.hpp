#pragma once
// The entry points of the dictionary classes, each written once over the
// language and instantiated for JapaneseLanguage and ChineseLanguage in the
// file that defines it. All of them are METH_FASTCALL | METH_KEYWORDS; the
// two loaders are static methods (their first argument is unused).
//
// Every metric method binds and converts its arguments (positional ones
// first, then max_readings_per_segment, max_span_chars, max_paths,
// longest_only, and score_cutoff last), checks a combined form's raw
// score_cutoff, copies its texts, merges the options into the object's
// defaults and checks their limits, all with the lock held; then reads the
// texts through the object's index and scores them with the lock released.
#include <Python.h>

namespace orvel::py {

#define ORVEL_DICTIONARY_METHOD(name)                                                               \
  template <class Lang>                                                                             \
  PyObject* name(PyObject* self, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames)

// dictionary_loading_methods.cpp and bundle_loading_methods.cpp
ORVEL_DICTIONARY_METHOD(dictionary_load_payload);
ORVEL_DICTIONARY_METHOD(dictionary_load_bundle);

// dictionary_pairwise_methods.cpp
ORVEL_DICTIONARY_METHOD(dictionary_distance);
ORVEL_DICTIONARY_METHOD(dictionary_damerau_distance);
ORVEL_DICTIONARY_METHOD(dictionary_combined_distance);
ORVEL_DICTIONARY_METHOD(dictionary_within_distance);
ORVEL_DICTIONARY_METHOD(dictionary_within_damerau_distance);
ORVEL_DICTIONARY_METHOD(dictionary_normalized_similarity);
ORVEL_DICTIONARY_METHOD(dictionary_normalized_distance);
ORVEL_DICTIONARY_METHOD(dictionary_ratio);

// dictionary_partial_methods.cpp
ORVEL_DICTIONARY_METHOD(dictionary_partial_distance_alignment);
ORVEL_DICTIONARY_METHOD(dictionary_partial_ratio_alignment);

// dictionary_matrix_methods.cpp
ORVEL_DICTIONARY_METHOD(dictionary_cdist_distance);
ORVEL_DICTIONARY_METHOD(dictionary_cdist_damerau_distance);
ORVEL_DICTIONARY_METHOD(dictionary_cdist_combined_distance);
ORVEL_DICTIONARY_METHOD(dictionary_cdist_normalized_similarity);
ORVEL_DICTIONARY_METHOD(dictionary_cdist_normalized_distance);

#undef ORVEL_DICTIONARY_METHOD

// Instantiates a method template for both languages.
#define ORVEL_INSTANTIATE_DICTIONARY_METHOD(name)                                                      \
  template PyObject* name<JapaneseLanguage>(PyObject*, PyObject* const*, Py_ssize_t, PyObject*);       \
  template PyObject* name<ChineseLanguage>(PyObject*, PyObject* const*, Py_ssize_t, PyObject*)

}  // namespace orvel::py
