// Best-span alignment: (query, text, max_span_chars, *, score_cutoff=None),
// returning None or (score, query start, query end, text start, text end).
#include <string>

#include "metrics/partial_alignment.hpp"
#include "python/cutoff_arguments.hpp"
#include "python/free_functions.hpp"
#include "python/gil.hpp"

namespace orvel::py {

namespace {

template <class Cutoff>
constexpr Param kParams[] = {
    {"query", ArgKind::Text},
    {"text", ArgKind::Text},
    {"max_span_chars", ArgKind::Count},
    {"score_cutoff", Cutoff::kind, Param::KeywordOnly},
};

template <class Score>
PyObject* alignment_to_python(const std::optional<SpanAlignment<Score>>& alignment) {
  if (!alignment) Py_RETURN_NONE;
  return Py_BuildValue("(NKKKK)", to_python(alignment->score),
                       static_cast<unsigned long long>(alignment->query_start),
                       static_cast<unsigned long long>(alignment->query_end),
                       static_cast<unsigned long long>(alignment->text_start),
                       static_cast<unsigned long long>(alignment->text_end));
}

template <class Cutoff, class Align>
PyObject* alignment_call(const char* name, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames,
                         Align align) {
  Arguments a;
  if (!a.parse({name, kParams<Cutoff>}, args, nargs, kwnames)) return nullptr;
  typename Cutoff::type cutoff;
  if (!Cutoff::read(a, 3, cutoff)) return nullptr;
  std::string query, text;
  if (!a.copy_text(0, query) || !a.copy_text(1, text)) return nullptr;
  const std::uint64_t span_limit = a.count(2);
  auto outcome = without_lock([&] { return align(query, text, span_limit, cutoff); });
  if (!outcome) {
    raise_error(outcome.error());
    return nullptr;
  }
  return alignment_to_python(*outcome);
}

}  // namespace

PyObject* py_partial_distance_alignment(PyObject*, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
  return alignment_call<CountCutoff>("_partial_distance_alignment", args, nargs, kwnames,
                                     partial_distance_alignment);
}

PyObject* py_partial_ratio_alignment(PyObject*, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
  return alignment_call<FloatCutoff>("_partial_ratio_alignment", args, nargs, kwnames, partial_ratio_alignment);
}

}  // namespace orvel::py
