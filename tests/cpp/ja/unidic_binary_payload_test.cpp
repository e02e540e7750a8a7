#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "ja/unidic_payload_writer.hpp"
#include "ja/unidic_reading_index.hpp"
#include "unidic_test_support.hpp"

namespace orvel::ja {
namespace {

using unidic_test::BinaryFile;
using unidic_test::Bytes;
using unidic_test::Entries;
using unidic_test::TempDir;

std::string load_error(const TempDir& dir, const Bytes& bytes) {
  auto index = UnidicReadingIndex::from_binary_artifact_payload_path(dir.write("payload.bin", bytes));
  if (index) return "loaded";
  return index.error().message();
}

Bytes cut(Bytes bytes, std::size_t drop) {
  bytes.resize(bytes.size() - drop);
  return bytes;
}

TEST(UnidicBinaryPayload, LoadsEntriesInFileOrderAndIgnoresTrailingBytes) {
  TempDir dir;
  BinaryFile file;
  file.entries = {{"日本", {"ニホン", "ニッポン"}}, {"猫", {"ネコ"}}};
  Bytes bytes = file.bytes();
  bytes.insert(bytes.end(), {0xff, 0xff, 0xff});
  auto index = UnidicReadingIndex::from_binary_artifact_payload_path(dir.write("payload.bin", bytes));
  ASSERT_TRUE(index) << index.error().message();
  EXPECT_EQ(index->entry_count(), 2u);
  EXPECT_EQ(index->map()->at("日本"), (std::vector<std::string>{"ニホン", "ニッポン"}));
}

TEST(UnidicBinaryPayload, HeaderAndFieldFailures) {
  TempDir dir;
  auto with = [](auto change) {
    BinaryFile file;
    file.entries = {{"a", {"x", "y", "z"}}};
    change(file);
    return file.bytes();
  };
  const Bytes good = with([](BinaryFile&) {});
  const std::string long_text(16385, 's');
  struct Case {
    const char* name;
    Bytes bytes;
    std::string message;
  };
  const std::vector<Case> cases = {
      {"empty file", {}, "truncated UniDic binary artifact while reading magic"},
      {"magic", with([](BinaryFile& f) { f.magic = {'O', 'R', 'V', 'E', 'L', 'I', '0', '1'}; }),
       "invalid UniDic binary artifact magic [79, 82, 86, 69, 76, 73, 48, 49]"},
      {"zero magic", Bytes(24, 0), "invalid UniDic binary artifact magic [0, 0, 0, 0, 0, 0, 0, 0]"},
      {"version cut", Bytes(good.begin(), good.begin() + 10), "truncated UniDic binary artifact while reading version"},
      {"version", with([](BinaryFile& f) { f.version = 2; }), "unsupported UniDic binary artifact version 2"},
      {"reserved cut", Bytes(good.begin(), good.begin() + 15),
       "truncated UniDic binary artifact while reading reserved"},
      {"reserved", with([](BinaryFile& f) { f.reserved = 7; }), "UniDic binary artifact reserved header field is 7"},
      {"entry count cut", Bytes(good.begin(), good.begin() + 23),
       "truncated UniDic binary artifact while reading entry_count"},
      {"entry count limit", with([](BinaryFile& f) { f.entry_count = 3'000'001; }),
       "UniDic artifact entry_count length/count 3000001 exceeds limit 3000000"},
      {"entry count at limit reads on", with([](BinaryFile& f) { f.entry_count = 3'000'000; }),
       "truncated UniDic binary artifact while reading surface"},
      {"surface limit", with([&](BinaryFile& f) { f.entries[0].first = long_text; }),
       "UniDic artifact surface length/count 16385 exceeds limit 16384"},
      {"surface not UTF-8", with([](BinaryFile& f) { f.entries[0].first = "a\xe3\x81"; }),
       "invalid UTF-8 in UniDic binary artifact surface: incomplete utf-8 byte sequence from index 1"},
      {"surface cut", Bytes(good.begin(), good.begin() + 28), "truncated UniDic binary artifact while reading surface"},
      {"reading count cut", Bytes(good.begin(), good.begin() + 30),
       "truncated UniDic binary artifact while reading reading_count"},
      {"reading count limit", with([](BinaryFile& f) { f.entries[0].second.resize(257, "x"); }),
       "UniDic artifact reading_count length/count 257 exceeds limit 256"},
      {"reading limit", with([&](BinaryFile& f) { f.entries[0].second[1] = long_text; }),
       "UniDic artifact reading length/count 16385 exceeds limit 16384"},
      {"reading not UTF-8", with([](BinaryFile& f) { f.entries[0].second[2] = "\x80z"; }),
       "invalid UTF-8 in UniDic binary artifact reading: invalid utf-8 sequence of 1 bytes from index 0"},
      {"inside the third reading's length", cut(good, 3), "truncated UniDic binary artifact while reading reading"},
      {"inside the last reading", cut(good, 1), "truncated UniDic binary artifact while reading reading"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(load_error(dir, c.bytes), c.message);
  }
}

TEST(UnidicBinaryPayload, LimitsAreInclusive) {
  TempDir dir;
  BinaryFile file;
  file.entries = {{std::string(16384, 's'), std::vector<std::string>(1, std::string(16384, 'r'))}};
  for (int i = 0; i < 256; ++i) file.entries.push_back({"k" + std::to_string(i), {"x"}});
  file.entries.push_back({"many", {}});
  for (int i = 0; i < 256; ++i) file.entries.back().second.push_back(std::to_string(i));
  EXPECT_EQ(load_error(dir, file.bytes()), "loaded");
}

TEST(UnidicBinaryPayload, ContentIsValidatedOnlyAfterTheWholeFileIsRead) {
  TempDir dir;
  BinaryFile file;
  file.entries = {{"", {}}, {"b", {"x"}}, {"b", {"x"}}, {"d", {"x", "x"}}, {"e", {"x"}}};
  EXPECT_EQ(load_error(dir, cut(file.bytes(), 2)), "truncated UniDic binary artifact while reading reading");
  EXPECT_EQ(load_error(dir, file.bytes()), "UniDic artifact payload entry 0 has an empty surface");
  file.entries[0] = {"a", {"x"}};
  EXPECT_EQ(load_error(dir, file.bytes()), "UniDic artifact payload has duplicate surface \"b\"");
}

TEST(UnidicBinaryPayload, FileSizeTest) {
  TempDir dir;
  // Sparse files: their size costs no disk space.
  auto at_limit = dir.path() / "at_limit.bin";
  std::filesystem::resize_file(dir.write("at_limit.bin", Bytes{}), 536'870'912);
  EXPECT_TRUE(unidic::check_payload_file_size(at_limit));
  auto over = dir.path() / "over.bin";
  std::filesystem::resize_file(dir.write("over.bin", Bytes{}), 536'870'913);
  auto checked = unidic::check_payload_file_size(over);
  ASSERT_FALSE(checked);
  const std::string message = "UniDic artifact payload_bytes length/count 536870913 exceeds limit 536870912";
  EXPECT_EQ(checked.error().message(), message);
  auto index = UnidicReadingIndex::from_binary_artifact_payload_path(over);
  ASSERT_FALSE(index);
  EXPECT_EQ(index.error().message(), message);
}

TEST(UnidicBinaryPayload, IoFailures) {
  TempDir dir;
  auto missing = UnidicReadingIndex::from_binary_artifact_payload_path(dir.path() / "missing.bin");
  ASSERT_FALSE(missing);
  EXPECT_EQ(missing.error().message(),
            "failed to read UniDic artifact payload: No such file or directory (os error 2)");
  // A directory passes the size test and fails when it is read.
  auto directory = UnidicReadingIndex::from_binary_artifact_payload_path(dir.path());
  ASSERT_FALSE(directory);
  EXPECT_EQ(directory.error().message(), "failed to read UniDic artifact payload: Is a directory (os error 21)");
}

TEST(UnidicBinaryPayload, WriterRoundTrips) {
  TempDir dir;
  auto index = UnidicReadingIndex::from_artifact_payload(
      unidic_test::payload_of({{"b", {"y", "x"}}, {"a", {"z"}}, {"日本", {"ニホン"}}}));
  ASSERT_TRUE(index);
  const Bytes bytes = unidic_binary_payload_bytes(*index);
  auto path = dir.path() / "written.bin";
  ASSERT_TRUE(write_payload_file(path, bytes));
  auto loaded = UnidicReadingIndex::from_binary_artifact_payload_path(path);
  ASSERT_TRUE(loaded) << loaded.error().message();
  EXPECT_EQ(loaded->artifact_payload(), index->artifact_payload());
}

}  // namespace
}  // namespace orvel::ja
