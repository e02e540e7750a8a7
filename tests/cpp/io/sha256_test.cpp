#include "io/sha256.hpp"

#include <gtest/gtest.h>

namespace orvel::io {
namespace {

TEST(Sha256, KnownAnswers) {
  EXPECT_EQ(to_lower_hex(sha256("")), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
  EXPECT_EQ(to_lower_hex(sha256("abc")), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
}

TEST(Sha256, IncrementalEqualsOneShot) {
  const std::string text(100000, 'x');
  Sha256 h;
  for (std::size_t i = 0; i < text.size(); i += 65536) h.update(std::string_view(text).substr(i, 65536));
  EXPECT_EQ(h.finish(), sha256(text));
}

}  // namespace
}  // namespace orvel::io
