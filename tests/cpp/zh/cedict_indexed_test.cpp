#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>

#include "zh/cedict_reading_index.hpp"
#include "zh/cedict_yaml_records.hpp"
#include "zh/indexed_zh_payload.hpp"
#include "zh/zh_indexed_payload_writer.hpp"
#include "zh_test_support.hpp"

namespace orvel::zh {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes write(std::vector<ZhReadingIndexPayloadEntry> entries, std::uint32_t view_word = 1) {
  auto bytes = zh_indexed_payload_bytes(std::move(entries), view_word);
  if (!bytes) throw std::runtime_error(bytes.error().message());
  return std::move(*bytes);
}

std::string load_error(Bytes bytes) {
  auto index = CedictReadingIndex::from_indexed_owned_bytes(std::move(bytes));
  return index ? "loaded" : index.error().message();
}

void put_u32(Bytes& bytes, std::size_t offset, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
}
void put_u64(Bytes& bytes, std::size_t offset, std::uint64_t value) {
  for (int i = 0; i < 8; ++i) bytes[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

const std::vector<ZhReadingIndexPayloadEntry> kEntries = {
    {"中国", {"zhong1guo2"}}, {"中", {"zhong1", "zhong4"}}, {"国", {"guo2"}}};

TEST(CedictIndexed, LoadsWithTheHeaderView) {
  auto tone3 = CedictReadingIndex::from_indexed_owned_bytes(write(kEntries, 1));
  ASSERT_TRUE(tone3) << tone3.error().message();
  EXPECT_EQ(tone3->pinyin_view(), "tone3");
  EXPECT_EQ(tone3->entry_count(), 3u);
  EXPECT_EQ((*tone3->try_readings("中"))->list(), (std::vector<std::string>{"zhong1", "zhong4"}));
  EXPECT_FALSE(tone3->try_readings("中國")->has_value());

  auto no_tone = CedictReadingIndex::from_indexed_owned_bytes(write({{"中", {"zhong"}}}, 0));
  ASSERT_TRUE(no_tone) << no_tone.error().message();
  EXPECT_EQ(no_tone->pinyin_view(), "no-tone");

  // Bytes after the readings section are ignored.
  Bytes trailing = write(kEntries);
  trailing.push_back(0xFF);
  EXPECT_EQ(load_error(std::move(trailing)), "loaded");
}

TEST(CedictIndexed, HeaderErrors) {
  const Bytes good = write(kEntries);
  Bytes japanese = good;
  std::memcpy(japanese.data(), "ORVELI01", 8);
  EXPECT_EQ(load_error(japanese), "invalid zh indexed artifact magic [79, 82, 86, 69, 76, 73, 48, 49]");

  Bytes version = good;
  put_u32(version, 8, 2);
  EXPECT_EQ(load_error(version), "unsupported zh indexed artifact version 2");

  Bytes view = good;
  put_u32(view, 12, 2);
  EXPECT_EQ(load_error(view), "unsupported zh indexed artifact pinyin view 2");

  Bytes count = good;
  put_u64(count, 16, 2'000'001);
  EXPECT_EQ(load_error(count), "zh artifact entry_count length/count 2000001 exceeds limit 2000000");
  put_u64(count, 16, 2'000'000);
  EXPECT_EQ(load_error(count), "zh indexed artifact header entry count 2000000 does not match FST entry count 3");

  Bytes fst_len = good;
  put_u64(fst_len, 24, ~std::uint64_t{0} - 39);
  EXPECT_EQ(load_error(fst_len), "truncated zh indexed artifact while reading fst_section");

  EXPECT_EQ(load_error(Bytes(good.begin(), good.begin() + 39)), "truncated zh indexed artifact while reading header");
  Bytes empty_sections(good.begin(), good.begin() + 40);
  put_u64(empty_sections, 16, 0);
  put_u64(empty_sections, 24, 0);
  put_u64(empty_sections, 32, 0);
  EXPECT_EQ(load_error(empty_sections), "invalid zh indexed artifact FST: FST error");
}

TEST(CedictIndexed, EveryTruncationIsRefused) {
  const Bytes good = write(kEntries);
  for (std::size_t len = 0; len < good.size(); ++len) {
    auto index = CedictReadingIndex::from_indexed_owned_bytes(Bytes(good.begin(), good.begin() + len));
    ASSERT_FALSE(index) << len;
    EXPECT_EQ(index.error().kind, ZhArtifactPayloadError::Kind::TruncatedIndexed) << len;
  }
}

TEST(CedictIndexed, EntryErrorsInBothViews) {
  struct Case {
    std::vector<ZhReadingIndexPayloadEntry> entries;
    std::uint32_t view;
    std::string message;
  };
  const std::vector<Case> cases = {
      {{{"你", {"Ni3"}}}, 1, "zh artifact payload surface \"你\" has non-normalized reading \"Ni3\"; expected \"ni3\""},
      {{{"你", {"ni3"}}}, 0, "zh artifact payload surface \"你\" has non-normalized reading \"ni3\"; expected \"ni\""},
      {{{"你", {"ni", ""}}}, 0, "zh artifact payload surface \"你\" has an empty reading at index 1"},
      {{{"你", {"ni3", "ni3"}}}, 1, "zh artifact payload surface \"你\" has duplicate reading \"ni3\""},
      // The normal-form test comes between the empty and the duplicate test.
      {{{"你", {"ni3", "Ni3", "ni3"}}}, 1,
       "zh artifact payload surface \"你\" has non-normalized reading \"Ni3\"; expected \"ni3\""},
      {{{"你", {}}}, 1, "zh artifact payload surface \"你\" has no readings"},
      {{{"", {"a"}}, {"你", {"ni3"}}}, 1, "zh artifact payload entry 0 has an empty surface"},
      {{{std::string(16385, 'a'), {"a"}}}, 1, "zh artifact surface_bytes length/count 16385 exceeds limit 16384"},
      {{{"\xff", {"a"}}}, 1, "invalid UTF-8 in zh indexed artifact surface: invalid utf-8 sequence of 1 bytes from index 0"},
      {{{"a", {"a\xe4\xb8"}}}, 1, "invalid UTF-8 in zh indexed artifact reading: incomplete utf-8 byte sequence from index 1"},
  };
  for (const Case& c : cases) EXPECT_EQ(load_error(write(c.entries, c.view)), c.message);
}

TEST(CedictIndexed, ReadingsRecordBounds) {
  Bytes bytes = write({{"a", {"a"}}});
  const std::size_t fst_len = bytes[24] | (bytes[25] << 8);
  const std::size_t record = 40 + fst_len;
  // reading_count 257, then a reading length past the limit, then past the end.
  Bytes count = bytes;
  put_u32(count, record, 257);
  EXPECT_EQ(load_error(count), "zh artifact reading_count length/count 257 exceeds limit 256");
  Bytes length = bytes;
  put_u32(length, record + 4, 16385);
  EXPECT_EQ(load_error(length), "zh artifact reading_bytes length/count 16385 exceeds limit 16384");
  Bytes past_end = bytes;
  put_u32(past_end, record + 4, 2);
  EXPECT_EQ(load_error(past_end), "truncated zh indexed artifact while reading reading");
}

TEST(CedictIndexed, PayloadFileRead) {
  const auto dir = std::filesystem::temp_directory_path() / ("orvel_zh_indexed_" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  const Bytes bytes = write(kEntries);
  {
    std::ofstream out(dir / "p.bin", std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }
  auto read = read_payload_file_bounded(dir / "p.bin");
  ASSERT_TRUE(read) << read.error().message();
  EXPECT_EQ(*read, bytes);
  auto directory = read_payload_file_bounded(dir);
  ASSERT_FALSE(directory);
  EXPECT_EQ(directory.error().message(), "failed to read zh artifact payload: artifact payload path is not a regular file");
  std::filesystem::remove_all(dir);

  auto header = read_u64_le_bytes(std::span<const std::uint8_t>(bytes.data(), 20), 16, "entry_count");
  ASSERT_FALSE(header);
  EXPECT_EQ(header.error().message(), "truncated zh indexed artifact while reading entry_count");
  EXPECT_EQ(*read_u64_le_bytes(bytes, 16, "entry_count"), 3u);
}

}  // namespace
}  // namespace orvel::zh
