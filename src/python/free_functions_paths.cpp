// The path-list functions: (left_paths, right_paths, *, score_cutoff=None)
// and the two threshold tests (left_paths, right_paths, threshold).
#include "metrics/path_metrics.hpp"
#include "python/cutoff_arguments.hpp"
#include "python/free_functions.hpp"
#include "python/gil.hpp"

namespace orvel::py {

namespace {

template <class Cutoff>
constexpr Param kParams[] = {
    {"left_paths", ArgKind::TextList},
    {"right_paths", ArgKind::TextList},
    {"score_cutoff", Cutoff::kind, Param::KeywordOnly},
};

constexpr Param kWithinParams[] = {
    {"left_paths", ArgKind::TextList},
    {"right_paths", ArgKind::TextList},
    {"threshold", ArgKind::Count},
};

template <class Cutoff, class Work>
PyObject* path_pair_call(const char* name, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames, Work work) {
  Arguments a;
  if (!a.parse({name, kParams<Cutoff>}, args, nargs, kwnames)) return nullptr;
  typename Cutoff::type cutoff;
  if (!Cutoff::read(a, 2, cutoff)) return nullptr;
  PathList left = a.take_texts(0);
  PathList right = a.take_texts(1);
  return run_released([&] { return work(std::move(left), std::move(right), cutoff); });
}

template <class Work>
PyObject* within_call(const char* name, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames, Work work) {
  Arguments a;
  if (!a.parse({name, kWithinParams}, args, nargs, kwnames)) return nullptr;
  PathList left = a.take_texts(0);
  PathList right = a.take_texts(1);
  const std::uint64_t threshold = a.count(2);
  return run_released([&] { return work(std::move(left), std::move(right), threshold); });
}

std::expected<double, MetricError> similarity(const PathList& left, const PathList& right, ScoreCutoff cutoff) {
  return normalized_similarity_paths(left, right, cutoff);
}

std::expected<double, MetricError> normalized_distance(const PathList& left, const PathList& right,
                                                       ScoreCutoff cutoff) {
  return normalized_distance_paths(left, right, cutoff);
}

}  // namespace

PyObject* py_distance_paths(PyObject*, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
  return path_pair_call<CountCutoff>("distance_paths", args, nargs, kwnames, distance_paths);
}

PyObject* py_damerau_distance_paths(PyObject*, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
  return path_pair_call<CountCutoff>("damerau_distance_paths", args, nargs, kwnames, damerau_distance_paths);
}

PyObject* py_normalized_distance_paths(PyObject*, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
  return path_pair_call<FloatCutoff>("normalized_distance_paths", args, nargs, kwnames, normalized_distance);
}

PyObject* py_normalized_similarity_paths(PyObject*, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
  return path_pair_call<FloatCutoff>("normalized_similarity_paths", args, nargs, kwnames, similarity);
}

PyObject* py_ratio_paths(PyObject*, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
  return path_pair_call<FloatCutoff>("ratio_paths", args, nargs, kwnames, similarity);
}

PyObject* py_within_distance_paths(PyObject*, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
  return within_call("within_distance_paths", args, nargs, kwnames, within_distance_paths);
}

PyObject* py_within_damerau_distance_paths(PyObject*, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
  return within_call("within_damerau_distance_paths", args, nargs, kwnames, within_damerau_distance_paths);
}

}  // namespace orvel::py
