#include "io/yaml_scalar.hpp"

#include <charconv>
#include <cmath>
#include <fmt/format.h>

#include "text/quoted.hpp"

namespace orvel::io::yaml {
namespace {

__extension__ typedef unsigned __int128 u128;

int digit_value(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return 99;
}

// Digits of one base, at least one, no sign; nothing on overflow of `max`.
std::optional<u128> parse_digits(std::string_view digits, unsigned base, u128 max) {
  if (digits.empty()) return std::nullopt;
  u128 value = 0;
  for (char c : digits) {
    const int d = digit_value(c);
    if (d >= static_cast<int>(base)) return std::nullopt;
    if (value > (max - static_cast<unsigned>(d)) / base) return std::nullopt;
    value = value * base + static_cast<unsigned>(d);
  }
  return value;
}

// Two or more characters, a leading 0 and only digits after it (after an
// optional sign): YAML 1.2 reads such a scalar as a string, not a number.
bool digits_but_not_number(std::string_view v) {
  if (!v.empty() && (v[0] == '+' || v[0] == '-')) v.remove_prefix(1);
  if (v.size() < 2 || v[0] != '0') return false;
  for (char c : v.substr(1)) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

std::optional<u128> parse_unsigned(std::string_view v, u128 max) {
  std::string_view rest = v;
  if (!rest.empty() && rest[0] == '+') rest.remove_prefix(1);
  for (auto [prefix, base] : {std::pair<std::string_view, unsigned>{"0x", 16}, {"0o", 8}, {"0b", 2}}) {
    if (rest.starts_with(prefix)) return parse_digits(rest.substr(2), base, max);
  }
  if (digits_but_not_number(v)) return std::nullopt;
  return parse_digits(rest, 10, max);
}

// A negative integer ("-" then digits, or -0x / -0o / -0b forms), as its
// magnitude; at most `max_magnitude`.
std::optional<u128> parse_negative(std::string_view v, u128 max_magnitude) {
  if (!v.starts_with('-')) return std::nullopt;
  std::string_view rest = v.substr(1);
  for (auto [prefix, base] : {std::pair<std::string_view, unsigned>{"0x", 16}, {"0o", 8}, {"0b", 2}}) {
    if (rest.starts_with(prefix)) {
      if (auto m = parse_digits(rest.substr(2), base, max_magnitude)) return m;
    }
  }
  if (digits_but_not_number(v)) return std::nullopt;
  return parse_digits(rest, 10, max_magnitude);
}

std::string u128_decimal(u128 value) {
  std::string digits;
  do {
    digits.insert(digits.begin(), static_cast<char>('0' + static_cast<int>(value % 10)));
    value /= 10;
  } while (value != 0);
  return digits;
}

// Decimal floating-point syntax: digits with an optional fraction and an
// optional exponent, or the YAML .inf / .nan words.
bool is_decimal_float_syntax(std::string_view v) {
  std::size_t i = 0;
  if (i < v.size() && (v[i] == '+' || v[i] == '-')) ++i;
  std::size_t int_digits = 0, frac_digits = 0;
  while (i < v.size() && v[i] >= '0' && v[i] <= '9') ++i, ++int_digits;
  if (i < v.size() && v[i] == '.') {
    ++i;
    while (i < v.size() && v[i] >= '0' && v[i] <= '9') ++i, ++frac_digits;
  }
  if (int_digits + frac_digits == 0) return false;
  if (i < v.size() && (v[i] == 'e' || v[i] == 'E')) {
    ++i;
    if (i < v.size() && (v[i] == '+' || v[i] == '-')) ++i;
    std::size_t exp_digits = 0;
    while (i < v.size() && v[i] >= '0' && v[i] <= '9') ++i, ++exp_digits;
    if (exp_digits == 0) return false;
  }
  return i == v.size();
}

// The shortest text that reads back as `value`, in positional notation, with
// ".0" added to whole numbers.
std::string float_text(double value) {
  if (std::isnan(value)) return "NaN";
  if (std::isinf(value)) return value < 0 ? "-inf" : "inf";
  char buffer[400];
  auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
  std::string text = ec == std::errc() ? std::string(buffer, end) : fmt::format("{}", value);
  if (text.find('.') == std::string::npos) text += ".0";
  return text;
}

// A finite decimal float, or a YAML infinity / NaN word; nothing otherwise.
std::optional<double> parse_float(std::string_view v) {
  std::string_view unsigned_part = v;
  if (v.starts_with('+')) {
    unsigned_part.remove_prefix(1);
    if (unsigned_part.starts_with('+') || unsigned_part.starts_with('-')) return std::nullopt;
  }
  if (unsigned_part == ".inf" || unsigned_part == ".Inf" || unsigned_part == ".INF") return INFINITY;
  if (v == "-.inf" || v == "-.Inf" || v == "-.INF") return -INFINITY;
  if (v == ".nan" || v == ".NaN" || v == ".NAN") return NAN;
  if (!is_decimal_float_syntax(unsigned_part)) return std::nullopt;
  double value = 0;
  auto [end, ec] = std::from_chars(unsigned_part.data(), unsigned_part.data() + unsigned_part.size(), value);
  if (ec == std::errc::result_out_of_range) {
    // Too large is not a finite number; too small reads as zero.
    const auto e = unsigned_part.find_first_of("eE");
    const bool tiny = e != std::string_view::npos && unsigned_part[e + 1] == '-';
    if (!tiny) return std::nullopt;
    return unsigned_part.starts_with('-') ? -0.0 : 0.0;
  }
  if (ec != std::errc() || end != unsigned_part.data() + unsigned_part.size()) return std::nullopt;
  return value;
}

}  // namespace

bool is_null_word(std::string_view v) { return v == "~" || v == "null" || v == "Null" || v == "NULL"; }

std::optional<bool> parse_bool_word(std::string_view v) {
  if (v == "true" || v == "True" || v == "TRUE") return true;
  if (v == "false" || v == "False" || v == "FALSE") return false;
  return std::nullopt;
}

std::optional<std::uint64_t> parse_unsigned_integer(std::string_view v) {
  auto value = parse_unsigned(v, UINT64_MAX);
  if (!value) return std::nullopt;
  return static_cast<std::uint64_t>(*value);
}

std::string describe_string(std::string_view v) { return "string " + text::quoted_text(v); }

std::string describe_plain_scalar(std::string_view v) {
  if (v.empty() || is_null_word(v)) return "unit value";
  if (auto b = parse_bool_word(v)) return fmt::format("boolean `{}`", *b);
  const u128 i64_magnitude = u128{1} << 63;
  if (auto u = parse_unsigned(v, UINT64_MAX)) return fmt::format("integer `{}`", u128_decimal(*u));
  if (auto m = parse_negative(v, i64_magnitude)) {
    return *m == 0 ? "integer `0`" : fmt::format("integer `-{}`", u128_decimal(*m));
  }
  const u128 u128_max = ~u128{0};
  if (auto u = parse_unsigned(v, u128_max)) return fmt::format("integer `{}` as u128", u128_decimal(*u));
  if (auto m = parse_negative(v, u128{1} << 127)) {
    return fmt::format("integer `-{}` as i128", u128_decimal(*m));
  }
  if (!digits_but_not_number(v)) {
    if (auto f = parse_float(v)) return fmt::format("floating point `{}`", float_text(*f));
  }
  return describe_string(v);
}

}  // namespace orvel::io::yaml
