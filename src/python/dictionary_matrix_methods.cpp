// The matrix methods of the dictionary classes: every query against every
// choice, each text read once through the object's index (queries first).
#include <optional>
#include <string>
#include <type_traits>
#include <vector>

#include "metrics/cdist_reading_matrices.hpp"
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

// Reads the queries, then the choices, with `read` (Lang::lattices or
// Lang::path_sets), and hands both to `matrix`.
template <class Lang, class Read, class Matrix>
auto read_both(const MatrixWork<Lang>& work, Read read, Matrix matrix) {
  using Readings = typename std::invoke_result_t<Read&, std::span<const std::string>, const typename Lang::Index&,
                                                 const DictionaryOptions&>::value_type;
  using Result = std::invoke_result_t<Matrix&, const Readings&, const Readings&>;
  using Out = Outcome<typename Result::value_type>;
  auto queries = read(work.queries, work.index, work.options);
  if (!queries) return Out(std::unexpected(describe(queries.error())));
  auto choices = read(work.choices, work.index, work.options);
  if (!choices) return Out(std::unexpected(describe(choices.error())));
  Result result = matrix(*queries, *choices);
  if (!result) return Out(std::unexpected(describe(result.error())));
  return Out(std::move(*result));
}

}  // namespace

template <class Lang>
PyObject* dictionary_cdist_distance(PyObject* self, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
  return matrix_call<Lang, CountCutoff, "_cdist_distance">(
      self, args, nargs, kwnames, [](const MatrixWork<Lang>& work, DistanceCutoff k) {
        return read_both(work, Lang::lattices, [&](const std::vector<Lattice>& q, const std::vector<Lattice>& c) {
          return cdist_distance_matrix(q, c, k);
        });
      });
}

template <class Lang>
PyObject* dictionary_cdist_damerau_distance(PyObject* self, PyObject* const* args, Py_ssize_t nargs,
                                            PyObject* kwnames) {
  return matrix_call<Lang, CountCutoff, "_cdist_damerau_distance">(
      self, args, nargs, kwnames, [](const MatrixWork<Lang>& work, DistanceCutoff k) {
        return read_both(work, Lang::lattices, [&](const std::vector<Lattice>& q, const std::vector<Lattice>& c) {
          return cdist_damerau_distance_matrix(q, c, k);
        });
      });
}

template <class Lang>
PyObject* dictionary_cdist_combined_distance(PyObject* self, PyObject* const* args, Py_ssize_t nargs,
                                             PyObject* kwnames) {
  return matrix_call<Lang, RawCutoff, "_cdist_combined_distance">(
      self, args, nargs, kwnames, [](const MatrixWork<Lang>& work, DistanceCutoff k) {
        return read_both(work, Lang::lattices, [&](const std::vector<Lattice>& q, const std::vector<Lattice>& c) {
          return cdist_combined_distance_matrix(work.queries, work.choices, q, c, k);
        });
      });
}

template <class Lang>
PyObject* dictionary_cdist_normalized_similarity(PyObject* self, PyObject* const* args, Py_ssize_t nargs,
                                                 PyObject* kwnames) {
  return matrix_call<Lang, FloatCutoff, "_cdist_normalized_similarity">(
      self, args, nargs, kwnames, [](const MatrixWork<Lang>& work, ScoreCutoff c) {
        return read_both(work, Lang::path_sets,
                         [&](const std::vector<ReadingPathSet>& q, const std::vector<ReadingPathSet>& ch) {
                           return cdist_similarity_matrix(q, ch, c);
                         });
      });
}

template <class Lang>
PyObject* dictionary_cdist_normalized_distance(PyObject* self, PyObject* const* args, Py_ssize_t nargs,
                                               PyObject* kwnames) {
  return matrix_call<Lang, FloatCutoff, "_cdist_normalized_distance">(
      self, args, nargs, kwnames, [](const MatrixWork<Lang>& work, ScoreCutoff c) {
        return read_both(work, Lang::path_sets,
                         [&](const std::vector<ReadingPathSet>& q, const std::vector<ReadingPathSet>& ch) {
                           return cdist_normalized_distance_matrix(q, ch, c);
                         });
      });
}

ORVEL_INSTANTIATE_DICTIONARY_METHOD(dictionary_cdist_distance);
ORVEL_INSTANTIATE_DICTIONARY_METHOD(dictionary_cdist_damerau_distance);
ORVEL_INSTANTIATE_DICTIONARY_METHOD(dictionary_cdist_combined_distance);
ORVEL_INSTANTIATE_DICTIONARY_METHOD(dictionary_cdist_normalized_similarity);
ORVEL_INSTANTIATE_DICTIONARY_METHOD(dictionary_cdist_normalized_distance);

}  // namespace orvel::py
