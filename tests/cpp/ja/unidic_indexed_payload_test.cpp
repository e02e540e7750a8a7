#include <gtest/gtest.h>

#include <filesystem>
#include <limits>
#include <string>
#include <vector>

#include "ja/unidic_indexed_payload.hpp"
#include "ja/unidic_payload_writer.hpp"
#include "ja/unidic_reading_index.hpp"
#include "unidic_test_support.hpp"

namespace orvel::ja {
namespace {

using unidic_test::Bytes;
using unidic_test::Entries;
using unidic_test::IndexedFile;
using unidic_test::readings_record;
using unidic_test::TempDir;

constexpr std::uint64_t kU64Max = std::numeric_limits<std::uint64_t>::max();

std::string load_error(const Bytes& bytes) {
  auto index = UnidicReadingIndex::from_indexed_owned_bytes(bytes);
  if (index) return "loaded";
  return index.error().message();
}

IndexedFile two_entries() { return IndexedFile::of({{"日本", {"ニホン", "ニッポン"}}, {"猫", {"ネコ"}}}); }

TEST(UnidicIndexedPayload, LoadsAndLooksUp) {
  IndexedFile file = two_entries();
  file.trailing = {1, 2, 3};
  auto index = UnidicReadingIndex::from_indexed_owned_bytes(file.bytes());
  ASSERT_TRUE(index) << index.error().message();
  EXPECT_TRUE(index->is_indexed());
  EXPECT_EQ(index->entry_count(), 2u);
  auto found = index->try_readings("日本");
  ASSERT_TRUE(found && *found);
  EXPECT_EQ((*found)->list(), (std::vector<std::string>{"ニホン", "ニッポン"}));
}

TEST(UnidicIndexedPayload, HeaderFailures) {
  auto with = [](auto change) {
    IndexedFile file = two_entries();
    change(file);
    return file.bytes();
  };
  Bytes header_only = with([](IndexedFile& f) {
    f.keys.clear();
    f.readings.clear();
    f.fst_len = 0;
  });
  header_only.resize(40);
  Bytes short_header = header_only;
  short_header.pop_back();
  struct Case {
    const char* name;
    Bytes bytes;
    std::string message;
  };
  const std::vector<Case> cases = {
      {"39 bytes", short_header, "truncated UniDic indexed artifact while reading header"},
      {"empty", {}, "truncated UniDic indexed artifact while reading header"},
      {"binary magic", with([](IndexedFile& f) { f.magic = {'O', 'R', 'V', 'E', 'L', 'U', '0', '1'}; }),
       "invalid UniDic indexed artifact magic [79, 82, 86, 69, 76, 85, 48, 49]"},
      {"Chinese magic", with([](IndexedFile& f) { f.magic = {'O', 'R', 'V', 'E', 'L', 'Z', '0', '1'}; }),
       "invalid UniDic indexed artifact magic [79, 82, 86, 69, 76, 90, 48, 49]"},
      {"version", with([](IndexedFile& f) { f.version = 0; }), "unsupported UniDic indexed artifact version 0"},
      {"reserved", with([](IndexedFile& f) { f.reserved = 1; }),
       "UniDic indexed artifact reserved header field is 1"},
      {"entry count", with([](IndexedFile& f) { f.entry_count = 3'000'001; }),
       "UniDic artifact entry_count length/count 3000001 exceeds limit 3000000"},
      {"entry count at limit", with([](IndexedFile& f) { f.entry_count = 3'000'000; }),
       "UniDic indexed artifact header entry count 3000000 does not match FST entry count 2"},
      {"fst_len 2^64-40", with([](IndexedFile& f) { f.fst_len = kU64Max - 39; }),
       "truncated UniDic indexed artifact while reading fst_section"},
      {"readings end overflows", with([](IndexedFile& f) { f.readings_len = kU64Max - 40; }),
       "truncated UniDic indexed artifact while reading readings_section"},
      {"sections past the buffer", with([](IndexedFile& f) { f.readings_len = f.readings.size() + 1; }),
       "truncated UniDic indexed artifact while reading indexed_payload"},
      {"40-byte header, empty sections", header_only, "invalid UniDic indexed artifact FST: FST error"},
      {"fst garbage", with([](IndexedFile& f) {
         f.keys.clear();
         f.fst_len = f.readings.size();
         f.readings_len = 0;
       }),
       "invalid UniDic indexed artifact FST: FST error"},
      {"count one less", with([](IndexedFile& f) { f.entry_count = 1; }),
       "UniDic indexed artifact header entry count 1 does not match FST entry count 2"},
      {"count one more", with([](IndexedFile& f) { f.entry_count = 3; }),
       "UniDic indexed artifact header entry count 3 does not match FST entry count 2"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(load_error(c.bytes), c.message);
  }
}

TEST(UnidicIndexedPayload, EntryAndRecordFailures) {
  struct Case {
    const char* name;
    IndexedFile file;
    std::string message;
  };
  auto record_at = [](std::uint64_t value, Bytes readings) {
    IndexedFile f;
    f.keys = {{"k", value}};
    f.readings = std::move(readings);
    return f;
  };
  const Bytes one = readings_record({"ア"});  // 4 + 4 + 3 = 11 bytes
  Bytes cut_len = readings_record({"ア", "イ"});
  cut_len.resize(cut_len.size() - 5);
  Bytes cut_text = readings_record({"ア"});
  cut_text.pop_back();
  Bytes too_many;
  unidic_test::put_u32(too_many, 257);
  Bytes too_long;
  unidic_test::put_u32(too_long, 1);
  unidic_test::put_u32(too_long, 16385);
  const std::vector<Case> cases = {
      {"key not UTF-8", IndexedFile::of({{"\xe6\x97", {"x"}}}),
       "invalid UTF-8 in UniDic indexed artifact surface: incomplete utf-8 byte sequence from index 0"},
      {"key with a bad byte", IndexedFile::of({{"a\xc0\xafz", {"x"}}}),
       "invalid UTF-8 in UniDic indexed artifact surface: invalid utf-8 sequence of 1 bytes from index 1"},
      {"empty key", IndexedFile::of({{"", {"x"}}, {"a", {"x"}}}), "UniDic artifact payload entry 0 has an empty surface"},
      {"key too long", IndexedFile::of({{std::string(16385, 'k'), {"x"}}}),
       "UniDic artifact surface_bytes length/count 16385 exceeds limit 16384"},
      {"offset at the end", record_at(one.size(), one), "invalid UniDic indexed artifact readings offset 11"},
      {"offset overflows", record_at(kU64Max, one),
       "invalid UniDic indexed artifact readings offset 18446744073709551615"},
      {"3 bytes before the end", record_at(one.size() - 3, one),
       "truncated UniDic indexed artifact while reading reading_count"},
      {"count limit", record_at(0, too_many), "UniDic artifact reading_count length/count 257 exceeds limit 256"},
      {"length cut", record_at(0, cut_len), "truncated UniDic indexed artifact while reading reading_len"},
      {"length limit", record_at(0, too_long), "UniDic artifact reading_bytes length/count 16385 exceeds limit 16384"},
      {"text cut", record_at(0, cut_text), "truncated UniDic indexed artifact while reading reading"},
      {"reading not UTF-8", IndexedFile::of({{"k", {"ok", "\xed\xa0\x80"}}}),
       "invalid UTF-8 in UniDic indexed artifact reading: invalid utf-8 sequence of 1 bytes from index 0"},
      {"no readings", IndexedFile::of({{"猫", {}}}), "UniDic artifact payload surface \"猫\" has no readings"},
      {"empty reading", IndexedFile::of({{"猫", {"ネコ", "", "ネコ"}}}),
       "UniDic artifact payload surface \"猫\" has an empty reading at index 1"},
      {"duplicate reading", IndexedFile::of({{"a", {"x"}}, {"猫", {"ネコ", "ビョウ", "ネコ"}}}),
       "UniDic artifact payload surface \"猫\" has duplicate reading \"ネコ\""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(load_error(c.file.bytes()), c.message);
  }
}

TEST(UnidicIndexedPayload, RecordBoundsAreThoseOfThePayload) {
  // The readings section claims 4 bytes; the record's texts lie beyond it.
  IndexedFile file = IndexedFile::of({{"猫", {"ネコ"}}});
  file.readings_len = 4;
  auto index = UnidicReadingIndex::from_indexed_owned_bytes(file.bytes());
  ASSERT_TRUE(index) << index.error().message();
  auto found = index->try_readings("猫");
  ASSERT_TRUE(found && *found);
  EXPECT_EQ((*found)->list(), std::vector<std::string>{"ネコ"});
}

TEST(UnidicIndexedPayload, KeysMayShareARecord) {
  IndexedFile file;
  file.keys = {{"a", 0}, {"b", 0}};
  file.readings = readings_record({"x", "y"});
  auto index = UnidicReadingIndex::from_indexed_owned_bytes(file.bytes());
  ASSERT_TRUE(index) << index.error().message();
  EXPECT_EQ((*index->try_readings("b"))->list(), (std::vector<std::string>{"x", "y"}));

  // Several keys on one large record, and one key on a bad record after
  // them. (What the keys repeat stays within the canonical-text bound: a
  // thousand keys on this record would not.)
  std::vector<std::string> readings;
  for (int i = 0; i < 256; ++i) readings.push_back(std::string(100, 'a') + std::to_string(i));
  IndexedFile shared;
  shared.readings = readings_record(readings);
  for (int i = 0; i < 40; ++i) shared.keys.emplace_back("k" + std::to_string(1000 + i), 0);
  auto loaded = UnidicReadingIndex::from_indexed_owned_bytes(shared.bytes());
  ASSERT_TRUE(loaded) << loaded.error().message();
  EXPECT_EQ(loaded->artifact_payload().entries.back().readings, readings);
  shared.keys.emplace_back("z", shared.readings.size());
  Bytes bad = readings_record({"x", "x"});
  shared.readings.insert(shared.readings.end(), bad.begin(), bad.end());
  EXPECT_EQ(load_error(shared.bytes()), "UniDic artifact payload surface \"z\" has duplicate reading \"x\"");
}

TEST(UnidicIndexedPayload, ReadingsAtDecodesAnyOffsetSafely) {
  auto index = UnidicReadingIndex::from_indexed_owned_bytes(two_entries().bytes());
  ASSERT_TRUE(index);
  const IndexedUnidicPayload& payload = *index->indexed();
  auto first = payload.readings_at(0);
  ASSERT_TRUE(first);
  EXPECT_FALSE(first->empty());
  // Offsets that no key holds: the decoder still checks every bound.
  auto past = payload.readings_at(1'000'000);
  ASSERT_FALSE(past);
  EXPECT_EQ(past.error().message(), "invalid UniDic indexed artifact readings offset 1000000");
  for (std::uint64_t value = 0; value < 64; ++value) (void)payload.readings_at(value);
}

TEST(UnidicIndexedPayload, PayloadSizeLimit) {
  auto index = UnidicReadingIndex::from_indexed_owned_bytes(Bytes(536'870'913, 0));
  ASSERT_FALSE(index);
  EXPECT_EQ(index.error().message(), "UniDic artifact payload_bytes length/count 536870913 exceeds limit 536870912");
}

TEST(UnidicIndexedPayload, BoundedReadOfTheFile) {
  TempDir dir;
  auto not_regular = unidic::read_payload_file_bounded(dir.path());
  ASSERT_FALSE(not_regular);
  EXPECT_EQ(not_regular.error().message(),
            "failed to read UniDic artifact payload: artifact payload path is not a regular file");
  auto missing = unidic::read_payload_file_bounded(dir.path() / "missing");
  ASSERT_FALSE(missing);
  EXPECT_EQ(missing.error().message(),
            "failed to read UniDic artifact payload: No such file or directory (os error 2)");
  auto over = dir.path() / "over.idx";
  std::filesystem::resize_file(dir.write("over.idx", Bytes{}), 536'870'913);
  auto too_big = unidic::read_payload_file_bounded(over);
  ASSERT_FALSE(too_big);
  EXPECT_EQ(too_big.error().message(),
            "UniDic artifact payload_bytes length/count 536870913 exceeds limit 536870912");

  const Bytes bytes = two_entries().bytes();
  auto read = unidic::read_payload_file_bounded(dir.write("ok.idx", bytes));
  ASSERT_TRUE(read);
  EXPECT_EQ(*read, bytes);
}

TEST(UnidicIndexedPayload, WriterOutputLoadsWithTheSameContent) {
  const Entries entries = {{"b", {"y", "x"}}, {"a", {"z"}}, {"c", {"y", "x"}}, {"日本", {"ニホン"}}};
  auto map = UnidicReadingIndex::from_artifact_payload(unidic_test::payload_of(entries));
  ASSERT_TRUE(map);
  auto indexed = UnidicReadingIndex::from_indexed_owned_bytes(unidic_indexed_payload_bytes(*map));
  ASSERT_TRUE(indexed) << indexed.error().message();
  EXPECT_EQ(indexed->artifact_payload(), map->artifact_payload());

  auto repeated = unidic_indexed_payload_bytes(unidic_test::payload_of({{"a", {"x"}}, {"a", {"y"}}}));
  EXPECT_FALSE(repeated);
}

TEST(UnidicIndexedPayload, IndexSharesItsPayloadBuffer) {
  auto index = UnidicReadingIndex::from_indexed_owned_bytes(two_entries().bytes());
  ASSERT_TRUE(index);
  UnidicReadingIndex copy = *index;  // copies share the immutable payload
  const auto& buffer = index->indexed()->container().shared_payload();
  EXPECT_EQ(copy.indexed(), index->indexed());
  EXPECT_EQ(buffer, copy.indexed()->container().shared_payload());
  EXPECT_EQ(buffer->size(), two_entries().bytes().size());
}

}  // namespace
}  // namespace orvel::ja
