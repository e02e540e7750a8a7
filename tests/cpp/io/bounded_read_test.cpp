#include "io/bounded_read.hpp"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <span>
#include <string>
#include <utility>

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

TEST_F(BoundedReadTest, OpensSpecialFilesWithoutWaitingAndNamesTheirKind) {
  // A FIFO without a writer would block an ordinary open for ever.
  const auto fifo = dir_ / "fifo";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const std::pair<std::filesystem::path, FileKind> cases[] = {
      {fifo, FileKind::Other},
      {"/dev/zero", FileKind::Other},
      {dir_, FileKind::Directory},
      {write("plain", "abcd"), FileKind::Regular},
  };
  for (const auto& [path, kind] : cases) {
    auto opened = open_for_reading(path);
    ASSERT_TRUE(opened) << path << ": " << opened.error().message();
    EXPECT_EQ(opened->kind, kind) << path;
    EXPECT_EQ(opened->size, kind == FileKind::Regular ? 4u : 0u) << path;
  }
  // The payload read refuses the FIFO (by its metadata) without opening it
  // in a way that waits.
  auto bytes = read_file_bounded(fifo);
  ASSERT_FALSE(bytes);
  EXPECT_EQ(bytes.error().io.message(), "artifact payload path is not a regular file");
}

TEST(BoundedRead, AnEndlessFileStopsOneBytePastTheCap) {
  auto zero = open_for_reading("/dev/zero");
  ASSERT_TRUE(zero);
  std::uint64_t received = 0;
  auto read = read_to_end(zero->handle, 100'000, 8192, [&](std::span<const std::uint8_t> piece) {
    received += piece.size();
  });
  ASSERT_FALSE(read);
  EXPECT_EQ(read.error().kind, BoundedReadError::Kind::TooLarge);
  EXPECT_EQ(read.error().len, 100'001u);
  EXPECT_LE(received, 100'000u);  // the piece that passed the cap is not handed on
}

TEST_F(BoundedReadTest, ReadToEndHandsOnEveryPieceInOrder) {
  std::string content(30'000, 'x');
  for (std::size_t i = 0; i < content.size(); ++i) content[i] = static_cast<char>('a' + i % 26);
  auto file = open_for_reading(write("pieces", content));
  ASSERT_TRUE(file);
  auto text = read_to_end_text(file->handle, content.size(), 4096);
  ASSERT_TRUE(text);
  EXPECT_EQ(*text, content);
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
