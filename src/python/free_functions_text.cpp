// distance, damerau_distance, combined_distance, normalized_distance,
// normalized_similarity and ratio: (left, right, *, score_cutoff=None).
#include <iterator>

#include "metrics/text_metrics.hpp"
#include "python/cutoff_arguments.hpp"
#include "python/free_functions.hpp"
#include "python/gil.hpp"

namespace orvel::py {

namespace {

template <class Cutoff>
constexpr Param kParams[] = {
    {"left", ArgKind::Text},
    {"right", ArgKind::Text},
    {"score_cutoff", Cutoff::kind, Param::KeywordOnly},
};

// Binds, reads the cutoff (the raw rule runs before any text is copied),
// copies both texts and runs work(left, right, cutoff) without the lock.
template <class Cutoff, class Work>
PyObject* text_pair_call(const char* name, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames, Work work) {
  BasicArguments<std::size(kParams<Cutoff>)> a;
  if (!a.parse({name, kParams<Cutoff>}, args, nargs, kwnames)) return nullptr;
  typename Cutoff::type cutoff;
  if (!Cutoff::read(a, 2, cutoff)) return nullptr;
  // Short texts stay inside these objects: the common call allocates nothing.
  OwnedText left, right;
  if (!a.copy_text(0, left) || !a.copy_text(1, right)) return nullptr;
  return run_released([&] { return work(left.view(), right.view(), cutoff); });
}

}  // namespace

PyObject* py_distance(PyObject*, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
  return text_pair_call<CountCutoff>("distance", args, nargs, kwnames, text_distance);
}

PyObject* py_damerau_distance(PyObject*, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
  return text_pair_call<CountCutoff>("damerau_distance", args, nargs, kwnames,
                                     raw_damerau_distance_pair_with_cutoff);
}

// A free call has no readings to combine: the surface Damerau distance.
PyObject* py_combined_distance(PyObject*, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
  return text_pair_call<RawCutoff>("combined_distance", args, nargs, kwnames,
                                   raw_damerau_distance_pair_with_cutoff);
}

PyObject* py_normalized_distance(PyObject*, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
  return text_pair_call<FloatCutoff>("normalized_distance", args, nargs, kwnames, text_normalized_distance);
}

PyObject* py_normalized_similarity(PyObject*, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
  return text_pair_call<FloatCutoff>("normalized_similarity", args, nargs, kwnames, text_normalized_similarity);
}

PyObject* py_ratio(PyObject*, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
  return text_pair_call<FloatCutoff>("ratio", args, nargs, kwnames, text_normalized_similarity);
}

}  // namespace orvel::py
