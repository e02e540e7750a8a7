// The pairwise metric methods of the dictionary classes: distance,
// damerau_distance, combined_distance, within_distance,
// within_damerau_distance, normalized_similarity, normalized_distance and
// ratio.
#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>

#include "core/lattice_distance.hpp"
#include "metrics/lattice_metrics.hpp"
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

// left's lattice, then right's; left's error wins.
template <class Lang, class Kernel>
auto with_lattices(const PairWork<Lang>& pair, Kernel kernel) {
  using Result = std::invoke_result_t<Kernel&, const Lattice&, const Lattice&>;
  using Out = Outcome<typename Result::value_type>;
  auto left = Lang::lattice(pair.left, pair.index, pair.options);
  if (!left) return Out(std::unexpected(describe(left.error())));
  auto right = Lang::lattice(pair.right, pair.index, pair.options);
  if (!right) return Out(std::unexpected(describe(right.error())));
  Result result = kernel(*left, *right);
  if (!result) return Out(std::unexpected(describe(result.error())));
  return Out(*result);
}

template <class Lang, class Cutoff, Literal Name, class Kernel>
PyObject* lattice_distance_call(PyObject* self, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames,
                                Kernel kernel) {
  static constexpr Signature signature{qualified_name<Lang, Name>(), kPairParams<Cutoff>};
  return pair_call<Lang>(self, signature, kFirstOption, args, nargs, kwnames, read_pair_cutoff<Cutoff>,
                         [&](const PairWork<Lang>& pair, DistanceCutoff cutoff) {
                           return with_lattices(pair, [&](const Lattice& l, const Lattice& r) {
                             return kernel(pair, l, r, cutoff);
                           });
                         });
}

template <class Lang, Literal Name, class Test>
PyObject* within_call(PyObject* self, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames, Test test) {
  static constexpr Signature signature{qualified_name<Lang, Name>(), kWithinParams};
  return pair_call<Lang>(
      self, signature, kFirstWithinOption, args, nargs, kwnames,
      [](const Arguments& a) { return std::optional<std::uint64_t>(a.count(2)); },
      [&](const PairWork<Lang>& pair, std::uint64_t threshold) {
        return with_lattices(pair, [&](const Lattice& l, const Lattice& r) { return test(l, r, threshold); });
      });
}

// s, the best similarity of the two texts' readings, under the cutoff rule
// `apply` (similarity or normalized distance); the cutoff's range is checked
// only once s is known.
template <class Lang, Literal Name, class Apply>
PyObject* similarity_call(PyObject* self, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames, Apply apply) {
  static constexpr Signature signature{qualified_name<Lang, Name>(), kPairParams<FloatCutoff>};
  return pair_call<Lang>(self, signature, kFirstOption, args, nargs, kwnames, read_pair_cutoff<FloatCutoff>,
                         [&](const PairWork<Lang>& pair, ScoreCutoff cutoff) -> Outcome<double> {
                           auto s = Lang::similarity(pair.left, pair.right, pair.index, pair.options);
                           if (!s) return std::unexpected(describe(s.error()));
                           auto value = apply(*s, cutoff);
                           if (!value) return std::unexpected(describe(value.error()));
                           return *value;
                         });
}

}  // namespace

template <class Lang>
PyObject* dictionary_distance(PyObject* self, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
  return lattice_distance_call<Lang, CountCutoff, "distance">(
      self, args, nargs, kwnames,
      [](const PairWork<Lang>&, const Lattice& l, const Lattice& r, DistanceCutoff k) {
        return distance_with_cutoff(l, r, k);
      });
}

template <class Lang>
PyObject* dictionary_damerau_distance(PyObject* self, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
  return lattice_distance_call<Lang, CountCutoff, "damerau_distance">(
      self, args, nargs, kwnames,
      [](const PairWork<Lang>&, const Lattice& l, const Lattice& r, DistanceCutoff k) {
        return damerau_distance_with_cutoff(l, r, k);
      });
}

// The smaller of the texts' own Damerau distance and their readings'
// lattice distance.
template <class Lang>
PyObject* dictionary_combined_distance(PyObject* self, PyObject* const* args, Py_ssize_t nargs,
                                       PyObject* kwnames) {
  return lattice_distance_call<Lang, RawCutoff, "combined_distance">(
      self, args, nargs, kwnames,
      [](const PairWork<Lang>& pair, const Lattice& l, const Lattice& r, DistanceCutoff k) {
        return combined_distance_with_cutoff(std::string_view(pair.left), std::string_view(pair.right), l, r, k);
      });
}

template <class Lang>
PyObject* dictionary_within_distance(PyObject* self, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
  return within_call<Lang, "within_distance">(self, args, nargs, kwnames,
                                              [](const Lattice& l, const Lattice& r, std::uint64_t t) {
                                                return try_within_distance(l, r, t);
                                              });
}

template <class Lang>
PyObject* dictionary_within_damerau_distance(PyObject* self, PyObject* const* args, Py_ssize_t nargs,
                                             PyObject* kwnames) {
  return within_call<Lang, "within_damerau_distance">(self, args, nargs, kwnames,
                                                      [](const Lattice& l, const Lattice& r, std::uint64_t t) {
                                                        return try_within_damerau_distance(l, r, t);
                                                      });
}

template <class Lang>
PyObject* dictionary_normalized_similarity(PyObject* self, PyObject* const* args, Py_ssize_t nargs,
                                           PyObject* kwnames) {
  return similarity_call<Lang, "normalized_similarity">(self, args, nargs, kwnames, apply_similarity_cutoff);
}

template <class Lang>
PyObject* dictionary_normalized_distance(PyObject* self, PyObject* const* args, Py_ssize_t nargs,
                                         PyObject* kwnames) {
  return similarity_call<Lang, "normalized_distance">(
      self, args, nargs, kwnames,
      [](double s, ScoreCutoff c) { return apply_normalized_distance_cutoff(1.0 - s, c); });
}

// Exactly normalized_similarity; only the name in binding messages differs.
template <class Lang>
PyObject* dictionary_ratio(PyObject* self, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
  return similarity_call<Lang, "ratio">(self, args, nargs, kwnames, apply_similarity_cutoff);
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
