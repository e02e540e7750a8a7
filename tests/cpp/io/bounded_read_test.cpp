#include "io/bounded_read.hpp"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <string>

namespace orvel::io {
namespace {

class BoundedReadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("orvel_bounded_read_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  std::filesystem::path write(const std::string& name, const std::string& content) {
    auto path = dir_ / name;
    std::ofstream(path, std::ios::binary) << content;
    return path;
  }

  std::filesystem::path dir_;
};

TEST_F(BoundedReadTest, ReadsWholeFileUpToAndIncludingTheCap) {
  // Larger than one 8,192-byte chunk, so the loop runs several reads.
  std::string content(20000, 'x');
  content[8191] = 'a';
  content[8192] = 'b';
  auto path = write("exact", content);
  auto bytes = read_file_bounded(path, content.size());
  ASSERT_TRUE(bytes) << bytes.error().debug();
  EXPECT_EQ(std::string(bytes->begin(), bytes->end()), content);

  auto empty = read_file_bounded(write("empty", ""), 0);
  ASSERT_TRUE(empty);
  EXPECT_TRUE(empty->empty());
}

TEST_F(BoundedReadTest, RefusesFileOneBytePastTheCapByMetadata) {
  auto path = write("big", std::string(11, 'x'));
  auto bytes = read_file_bounded(path, 10);
  ASSERT_FALSE(bytes);
  EXPECT_EQ(bytes.error().kind, BoundedReadError::Kind::TooLarge);
  EXPECT_EQ(bytes.error().len, 11u);
}

TEST(BoundedRead, CatchesContentBeyondTheSizeTheMetadataGave) {
  // Files under /proc report size 0 yet have content: the read itself must
  // stop at the cap, as for a file that grows after its metadata was read.
  auto bytes = read_file_bounded("/proc/self/status", 10);
  ASSERT_FALSE(bytes);
  EXPECT_EQ(bytes.error().kind, BoundedReadError::Kind::TooLarge);
  EXPECT_EQ(bytes.error().len, 11u);  // the first read asks for the cap plus one
}

TEST_F(BoundedReadTest, RefusesWhatIsNotARegularFile) {
  for (const std::filesystem::path& path : {dir_, std::filesystem::path("/dev/null")}) {
    auto bytes = read_file_bounded(path);
    ASSERT_FALSE(bytes) << path;
    EXPECT_EQ(bytes.error().kind, BoundedReadError::Kind::Io);
    EXPECT_EQ(bytes.error().io.message(), "artifact payload path is not a regular file");
  }
}

TEST_F(BoundedReadTest, FollowsSymbolicLinks) {
  auto target = write("target", "abc");
  std::filesystem::create_symlink(target, dir_ / "link");
  auto bytes = read_file_bounded(dir_ / "link");
  ASSERT_TRUE(bytes);
  EXPECT_EQ(bytes->size(), 3u);
}

TEST_F(BoundedReadTest, MissingFileShowsTheOperatingSystemError) {
  auto bytes = read_file_bounded(dir_ / "missing");
  ASSERT_FALSE(bytes);
  EXPECT_EQ(bytes.error().kind, BoundedReadError::Kind::Io);
  EXPECT_EQ(bytes.error().io.os_error, ENOENT);
  EXPECT_EQ(bytes.error().io.message(), "No such file or directory (os error 2)");

  auto size = file_size_following_links(dir_ / "missing");
  ASSERT_FALSE(size);
  EXPECT_EQ(size.error().message(), "No such file or directory (os error 2)");
}

TEST(IoError, MessageForms) {
  EXPECT_EQ(IoError::from_errno(EACCES).message(), "Permission denied (os error 13)");
  EXPECT_EQ(IoError::own("some own text").message(), "some own text");
}

}  // namespace
}  // namespace orvel::io
