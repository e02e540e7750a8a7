#pragma once
// A move-only owner of one strong Python reference.
#include <Python.h>

#include <utility>

namespace orvel::py {

class PyRef {
 public:
  PyRef() = default;
  // Takes over a new reference (nullptr allowed).
  explicit PyRef(PyObject* owned) : object_(owned) {}
  static PyRef borrow(PyObject* borrowed) {
    Py_XINCREF(borrowed);
    return PyRef(borrowed);
  }
  PyRef(PyRef&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
  PyRef& operator=(PyRef&& other) noexcept {
    if (this != &other) {
      Py_XDECREF(object_);
      object_ = std::exchange(other.object_, nullptr);
    }
    return *this;
  }
  PyRef(const PyRef&) = delete;
  PyRef& operator=(const PyRef&) = delete;
  ~PyRef() { Py_XDECREF(object_); }

  PyObject* get() const { return object_; }
  explicit operator bool() const { return object_ != nullptr; }
  // Hands the reference to the caller.
  PyObject* release() { return std::exchange(object_, nullptr); }

 private:
  PyObject* object_ = nullptr;
};

}  // namespace orvel::py
