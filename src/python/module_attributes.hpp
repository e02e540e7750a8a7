#pragma once
// Adding public attributes to the module while keeping its __all__.
#include <Python.h>

namespace orvel::py {

// Stores `value` (a new reference, consumed even on failure) under `name`
// and appends `name` to __all__, creating the list on first use. Returns 0,
// or -1 with the Python exception set.
int add_public_attribute(PyObject* module, const char* name, PyObject* value);

}  // namespace orvel::py
