#include "zh/full_lowercase.hpp"

#include <unicode/ucasemap.h>
#include <unicode/utypes.h>

#include <algorithm>
#include <climits>

#include "common/fatal_error.hpp"

namespace orvel::zh {

namespace {

// The root-locale case map; ICU allows concurrent use of one const map.
const UCaseMap* root_case_map() {
  static const UCaseMap* map = [] {
    UErrorCode status = U_ZERO_ERROR;
    UCaseMap* m = ucasemap_open("", 0, &status);
    if (U_FAILURE(status)) fail_fatal("ICU root case map", u_errorName(status));
    return m;
  }();
  return map;
}

}  // namespace

std::string full_lowercase(std::string_view text) {
  if (std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
    std::string out(text);
    for (char& c : out) {
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return out;
  }
  if (text.size() > INT32_MAX / 4) fail_fatal("text too long for lowercase mapping", std::to_string(text.size()));
  // Lowercasing grows a UTF-8 text by at most a factor of three; retry once
  // with the exact size ICU reports if that guess is ever wrong.
  std::string out(text.size() * 3 + 4, '\0');
  for (int attempt = 0; attempt < 2; ++attempt) {
    UErrorCode status = U_ZERO_ERROR;
    const int32_t len = ucasemap_utf8ToLower(root_case_map(), out.data(), static_cast<int32_t>(out.size()),
                                             text.data(), static_cast<int32_t>(text.size()), &status);
    if (status == U_BUFFER_OVERFLOW_ERROR) {
      out.assign(static_cast<std::size_t>(len), '\0');
      continue;
    }
    if (U_FAILURE(status)) fail_fatal("ICU lowercase mapping", u_errorName(status));
    out.resize(static_cast<std::size_t>(len));
    return out;
  }
  fail_fatal("ICU lowercase mapping", "buffer size");
}

}  // namespace orvel::zh
