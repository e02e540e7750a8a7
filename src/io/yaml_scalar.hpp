#pragma once
// How a YAML scalar reads: null, boolean and integer forms, and the
// description of a scalar in a type error.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace orvel::io::yaml {

// ~, null, Null, NULL (the empty value is handled by the callers).
bool is_null_word(std::string_view v);
// true, True, TRUE, false, False, FALSE.
std::optional<bool> parse_bool_word(std::string_view v);
// An optional "+", then decimal digits (no leading 0 unless the number is 0),
// or 0x / 0o / 0b and digits of that base; nothing else. Values above 64 bits
// give nothing.
std::optional<std::uint64_t> parse_unsigned_integer(std::string_view v);

// The found-value text of a type error for a plain scalar: "unit value",
// "boolean `true`", "integer `-1`", "floating point `1.5`" or
// "string \"...\"" (quoted form).
std::string describe_plain_scalar(std::string_view v);
// The same for a quoted or block scalar: always "string \"...\"".
std::string describe_string(std::string_view v);

}  // namespace orvel::io::yaml
