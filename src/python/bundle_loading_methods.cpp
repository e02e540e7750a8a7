// load_bundle(metadata_path, bundle_dir=None): a dictionary object over a
// verified artifact bundle, with the bundle's query defaults and names. The
// whole load, file reads and digest included, runs with the interpreter lock
// held.
#include <filesystem>
#include <optional>
#include <string>
#include <type_traits>

#include "bundle/bundle_loader.hpp"
#include "python/arguments.hpp"
#include "python/dictionary_language.hpp"
#include "python/dictionary_methods.hpp"
#include "python/dictionary_paths.hpp"
#include "python/errors.hpp"

namespace orvel::py {

namespace {

constexpr Param kLoadBundleParams[] = {
    {"metadata_path", ArgKind::Text},
    {"bundle_dir", ArgKind::Text, Param::Optional},
};

template <class Lang>
auto load_bundle_contents(const std::filesystem::path& metadata_path,
                          const std::optional<std::filesystem::path>& bundle_dir)
    -> std::expected<DictionaryContents<Lang>, bundle::BundleError> {
  if constexpr (std::is_same_v<Lang, JapaneseLanguage>) {
    auto loaded = bundle::load_unidic_bundle(metadata_path, bundle_dir);
    if (!loaded) return std::unexpected(std::move(loaded).error());
    return DictionaryContents<Lang>{loaded->options, std::move(loaded->index), std::move(loaded->artifact_name),
                                    std::move(loaded->source_name), std::move(loaded->reading_field)};
  } else {
    auto loaded = bundle::load_zh_bundle(metadata_path, bundle_dir);
    if (!loaded) return std::unexpected(std::move(loaded).error());
    return DictionaryContents<Lang>{loaded->options, std::move(loaded->index), std::move(loaded->artifact_name),
                                    std::move(loaded->source_name), std::move(loaded->pinyin_view)};
  }
}

}  // namespace

template <class Lang>
PyObject* dictionary_load_bundle(PyObject*, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
  static constexpr Signature signature{qualified_name<Lang, "load_bundle">(), kLoadBundleParams};
  Arguments a;
  if (!a.parse(signature, args, nargs, kwnames)) return nullptr;
  std::string metadata_path;
  if (!a.copy_text(0, metadata_path)) return nullptr;
  std::optional<std::filesystem::path> bundle_dir;
  if (a.given(1)) {
    std::string dir;
    if (!a.copy_text(1, dir)) return nullptr;
    bundle_dir = std::filesystem::path(dir);
  }
  if (!path_without_nul(metadata_path) || (bundle_dir && !path_without_nul(bundle_dir->native()))) return nullptr;
  auto contents = load_bundle_contents<Lang>(std::filesystem::path(metadata_path), bundle_dir);
  if (!contents) {
    raise_error(describe(contents.error()));
    return nullptr;
  }
  return new_dictionary<Lang>(std::move(*contents));
}

ORVEL_INSTANTIATE_DICTIONARY_METHOD(dictionary_load_bundle);

}  // namespace orvel::py
