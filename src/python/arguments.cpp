#include "python/arguments.hpp"

#include "python/py_ref.hpp"

namespace orvel::py {

namespace {

std::size_t positional_count(const Signature& s) {
  std::size_t n = 0;
  while (n < s.params.size() && s.params[n].form != Param::KeywordOnly) ++n;
  return n;
}

const char* type_name(PyObject* o) { return Py_TYPE(o)->tp_name; }

bool convert_text_list(const Signature& s, const Param& p, PyObject* o, std::vector<std::string>& out) {
  if (PyUnicode_Check(o) || !PySequence_Check(o)) {
    PyErr_Format(PyExc_TypeError, "%s() argument '%s' must be a sequence of str, not %s", s.function_name, p.name,
                 type_name(o));
    return false;
  }
  // A tuple snapshot: the items stay alive and in place while they are read.
  PyRef items(PySequence_Tuple(o));
  if (!items) return false;
  const Py_ssize_t n = PyTuple_GET_SIZE(items.get());
  out.clear();
  out.reserve(static_cast<std::size_t>(n));
  for (Py_ssize_t k = 0; k < n; ++k) {
    PyObject* item = PyTuple_GET_ITEM(items.get(), k);
    if (!PyUnicode_Check(item)) {
      PyErr_Format(PyExc_TypeError, "%s() argument '%s' item %zd must be str, not %s", s.function_name, p.name, k,
                   type_name(item));
      return false;
    }
    if (!copy_utf8(item, out.emplace_back())) return false;
  }
  return true;
}

bool convert_count(const Signature& s, const Param& p, PyObject* o, std::uint64_t& out) {
  PyRef index(PyNumber_Index(o));
  if (!index) {
    if (PyErr_ExceptionMatches(PyExc_TypeError)) {
      PyErr_Clear();
      PyErr_Format(PyExc_TypeError, "%s() argument '%s' must be int, not %s", s.function_name, p.name,
                   type_name(o));
    }
    return false;
  }
  const unsigned long long v = PyLong_AsUnsignedLongLong(index.get());
  if (v == static_cast<unsigned long long>(-1) && PyErr_Occurred()) {
    if (PyErr_ExceptionMatches(PyExc_OverflowError)) {
      PyErr_Clear();
      PyErr_Format(PyExc_OverflowError, "%s() argument '%s' must be an int from 0 to 18446744073709551615",
                   s.function_name, p.name);
    }
    return false;
  }
  out = v;
  return true;
}

bool convert_float(const Signature& s, const Param& p, PyObject* o, double& out) {
  const double v = PyFloat_AsDouble(o);
  if (v == -1.0 && PyErr_Occurred()) {
    if (PyErr_ExceptionMatches(PyExc_TypeError)) {
      PyErr_Clear();
      PyErr_Format(PyExc_TypeError, "%s() argument '%s' must be float, not %s", s.function_name, p.name,
                   type_name(o));
    } else if (PyErr_ExceptionMatches(PyExc_OverflowError)) {
      PyErr_Clear();
      PyErr_Format(PyExc_OverflowError, "%s() argument '%s' is too large to convert to float", s.function_name,
                   p.name);
    }
    return false;
  }
  out = v;
  return true;
}

}  // namespace

bool copy_utf8(PyObject* str, std::string& out) {
  Py_ssize_t size = 0;
  const char* data = PyUnicode_AsUTF8AndSize(str, &size);
  if (data == nullptr) return false;
  out.assign(data, static_cast<std::size_t>(size));
  return true;
}

bool Arguments::parse(const Signature& signature, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
  if (signature.params.size() > kMaxParams) {
    PyErr_Format(PyExc_SystemError, "%s() has more parameters than Arguments can hold", signature.function_name);
    return false;
  }
  if (!bind(signature, args, nargs, kwnames)) return false;
  for (std::size_t i = 0; i < signature.params.size(); ++i) {
    if (!convert(signature, i)) return false;
  }
  return true;
}

bool Arguments::bind(const Signature& s, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
  const std::size_t total = s.params.size();
  const std::size_t positional = positional_count(s);
  const auto given = static_cast<std::size_t>(PyVectorcall_NARGS(nargs));
  if (given > positional) {
    PyErr_Format(PyExc_TypeError, "%s() takes %zu positional argument%s but %zu %s given", s.function_name,
                 positional, positional == 1 ? "" : "s", given, given == 1 ? "was" : "were");
    return false;
  }
  for (std::size_t i = 0; i < given; ++i) slots_[i].object = args[i];

  const Py_ssize_t nkw = kwnames ? PyTuple_GET_SIZE(kwnames) : 0;
  for (Py_ssize_t k = 0; k < nkw; ++k) {
    PyObject* key = PyTuple_GET_ITEM(kwnames, k);
    std::size_t i = 0;
    while (i < total && PyUnicode_CompareWithASCIIString(key, s.params[i].name) != 0) ++i;
    if (i == total) {
      PyErr_Format(PyExc_TypeError, "%s() got an unexpected keyword argument '%U'", s.function_name, key);
      return false;
    }
    if (slots_[i].object != nullptr) {
      PyErr_Format(PyExc_TypeError, "%s() got multiple values for argument '%s'", s.function_name,
                   s.params[i].name);
      return false;
    }
    slots_[i].object = args[given + static_cast<std::size_t>(k)];
  }

  for (std::size_t i = 0; i < total; ++i) {
    const Param& p = s.params[i];
    switch (p.form) {
      case Param::Required:
        if (slots_[i].object == nullptr) {
          PyErr_Format(PyExc_TypeError, "%s() missing required argument '%s'", s.function_name, p.name);
          return false;
        }
        break;
      case Param::Optional:
      case Param::KeywordOnly:
        if (slots_[i].object == Py_None) slots_[i].object = nullptr;
        break;
      case Param::OptionalNotNone:
        break;
    }
  }
  return true;
}

bool Arguments::convert(const Signature& s, std::size_t i) {
  const Param& p = s.params[i];
  Slot& slot = slots_[i];
  if (slot.object == nullptr) return true;
  switch (p.kind) {
    case ArgKind::Text:
      if (PyUnicode_Check(slot.object)) return true;
      PyErr_Format(PyExc_TypeError, "%s() argument '%s' must be str, not %s", s.function_name, p.name,
                   type_name(slot.object));
      return false;
    case ArgKind::TextList:
      return convert_text_list(s, p, slot.object, slot.texts);
    case ArgKind::Count:
      return convert_count(s, p, slot.object, slot.count);
    case ArgKind::Float:
      return convert_float(s, p, slot.object, slot.real);
    case ArgKind::Flag:
      if (PyBool_Check(slot.object)) return true;
      PyErr_Format(PyExc_TypeError, "%s() argument '%s' must be bool, not %s", s.function_name, p.name,
                   type_name(slot.object));
      return false;
    case ArgKind::Object:
      return true;
  }
  return true;
}

bool Arguments::copy_text(std::size_t i, std::string& out) const { return copy_utf8(slots_[i].object, out); }

}  // namespace orvel::py
