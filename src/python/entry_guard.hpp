#pragma once
// C++ exceptions must not cross into the interpreter. Every function and
// method the module registers is entered through guarded_entry<F>, which
// runs F and turns a FatalError into the module's FatalError and an
// allocation failure into MemoryError, with the lock held (as it is in F
// outside its released computation, whose own failures gil.hpp carries).
//
// The handlers allocate nothing of their own: under memory pressure the
// Python error is all that is made.
#include <Python.h>

#include <exception>
#include <new>

#include "common/fatal_error.hpp"
#include "python/errors.hpp"

namespace orvel::py {

using FastCallEntry = PyObject* (*)(PyObject*, PyObject* const*, Py_ssize_t, PyObject*);

template <FastCallEntry F>
PyObject* guarded_entry(PyObject* self, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) noexcept {
  try {
    return F(self, args, nargs, kwnames);
  } catch (const FatalError& e) {
    raise_fatal(e.what());
  } catch (const std::bad_alloc&) {
    PyErr_NoMemory();
  } catch (const std::exception& e) {
    raise_fatal(e.what());
  }
  return nullptr;
}

// The method table entry of a fast-call function with keywords, entered
// through guarded_entry.
#define ORVEL_GUARDED_FASTCALL(function) \
  reinterpret_cast<PyCFunction>(reinterpret_cast<void (*)()>(&::orvel::py::guarded_entry<function>))

}  // namespace orvel::py
