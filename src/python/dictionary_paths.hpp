#pragma once
// File system paths given by Python callers. The operating system reads a
// path only up to its first NUL, so a path holding one would name another
// file; such a path is refused, as Python's own file functions refuse it.
#include <Python.h>

#include <string>

#include "io/bounded_read.hpp"

namespace orvel::py {

// True when `path` holds no NUL; else false with ValueError "embedded null
// byte" set.
inline bool path_without_nul(const std::string& path) {
  if (path.find('\0') == std::string::npos) return true;
  PyErr_SetString(PyExc_ValueError, io::kEmbeddedNulText);
  return false;
}

}  // namespace orvel::py
