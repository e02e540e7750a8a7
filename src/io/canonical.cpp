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

namespace {
std::uint64_t decimal_digits(std::uint64_t value) {
  std::uint64_t digits = 1;
  while (value >= 10) {
    value /= 10;
    ++digits;
  }
  return digits;
}
}  // namespace

std::uint64_t len_prefixed_bytes(std::uint64_t len) { return 1 + decimal_digits(len) + 1 + len + 1; }

std::uint64_t count_line_bytes(std::uint64_t count) { return 1 + decimal_digits(count) + 1; }

std::uint64_t fnv1a64(std::string_view bytes) {
  std::uint64_t hash = 0xcbf29ce484222325ULL;
  for (unsigned char byte : bytes) {
    hash ^= byte;
    hash *= 0x100000001b3ULL;
  }
  return hash;
}

namespace {
constexpr std::size_t kPendingBytes = 65'536;

void fnv1a64_update(std::uint64_t& hash, std::string_view bytes) {
  for (unsigned char byte : bytes) {
    hash ^= byte;
    hash *= 0x100000001b3ULL;
  }
}
}  // namespace

CanonicalDigest::CanonicalDigest(Algorithm algorithm) : algorithm_(algorithm) { pending_.reserve(kPendingBytes); }

void CanonicalDigest::hash(std::string_view bytes) {
  if (algorithm_ == Algorithm::Sha256) {
    sha256_.update(bytes);
  } else {
    fnv1a64_update(fnv_, bytes);
  }
}

void CanonicalDigest::flush() {
  hash(pending_);
  pending_.clear();
}

void CanonicalDigest::append(std::string_view bytes) {
  if (pending_.size() + bytes.size() > kPendingBytes) {
    flush();
    if (bytes.size() > kPendingBytes) {
      hash(bytes);
      return;
    }
  }
  pending_.append(bytes);
}

void CanonicalDigest::push_len_prefixed(char tag, std::string_view bytes) {
  std::string frame(1, tag);
  append_decimal(frame, bytes.size());
  frame.push_back('\n');
  append(frame);
  append(bytes);
  append("\n");
}

void CanonicalDigest::push_entry(std::string_view surface, std::span<const std::string> readings) {
  push_len_prefixed('S', surface);
  push_count_line('R', readings.size());
  for (const std::string& reading : readings) push_len_prefixed('r', reading);
}

void CanonicalDigest::push_count_line(char tag, std::uint64_t count) {
  std::string line(1, tag);
  append_decimal(line, count);
  line.push_back('\n');
  append(line);
}

std::string CanonicalDigest::finish_hex() {
  flush();
  if (algorithm_ == Algorithm::Sha256) return to_lower_hex(sha256_.finish());
  return fmt::format("{:016x}", fnv_);
}

std::string sha256_canonical_hex(std::string_view text) { return to_lower_hex(sha256(text)); }

std::string fnv1a64_canonical_hex(std::string_view text) { return fmt::format("{:016x}", fnv1a64(text)); }

}  // namespace orvel::io
