#include "python/results.hpp"

#include <algorithm>
#include <span>

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

// Each row list is created at its final size and filled in place; `cell`
// returns a new reference or nullptr with an exception set.
template <class Cell, class MakeCell>
PyObject* flat_matrix_to_python(const FlatMatrix<Cell>& matrix, MakeCell cell) {
  PyRef rows(PyList_New(static_cast<Py_ssize_t>(matrix.rows())));
  if (!rows) return nullptr;
  for (std::size_t i = 0; i < matrix.rows(); ++i) {
    PyRef row(PyList_New(static_cast<Py_ssize_t>(matrix.cols())));
    if (!row) return nullptr;
    const std::span<const Cell> cells = matrix.row(i);
    PyObject** items = reinterpret_cast<PyListObject*>(row.get())->ob_item;
    for (std::size_t j = 0; j < cells.size(); ++j) {
      PyObject* value = cell(cells[j]);
      if (value == nullptr) return nullptr;
      items[j] = value;
    }
    PyList_SET_ITEM(rows.get(), static_cast<Py_ssize_t>(i), row.release());
  }
  return rows.release();
}

// Distances are mostly small: when every cell is below kSmall, one int
// object per value serves all the cells that hold it.
class SmallCounts {
 public:
  static constexpr std::uint64_t kSmall = 4096;

  SmallCounts() = default;
  SmallCounts(const SmallCounts&) = delete;
  SmallCounts& operator=(const SmallCounts&) = delete;
  ~SmallCounts() {
    for (std::size_t v = 0; v < count_; ++v) Py_XDECREF(objects_[v]);
  }

  // Objects for 0..largest; false with an exception set.
  bool make(std::uint64_t largest) {
    for (count_ = 0; count_ <= largest; ++count_) {
      objects_[count_] = PyLong_FromUnsignedLongLong(count_);
      if (objects_[count_] == nullptr) return false;
    }
    return true;
  }
  PyObject* get(std::uint64_t value) const {
    Py_INCREF(objects_[value]);
    return objects_[value];
  }

 private:
  std::size_t count_ = 0;
  PyObject* objects_[kSmall] = {};
};

}  // namespace

PyObject* to_python(const FlatMatrix<std::uint64_t>& matrix) {
  std::uint64_t largest = 0;
  for (std::size_t i = 0; i < matrix.rows(); ++i) {
    for (const std::uint64_t v : matrix.row(i)) largest = std::max(largest, v);
  }
  if (largest >= SmallCounts::kSmall) return flat_matrix_to_python(matrix, [](std::uint64_t v) { return to_python(v); });
  SmallCounts small;
  if (!small.make(largest)) return nullptr;
  return flat_matrix_to_python(matrix, [&small](std::uint64_t v) { return small.get(v); });
}

PyObject* to_python(const FlatMatrix<double>& matrix) {
  return flat_matrix_to_python(matrix, [](double v) { return to_python(v); });
}
PyObject* to_python(const std::vector<std::vector<std::uint64_t>>& matrix) { return matrix_to_python(matrix); }
PyObject* to_python(const std::vector<std::vector<double>>& matrix) { return matrix_to_python(matrix); }

}  // namespace orvel::py
