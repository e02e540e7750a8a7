#pragma once
// Errors of a computation that ran without the interpreter lock travel out
// of it as descriptions (kind and text); the Python exception is created
// only once the lock is held again (raise_error).
//
// Every error of the system's own is a ValueError with its message(); a
// FatalError (a check that valid input cannot fail) becomes the module's
// FatalError exception, which derives from BaseException so that ordinary
// `except Exception` handlers do not swallow it.
#include <Python.h>

#include <concepts>
#include <string>

#include "core/distance_error.hpp"

namespace orvel::py {

struct ErrorDescription {
  enum class Kind : std::uint8_t { Value, Memory, Fatal };

  Kind kind = Kind::Value;
  std::string text;
};

inline ErrorDescription value_error(std::string text) { return {ErrorDescription::Kind::Value, std::move(text)}; }

// Any error type with a display text becomes a ValueError carrying it.
template <class E>
  requires requires(const E& e) {
    { e.message() } -> std::convertible_to<std::string>;
  }
ErrorDescription describe(const E& error) {
  return value_error(error.message());
}
inline ErrorDescription describe(ErrorDescription error) { return error; }

// The ValueError of a lattice pair too large for the distance table.
inline ErrorDescription distance_error(const DistanceError& error) { return value_error(error.message()); }

// Sets the Python exception of `error`, carrying its whole text (NUL bytes
// included); the lock must be held.
void raise_error(const ErrorDescription& error);

// Sets the module's FatalError with `text`; allocates nothing but the Python
// error, so it serves the exception handlers of the entry guard.
void raise_fatal(const char* text);

// The exception class of fatal internal errors (a subclass of
// BaseException, not of Exception). Ready once fatal_error_type_ready()
// succeeded in the module's execution step.
PyObject* fatal_error_type();
int fatal_error_type_ready();

}  // namespace orvel::py
