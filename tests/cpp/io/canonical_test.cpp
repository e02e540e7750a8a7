#include "io/canonical.hpp"

#include <gtest/gtest.h>

#include <string>

namespace orvel::io {
namespace {

TEST(Canonical, LengthPrefixedRecordsCountBytesAndNeedNoEscaping) {
  std::string out;
  push_len_prefixed(out, 'S', "日本");
  push_len_prefixed(out, 'r', "a\nb");
  push_len_prefixed(out, 'r', "");
  push_count_line(out, 'R', 12);
  push_len_prefixed(out, 'r', std::string(1234, 'x'));
  EXPECT_EQ(out, "S6\n日本\nr3\na\nb\nr0\n\nR12\nr1234\n" + std::string(1234, 'x') + "\n");
}

TEST(Canonical, Fnv1a64KnownValues) {
  EXPECT_EQ(fnv1a64(""), 0xcbf29ce484222325ULL);
  EXPECT_EQ(fnv1a64("a"), 0xaf63dc4c8601ec8cULL);
  EXPECT_EQ(fnv1a64("foobar"), 0x85944171f73967e8ULL);
  EXPECT_EQ(fnv1a64_canonical_hex("a"), "af63dc4c8601ec8c");
}

TEST(Canonical, Fnv1a64HexKeepsLeadingZeros) {
  // Find a short text whose hash is below 2^60 by brute force: its hex form
  // must still have 16 digits.
  for (int i = 0;; ++i) {
    const std::string text = std::to_string(i);
    if (fnv1a64(text) < (1ULL << 60)) {
      const std::string hex = fnv1a64_canonical_hex(text);
      EXPECT_EQ(hex.size(), 16u);
      EXPECT_EQ(hex[0], '0');
      break;
    }
  }
}

TEST(Canonical, Sha256HexIsLowerCase) {
  EXPECT_EQ(sha256_canonical_hex("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
}

}  // namespace
}  // namespace orvel::io
