#include "python/results.hpp"

#include "python/py_ref.hpp"

namespace orvel::py {

PyObject* to_python(std::uint64_t count) { return PyLong_FromUnsignedLongLong(count); }
PyObject* to_python(double value) { return PyFloat_FromDouble(value); }
PyObject* to_python(bool value) { return PyBool_FromLong(value ? 1 : 0); }

namespace {

template <class Cell>
PyObject* matrix_to_python(const std::vector<std::vector<Cell>>& matrix) {
  PyRef rows(PyList_New(static_cast<Py_ssize_t>(matrix.size())));
  if (!rows) return nullptr;
  for (std::size_t i = 0; i < matrix.size(); ++i) {
    PyRef row(PyList_New(static_cast<Py_ssize_t>(matrix[i].size())));
    if (!row) return nullptr;
    for (std::size_t j = 0; j < matrix[i].size(); ++j) {
      PyObject* cell = to_python(matrix[i][j]);
      if (cell == nullptr) return nullptr;
      PyList_SET_ITEM(row.get(), static_cast<Py_ssize_t>(j), cell);
    }
    PyList_SET_ITEM(rows.get(), static_cast<Py_ssize_t>(i), row.release());
  }
  return rows.release();
}

// Each row list is created at its final size and filled in place.
template <class Cell>
PyObject* flat_matrix_to_python(const FlatMatrix<Cell>& matrix) {
  PyRef rows(PyList_New(static_cast<Py_ssize_t>(matrix.rows)));
  if (!rows) return nullptr;
  for (std::size_t i = 0; i < matrix.rows; ++i) {
    PyRef row(PyList_New(static_cast<Py_ssize_t>(matrix.cols)));
    if (!row) return nullptr;
    const Cell* cells = matrix.cells.data() + i * matrix.cols;
    for (std::size_t j = 0; j < matrix.cols; ++j) {
      PyObject* cell = to_python(cells[j]);
      if (cell == nullptr) return nullptr;
      PyList_SET_ITEM(row.get(), static_cast<Py_ssize_t>(j), cell);
    }
    PyList_SET_ITEM(rows.get(), static_cast<Py_ssize_t>(i), row.release());
  }
  return rows.release();
}

}  // namespace

PyObject* to_python(const FlatMatrix<std::uint64_t>& matrix) { return flat_matrix_to_python(matrix); }
PyObject* to_python(const FlatMatrix<double>& matrix) { return flat_matrix_to_python(matrix); }
PyObject* to_python(const std::vector<std::vector<std::uint64_t>>& matrix) { return matrix_to_python(matrix); }
PyObject* to_python(const std::vector<std::vector<double>>& matrix) { return matrix_to_python(matrix); }

}  // namespace orvel::py
