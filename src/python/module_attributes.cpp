#include "python/module_attributes.hpp"

#include "python/py_ref.hpp"

namespace orvel::py {

namespace {

// The module's __all__ list, created empty when the module has none yet.
PyRef all_list(PyObject* module) {
  PyObject* dict = PyModule_GetDict(module);  // borrowed
  if (dict == nullptr) return {};
  PyObject* existing = PyDict_GetItemString(dict, "__all__");  // borrowed
  if (existing != nullptr) return PyRef::borrow(existing);
  PyRef created(PyList_New(0));
  if (!created || PyModule_AddObjectRef(module, "__all__", created.get()) < 0) return {};
  return created;
}

}  // namespace

int add_public_attribute(PyObject* module, const char* name, PyObject* value) {
  PyRef owned(value);
  if (!owned || PyModule_AddObjectRef(module, name, owned.get()) < 0) return -1;
  PyRef all = all_list(module);
  if (!all) return -1;
  PyRef text(PyUnicode_FromString(name));
  if (!text) return -1;
  return PyList_Append(all.get(), text.get());
}

}  // namespace orvel::py
