// The matrix methods of the dictionary classes: every query against every
// choice, each text read once through the object's index (queries first).
#include <optional>
#include <string>
#include <vector>

#include "metrics/dictionary_methods.hpp"
#include "python/cutoff_arguments.hpp"
#include "python/dictionary_call_options.hpp"
#include "python/dictionary_language.hpp"
#include "python/dictionary_methods.hpp"
#include "python/gil.hpp"

namespace orvel::py {

namespace {

// (queries, choices, *, the four options, score_cutoff)
template <class Cutoff>
constexpr Param kMatrixParams[] = {
    {"queries", ArgKind::TextList},
    {"choices", ArgKind::TextList},
    {"max_readings_per_segment", ArgKind::Count, Param::KeywordOnly},
    {"max_span_chars", ArgKind::Count, Param::KeywordOnly},
    {"max_paths", ArgKind::Count, Param::KeywordOnly},
    {"longest_only", ArgKind::Flag, Param::KeywordOnly},
    {"score_cutoff", Cutoff::kind, Param::KeywordOnly},
};
constexpr std::size_t kFirstOption = 2;
constexpr std::size_t kCutoff = 6;

template <class Lang>
struct MatrixWork {
  const std::vector<std::string>& queries;
  const std::vector<std::string>& choices;
  const DictionaryOptions& options;
  const typename Lang::Index& index;
};

// Receiver, binding and conversion (the lists are owned copies once
// converted), the cutoff (the combined form's raw rule before the merge),
// the option merge; then build(work, cutoff) without the lock.
template <class Lang, class Cutoff, Literal Name, class Build>
PyObject* matrix_call(PyObject* self, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames, Build build) {
  static constexpr Signature signature{qualified_name<Lang, Name>(), kMatrixParams<Cutoff>};
  const DictionaryContents<Lang>* contents = receiver_contents<Lang>(self, signature.function_name);
  if (contents == nullptr) return nullptr;
  Arguments a;
  if (!a.parse(signature, args, nargs, kwnames)) return nullptr;
  typename Cutoff::type cutoff;
  if (!Cutoff::read(a, kCutoff, cutoff)) return nullptr;
  const std::vector<std::string> queries = a.take_texts(0);
  const std::vector<std::string> choices = a.take_texts(1);
  DictionaryOptions options;
  if (!merge_call_options(*contents, option_arguments(a, kFirstOption), options)) return nullptr;
  const MatrixWork<Lang> work{queries, choices, options, contents->index};
  return run_released([&] { return build(work, cutoff); });
}

template <class Lang, class Cutoff, Literal Name, class Method>
PyObject* matrix_method(PyObject* self, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames, Method method) {
  return matrix_call<Lang, Cutoff, Name>(self, args, nargs, kwnames,
                                         [&](const MatrixWork<Lang>& work, const typename Cutoff::type& cutoff) {
                                           const DictionaryCall<typename Lang::Front> call{work.index, work.options};
                                           return method(call, work.queries, work.choices, cutoff);
                                         });
}

}  // namespace

template <class Lang>
PyObject* dictionary_cdist_distance(PyObject* self, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
  return matrix_method<Lang, CountCutoff, "_cdist_distance">(self, args, nargs, kwnames,
                                                             orvel::dictionary_cdist_distance<typename Lang::Front>);
}

template <class Lang>
PyObject* dictionary_cdist_damerau_distance(PyObject* self, PyObject* const* args, Py_ssize_t nargs,
                                            PyObject* kwnames) {
  return matrix_method<Lang, CountCutoff, "_cdist_damerau_distance">(
      self, args, nargs, kwnames, orvel::dictionary_cdist_damerau_distance<typename Lang::Front>);
}

template <class Lang>
PyObject* dictionary_cdist_combined_distance(PyObject* self, PyObject* const* args, Py_ssize_t nargs,
                                             PyObject* kwnames) {
  return matrix_method<Lang, RawCutoff, "_cdist_combined_distance">(
      self, args, nargs, kwnames, orvel::dictionary_cdist_combined_distance<typename Lang::Front>);
}

template <class Lang>
PyObject* dictionary_cdist_normalized_similarity(PyObject* self, PyObject* const* args, Py_ssize_t nargs,
                                                 PyObject* kwnames) {
  return matrix_method<Lang, FloatCutoff, "_cdist_normalized_similarity">(
      self, args, nargs, kwnames, orvel::dictionary_cdist_normalized_similarity<typename Lang::Front>);
}

template <class Lang>
PyObject* dictionary_cdist_normalized_distance(PyObject* self, PyObject* const* args, Py_ssize_t nargs,
                                               PyObject* kwnames) {
  return matrix_method<Lang, FloatCutoff, "_cdist_normalized_distance">(
      self, args, nargs, kwnames, orvel::dictionary_cdist_normalized_distance<typename Lang::Front>);
}

ORVEL_INSTANTIATE_DICTIONARY_METHOD(dictionary_cdist_distance);
ORVEL_INSTANTIATE_DICTIONARY_METHOD(dictionary_cdist_damerau_distance);
ORVEL_INSTANTIATE_DICTIONARY_METHOD(dictionary_cdist_combined_distance);
ORVEL_INSTANTIATE_DICTIONARY_METHOD(dictionary_cdist_normalized_similarity);
ORVEL_INSTANTIATE_DICTIONARY_METHOD(dictionary_cdist_normalized_distance);

}  // namespace orvel::py
