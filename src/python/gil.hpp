#pragma once
// Running a computation with the interpreter lock released.
//
//   PyObject* result = run_released([&] { return text_distance(left, right, cutoff); });
//
// The work touches no Python object: it reads only the call's own copies
// (and immutable dictionary data). It returns a plain value T, or a
// std::expected<T, E> whose error has a describe() overload (any error with
// message() becomes a ValueError). The lock is taken again also when the
// work throws: a FatalError becomes the module's FatalError, std::bad_alloc
// a MemoryError. run_released() then converts the value with to_python()
// (python/results.hpp) or raises the error.
#include <Python.h>

#include <expected>
#include <new>
#include <type_traits>
#include <utility>

#include "common/fatal_error.hpp"
#include "python/errors.hpp"
#include "python/results.hpp"

namespace orvel::py {

template <class T>
using Outcome = std::expected<T, ErrorDescription>;

namespace detail {

template <class R>
struct OutcomeOf {
  using value_type = R;
  static Outcome<R> wrap(R&& r) { return Outcome<R>(std::move(r)); }
};
template <class T, class E>
struct OutcomeOf<std::expected<T, E>> {
  using value_type = T;
  static Outcome<T> wrap(std::expected<T, E>&& r) {
    if (r) return Outcome<T>(std::move(*r));
    return std::unexpected(describe(std::move(r.error())));
  }
};

}  // namespace detail

// Runs `work` without the lock and returns its outcome, with the lock held
// again.
template <class Work>
auto without_lock(Work&& work) {
  using R = std::invoke_result_t<Work&>;
  using Of = detail::OutcomeOf<R>;
  using T = typename Of::value_type;
  Outcome<T> outcome = std::unexpected(ErrorDescription{});
  PyThreadState* saved = PyEval_SaveThread();
  try {
    outcome = Of::wrap(work());
  } catch (const FatalError& e) {
    outcome = std::unexpected(ErrorDescription{ErrorDescription::Kind::Fatal, e.what()});
  } catch (const std::bad_alloc&) {
    outcome = std::unexpected(ErrorDescription{ErrorDescription::Kind::Memory, {}});
  } catch (const std::exception& e) {
    outcome = std::unexpected(ErrorDescription{ErrorDescription::Kind::Fatal, e.what()});
  }
  PyEval_RestoreThread(saved);
  return outcome;
}

// The Python value of an outcome, or nullptr with its exception set.
template <class T>
PyObject* to_python_or_raise(const Outcome<T>& outcome) {
  if (!outcome) {
    raise_error(outcome.error());
    return nullptr;
  }
  return to_python(*outcome);
}

template <class Work>
PyObject* run_released(Work&& work) {
  return to_python_or_raise(without_lock(std::forward<Work>(work)));
}

}  // namespace orvel::py
