#include "bundle/bundle_path.hpp"

#include <gtest/gtest.h>

namespace orvel::bundle {
namespace {

TEST(BundlePath, RefusesPathsThatLeaveTheBundle) {
  const std::pair<std::string, std::string> refused[] = {
      {"../x", R"(bundle path "../x" must be relative and stay inside the bundle)"},
      {"a/../b", R"(bundle path "a/../b" must be relative and stay inside the bundle)"},
      {"a/..", R"(bundle path "a/.." must be relative and stay inside the bundle)"},
      {"..", R"(bundle path ".." must be relative and stay inside the bundle)"},
      {"/etc/x", R"(bundle path "/etc/x" must be relative and stay inside the bundle)"},
      {"a\\b", R"(bundle path "a\\b" must be relative and stay inside the bundle)"},
      {"C:\\x", R"(bundle path "C:\\x" must be relative and stay inside the bundle)"},
      {"a/\n/../b", R"(bundle path "a/\n/../b" must be relative and stay inside the bundle)"},
  };
  for (const auto& [relative, message] : refused) {
    auto r = resolve_bundle_path("root", relative, BundleLanguage::Japanese);
    ASSERT_FALSE(r) << relative;
    EXPECT_EQ(r.error().message(), message);
  }
}

TEST(BundlePath, JoinsTextually) {
  struct Case {
    std::string root, relative, joined;
  };
  const Case cases[] = {
      {"root", "./a", "root/./a"},
      {"root", "a/./b", "root/a/./b"},
      {"root", "a//b", "root/a//b"},
      {"root", "...", "root/..."},
      {"root", "..a/b..", "root/..a/b.."},
      {"root/", "a", "root/a"},
      {"", "a", "a"},
      {"/", "a", "/a"},
      {"root", "", "root/"},  // the root itself, never a file
      {"../up", "a", "../up/a"},  // the root itself is the caller's
  };
  for (const auto& c : cases) {
    auto r = resolve_bundle_path(c.root, c.relative, BundleLanguage::Chinese);
    ASSERT_TRUE(r) << c.relative;
    EXPECT_EQ(r->native(), c.joined);
  }
}

}  // namespace
}  // namespace orvel::bundle
