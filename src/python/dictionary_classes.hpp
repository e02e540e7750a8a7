#pragma once
// The classes JapaneseDictionary and ChineseDictionary of the module.
#include <Python.h>

namespace orvel::py {

// Readies both classes and adds JapaneseDictionary, then ChineseDictionary,
// to the module and its __all__. Returns 0, or -1 with the Python error set.
int add_dictionary_classes(PyObject* module);

}  // namespace orvel::py
