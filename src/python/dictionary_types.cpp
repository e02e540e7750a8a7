// The type objects of JapaneseDictionary and ChineseDictionary: frozen value
// types that Python cannot instantiate, with no attribute dictionary, no
// weak references and no doc text. Their names carry no module, so Python
// reports their module as "builtins".
#include <memory>
#include <optional>
#include <string>

#include "python/dictionary_classes.hpp"
#include "python/dictionary_language.hpp"
#include "python/dictionary_methods.hpp"
#include "python/entry_guard.hpp"
#include "python/module_attributes.hpp"

namespace orvel::py {

namespace {

#define ORVEL_DICTIONARY_ENTRY(name, function, flags, signature)                                       \
  PyMethodDef {                                                                                       \
    name, ORVEL_GUARDED_FASTCALL(function),                                                           \
        METH_FASTCALL | METH_KEYWORDS | (flags), signature "\n--\n\n"                                 \
  }

#define ORVEL_OPTIONS "max_readings_per_segment=None, max_span_chars=None, max_paths=None, longest_only=None"
#define ORVEL_PARTIAL_OPTIONS \
  "max_readings_per_segment=None, reading_max_span_chars=None, max_paths=None, longest_only=None"

// The two static methods come first, then (after the properties) the
// fifteen metric methods; see add_metric_methods.
template <class Lang>
PyMethodDef loader_methods[] = {
    ORVEL_DICTIONARY_ENTRY("load_payload", dictionary_load_payload<Lang>, METH_STATIC,
                           "load_payload(path, payload_format=\"yaml\")"),
    ORVEL_DICTIONARY_ENTRY("load_bundle", dictionary_load_bundle<Lang>, METH_STATIC,
                           "load_bundle(metadata_path, bundle_dir=None)"),
    {nullptr, nullptr, 0, nullptr},
};

template <class Lang>
PyMethodDef metric_methods[] = {
    ORVEL_DICTIONARY_ENTRY("distance", dictionary_distance<Lang>, 0,
                           "distance($self, left, right, *, " ORVEL_OPTIONS ", score_cutoff=None)"),
    ORVEL_DICTIONARY_ENTRY("damerau_distance", dictionary_damerau_distance<Lang>, 0,
                           "damerau_distance($self, left, right, *, " ORVEL_OPTIONS ", score_cutoff=None)"),
    ORVEL_DICTIONARY_ENTRY("combined_distance", dictionary_combined_distance<Lang>, 0,
                           "combined_distance($self, left, right, *, " ORVEL_OPTIONS ", score_cutoff=None)"),
    ORVEL_DICTIONARY_ENTRY("within_distance", dictionary_within_distance<Lang>, 0,
                           "within_distance($self, left, right, threshold, *, " ORVEL_OPTIONS ")"),
    ORVEL_DICTIONARY_ENTRY("within_damerau_distance", dictionary_within_damerau_distance<Lang>, 0,
                           "within_damerau_distance($self, left, right, threshold, *, " ORVEL_OPTIONS ")"),
    ORVEL_DICTIONARY_ENTRY("normalized_similarity", dictionary_normalized_similarity<Lang>, 0,
                           "normalized_similarity($self, left, right, *, " ORVEL_OPTIONS ", score_cutoff=None)"),
    ORVEL_DICTIONARY_ENTRY("normalized_distance", dictionary_normalized_distance<Lang>, 0,
                           "normalized_distance($self, left, right, *, " ORVEL_OPTIONS ", score_cutoff=None)"),
    ORVEL_DICTIONARY_ENTRY("ratio", dictionary_ratio<Lang>, 0,
                           "ratio($self, left, right, *, " ORVEL_OPTIONS ", score_cutoff=None)"),
    ORVEL_DICTIONARY_ENTRY("_partial_distance_alignment", dictionary_partial_distance_alignment<Lang>, 0,
                           "_partial_distance_alignment($self, query, text, max_span_chars, *, " ORVEL_PARTIAL_OPTIONS
                           ", score_cutoff=None)"),
    ORVEL_DICTIONARY_ENTRY("_partial_ratio_alignment", dictionary_partial_ratio_alignment<Lang>, 0,
                           "_partial_ratio_alignment($self, query, text, max_span_chars, *, " ORVEL_PARTIAL_OPTIONS
                           ", score_cutoff=None)"),
    ORVEL_DICTIONARY_ENTRY("_cdist_distance", dictionary_cdist_distance<Lang>, 0,
                           "_cdist_distance($self, queries, choices, *, " ORVEL_OPTIONS ", score_cutoff=None)"),
    ORVEL_DICTIONARY_ENTRY("_cdist_damerau_distance", dictionary_cdist_damerau_distance<Lang>, 0,
                           "_cdist_damerau_distance($self, queries, choices, *, " ORVEL_OPTIONS
                           ", score_cutoff=None)"),
    ORVEL_DICTIONARY_ENTRY("_cdist_combined_distance", dictionary_cdist_combined_distance<Lang>, 0,
                           "_cdist_combined_distance($self, queries, choices, *, " ORVEL_OPTIONS
                           ", score_cutoff=None)"),
    ORVEL_DICTIONARY_ENTRY("_cdist_normalized_similarity", dictionary_cdist_normalized_similarity<Lang>, 0,
                           "_cdist_normalized_similarity($self, queries, choices, *, " ORVEL_OPTIONS
                           ", score_cutoff=None)"),
    ORVEL_DICTIONARY_ENTRY("_cdist_normalized_distance", dictionary_cdist_normalized_distance<Lang>, 0,
                           "_cdist_normalized_distance($self, queries, choices, *, " ORVEL_OPTIONS
                           ", score_cutoff=None)"),
};

#undef ORVEL_PARTIAL_OPTIONS
#undef ORVEL_OPTIONS
#undef ORVEL_DICTIONARY_ENTRY

template <class Lang, std::optional<std::string> DictionaryContents<Lang>::*Field, Literal Name>
PyObject* get_name(PyObject* self, void*) {
  const DictionaryContents<Lang>* contents = receiver_contents<Lang>(self, qualified_name<Lang, Name>());
  if (contents == nullptr) return nullptr;
  const std::optional<std::string>& value = contents->*Field;
  if (!value) Py_RETURN_NONE;
  return PyUnicode_FromStringAndSize(value->data(), static_cast<Py_ssize_t>(value->size()));
}

template <class Lang>
PyGetSetDef* name_properties();

template <>
PyGetSetDef* name_properties<JapaneseLanguage>() {
  using L = JapaneseLanguage;
  static PyGetSetDef table[] = {
      {"artifact_name", get_name<L, &DictionaryContents<L>::artifact_name, "artifact_name">, nullptr, nullptr,
       nullptr},
      {"source_name", get_name<L, &DictionaryContents<L>::source_name, "source_name">, nullptr, nullptr, nullptr},
      {"reading_field", get_name<L, &DictionaryContents<L>::third_name, "reading_field">, nullptr, nullptr,
       nullptr},
      {nullptr, nullptr, nullptr, nullptr, nullptr},
  };
  return table;
}

template <>
PyGetSetDef* name_properties<ChineseLanguage>() {
  using L = ChineseLanguage;
  static PyGetSetDef table[] = {
      {"artifact_name", get_name<L, &DictionaryContents<L>::artifact_name, "artifact_name">, nullptr, nullptr,
       nullptr},
      {"source_name", get_name<L, &DictionaryContents<L>::source_name, "source_name">, nullptr, nullptr, nullptr},
      {"pinyin_view", get_name<L, &DictionaryContents<L>::third_name, "pinyin_view">, nullptr, nullptr, nullptr},
      {nullptr, nullptr, nullptr, nullptr, nullptr},
  };
  return table;
}

template <class Lang>
void dealloc(PyObject* self) {
  delete reinterpret_cast<DictionaryObject<Lang>*>(self)->contents;
  Py_TYPE(self)->tp_free(self);
}

// Filled in by ready_type().
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
template <class Lang>
PyTypeObject type_object = {PyVarObject_HEAD_INIT(nullptr, 0)};
#pragma GCC diagnostic pop

// PyType_Ready puts a type's methods before its properties; the metric
// methods come after the properties, so they are added to the ready type.
template <class Lang>
int add_metric_methods(PyTypeObject* type) {
  for (PyMethodDef& def : metric_methods<Lang>) {
    PyObject* descriptor = PyDescr_NewMethod(type, &def);
    if (descriptor == nullptr) return -1;
    const int stored = PyDict_SetItemString(type->tp_dict, def.ml_name, descriptor);
    Py_DECREF(descriptor);
    if (stored < 0) return -1;
  }
  PyType_Modified(type);
  return 0;
}

template <class Lang>
int ready_type() {
  PyTypeObject& t = type_object<Lang>;
  if (t.tp_flags & Py_TPFLAGS_READY) return 0;
  t.tp_name = Lang::kClassName.text;
  t.tp_basicsize = sizeof(DictionaryObject<Lang>);
  t.tp_itemsize = 0;
  t.tp_dealloc = dealloc<Lang>;
  t.tp_flags = Py_TPFLAGS_DEFAULT | Py_TPFLAGS_DISALLOW_INSTANTIATION | Py_TPFLAGS_IMMUTABLETYPE;
  t.tp_methods = loader_methods<Lang>;
  t.tp_getset = name_properties<Lang>();
  if (PyType_Ready(&t) < 0) return -1;
  return add_metric_methods<Lang>(&t);
}

}  // namespace

template <class Lang>
PyTypeObject* dictionary_type() {
  return &type_object<Lang>;
}

template <class Lang>
PyObject* new_dictionary(DictionaryContents<Lang> contents) {
  auto owned = std::make_unique<DictionaryContents<Lang>>(std::move(contents));
  PyTypeObject* type = dictionary_type<Lang>();
  PyObject* self = type->tp_alloc(type, 0);
  if (self == nullptr) return nullptr;
  reinterpret_cast<DictionaryObject<Lang>*>(self)->contents = owned.release();
  return self;
}

template <class Lang>
const DictionaryContents<Lang>* receiver_contents(PyObject* self, const char* qualified_method) {
  if (self == nullptr || !PyObject_TypeCheck(self, dictionary_type<Lang>())) {
    PyErr_Format(PyExc_TypeError, "%s() needs a %s object, not %s", qualified_method, Lang::kClassName.text,
                 self == nullptr ? "nothing" : Py_TYPE(self)->tp_name);
    return nullptr;
  }
  return reinterpret_cast<DictionaryObject<Lang>*>(self)->contents;
}

template PyTypeObject* dictionary_type<JapaneseLanguage>();
template PyTypeObject* dictionary_type<ChineseLanguage>();
template PyObject* new_dictionary<JapaneseLanguage>(DictionaryContents<JapaneseLanguage>);
template PyObject* new_dictionary<ChineseLanguage>(DictionaryContents<ChineseLanguage>);
template const DictionaryContents<JapaneseLanguage>* receiver_contents<JapaneseLanguage>(PyObject*, const char*);
template const DictionaryContents<ChineseLanguage>* receiver_contents<ChineseLanguage>(PyObject*, const char*);

int add_dictionary_classes(PyObject* module) {
  if (ready_type<JapaneseLanguage>() < 0 || ready_type<ChineseLanguage>() < 0) return -1;
  PyObject* ja = reinterpret_cast<PyObject*>(dictionary_type<JapaneseLanguage>());
  if (add_public_attribute(module, "JapaneseDictionary", Py_NewRef(ja)) < 0) return -1;
  PyObject* zh = reinterpret_cast<PyObject*>(dictionary_type<ChineseLanguage>());
  return add_public_attribute(module, "ChineseDictionary", Py_NewRef(zh));
}

}  // namespace orvel::py
