#include "io/canonical.hpp"

#include <charconv>

#include <fmt/format.h>

#include "io/sha256.hpp"

namespace orvel::io {

namespace {

void append_decimal(std::string& out, std::uint64_t value) {
  char digits[20];
  auto [end, ec] = std::to_chars(digits, digits + sizeof digits, value);
  (void)ec;  // 20 digits hold every u64
  out.append(digits, end);
}

}  // namespace

void push_len_prefixed(std::string& out, char tag, std::string_view bytes) {
  out.push_back(tag);
  append_decimal(out, bytes.size());
  out.push_back('\n');
  out.append(bytes);
  out.push_back('\n');
}

void push_count_line(std::string& out, char tag, std::uint64_t count) {
  out.push_back(tag);
  append_decimal(out, count);
  out.push_back('\n');
}

std::uint64_t fnv1a64(std::string_view bytes) {
  std::uint64_t hash = 0xcbf29ce484222325ULL;
  for (unsigned char byte : bytes) {
    hash ^= byte;
    hash *= 0x100000001b3ULL;
  }
  return hash;
}

std::string sha256_canonical_hex(std::string_view text) { return to_lower_hex(sha256(text)); }

std::string fnv1a64_canonical_hex(std::string_view text) { return fmt::format("{:016x}", fnv1a64(text)); }

}  // namespace orvel::io
