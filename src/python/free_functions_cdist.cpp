// The text matrices: (queries, choices, *, score_cutoff=None).
#include "metrics/cdist_string_matrices.hpp"
#include "python/cutoff_arguments.hpp"
#include "python/free_functions.hpp"
#include "python/gil.hpp"

namespace orvel::py {

namespace {

template <class Cutoff>
constexpr Param kParams[] = {
    {"queries", ArgKind::TextList},
    {"choices", ArgKind::TextList},
    {"score_cutoff", Cutoff::kind, Param::KeywordOnly},
};

// `build` is called with (queries, choices, cutoff); the builders' kernel
// parameter keeps its default.
template <class Cutoff, class Build>
PyObject* matrix_call(const char* name, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames, Build build) {
  Arguments a;
  if (!a.parse({name, kParams<Cutoff>}, args, nargs, kwnames)) return nullptr;
  typename Cutoff::type cutoff;
  if (!Cutoff::read(a, 2, cutoff)) return nullptr;
  const std::vector<std::string> queries = a.take_texts(0);
  const std::vector<std::string> choices = a.take_texts(1);
  return run_released([&] { return build(queries, choices, cutoff); });
}

}  // namespace

PyObject* py_cdist_distance(PyObject*, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
  return matrix_call<CountCutoff>("_cdist_distance", args, nargs, kwnames,
                                  [](auto&... a) { return cdist_string_distance_matrix(a...); });
}

PyObject* py_cdist_damerau_distance(PyObject*, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
  return matrix_call<CountCutoff>("_cdist_damerau_distance", args, nargs, kwnames,
                                  [](auto&... a) { return cdist_string_damerau_distance_matrix(a...); });
}

PyObject* py_cdist_combined_distance(PyObject*, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
  return matrix_call<RawCutoff>("_cdist_combined_distance", args, nargs, kwnames,
                                [](auto&... a) { return cdist_string_combined_distance_matrix(a...); });
}

PyObject* py_cdist_normalized_distance(PyObject*, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
  return matrix_call<FloatCutoff>("_cdist_normalized_distance", args, nargs, kwnames,
                                  [](auto&... a) { return cdist_string_normalized_distance_matrix(a...); });
}

PyObject* py_cdist_normalized_similarity(PyObject*, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
  return matrix_call<FloatCutoff>("_cdist_normalized_similarity", args, nargs, kwnames,
                                  [](auto&... a) { return cdist_string_similarity_matrix(a...); });
}

}  // namespace orvel::py
