#pragma once
// Reading the fst test vectors: map files and their manifests (hex key TAB
// decimal value, one line per key in ascending order).
#include <cstdint>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace orvel::io::fst_test {

using Entries = std::vector<std::pair<std::string, std::uint64_t>>;

inline std::string vector_path(const std::string& name) { return std::string(ORVEL_TEST_DATA_DIR) + "/fst/" + name; }

inline std::vector<std::uint8_t> read_bytes(const std::string& name) {
  std::ifstream in(vector_path(name), std::ios::binary);
  if (!in) throw std::runtime_error("missing test vector " + name);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline std::string from_hex(const std::string& hex) {
  std::string out;
  for (std::size_t i = 0; i + 1 < hex.size(); i += 2) out += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
  return out;
}

inline std::vector<std::vector<std::string>> read_tsv(const std::string& name) {
  std::ifstream in(vector_path(name));
  if (!in) throw std::runtime_error("missing test vector " + name);
  std::vector<std::vector<std::string>> rows;
  std::string line;
  while (std::getline(in, line)) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (std::size_t tab; (tab = line.find('\t', start)) != std::string::npos; start = tab + 1) {
      fields.push_back(line.substr(start, tab - start));
    }
    fields.push_back(line.substr(start));
    rows.push_back(std::move(fields));
  }
  return rows;
}

inline Entries read_manifest(const std::string& vector) {
  Entries entries;
  for (const auto& row : read_tsv(vector + ".tsv")) entries.emplace_back(from_hex(row.at(0)), std::stoull(row.at(1)));
  return entries;
}

// Every key with its value, in visit order.
template <class Map>
Entries visit_all(const Map& map) {
  Entries out;
  auto ok = map.for_each([&](std::string_view key, std::uint64_t value) { out.emplace_back(std::string(key), value); });
  if (!ok) throw std::runtime_error("visit failed: " + ok.error().debug());
  return out;
}

inline std::string hex(std::string_view bytes) {
  static const char* digits = "0123456789abcdef";
  std::string out;
  for (const char c : bytes) {
    out += digits[static_cast<unsigned char>(c) >> 4];
    out += digits[static_cast<unsigned char>(c) & 15];
  }
  return out;
}

}  // namespace orvel::io::fst_test
