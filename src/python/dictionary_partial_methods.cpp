// The best-span methods of the dictionary classes: the stretch of `text`
// whose readings best match the readings of `query`.
//
// Two widths meet here: the positional max_span_chars bounds the spans of
// `text` (0 = automatic, no upper limit), while reading_max_span_chars is the
// reading option max_span_chars, limit-checked like every option.
#include <cstdint>
#include <optional>
#include <string>

#include "metrics/dictionary_methods.hpp"
#include "python/cutoff_arguments.hpp"
#include "python/dictionary_call_options.hpp"
#include "python/dictionary_language.hpp"
#include "python/dictionary_methods.hpp"
#include "python/gil.hpp"

namespace orvel::py {

namespace {

// (query, text, max_span_chars, *, the four options with
// reading_max_span_chars in the place of max_span_chars, score_cutoff)
template <class Cutoff>
constexpr Param kPartialParams[] = {
    {"query", ArgKind::Text},
    {"text", ArgKind::Text},
    {"max_span_chars", ArgKind::Count},
    {"max_readings_per_segment", ArgKind::Count, Param::KeywordOnly},
    {"reading_max_span_chars", ArgKind::Count, Param::KeywordOnly},
    {"max_paths", ArgKind::Count, Param::KeywordOnly},
    {"longest_only", ArgKind::Flag, Param::KeywordOnly},
    {"score_cutoff", Cutoff::kind, Param::KeywordOnly},
};
constexpr std::size_t kSpanWidth = 2;
constexpr std::size_t kFirstOption = 3;
constexpr std::size_t kCutoff = 7;

template <class Lang>
struct PartialWork {
  const std::string& query;
  const std::string& text;
  std::uint64_t max_span_chars;
  const DictionaryOptions& options;
  const typename Lang::Index& index;
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

template <class Lang, class Cutoff, Literal Name, class Search>
PyObject* partial_call(PyObject* self, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames, Search search) {
  static constexpr Signature signature{qualified_name<Lang, Name>(), kPartialParams<Cutoff>};
  const DictionaryContents<Lang>* contents = receiver_contents<Lang>(self, signature.function_name);
  if (contents == nullptr) return nullptr;
  Arguments a;
  if (!a.parse(signature, args, nargs, kwnames)) return nullptr;
  typename Cutoff::type cutoff;
  if (!Cutoff::read(a, kCutoff, cutoff)) return nullptr;
  std::string query, text;
  if (!a.copy_text(0, query) || !a.copy_text(1, text)) return nullptr;
  DictionaryOptions options;
  if (!merge_call_options(*contents, option_arguments(a, kFirstOption), options)) return nullptr;
  const PartialWork<Lang> work{query, text, a.count(kSpanWidth), options, contents->index};
  auto outcome = without_lock([&] { return search(work, cutoff); });
  if (!outcome) {
    raise_error(outcome.error());
    return nullptr;
  }
  return alignment_to_python(*outcome);
}

}  // namespace

template <class Lang>
PyObject* dictionary_partial_ratio_alignment(PyObject* self, PyObject* const* args, Py_ssize_t nargs,
                                             PyObject* kwnames) {
  return partial_call<Lang, FloatCutoff, "_partial_ratio_alignment">(
      self, args, nargs, kwnames, [](const PartialWork<Lang>& work, ScoreCutoff cutoff) {
        return dictionary_partial_ratio(DictionaryCall<typename Lang::Front>{work.index, work.options}, work.query,
                                        work.text, work.max_span_chars, cutoff);
      });
}

template <class Lang>
PyObject* dictionary_partial_distance_alignment(PyObject* self, PyObject* const* args, Py_ssize_t nargs,
                                                PyObject* kwnames) {
  return partial_call<Lang, CountCutoff, "_partial_distance_alignment">(
      self, args, nargs, kwnames, [](const PartialWork<Lang>& work, DistanceCutoff cutoff) {
        return dictionary_partial_distance(DictionaryCall<typename Lang::Front>{work.index, work.options},
                                           work.query, work.text, work.max_span_chars, cutoff);
      });
}

ORVEL_INSTANTIATE_DICTIONARY_METHOD(dictionary_partial_ratio_alignment);
ORVEL_INSTANTIATE_DICTIONARY_METHOD(dictionary_partial_distance_alignment);

}  // namespace orvel::py
