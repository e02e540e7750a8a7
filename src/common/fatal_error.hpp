#pragma once
// A fatal internal error: a check that valid input cannot fail. It ends the
// current call; the Python layer turns it into an exception that derives
// from BaseException rather than Exception.
#include <stdexcept>
#include <string>
#include <string_view>

namespace orvel {

class FatalError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Throws FatalError carrying "text: debug form".
[[noreturn]] inline void fail_fatal(std::string_view text, std::string_view debug_form) {
  std::string what(text);
  what += ": ";
  what += debug_form;
  throw FatalError(what);
}

// Unwraps a result whose error valid input cannot produce. The error type
// must offer debug() (its developer form).
template <class Expected>
decltype(auto) expect_valid(Expected&& result, std::string_view text) {
  if (!result) fail_fatal(text, result.error().debug());
  return *std::forward<Expected>(result);
}

}  // namespace orvel
