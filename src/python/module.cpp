// The _orvel extension module: multi-phase definition, execution step and
// the table of free functions.
#include <Python.h>

#include "python/dictionary_classes.hpp"
#include "python/entry_guard.hpp"
#include "python/errors.hpp"
#include "python/free_functions.hpp"
#include "python/module_attributes.hpp"
#include "python/py_ref.hpp"

namespace orvel::py {

namespace {

constexpr const char* kVersion = ORVEL_VERSION;

#define ORVEL_METHOD(name, function, signature) \
  PyMethodDef { name, ORVEL_GUARDED_FASTCALL(function), \
                METH_FASTCALL | METH_KEYWORDS, signature "\n--\n\n" }

// In the order the module adds them (and lists them in __all__). The doc
// strings hold only the text signature.
PyMethodDef free_functions[] = {
    ORVEL_METHOD("distance", py_distance, "distance(left, right, *, score_cutoff=None)"),
    ORVEL_METHOD("damerau_distance", py_damerau_distance, "damerau_distance(left, right, *, score_cutoff=None)"),
    ORVEL_METHOD("combined_distance", py_combined_distance, "combined_distance(left, right, *, score_cutoff=None)"),
    ORVEL_METHOD("normalized_distance", py_normalized_distance,
                 "normalized_distance(left, right, *, score_cutoff=None)"),
    ORVEL_METHOD("normalized_similarity", py_normalized_similarity,
                 "normalized_similarity(left, right, *, score_cutoff=None)"),
    ORVEL_METHOD("ratio", py_ratio, "ratio(left, right, *, score_cutoff=None)"),
    ORVEL_METHOD("_partial_distance_alignment", py_partial_distance_alignment,
                 "_partial_distance_alignment(query, text, max_span_chars, *, score_cutoff=None)"),
    ORVEL_METHOD("_partial_ratio_alignment", py_partial_ratio_alignment,
                 "_partial_ratio_alignment(query, text, max_span_chars, *, score_cutoff=None)"),
    ORVEL_METHOD("_cdist_distance", py_cdist_distance, "_cdist_distance(queries, choices, *, score_cutoff=None)"),
    ORVEL_METHOD("_cdist_damerau_distance", py_cdist_damerau_distance,
                 "_cdist_damerau_distance(queries, choices, *, score_cutoff=None)"),
    ORVEL_METHOD("_cdist_combined_distance", py_cdist_combined_distance,
                 "_cdist_combined_distance(queries, choices, *, score_cutoff=None)"),
    ORVEL_METHOD("_cdist_normalized_distance", py_cdist_normalized_distance,
                 "_cdist_normalized_distance(queries, choices, *, score_cutoff=None)"),
    ORVEL_METHOD("_cdist_normalized_similarity", py_cdist_normalized_similarity,
                 "_cdist_normalized_similarity(queries, choices, *, score_cutoff=None)"),
    ORVEL_METHOD("distance_paths", py_distance_paths, "distance_paths(left_paths, right_paths, *, score_cutoff=None)"),
    ORVEL_METHOD("damerau_distance_paths", py_damerau_distance_paths,
                 "damerau_distance_paths(left_paths, right_paths, *, score_cutoff=None)"),
    ORVEL_METHOD("normalized_distance_paths", py_normalized_distance_paths,
                 "normalized_distance_paths(left_paths, right_paths, *, score_cutoff=None)"),
    ORVEL_METHOD("normalized_similarity_paths", py_normalized_similarity_paths,
                 "normalized_similarity_paths(left_paths, right_paths, *, score_cutoff=None)"),
    ORVEL_METHOD("ratio_paths", py_ratio_paths, "ratio_paths(left_paths, right_paths, *, score_cutoff=None)"),
    ORVEL_METHOD("within_distance_paths", py_within_distance_paths,
                 "within_distance_paths(left_paths, right_paths, threshold)"),
    ORVEL_METHOD("within_damerau_distance_paths", py_within_damerau_distance_paths,
                 "within_damerau_distance_paths(left_paths, right_paths, threshold)"),
};

#undef ORVEL_METHOD

// The module body: every public attribute in order, stopping at the first
// failure.
int module_body(PyObject* module) {
  if (add_public_attribute(module, "__version__", PyUnicode_FromString(kVersion)) < 0) return -1;
  PyRef module_name(PyModule_GetNameObject(module));
  if (!module_name) return -1;
  for (PyMethodDef& def : free_functions) {
    PyObject* function = PyCMethod_New(&def, module, module_name.get(), nullptr);
    if (add_public_attribute(module, def.ml_name, function) < 0) return -1;
  }
  // The dictionary classes follow the free functions.
  return add_dictionary_classes(module);
}

int module_exec(PyObject* module) {
  if (!PyModule_Check(module)) {
    PyErr_SetString(PyExc_TypeError, "_orvel can only be executed into a module object");
    return -1;
  }
  if (fatal_error_type_ready() < 0) return -1;
  return module_body(module);
}

PyModuleDef_Slot module_slots[] = {
    {Py_mod_exec, reinterpret_cast<void*>(module_exec)},
#ifdef Py_mod_gil
    {Py_mod_gil, Py_MOD_GIL_NOT_USED},
#endif
    {0, nullptr},
};

PyModuleDef module_definition = {
    PyModuleDef_HEAD_INIT,
    "_orvel",
    "",
    0,
    nullptr,
    module_slots,
    nullptr,
    nullptr,
    nullptr,
};

}  // namespace

}  // namespace orvel::py

PyMODINIT_FUNC PyInit__orvel() { return PyModuleDef_Init(&orvel::py::module_definition); }
