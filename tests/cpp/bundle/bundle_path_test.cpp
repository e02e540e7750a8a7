#include "bundle/bundle_path.hpp"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

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

// A scratch directory, removed with everything in it.
class ScratchDir {
 public:
  ScratchDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "orvel-bundle-path-XXXXXX").native();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp");
    path_ = pattern;
  }
  ~ScratchDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

TEST(BundlePath, LinksMustResolveInsideTheRoot) {
  ScratchDir scratch;
  const auto& base = scratch.path();
  const auto root = base / "bundle";
  std::filesystem::create_directories(root / "data");
  std::filesystem::create_directories(base / "elsewhere");
  std::ofstream(base / "secret") << "outside\n";
  std::ofstream(root / "data" / "inside") << "inside\n";
  std::filesystem::create_symlink(base / "secret", root / "absolute");
  std::filesystem::create_symlink("../secret", root / "relative");
  std::filesystem::create_symlink(base / "elsewhere", root / "folder");
  std::filesystem::create_symlink("data/inside", root / "near");
  std::filesystem::create_symlink("data", root / "datalink");
  std::filesystem::create_symlink(base / "missing", root / "dangling");
  std::filesystem::create_symlink("loop", root / "loop");
  std::filesystem::create_symlink(root, base / "rootlink");

  for (const char* outside : {"absolute", "relative", "folder/x", "folder", "./relative"}) {
    auto r = resolve_bundle_path(root, outside, BundleLanguage::Japanese);
    ASSERT_FALSE(r) << outside;
    EXPECT_EQ(r.error().kind, BundleError::Kind::BundlePathOutside) << outside;
  }
  // Links inside the bundle, names that do not exist yet, and paths that
  // cannot be resolved at all (they cannot be opened either) pass; the
  // result is always the textual join.
  for (const char* inside : {"near", "datalink/inside", "data/missing", "missing/deeper", "loop", ""}) {
    auto r = resolve_bundle_path(root, inside, BundleLanguage::Japanese);
    ASSERT_TRUE(r) << inside;
    EXPECT_EQ(r->native(), root.native() + "/" + inside);
  }
  // A root reached through a link is resolved first.
  EXPECT_TRUE(resolve_bundle_path(base / "rootlink", "near", BundleLanguage::Chinese));
  EXPECT_FALSE(resolve_bundle_path(base / "rootlink", "relative", BundleLanguage::Chinese));
}

TEST(BundlePath, RefusesANulAfterTheTextualChecks) {
  auto nul = resolve_bundle_path("root", std::string_view("LICENSE\0junk", 12), BundleLanguage::Japanese);
  ASSERT_FALSE(nul);
  EXPECT_EQ(nul.error().kind, BundleError::Kind::BundlePathWithNul);
  EXPECT_EQ(nul.error().message(), "embedded null byte");
  auto both = resolve_bundle_path("root", std::string_view("../a\0", 5), BundleLanguage::Japanese);
  ASSERT_FALSE(both);
  EXPECT_EQ(both.error().kind, BundleError::Kind::BundlePathOutside);
}

}  // namespace
}  // namespace orvel::bundle
