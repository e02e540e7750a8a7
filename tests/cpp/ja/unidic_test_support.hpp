#pragma once
// Fixtures for the UniDic index tests: temporary files, hand-made binary and
// indexed payloads, and small payload records.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "io/fst_map_builder.hpp"
#include "ja/unidic_payload.hpp"

namespace orvel::ja::unidic_test {

using Bytes = std::vector<std::uint8_t>;

inline std::filesystem::path data_path(const std::string& name) {
  return std::filesystem::path(ORVEL_TEST_DATA_DIR) / "unidic" / name;
}

// A directory of its own for each test, removed afterwards.
class TempDir {
 public:
  TempDir() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    path_ = std::filesystem::temp_directory_path() /
            (std::string("orvel_unidic_") + info->test_suite_name() + "_" + info->name());
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  ~TempDir() { std::filesystem::remove_all(path_); }
  const std::filesystem::path& path() const { return path_; }

  std::filesystem::path write(const std::string& name, const Bytes& bytes) const {
    auto file = path_ / name;
    std::ofstream out(file, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return file;
  }
  std::filesystem::path write(const std::string& name, const std::string& text) const {
    return write(name, Bytes(text.begin(), text.end()));
  }

 private:
  std::filesystem::path path_;
};

inline void put_u32(Bytes& out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}
inline void put_u64(Bytes& out, std::uint64_t v) {
  for (int i = 0; i < 8; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}
inline void put_string(Bytes& out, const std::string& s) {
  put_u32(out, static_cast<std::uint32_t>(s.size()));
  out.insert(out.end(), s.begin(), s.end());
}
inline void store_u32(Bytes& out, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}
inline void store_u64(Bytes& out, std::size_t at, std::uint64_t v) {
  for (int i = 0; i < 8; ++i) out[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

using Entries = std::vector<std::pair<std::string, std::vector<std::string>>>;

inline UnidicReadingIndexPayload payload_of(const Entries& entries) {
  UnidicReadingIndexPayload payload;
  for (const auto& [surface, readings] : entries) payload.entries.push_back({surface, readings});
  return payload;
}

// Binary payload "ORVELU01" with the header fields given.
struct BinaryFile {
  std::array<std::uint8_t, 8> magic = {'O', 'R', 'V', 'E', 'L', 'U', '0', '1'};
  std::uint32_t version = 1;
  std::uint32_t reserved = 0;
  std::optional<std::uint64_t> entry_count;  // default: entries.size()
  Entries entries;

  Bytes bytes() const {
    Bytes out(magic.begin(), magic.end());
    put_u32(out, version);
    put_u32(out, reserved);
    put_u64(out, entry_count.value_or(entries.size()));
    for (const auto& [surface, readings] : entries) {
      put_string(out, surface);
      put_u32(out, static_cast<std::uint32_t>(readings.size()));
      for (const auto& r : readings) put_string(out, r);
    }
    return out;
  }
};

// A readings record of the indexed payload.
inline Bytes readings_record(const std::vector<std::string>& readings) {
  Bytes out;
  put_u32(out, static_cast<std::uint32_t>(readings.size()));
  for (const auto& r : readings) put_string(out, r);
  return out;
}

// Indexed payload "ORVELI01" from keys with their offsets and a readings
// section given as bytes.
struct IndexedFile {
  std::array<std::uint8_t, 8> magic = {'O', 'R', 'V', 'E', 'L', 'I', '0', '1'};
  std::uint32_t version = 1;
  std::uint32_t reserved = 0;
  std::optional<std::uint64_t> entry_count;  // default: keys.size()
  std::vector<std::pair<std::string, std::uint64_t>> keys;
  Bytes readings;
  std::optional<std::uint64_t> fst_len;
  std::optional<std::uint64_t> readings_len;
  Bytes trailing;

  // One record per entry, each key pointing at its own record.
  static IndexedFile of(const Entries& entries) {
    IndexedFile file;
    for (const auto& [surface, readings] : entries) {
      file.keys.emplace_back(surface, file.readings.size());
      Bytes record = readings_record(readings);
      file.readings.insert(file.readings.end(), record.begin(), record.end());
    }
    return file;
  }

  Bytes bytes() const {
    io::FstMapBuilder builder;
    for (const auto& [key, value] : keys) EXPECT_TRUE(builder.insert(key, value)) << "key order";
    const Bytes fst = builder.finish();
    Bytes out(magic.begin(), magic.end());
    put_u32(out, version);
    put_u32(out, reserved);
    put_u64(out, entry_count.value_or(keys.size()));
    put_u64(out, fst_len.value_or(fst.size()));
    put_u64(out, readings_len.value_or(readings.size()));
    out.insert(out.end(), fst.begin(), fst.end());
    out.insert(out.end(), readings.begin(), readings.end());
    out.insert(out.end(), trailing.begin(), trailing.end());
    return out;
  }
};

}  // namespace orvel::ja::unidic_test
