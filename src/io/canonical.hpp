#pragma once
// The framing of canonical payload texts, shared by both reading indexes,
// and the checksums computed over them.
#include <cstdint>
#include <string>
#include <string_view>

namespace orvel::io {

inline constexpr std::string_view kSha256CanonicalV1 = "sha256-canonical-v1";
inline constexpr std::string_view kFnv1a64CanonicalV1 = "fnv1a64-canonical-v1";

// Appends one record: the tag byte, the byte length of `bytes` in decimal, a
// line feed, the bytes and a line feed. The length frames the bytes, so they
// need no escaping.
void push_len_prefixed(std::string& out, char tag, std::string_view bytes);

// Appends a count line: the tag byte, the count in decimal and a line feed.
void push_count_line(std::string& out, char tag, std::uint64_t count);

// 64-bit FNV-1a (offset basis 0xcbf29ce484222325, prime 0x100000001b3).
std::uint64_t fnv1a64(std::string_view bytes);

// SHA-256 of the text as 64 lower-case hexadecimal digits.
std::string sha256_canonical_hex(std::string_view text);
// FNV-1a 64 of the text as 16 lower-case hexadecimal digits, zero-padded.
std::string fnv1a64_canonical_hex(std::string_view text);

}  // namespace orvel::io
