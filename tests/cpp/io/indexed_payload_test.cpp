#include "io/indexed_payload.hpp"

#include <gtest/gtest.h>

#include <cstdio>
#include <limits>
#include <optional>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "io/fst_map_builder.hpp"

namespace orvel::io {
namespace {

using Kind = IndexedPayloadError::Kind;
using Bytes = std::vector<std::uint8_t>;

constexpr std::uint64_t kU64Max = std::numeric_limits<std::uint64_t>::max();

// A container format with small limits, so the bounds are cheap to reach.
IndexedPayloadFormat test_format() {
  return IndexedPayloadFormat{.magic = {'T', 'E', 'S', 'T', 'I', 'X', '0', '1'},
                              .max_header_word = 1,
                              .max_entries = 5,
                              .max_surface_bytes = 4,
                              .max_reading_count = 3,
                              .max_reading_bytes = 5,
                              .max_payload_bytes = 4096};
}

void put_u32(Bytes& out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}
void put_u64(Bytes& out, std::uint64_t v) {
  for (int i = 0; i < 8; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

// A readings record: a count, then length-prefixed texts.
Bytes record(const std::vector<std::string>& readings, std::optional<std::uint32_t> count = std::nullopt) {
  Bytes out;
  put_u32(out, count.value_or(static_cast<std::uint32_t>(readings.size())));
  for (const auto& r : readings) {
    put_u32(out, static_cast<std::uint32_t>(r.size()));
    out.insert(out.end(), r.begin(), r.end());
  }
  return out;
}

struct Container {
  std::array<std::uint8_t, 8> magic = test_format().magic;
  std::uint32_t version = 1;
  std::uint32_t word = 0;
  std::optional<std::uint64_t> entry_count;  // default: number of keys
  std::vector<std::pair<std::string, std::uint64_t>> keys;
  Bytes readings;
  std::optional<std::uint64_t> fst_len;
  std::optional<std::uint64_t> readings_len;
  Bytes trailing;

  Bytes bytes() const {
    FstMapBuilder builder;
    for (const auto& [key, value] : keys) EXPECT_TRUE(builder.insert(key, value));
    const Bytes fst = builder.finish();
    Bytes out(magic.begin(), magic.end());
    put_u32(out, version);
    put_u32(out, word);
    put_u64(out, entry_count.value_or(keys.size()));
    put_u64(out, fst_len.value_or(fst.size()));
    put_u64(out, readings_len.value_or(readings.size()));
    out.insert(out.end(), fst.begin(), fst.end());
    out.insert(out.end(), readings.begin(), readings.end());
    out.insert(out.end(), trailing.begin(), trailing.end());
    return out;
  }
};

Container one_entry() {
  Container c;
  c.keys = {{"ab", 0}};
  c.readings = record({"x", "yz"});
  return c;
}

TEST(IndexedPayload, OpensAndLooksUp) {
  Container c = one_entry();
  c.word = 1;
  c.trailing = {9, 9, 9};  // bytes after the sections are ignored
  auto payload = IndexedPayload::open(c.bytes(), test_format());
  ASSERT_TRUE(payload) << payload.error().debug();
  EXPECT_EQ(payload->entry_count(), 1u);
  EXPECT_EQ(payload->header_word(), 1u);
  auto found = payload->lookup("ab");
  ASSERT_TRUE(found);
  EXPECT_EQ(**found, (std::vector<std::string>{"x", "yz"}));
  auto missing = payload->lookup("a");
  ASSERT_TRUE(missing);
  EXPECT_FALSE(*missing);
}

struct HeaderCase {
  const char* name;
  Bytes bytes;
  Kind kind;
  std::string_view field = {};
  std::uint64_t value = 0;
};

TEST(IndexedPayload, HeaderFailuresInOrder) {
  auto with = [](auto change) {
    Container c = one_entry();
    change(c);
    return c.bytes();
  };
  Bytes too_big = one_entry().bytes();
  too_big.resize(test_format().max_payload_bytes + 1);
  Bytes short_header = one_entry().bytes();
  short_header.resize(39);
  Bytes bare_header = with([](Container& c) {
    c.keys.clear();
    c.readings.clear();
    c.fst_len = 0;
  });
  bare_header.resize(40);

  const std::vector<HeaderCase> cases = {
      {"payload size", too_big, Kind::LimitExceeded, "payload_bytes", 4097},
      {"39 bytes", short_header, Kind::Truncated, "header"},
      {"magic", with([](Container& c) { c.magic[7] = '2'; }), Kind::InvalidMagic},
      {"version", with([](Container& c) { c.version = 2; }), Kind::UnsupportedVersion, {}, 2},
      {"header word", with([](Container& c) { c.word = 2; }), Kind::InvalidHeaderWord, {}, 2},
      {"entry count", with([](Container& c) { c.entry_count = 6; }), Kind::LimitExceeded, "entry_count", 6},
      {"fst_len overflow", with([](Container& c) { c.fst_len = kU64Max - 39; }), Kind::Truncated, "fst_section"},
      {"fst_len overflow after a bad entry count", with([](Container& c) {
         c.fst_len = kU64Max;
         c.entry_count = 7;
       }),
       Kind::LimitExceeded, "entry_count", 7},
      {"sections past the buffer", with([](Container& c) { c.readings_len = c.readings.size() + 1; }),
       Kind::Truncated, "indexed_payload"},
      {"empty fst section", bare_header, Kind::InvalidFst},
      {"fst key count", with([](Container& c) { c.entry_count = 2; }), Kind::EntryCountMismatch},
  };
  for (const HeaderCase& hc : cases) {
    SCOPED_TRACE(hc.name);
    auto payload = IndexedPayload::open(hc.bytes, test_format());
    ASSERT_FALSE(payload);
    const IndexedPayloadError& e = payload.error();
    EXPECT_EQ(e.kind, hc.kind) << e.debug();
    EXPECT_EQ(e.field, hc.field);
    if (hc.kind == Kind::LimitExceeded) {
      EXPECT_EQ(e.len, hc.value);
    } else if (hc.value != 0) {
      EXPECT_EQ(e.value, hc.value);
    }
  }
}

TEST(IndexedPayload, ReadingsSectionEndMustFitIn64Bits) {
  // The sum 40 + fst_len + readings_len overflows by one, then just fits.
  Container c = one_entry();
  Bytes bytes = c.bytes();
  const std::uint64_t fst_len = load_u64_le(bytes.data() + 24);
  c.readings_len = kU64Max - 40 - fst_len + 1;
  auto payload = IndexedPayload::open(c.bytes(), test_format());
  ASSERT_FALSE(payload);
  EXPECT_EQ(payload.error().field, "readings_section");
  c.readings_len = kU64Max - 40 - fst_len;
  payload = IndexedPayload::open(c.bytes(), test_format());
  ASSERT_FALSE(payload);
  EXPECT_EQ(payload.error().field, "indexed_payload");
}

TEST(IndexedPayload, InvalidMagicCarriesTheEightBytes) {
  Container c = one_entry();
  c.magic = {0, 1, 2, 3, 4, 5, 6, 255};
  auto payload = IndexedPayload::open(c.bytes(), test_format());
  ASSERT_FALSE(payload);
  EXPECT_EQ(payload.error().magic, c.magic);
}

TEST(IndexedPayload, EntryCountMismatchCarriesHeaderCountFirst) {
  Container c = one_entry();
  c.entry_count = 0;
  auto payload = IndexedPayload::open(c.bytes(), test_format());
  ASSERT_FALSE(payload);
  EXPECT_EQ(payload.error().len, 0u);
  EXPECT_EQ(payload.error().max, 1u);
}

struct RecordCase {
  const char* name;
  Bytes record;
  std::uint64_t offset;
  Kind kind;
  std::string_view field = {};
};

TEST(ReadingsRecord, DecodingFailures) {
  const std::vector<RecordCase> cases = {
      {"offset at the end", record({"a"}), 9, Kind::InvalidOffset},
      {"offset overflows", record({"a"}), kU64Max, Kind::InvalidOffset},
      {"3 bytes before the end", record({"a"}), 6, Kind::Truncated, "reading_count"},
      {"count past the limit", record({"a", "b", "c", "d"}), 0, Kind::LimitExceeded, "reading_count"},
      {"length cut", record({"a"}, 2), 0, Kind::Truncated, "reading_len"},
      {"length past the limit", record({"abcdef"}), 0, Kind::LimitExceeded, "reading_bytes"},
      {"text cut", [] {
         Bytes r = record({"abc"});
         r.pop_back();
         return r;
       }(),
       0, Kind::Truncated, "reading"},
      {"not UTF-8", record({"a\xff"}), 0, Kind::InvalidUtf8, "reading"},
  };
  for (const RecordCase& rc : cases) {
    SCOPED_TRACE(rc.name);
    auto readings = decode_readings_record(rc.record, 0, rc.offset, test_format());
    ASSERT_FALSE(readings);
    EXPECT_EQ(readings.error().kind, rc.kind) << readings.error().debug();
    EXPECT_EQ(readings.error().field, rc.field);
  }
  auto utf8 = decode_readings_record(record({"a\xff"}), 0, 0, test_format());
  EXPECT_EQ(utf8.error().utf8.message(), "invalid utf-8 sequence of 1 bytes from index 1");
  auto offset = decode_readings_record(record({"a"}), 0, 9, test_format());
  EXPECT_EQ(offset.error().value, 9u);
}

TEST(ReadingsRecord, LimitsAreInclusiveAndEmptiesAreReturned) {
  auto at_limits = decode_readings_record(record({"abcde", "", "b"}), 0, 0, test_format());
  ASSERT_TRUE(at_limits) << at_limits.error().debug();
  EXPECT_EQ(*at_limits, (std::vector<std::string>{"abcde", "", "b"}));
  auto none = decode_readings_record(record({}), 0, 0, test_format());
  ASSERT_TRUE(none);
  EXPECT_TRUE(none->empty());
}

TEST(ReadingsRecord, BoundsAreThoseOfThePayloadNotTheSection) {
  // readings_len covers only the count; the texts lie in the trailing bytes.
  Container c = one_entry();
  c.readings_len = 4;
  auto payload = IndexedPayload::open(c.bytes(), test_format());
  ASSERT_TRUE(payload) << payload.error().debug();
  auto readings = payload->readings_at(0);
  ASSERT_TRUE(readings) << readings.error().debug();
  EXPECT_EQ(readings->size(), 2u);
}

// A language error type for validate_indexed_entries: either a container
// error or the language's own reading test.
struct TestError {
  std::optional<IndexedPayloadError> container;
  std::string own;
  static TestError from_indexed(const IndexedPayloadError& e) { return TestError{e, {}}; }
};

std::expected<void, TestError> validate(const Container& c) {
  auto payload = IndexedPayload::open(c.bytes(), test_format());
  if (!payload) return std::unexpected(TestError::from_indexed(payload.error()));
  return validate_indexed_entries<TestError>(*payload, [](std::string_view, const std::string& reading) {
    return reading == "BAD" ? std::optional<TestError>(TestError{std::nullopt, "bad " + reading})
                            : std::optional<TestError>();
  });
}

TEST(ValidateEntries, ChecksEveryKeyAndRecordInOrder) {
  struct Case {
    const char* name;
    std::vector<std::pair<std::string, std::vector<std::string>>> entries;
    std::optional<Kind> kind;  // nullopt: the language's own error
    std::string_view field = {};
  };
  const std::vector<Case> cases = {
      {"key not UTF-8", {{"\xc3", {"a"}}}, Kind::InvalidUtf8, "surface"},
      {"empty key", {{"", {"a"}}, {"b", {"a"}}}, Kind::EmptySurface},
      {"key too long", {{"abcde", {"a"}}}, Kind::LimitExceeded, "surface_bytes"},
      {"no readings", {{"a", {}}}, Kind::EmptyReadings},
      {"empty reading before own test", {{"a", {"", "BAD"}}}, Kind::EmptyReading},
      {"own test before duplicate", {{"a", {"BAD", "BAD"}}}, std::nullopt},
      {"duplicate", {{"a", {"x", "y", "x"}}}, Kind::DuplicateReading},
      {"later key", {{"a", {"x"}}, {"b", {"y", "y"}}}, Kind::DuplicateReading},
  };
  for (const Case& tc : cases) {
    SCOPED_TRACE(tc.name);
    Container c;
    for (const auto& [surface, readings] : tc.entries) {
      c.keys.emplace_back(surface, c.readings.size());
      Bytes r = record(readings);
      c.readings.insert(c.readings.end(), r.begin(), r.end());
    }
    auto checked = validate(c);
    ASSERT_FALSE(checked);
    if (!tc.kind) {
      EXPECT_FALSE(checked.error().container);
      EXPECT_EQ(checked.error().own, "bad BAD");
      continue;
    }
    ASSERT_TRUE(checked.error().container);
    const IndexedPayloadError& e = *checked.error().container;
    EXPECT_EQ(e.kind, *tc.kind) << e.debug();
    EXPECT_EQ(e.field, tc.field);
  }
}

TEST(ValidateEntries, ReportsSurfaceAndPositions) {
  Container c;
  c.keys = {{"k", 0}};
  c.readings = record({"x", "y", "x"});
  auto dup = validate(c);
  ASSERT_FALSE(dup);
  EXPECT_EQ(dup.error().container->surface, "k");
  EXPECT_EQ(dup.error().container->reading, "x");

  c.readings = record({"x", ""});
  auto empty = validate(c);
  ASSERT_FALSE(empty);
  EXPECT_EQ(empty.error().container->value, 1u);
}

TEST(ValidateEntries, SharedRecordsAndValidPayloadPass) {
  Container c;
  c.keys = {{"a", 0}, {"abcd", 0}, {"b", 0}};
  c.readings = record({"x", "y", "z"});
  EXPECT_TRUE(validate(c));
}

// The limits of a real payload, where amplification shows.
IndexedPayloadFormat real_limits() {
  IndexedPayloadFormat f = test_format();
  f.max_entries = 3'000'000;
  f.max_surface_bytes = 16'384;
  f.max_reading_count = 256;
  f.max_reading_bytes = 16'384;
  f.max_payload_bytes = 536'870'912;
  return f;
}

std::expected<void, TestError> validate_real(const Bytes& bytes) {
  auto payload = IndexedPayload::open(bytes, real_limits());
  if (!payload) return std::unexpected(TestError::from_indexed(payload.error()));
  return validate_indexed_entries<TestError>(
      *payload, [](std::string_view, const std::string&) { return std::optional<TestError>(); });
}

TEST(ValidateEntries, ALongChainIsRefusedWhereItPassesTheSurfaceLimit) {
  Container c;
  c.keys = {{std::string(40'000, 'a'), 0}};
  c.readings = record({"x"});
  const Bytes bytes = c.bytes();
  auto checked = validate_real(bytes);
  ASSERT_FALSE(checked);
  const IndexedPayloadError& e = *checked.error().container;
  EXPECT_EQ(e.kind, Kind::LimitExceeded);
  EXPECT_EQ(e.field, "surface_bytes");
  // The descent stops one byte past the limit instead of spelling out the
  // whole 40,000-byte key.
  EXPECT_EQ(e.len, 16'385u);
  EXPECT_EQ(e.max, 16'384u);

  auto payload = IndexedPayload::open(bytes, real_limits());
  ASSERT_TRUE(payload);
  std::size_t keys_seen = 0;
  auto visited = payload->fst().for_each([&](std::string_view, std::uint64_t) { ++keys_seen; }, 16'384);
  ASSERT_FALSE(visited);
  EXPECT_EQ(visited.error().kind, FstError::Kind::KeyTooLong);
  EXPECT_EQ(visited.error().size, 16'385u);
  EXPECT_EQ(keys_seen, 0u);
  // A limit the key fits passes it whole.
  EXPECT_TRUE(payload->fst().for_each([&](std::string_view key, std::uint64_t) { EXPECT_EQ(key.size(), 40'000u); },
                                      40'000));
}

// Keys that differ in a short head and share one long tail: the fst stores
// the tail once, every key spells it out.
TEST(ValidateEntries, KeyBytesStayInProportionToThePayload) {
  Container c;
  const std::string tail(8'000, 't');
  for (int i = 0; i < 512; ++i) {
    char head[8];
    std::snprintf(head, sizeof head, "k%03d", i);
    c.keys.emplace_back(head + tail, 0);
  }
  c.readings = record({"x"});
  const Bytes bytes = c.bytes();
  ASSERT_LT(bytes.size(), 64'000u);  // about 4 MB of keys in a small file
  auto checked = validate_real(bytes);
  ASSERT_FALSE(checked);
  const IndexedPayloadError& e = *checked.error().container;
  EXPECT_EQ(e.kind, Kind::LimitExceeded);
  EXPECT_EQ(e.field, "fst_key_bytes");
  EXPECT_EQ(e.max, max_entry_bytes(bytes.size()));
  EXPECT_GT(e.len, e.max);
  EXPECT_LE(e.len, e.max + 8'004);  // refused at the first key past the bound

  // Fewer keys over the same tail stay within the bound.
  c.keys.resize(64);
  EXPECT_TRUE(validate_real(c.bytes()));
}

// Keys that share one large readings record: the canonical text (and the
// checksum over it) repeats the record per key.
TEST(ValidateEntries, CanonicalBytesStayInProportionToThePayload) {
  std::vector<std::string> readings;
  for (int i = 0; i < 64; ++i) readings.push_back(std::to_string(i) + std::string(1'000, 'r'));
  Container c;
  for (int i = 0; i < 1024; ++i) {
    char key[8];
    std::snprintf(key, sizeof key, "k%04d", i);
    c.keys.emplace_back(key, 0);
  }
  c.readings = record(readings);
  const Bytes bytes = c.bytes();
  auto checked = validate_real(bytes);
  ASSERT_FALSE(checked);
  const IndexedPayloadError& e = *checked.error().container;
  EXPECT_EQ(e.kind, Kind::LimitExceeded);
  EXPECT_EQ(e.field, "canonical_bytes");
  EXPECT_EQ(e.max, max_entry_bytes(bytes.size()));

  c.keys.resize(8);
  EXPECT_TRUE(validate_real(c.bytes()));
}

TEST(FirstDuplicate, MatchesBruteForce) {
  auto brute = [](const std::vector<std::string>& v) -> std::optional<std::size_t> {
    for (std::size_t j = 0; j < v.size(); ++j) {
      for (std::size_t k = 0; k < j; ++k) {
        if (v[k] == v[j]) return j;
      }
    }
    return std::nullopt;
  };
  std::mt19937 rng(12345);
  for (int round = 0; round < 2000; ++round) {
    const std::size_t n = rng() % 40;
    const int alphabet = 1 + static_cast<int>(rng() % 60);
    std::vector<std::string> v;
    for (std::size_t i = 0; i < n; ++i) v.push_back(std::to_string(rng() % alphabet));
    ASSERT_EQ(first_duplicate(v), brute(v)) << "round " << round;
  }
}

TEST(ReadU64, BoundsAndByteOrder) {
  const Bytes bytes = {1, 2, 3, 4, 5, 6, 7, 8, 9};
  EXPECT_EQ(*read_u64_le_bytes(bytes, 1, "x"), 0x0908070605040302ULL);
  auto past = read_u64_le_bytes(bytes, 2, "entry_count");
  ASSERT_FALSE(past);
  EXPECT_EQ(past.error().field, "entry_count");
  EXPECT_FALSE(read_u64_le_bytes(bytes, 100, "x"));
}

}  // namespace
}  // namespace orvel::io
