#include "python/cutoff.hpp"

#include "python/py_ref.hpp"

namespace orvel::py {

bool validate_distance_score_cutoff(PyObject* score_cutoff, DistanceCutoff& out) {
  out.reset();
  if (score_cutoff == nullptr || score_cutoff == Py_None) return true;
  static constexpr const char* kNotAnInt = "score_cutoff must be an int for distance metrics";
  if (Py_IS_TYPE(score_cutoff, &PyBool_Type)) {
    PyErr_SetString(PyExc_TypeError, kNotAnInt);
    return false;
  }
  long long value = -1;
  {
    PyRef index(PyNumber_Index(score_cutoff));
    if (index) value = PyLong_AsLongLong(index.get());
    if (!index || (value == -1 && PyErr_Occurred())) {
      // Whatever the conversion said, the caller learns one thing.
      PyErr_Clear();
      PyErr_SetString(PyExc_TypeError, kNotAnInt);
      return false;
    }
  }
  if (value < 0) {
    PyErr_SetString(PyExc_ValueError, "score_cutoff must be >= 0 for distance metrics");
    return false;
  }
  out = static_cast<std::uint64_t>(value);
  return true;
}

}  // namespace orvel::py
