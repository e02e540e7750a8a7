// The pairwise metric methods of the dictionary classes: distance,
// damerau_distance, combined_distance, within_distance,
// within_damerau_distance, normalized_similarity, normalized_distance and
// ratio.
#include <cstdint>
#include <string>
#include <string_view>

#include "metrics/dictionary_methods.hpp"
#include "metrics/score_cutoff.hpp"
#include "python/cutoff_arguments.hpp"
#include "python/dictionary_call_options.hpp"
#include "python/dictionary_language.hpp"
#include "python/dictionary_methods.hpp"
#include "python/gil.hpp"

namespace orvel::py {

namespace {

constexpr std::size_t kFirstOption = 2;
constexpr std::size_t kFirstWithinOption = 3;

// (left, right, *, the four options, score_cutoff)
template <class Cutoff>
constexpr Param kPairParams[] = {
    {"left", ArgKind::Text},
    {"right", ArgKind::Text},
    {"max_readings_per_segment", ArgKind::Count, Param::KeywordOnly},
    {"max_span_chars", ArgKind::Count, Param::KeywordOnly},
    {"max_paths", ArgKind::Count, Param::KeywordOnly},
    {"longest_only", ArgKind::Flag, Param::KeywordOnly},
    {"score_cutoff", Cutoff::kind, Param::KeywordOnly},
};
constexpr std::size_t kPairCutoff = 6;

// (left, right, threshold, *, the four options)
constexpr Param kWithinParams[] = {
    {"left", ArgKind::Text},
    {"right", ArgKind::Text},
    {"threshold", ArgKind::Count},
    {"max_readings_per_segment", ArgKind::Count, Param::KeywordOnly},
    {"max_span_chars", ArgKind::Count, Param::KeywordOnly},
    {"max_paths", ArgKind::Count, Param::KeywordOnly},
    {"longest_only", ArgKind::Flag, Param::KeywordOnly},
};

// What a work step gets: the texts, the call's options and the index.
template <class Lang>
struct PairWork {
  const std::string& left;
  const std::string& right;
  const DictionaryOptions& options;
  const typename Lang::Index& index;
};

// The calling pattern up to the released work: receiver, binding and
// conversion, the cutoff (a combined form's raw rule), the two copies, the
// option merge; then work(pair, measure) without the lock.
template <class Lang, class Work>
PyObject* pair_call(PyObject* self, const Signature& signature, std::size_t first_option, PyObject* const* args,
                    Py_ssize_t nargs, PyObject* kwnames, auto read_measure, Work work) {
  const DictionaryContents<Lang>* contents = receiver_contents<Lang>(self, signature.function_name);
  if (contents == nullptr) return nullptr;
  Arguments a;
  if (!a.parse(signature, args, nargs, kwnames)) return nullptr;
  const auto measure = read_measure(a);
  if (!measure) return nullptr;
  std::string left, right;
  if (!a.copy_text(0, left) || !a.copy_text(1, right)) return nullptr;
  DictionaryOptions options;
  if (!merge_call_options(*contents, option_arguments(a, first_option), options)) return nullptr;
  const PairWork<Lang> pair{left, right, options, contents->index};
  return run_released([&] { return work(pair, *measure); });
}

// The score_cutoff of the pair methods in its three forms, or none with the
// Python error set.
template <class Cutoff>
auto read_pair_cutoff(const Arguments& a) {
  using Read = std::optional<typename Cutoff::type>;
  typename Cutoff::type cutoff;
  return Cutoff::read(a, kPairCutoff, cutoff) ? Read(std::in_place, cutoff) : Read();
}

// The metrics library's call of this method's language.
template <class Lang>
DictionaryCall<typename Lang::Front> call_of(const PairWork<Lang>& pair) {
  return {pair.index, pair.options};
}

template <class Lang, class Cutoff, Literal Name, class Method>
PyObject* pair_method(PyObject* self, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames, Method method) {
  static constexpr Signature signature{qualified_name<Lang, Name>(), kPairParams<Cutoff>};
  return pair_call<Lang>(self, signature, kFirstOption, args, nargs, kwnames, read_pair_cutoff<Cutoff>,
                         [&](const PairWork<Lang>& pair, const typename Cutoff::type& cutoff) {
                           return method(call_of(pair), pair.left, pair.right, cutoff);
                         });
}

template <class Lang, Literal Name, class Method>
PyObject* within_method(PyObject* self, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames, Method method) {
  static constexpr Signature signature{qualified_name<Lang, Name>(), kWithinParams};
  return pair_call<Lang>(
      self, signature, kFirstWithinOption, args, nargs, kwnames,
      [](const Arguments& a) { return std::optional<std::uint64_t>(a.count(2)); },
      [&](const PairWork<Lang>& pair, std::uint64_t threshold) {
        return method(call_of(pair), pair.left, pair.right, threshold);
      });
}

}  // namespace

template <class Lang>
PyObject* dictionary_distance(PyObject* self, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
  return pair_method<Lang, CountCutoff, "distance">(self, args, nargs, kwnames,
                                                    orvel::dictionary_distance<typename Lang::Front>);
}

template <class Lang>
PyObject* dictionary_damerau_distance(PyObject* self, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
  return pair_method<Lang, CountCutoff, "damerau_distance">(self, args, nargs, kwnames,
                                                            orvel::dictionary_damerau_distance<typename Lang::Front>);
}

template <class Lang>
PyObject* dictionary_combined_distance(PyObject* self, PyObject* const* args, Py_ssize_t nargs,
                                       PyObject* kwnames) {
  return pair_method<Lang, RawCutoff, "combined_distance">(self, args, nargs, kwnames,
                                                           orvel::dictionary_combined_distance<typename Lang::Front>);
}

template <class Lang>
PyObject* dictionary_within_distance(PyObject* self, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
  return within_method<Lang, "within_distance">(self, args, nargs, kwnames,
                                                orvel::dictionary_within_distance<typename Lang::Front>);
}

template <class Lang>
PyObject* dictionary_within_damerau_distance(PyObject* self, PyObject* const* args, Py_ssize_t nargs,
                                             PyObject* kwnames) {
  return within_method<Lang, "within_damerau_distance">(
      self, args, nargs, kwnames, orvel::dictionary_within_damerau_distance<typename Lang::Front>);
}

template <class Lang>
PyObject* dictionary_normalized_similarity(PyObject* self, PyObject* const* args, Py_ssize_t nargs,
                                           PyObject* kwnames) {
  return pair_method<Lang, FloatCutoff, "normalized_similarity">(
      self, args, nargs, kwnames, orvel::dictionary_normalized_similarity<typename Lang::Front>);
}

template <class Lang>
PyObject* dictionary_normalized_distance(PyObject* self, PyObject* const* args, Py_ssize_t nargs,
                                         PyObject* kwnames) {
  return pair_method<Lang, FloatCutoff, "normalized_distance">(
      self, args, nargs, kwnames, orvel::dictionary_normalized_distance<typename Lang::Front>);
}

// Exactly normalized_similarity; only the name in binding messages differs.
template <class Lang>
PyObject* dictionary_ratio(PyObject* self, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
  return pair_method<Lang, FloatCutoff, "ratio">(self, args, nargs, kwnames,
                                                 orvel::dictionary_normalized_similarity<typename Lang::Front>);
}

ORVEL_INSTANTIATE_DICTIONARY_METHOD(dictionary_distance);
ORVEL_INSTANTIATE_DICTIONARY_METHOD(dictionary_damerau_distance);
ORVEL_INSTANTIATE_DICTIONARY_METHOD(dictionary_combined_distance);
ORVEL_INSTANTIATE_DICTIONARY_METHOD(dictionary_within_distance);
ORVEL_INSTANTIATE_DICTIONARY_METHOD(dictionary_within_damerau_distance);
ORVEL_INSTANTIATE_DICTIONARY_METHOD(dictionary_normalized_similarity);
ORVEL_INSTANTIATE_DICTIONARY_METHOD(dictionary_normalized_distance);
ORVEL_INSTANTIATE_DICTIONARY_METHOD(dictionary_ratio);

}  // namespace orvel::py
