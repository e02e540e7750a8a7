#pragma once
// Python values of computation results; each returns a new reference, or
// nullptr with an exception set.
#include <Python.h>

#include <cstdint>
#include <vector>

#include "metrics/flat_matrix.hpp"

namespace orvel::py {

PyObject* to_python(std::uint64_t count);
PyObject* to_python(double value);
PyObject* to_python(bool value);
// A matrix: one inner list per query.
PyObject* to_python(const std::vector<std::vector<std::uint64_t>>& matrix);
PyObject* to_python(const std::vector<std::vector<double>>& matrix);
PyObject* to_python(const FlatMatrix<std::uint64_t>& matrix);
PyObject* to_python(const FlatMatrix<double>& matrix);

}  // namespace orvel::py
