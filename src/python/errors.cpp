#include "python/errors.hpp"

namespace orvel::py {

namespace {

// A static type, like the dictionary classes: the module keeps no state.
// Filled in by fatal_error_type_ready().
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
PyTypeObject fatal_error_type_object = {PyVarObject_HEAD_INIT(nullptr, 0)};
#pragma GCC diagnostic pop

}  // namespace

PyObject* fatal_error_type() { return reinterpret_cast<PyObject*>(&fatal_error_type_object); }

int fatal_error_type_ready() {
  PyTypeObject& t = fatal_error_type_object;
  if (t.tp_flags & Py_TPFLAGS_READY) return 0;
  t.tp_name = "_orvel.FatalError";
  t.tp_basicsize = sizeof(PyBaseExceptionObject);
  t.tp_flags = Py_TPFLAGS_DEFAULT | Py_TPFLAGS_BASETYPE;
  t.tp_doc = "A check that valid input cannot fail did fail inside _orvel.";
  t.tp_base = reinterpret_cast<PyTypeObject*>(PyExc_BaseException);
  return PyType_Ready(&fatal_error_type_object);
}

namespace {

// The exception `type` with the whole of `text` as its message. Messages are
// UTF-8; should one not be, its bad bytes show as replacement characters
// rather than hiding the error.
void set_error_text(PyObject* type, const std::string& text) {
  PyObject* message =
      PyUnicode_DecodeUTF8(text.data(), static_cast<Py_ssize_t>(text.size()), "replace");
  if (message == nullptr) return;  // the decoding's own error (MemoryError) stands
  PyErr_SetObject(type, message);
  Py_DECREF(message);
}

}  // namespace

void raise_error(const ErrorDescription& error) {
  switch (error.kind) {
    case ErrorDescription::Kind::Value:
      set_error_text(PyExc_ValueError, error.text);
      return;
    case ErrorDescription::Kind::Memory:
      PyErr_NoMemory();
      return;
    case ErrorDescription::Kind::Fatal:
      set_error_text(fatal_error_type(), error.text);
      return;
  }
}

void raise_fatal(const char* text) { PyErr_SetString(fatal_error_type(), text); }

}  // namespace orvel::py
