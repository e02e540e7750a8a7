#include "io/canonical.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <iterator>
#include <random>
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

TEST(Canonical, DigestWhileWritingEqualsTheDigestOfTheWholeText) {
  // Records of every size around the digest's gathering buffer, written both
  // into one text and into the digest as they come.
  std::mt19937_64 rng(11);
  for (const auto algorithm : {CanonicalDigest::Algorithm::Sha256, CanonicalDigest::Algorithm::Fnv1a64}) {
    std::string text = "header/v1\n";
    CanonicalDigest digest(algorithm);
    digest.append(text);
    for (int i = 0; i < 300; ++i) {
      const std::size_t sizes[] = {0, 1, 17, 65'535, 65'536, 65'537, 200'000};
      std::string bytes(rng() % 3 == 0 ? sizes[rng() % std::size(sizes)] : rng() % 300, '\0');
      for (char& c : bytes) c = static_cast<char>(rng());
      if (i % 7 == 0) {
        push_count_line(text, 'R', bytes.size());
        digest.push_count_line('R', bytes.size());
      } else {
        push_len_prefixed(text, 'r', bytes);
        digest.push_len_prefixed('r', bytes);
      }
    }
    const std::string whole = algorithm == CanonicalDigest::Algorithm::Sha256 ? sha256_canonical_hex(text)
                                                                               : fnv1a64_canonical_hex(text);
    EXPECT_EQ(digest.finish_hex(), whole);
  }
}

TEST(Canonical, RecordSizesMatchWhatIsWritten) {
  for (const std::uint64_t len : {0u, 9u, 10u, 99u, 100u, 12'345u}) {
    std::string out;
    push_len_prefixed(out, 'S', std::string(len, 'x'));
    EXPECT_EQ(len_prefixed_bytes(len), out.size()) << len;
    out.clear();
    push_count_line(out, 'R', len);
    EXPECT_EQ(count_line_bytes(len), out.size()) << len;
  }
}

}  // namespace
}  // namespace orvel::io
