// load_payload(path, payload_format="yaml"): a dictionary object over one
// payload file, with the default options and no names. The whole load runs
// with the interpreter lock held.
#include <filesystem>
#include <string>
#include <type_traits>

#include "python/arguments.hpp"
#include "python/dictionary_language.hpp"
#include "python/dictionary_methods.hpp"
#include "bundle/payload_loading.hpp"
#include "python/errors.hpp"

namespace orvel::py {

namespace {

// An explicit None is a value here, refused by the str conversion.
constexpr Param kLoadPayloadParams[] = {
    {"path", ArgKind::Text},
    {"payload_format", ArgKind::Text, Param::OptionalNotNone},
};

template <class Lang>
auto load_index(const std::filesystem::path& path, std::string_view format) {
  if constexpr (std::is_same_v<Lang, JapaneseLanguage>) {
    return bundle::load_unidic_payload(path, format);
  } else {
    return bundle::load_zh_payload(path, format);
  }
}

}  // namespace

template <class Lang>
PyObject* dictionary_load_payload(PyObject*, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
  static constexpr Signature signature{qualified_name<Lang, "load_payload">(), kLoadPayloadParams};
  Arguments a;
  if (!a.parse(signature, args, nargs, kwnames)) return nullptr;
  std::string path;
  std::string format = "yaml";
  if (!a.copy_text(0, path) || (a.given(1) && !a.copy_text(1, format))) return nullptr;
  auto index = load_index<Lang>(std::filesystem::path(path), format);
  if (!index) {
    raise_error(describe(index.error()));
    return nullptr;
  }
  // Default options: max_readings_per_segment none, max_span_chars 8,
  // max_paths 1024, longest_only false.
  return new_dictionary<Lang>({DictionaryOptions{}, std::move(*index), std::nullopt, std::nullopt, std::nullopt});
}

ORVEL_INSTANTIATE_DICTIONARY_METHOD(dictionary_load_payload);

}  // namespace orvel::py
