#include "text/utf8.hpp"

#include <cstring>
#include <memory>

#include <gtest/gtest.h>

namespace orvel::text {
namespace {

struct InvalidCase {
  std::string bytes;
  std::string message;
};

TEST(Utf8Validation, ReportsMaximalSubpartOrIncompleteEnd) {
  const InvalidCase cases[] = {
      {"ab\x80", "invalid utf-8 sequence of 1 bytes from index 2"},
      {"\xC0\xAF", "invalid utf-8 sequence of 1 bytes from index 0"},       // overlong lead
      {"\xE0\x80\x80", "invalid utf-8 sequence of 1 bytes from index 0"},   // overlong second byte
      {"\xED\xA0\x80", "invalid utf-8 sequence of 1 bytes from index 0"},   // surrogate
      {"\xF4\x90\x80\x80", "invalid utf-8 sequence of 1 bytes from index 0"},  // above U+10FFFF
      {"x\xE3\x81z", "invalid utf-8 sequence of 2 bytes from index 1"},
      {"\xF0\x9F\x98z", "invalid utf-8 sequence of 3 bytes from index 0"},
      {"\xFE", "invalid utf-8 sequence of 1 bytes from index 0"},
      {"\xE3\x81", "incomplete utf-8 byte sequence from index 0"},
      {"ok\xF0\x9F\x98", "incomplete utf-8 byte sequence from index 2"},
      {"\xE0", "incomplete utf-8 byte sequence from index 0"},
      {"\xE0\x80", "invalid utf-8 sequence of 1 bytes from index 0"},  // 0x80 can never follow E0
  };
  for (const auto& c : cases) {
    auto r = validate_utf8(c.bytes);
    ASSERT_FALSE(r.has_value()) << c.message;
    EXPECT_EQ(r.error().message(), c.message);
  }
}

TEST(Utf8Validation, AcceptsValidText) {
  for (std::string_view s : {"", "abc", "東京", "\xF0\x9F\x98\x80", "\xEF\xBF\xBF", "\xF4\x8F\xBF\xBF"}) {
    EXPECT_TRUE(validate_utf8(s).has_value()) << s;
  }
}

TEST(Utf8Codec, RoundTripsScalars) {
  const std::u32string scalars = {U'a', U'\u00e9', U'\u6771', U'\U0001F600', U'e', U'\u0301'};
  const std::string bytes = encode_utf8(scalars);
  const auto decoded = decode_utf8(bytes);
  EXPECT_EQ(decoded, scalars);
  EXPECT_EQ(count_scalars(bytes), scalars.size());
}

}  // namespace
}  // namespace orvel::text

// Decoding is meant for validated text, but a broken promise must stay inside
// the given bytes (checked under AddressSanitizer in CI).
TEST(Utf8DecodeUnvalidated, TruncatedAndStrayBytesStayInBounds) {
  struct Case { std::string bytes; std::u32string expected; };
  const Case cases[] = {
      {std::string("a\xE6\x9D", 3), U"a\uFFFD"},
      {std::string("\xF0\x9F", 2), U"\uFFFD"},
      {std::string("\x80\x80z", 3), U"\uFFFDz"},
      {std::string("\xE6\x9D\xB1\xC3", 4), U"\u6771\uFFFD"},
      // A stray continuation byte after a whole character.
      {std::string("\xC3\xA9\xA9" "a", 4), U"\u00e9\uFFFDa"},
      // A lead byte whose sequence breaks off: the bytes after it stand.
      {std::string("\xE3" "ab", 3), U"\uFFFDab"},
      {std::string("\xF0\x9F\x98z\x80", 5), U"\uFFFDz\uFFFD"},
      // Overlong, surrogate, above U+10FFFF, never a lead.
      {std::string("\xE0\x80\x80", 3), U"\uFFFD"},
      {std::string("\xED\xA0\x80x", 4), U"\uFFFDx"},
      {std::string("\xF4\x90\x80\x80", 4), U"\uFFFD"},
      {std::string("\xC0\xAF\xFF", 3), U"\uFFFD\uFFFD"},
      // ASCII runs around a broken byte, past the eight- and sixteen-byte steps.
      {std::string("abcdefghijklmnop\x80qrstuvwxyz", 27), U"abcdefghijklmnop\uFFFDqrstuvwxyz"},
  };
  for (const Case& c : cases) {
    // A heap copy of exactly the given length, so an overread is caught.
    const std::unique_ptr<char[]> heap(new char[c.bytes.size()]);
    std::memcpy(heap.get(), c.bytes.data(), c.bytes.size());
    const std::string_view bytes(heap.get(), c.bytes.size());
    EXPECT_EQ(orvel::text::decode_utf8(bytes), c.expected);
    EXPECT_EQ(orvel::text::count_scalars(bytes), c.expected.size());
    std::u32string stepped;
    for (std::size_t pos = 0; pos < bytes.size();) stepped.push_back(orvel::text::next_scalar(bytes, pos));
    EXPECT_EQ(stepped, c.expected);
  }
}
