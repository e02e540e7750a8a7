#include "python/arguments.hpp"

#include <cstring>

#include "python/py_ref.hpp"

namespace orvel::py {

namespace {

std::size_t positional_count(const Signature& s) {
  std::size_t n = 0;
  while (n < s.params.size() && s.params[n].form != Param::KeywordOnly) ++n;
  return n;
}

const char* type_name(PyObject* o) { return Py_TYPE(o)->tp_name; }

// Whether a keyword (a str) is the parameter name `name`; ASCII keywords,
// the usual ones, are compared by their bytes.
bool key_is(PyObject* key, const char* name) {
  if (PyUnicode_Check(key) && PyUnicode_IS_ASCII(key)) {
    const auto n = static_cast<std::size_t>(PyUnicode_GET_LENGTH(key));
    return std::strlen(name) == n && std::memcmp(PyUnicode_1BYTE_DATA(key), name, n) == 0;
  }
  return PyUnicode_CompareWithASCIIString(key, name) == 0;
}

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
  if (PyLong_CheckExact(o)) {
    const unsigned long long v = PyLong_AsUnsignedLongLong(o);
    if (v != static_cast<unsigned long long>(-1) || !PyErr_Occurred()) {
      out = v;
      return true;
    }
    if (PyErr_ExceptionMatches(PyExc_OverflowError)) {
      PyErr_Clear();
      PyErr_Format(PyExc_OverflowError, "%s() argument '%s' must be an int from 0 to 18446744073709551615",
                   s.function_name, p.name);
    }
    return false;
  }
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

namespace {

template <class Char>
std::size_t utf8_size(const Char* data, std::size_t n, bool& surrogate) {
  std::size_t bytes = n;
  for (std::size_t i = 0; i < n; ++i) {
    const std::uint32_t c = data[i];
    if (c < 0x80) continue;
    bytes += c < 0x800 ? 1 : c < 0x10000 ? 2 : 3;
    surrogate |= c >= 0xD800 && c <= 0xDFFF;
  }
  return bytes;
}

template <class Char>
void encode_utf8(const Char* data, std::size_t n, char* out) {
  auto* p = reinterpret_cast<unsigned char*>(out);
  for (std::size_t i = 0; i < n; ++i) {
    const std::uint32_t c = data[i];
    if (c < 0x80) {
      *p++ = static_cast<unsigned char>(c);
    } else if (c < 0x800) {
      *p++ = static_cast<unsigned char>(0xC0 | (c >> 6));
      *p++ = static_cast<unsigned char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      *p++ = static_cast<unsigned char>(0xE0 | (c >> 12));
      *p++ = static_cast<unsigned char>(0x80 | ((c >> 6) & 0x3F));
      *p++ = static_cast<unsigned char>(0x80 | (c & 0x3F));
    } else {
      *p++ = static_cast<unsigned char>(0xF0 | (c >> 18));
      *p++ = static_cast<unsigned char>(0x80 | ((c >> 12) & 0x3F));
      *p++ = static_cast<unsigned char>(0x80 | ((c >> 6) & 0x3F));
      *p++ = static_cast<unsigned char>(0x80 | (c & 0x3F));
    }
  }
}

// Encodes a str from its own storage (1, 2 or 4 bytes per character) into
// the room that reserve(size) gives; a lone surrogate, which UTF-8 cannot
// hold, gets the interpreter's own UnicodeEncodeError.
template <class Reserve>
bool encode_str(PyObject* str, Reserve reserve) {
#if PY_VERSION_HEX < 0x030C0000
  if (PyUnicode_READY(str) != 0) return false;  // always ready from 3.12 on
#endif
  const auto n = static_cast<std::size_t>(PyUnicode_GET_LENGTH(str));
  const void* data = PyUnicode_DATA(str);
  if (PyUnicode_IS_ASCII(str)) {
    if (n > 0) std::memcpy(reserve(n), data, n);
    return true;
  }
  auto encode = [&](const auto* chars) {
    bool surrogate = false;
    const std::size_t bytes = utf8_size(chars, n, surrogate);
    if (surrogate) {
      PyRef refused(PyUnicode_AsUTF8String(str));  // raises UnicodeEncodeError
      if (!refused) return false;
      const std::size_t size = static_cast<std::size_t>(PyBytes_GET_SIZE(refused.get()));
      if (size > 0) std::memcpy(reserve(size), PyBytes_AS_STRING(refused.get()), size);
      return true;
    }
    encode_utf8(chars, n, reserve(bytes));
    return true;
  };
  switch (PyUnicode_KIND(str)) {
    case PyUnicode_1BYTE_KIND: return encode(static_cast<const Py_UCS1*>(data));
    case PyUnicode_2BYTE_KIND: return encode(static_cast<const Py_UCS2*>(data));
    default: return encode(static_cast<const Py_UCS4*>(data));
  }
}

}  // namespace

bool copy_utf8(PyObject* str, std::string& out) {
  out.clear();
  return encode_str(str, [&out](std::size_t size) {
    out.resize(size);
    return out.data();
  });
}

bool copy_utf8(PyObject* str, OwnedText& out) {
  out.reserve(0);
  return encode_str(str, [&out](std::size_t size) { return out.reserve(size); });
}

namespace {

bool bind(const Signature& s, std::span<ArgumentSlot> slots, PyObject* const* args, Py_ssize_t nargs,
          PyObject* kwnames) {
  const std::size_t total = s.params.size();
  const std::size_t positional = positional_count(s);
  const auto given = static_cast<std::size_t>(PyVectorcall_NARGS(nargs));
  if (given > positional) {
    PyErr_Format(PyExc_TypeError, "%s() takes %zu positional argument%s but %zu %s given", s.function_name,
                 positional, positional == 1 ? "" : "s", given, given == 1 ? "was" : "were");
    return false;
  }
  for (std::size_t i = 0; i < given; ++i) slots[i].object = args[i];

  const Py_ssize_t nkw = kwnames ? PyTuple_GET_SIZE(kwnames) : 0;
  for (Py_ssize_t k = 0; k < nkw; ++k) {
    PyObject* key = PyTuple_GET_ITEM(kwnames, k);
    std::size_t i = 0;
    while (i < total && !key_is(key, s.params[i].name)) ++i;
    if (i == total) {
      PyErr_Format(PyExc_TypeError, "%s() got an unexpected keyword argument '%U'", s.function_name, key);
      return false;
    }
    if (slots[i].object != nullptr) {
      PyErr_Format(PyExc_TypeError, "%s() got multiple values for argument '%s'", s.function_name,
                   s.params[i].name);
      return false;
    }
    slots[i].object = args[given + static_cast<std::size_t>(k)];
  }

  for (std::size_t i = 0; i < total; ++i) {
    const Param& p = s.params[i];
    switch (p.form) {
      case Param::Required:
        if (slots[i].object == nullptr) {
          PyErr_Format(PyExc_TypeError, "%s() missing required argument '%s'", s.function_name, p.name);
          return false;
        }
        break;
      case Param::Optional:
      case Param::KeywordOnly:
        if (slots[i].object == Py_None) slots[i].object = nullptr;
        break;
      case Param::OptionalNotNone:
        break;
    }
  }
  return true;
}

bool convert(const Signature& s, std::size_t i, ArgumentSlot& slot) {
  const Param& p = s.params[i];
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

}  // namespace

bool parse_arguments(const Signature& signature, std::span<ArgumentSlot> slots, PyObject* const* args,
                     Py_ssize_t nargs, PyObject* kwnames) {
  // The common call: exactly the required positional arguments, no keyword.
  const auto given = static_cast<std::size_t>(PyVectorcall_NARGS(nargs));
  const bool plain = kwnames == nullptr && given <= signature.params.size() &&
                     (given == signature.params.size() || signature.params[given].form != Param::Required) &&
                     (given == 0 || signature.params[given - 1].form == Param::Required);
  if (plain) {
    for (std::size_t i = 0; i < given; ++i) slots[i].object = args[i];
  } else if (!bind(signature, slots, args, nargs, kwnames)) {
    return false;
  }
  for (std::size_t i = 0; i < signature.params.size(); ++i) {
    if (!convert(signature, i, slots[i])) return false;
  }
  return true;
}

}  // namespace orvel::py
