#pragma once
// What the Japanese and Chinese dictionary classes share, and the little in
// which they differ: the reading index, the reading fronts, the reading
// error and the payload error that carries the option limits. Every method
// of the classes is written once over a language (JapaneseLanguage or
// ChineseLanguage) and instantiated for both.
#include <Python.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <expected>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/dictionary_options.hpp"
#include "core/lattice.hpp"
#include "ja/ja_lattice_error.hpp"
#include "ja/unidic_artifact_payload_error.hpp"
#include "ja/unidic_reading_index.hpp"
#include "metrics/dictionary_methods.hpp"
#include "zh/cedict_reading_index.hpp"
#include "zh/cn_lattice_error.hpp"
#include "zh/zh_artifact_payload_error.hpp"

namespace orvel::py {

// A string literal usable as a template argument (for the qualified method
// names of binding-layer messages).
template <std::size_t N>
struct Literal {
  char text[N];
  constexpr Literal(const char (&s)[N]) { std::copy_n(s, N, text); }
};

struct JapaneseLanguage {
  static constexpr Literal kClassName{"JapaneseDictionary"};
  using Index = ja::UnidicReadingIndex;
  using ReadingError = ja::JaLatticeError;
  using PayloadError = ja::UnidicArtifactPayloadError;
  using Front = JapaneseFront;
};

struct ChineseLanguage {
  static constexpr Literal kClassName{"ChineseDictionary"};
  using Index = zh::CedictReadingIndex;
  using ReadingError = zh::CnLatticeError;
  using PayloadError = zh::ZhArtifactPayloadError;
  using Front = ChineseFront;
};

// "JapaneseDictionary.distance", as binding-layer messages name a method.
template <Literal Class, Literal Method>
struct QualifiedName {
  static constexpr auto value = [] {
    constexpr std::size_t class_chars = sizeof(Class.text) - 1;
    std::array<char, sizeof(Class.text) + sizeof(Method.text)> out{};
    std::copy_n(Class.text, class_chars, out.begin());
    out[class_chars] = '.';
    std::copy_n(Method.text, sizeof(Method.text), out.begin() + class_chars + 1);
    return out;
  }();
};

template <class Lang, Literal Method>
constexpr const char* qualified_name() {
  return QualifiedName<Lang::kClassName, Method>::value.data();
}

// Everything a dictionary object holds. Written once, at construction, and
// only read afterwards, also by computations running without the lock.
template <class Lang>
struct DictionaryContents {
  DictionaryOptions options;
  typename Lang::Index index;
  std::optional<std::string> artifact_name;
  std::optional<std::string> source_name;
  // reading_field (Japanese) or pinyin_view (Chinese).
  std::optional<std::string> third_name;
};

// The Python object: a header and the contents, owned.
template <class Lang>
struct DictionaryObject {
  PyObject_HEAD
  DictionaryContents<Lang>* contents;
};

using PyJapaneseDictionary = DictionaryObject<JapaneseLanguage>;
using PyChineseDictionary = DictionaryObject<ChineseLanguage>;

// The class of each language (dictionary_types.cpp).
template <class Lang>
PyTypeObject* dictionary_type();

// A new object of the language's class owning `contents`, or nullptr with
// the Python error set (the contents are then released).
template <class Lang>
PyObject* new_dictionary(DictionaryContents<Lang> contents);

// The object's contents when `self` is an instance of the class, else
// nullptr with the binding layer's TypeError set.
template <class Lang>
const DictionaryContents<Lang>* receiver_contents(PyObject* self, const char* qualified_method);

}  // namespace orvel::py
