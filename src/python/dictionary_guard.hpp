#pragma once
// C++ exceptions must not cross into the interpreter. The entry points of the
// dictionary classes run their bodies through guarded(), which turns a
// FatalError into the module's FatalError and an allocation failure into
// MemoryError, with the lock held (as it is in those bodies).
#include <Python.h>

#include <exception>
#include <new>

#include "common/fatal_error.hpp"
#include "python/errors.hpp"

namespace orvel::py {

template <class Body>
PyObject* guarded(Body&& body) noexcept {
  try {
    return body();
  } catch (const FatalError& e) {
    raise_error({ErrorDescription::Kind::Fatal, e.what()});
  } catch (const std::bad_alloc&) {
    PyErr_NoMemory();
  } catch (const std::exception& e) {
    raise_error({ErrorDescription::Kind::Fatal, e.what()});
  }
  return nullptr;
}

}  // namespace orvel::py
