// Writes the seed corpora of the fuzz targets from the test data:
//   orvel_fuzz_seeds OUT_DIR
// makes OUT_DIR/<target>/ with small valid inputs of each format (payloads
// of a few entries and of the whole test indexes, bundles with correct
// digests and checksums, YAML records, texts for the reading fronts and
// pairs for the kernels). The fuzzers start from these and the test data
// files themselves (scripts/fuzz.sh).
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "io/sha256.hpp"
#include "ja/unidic_payload_writer.hpp"
#include "ja/unidic_reading_index.hpp"
#include "zh/cedict_reading_index.hpp"
#include "zh/cedict_yaml_records.hpp"
#include "zh/zh_indexed_payload_writer.hpp"

namespace fs = std::filesystem;

namespace {

fs::path out_root;

void write(const std::string& target, const std::string& name, std::string_view bytes) {
  const fs::path dir = out_root / target;
  fs::create_directories(dir);
  std::ofstream out(dir / name, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string_view as_text(const std::vector<std::uint8_t>& bytes) {
  return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

std::string yaml_quoted(std::string_view s) {
  std::string out = "\"";
  for (const char c : s) {
    if (c == '"' || c == '\\') out += '\\';
    out += c;
  }
  return out + '"';
}

template <class Entries>
std::string yaml_entries(const Entries& entries) {
  std::string out = "entries:\n";
  for (const auto& e : entries) {
    out += "  - surface: " + yaml_quoted(e.surface) + "\n    readings: [";
    for (std::size_t i = 0; i < e.readings.size(); ++i) out += (i ? ", " : "") + yaml_quoted(e.readings[i]);
    out += "]\n";
  }
  return out;
}

template <class Entries>
Entries first(const Entries& entries, std::size_t count) {
  return Entries(entries.begin(), entries.begin() + std::min(count, entries.size()));
}

std::string metadata(bool zh, std::string_view format, std::uint64_t entries, const std::string& checksum,
                     const std::string* file_digest, std::string_view view) {
  std::string m = "schema_version: 1\n";
  m += zh ? "artifact_type: \"orvel.zh.reading-index\"\n" : "artifact_type: \"orvel.unidic.reading-index\"\n";
  m += "artifact_name: \"fuzz-seed\"\ngenerator: \"fuzz/make_seeds.cpp\"\npayload:\n";
  m += "  path: \"payload/readings.idx\"\n  format: \"" + std::string(format) + "\"\n";
  if (file_digest != nullptr) {
    m += "  file_digest_algorithm: \"sha256-file-v1\"\n  file_digest: \"" + *file_digest + "\"\n";
  }
  m += "  checksum_algorithm: \"sha256-canonical-v1\"\n  checksum: \"" + checksum + "\"\n";
  if (zh) {
    m += "source:\n  name: \"CC-CEDICT\"\n  version: \"1\"\n  cedict: \"cedict_ts.u8\"\n";
    m += "build:\n  pinyin_view: \"" + std::string(view) + "\"\n  entries: " + std::to_string(entries) + "\n";
  } else {
    m += "source:\n  name: \"UniDic\"\n  version: \"1\"\n  lex_csv: \"lex.csv\"\n";
    m += "build:\n  reading_field: \"kana\"\n  max_readings_per_surface: 8\n  exclude_ascii_surfaces: true\n  exclude_symbol_pos: false\n";
    m += "  entries: " + std::to_string(entries) + "\n";
  }
  m += "query_defaults:\n  max_span_chars: 8\n  max_paths: 1024\n  longest_match_only: false\n";
  m += "license:\n  selected_license: \"BSD-3-Clause\"\n  references:\n    - label: \"licence\"\n      path: \"LICENSE\"\n";
  return m;
}

// A bundle seed: flags byte, metadata, NUL, payload (see bundle_fuzz.cpp).
void bundle_seed(const std::string& name, bool zh, std::string_view format, std::uint64_t entries,
                 const std::string& checksum, std::string_view payload, std::string_view view = "") {
  const std::string digest = orvel::io::to_lower_hex(orvel::io::sha256(payload));
  for (const bool with_digest : {true, false}) {
    std::string seed(1, zh ? '\x01' : '\x00');
    seed += metadata(zh, format, entries, checksum, with_digest ? &digest : nullptr, view);
    seed += '\0';
    seed += payload;
    write("fuzz_bundle", name + (with_digest ? "" : "-no-digest"), seed);
  }
}

void fail(const std::string& what) {
  std::fprintf(stderr, "orvel_fuzz_seeds: %s\n", what.c_str());
  std::exit(1);
}

void japanese(const fs::path& source) {
  using orvel::ja::UnidicReadingIndex;
  auto full = UnidicReadingIndex::from_artifact_payload_path(source / "tests/data/unidic/small.yaml");
  if (!full) fail(full.error().message());
  const auto all = full->artifact_payload();
  for (const std::size_t n : {std::size_t{0}, std::size_t{3}, std::size_t{12}, all.entries.size()}) {
    auto part = all;
    part.entries = first(all.entries, n);
    const std::string tag = std::to_string(n);
    const std::string yaml = "schema_version: 1\npayload_type: orvel.unidic.reading-index.surface-readings\n" +
                             yaml_entries(part.entries);
    write("fuzz_yaml_records", "unidic-" + tag + ".yaml", yaml);
    auto index = UnidicReadingIndex::from_artifact_payload(part);
    if (!index) fail(index.error().message());
    const auto binary = orvel::ja::unidic_binary_payload_bytes(*index);
    const auto indexed = orvel::ja::unidic_indexed_payload_bytes(*index);
    write("fuzz_unidic_binary", "unidic-" + tag + ".bin", as_text(binary));
    write("fuzz_unidic_indexed", "unidic-" + tag + ".idx", as_text(indexed));
    if (n <= 12) {
      const std::string checksum = *index->artifact_payload_checksum_for_algorithm("sha256-canonical-v1");
      bundle_seed("unidic-yaml-" + tag, false, "yaml", n, checksum, yaml);
      bundle_seed("unidic-binary-" + tag, false, "binary", n, checksum, as_text(binary));
      bundle_seed("unidic-indexed-" + tag, false, "indexed", n, checksum, as_text(indexed));
      write("fuzz_yaml_records", "unidic-metadata-" + tag + ".yaml",
            metadata(false, "indexed", n, checksum, nullptr, ""));
    }
  }
  // Texts of the reading front: options byte 0x07 (8 characters, 1 path),
  // 0x1f (8 characters, 1,024 paths), then the text.
  int i = 0;
  for (const auto& e : first(all.entries, 40)) {
    write("fuzz_ja_front", "surface-" + std::to_string(i++), "\x1f" + e.surface);
  }
  for (const std::string_view text : {"", "かな", "東京", "tokyo", "ねこab", "東kyo", "東京deすし", "ｔｏｋｙｏ",
                                      "キャット", "っ", "ん", "ヴァ", "今日は", "日本語", "a1"}) {
    write("fuzz_ja_front", "text-" + std::to_string(i++), "\x1f" + std::string(text));
  }
  // Texts of the span reader: options 0x1f, order 0x00 (every width, in
  // the searches' order) or 0x13 (width 3, shuffled), then the text.
  for (const std::string_view text : {"東京都に行きたい", "今日は東京deすし", "キャットっ東京", "東京タワーと京都"}) {
    write("fuzz_ja_spans", "text-" + std::to_string(i++), std::string("\x1f\x00", 2) + std::string(text));
    write("fuzz_ja_spans", "text-" + std::to_string(i++), "\x1f\x13" + std::string(text));
  }
}

std::string tag_name(std::string_view view, int i) { return std::string(view) + "-" + std::to_string(i); }

void chinese(const fs::path& source) {
  using orvel::zh::CedictReadingIndex;
  for (const std::string_view view : {"tone3", "no-tone"}) {
    auto full = CedictReadingIndex::from_artifact_payload_path(source /
                                                               ("tests/data/cedict/small-" + std::string(view) + ".yaml"));
    if (!full) fail(full.error().message());
    const auto all = full->artifact_payload();
    for (const std::size_t n : {std::size_t{0}, std::size_t{3}, std::size_t{12}, all.entries.size()}) {
      auto part = all;
      part.entries = first(all.entries, n);
      const std::string tag = std::string(view) + "-" + std::to_string(n);
      const std::string yaml = "schema_version: 1\npayload_type: orvel.zh.reading-index.surface-readings\n"
                               "pinyin_view: " + std::string(view) + "\n" + yaml_entries(part.entries);
      write("fuzz_yaml_records", "zh-" + tag + ".yaml", yaml);
      auto index = CedictReadingIndex::from_artifact_payload(part);
      if (!index) fail(index.error().message());
      const auto indexed = orvel::zh::zh_indexed_payload_bytes(*index);
      write("fuzz_zh_indexed", "zh-" + tag + ".idx", as_text(indexed));
      if (n <= 12) {
        const std::string checksum = *index->artifact_payload_checksum_for_algorithm("sha256-canonical-v1");
        bundle_seed("zh-yaml-" + tag, true, "yaml", n, checksum, yaml, view);
        bundle_seed("zh-indexed-" + tag, true, "indexed", n, checksum, as_text(indexed), view);
        write("fuzz_yaml_records", "zh-metadata-" + tag + ".yaml", metadata(true, "indexed", n, checksum, nullptr, view));
      }
    }
    // Texts of the reading front: flags (bit 0 no-tone), options, text.
    const std::string flags(1, view == "tone3" ? '\x00' : '\x01');
    int i = 0;
    for (const auto& e : first(all.entries, 30)) {
      write("fuzz_zh_front", tag_name(view, i++), flags + "\x1f" + e.surface);
    }
    for (const std::string_view text : {"", "   ", "ni3hao3", "Ni3 Hao3", "你好 ma", "中A", "银行", "音乐",
                                        "重庆", "xi'an", "lü4", "nv3", "中国人"}) {
      write("fuzz_zh_front", tag_name(view, i++), flags + "\x1f" + std::string(text));
    }
    // Texts of the span reader: flags, options 0x1f, order 0x00 (every
    // width, in the searches' order) or 0x13 (width 3, shuffled), text.
    for (const std::string_view text : {"我们去北京的银行", "重庆音乐 ni3hao3", "长长长行行长长", "你好 ma 中国人"}) {
      write("fuzz_zh_spans", tag_name(view, i++), flags + std::string("\x1f\x00", 2) + std::string(text));
      write("fuzz_zh_spans", tag_name(view, i++), flags + "\x1f\x13" + std::string(text));
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) fail("usage: orvel_fuzz_seeds OUT_DIR");
  out_root = argv[1];
  const fs::path source = ORVEL_SOURCE_DIR;
  japanese(source);
  chinese(source);

  // Kernel pairs: mode byte, then the two sides (see each target).
  write("fuzz_string_distance", "swap", std::string("\x03" "abcd\xff" "bacd", 10));
  write("fuzz_string_distance", "long", std::string(1, '\x01') + std::string(70, 'a') + "b\xff" + std::string(66, 'a'));
  write("fuzz_string_distance", "kana", std::string("\x1f" "\x01\x02\x03\xff\x02\x01\x03", 8));
  // Batch packs: mode (lane width), alphabet, cap, patterns, 0xFF, texts.
  write("fuzz_string_batch", "bytes", std::string("\x00\x03\x02" "ab\xfe" "ba\xfe" "abcd\xff" "abc\xfe" "bacd\xfe", 23));
  write("fuzz_string_batch", "halves", std::string("\x01\x1f\x05" "abc\xfd\xfe" "ca\xff" "abcabcabcabcab\xfe" "c", 27));
  write("fuzz_string_batch", "words", std::string("\x06\x27\x07" "a\xfd\xfe" "b\xff" "ab\xfd\x00\xfe" "ba", 15));
  write("fuzz_string_batch", "wide", std::string("\x03\x31\x10" "ab\xfd\xfe" "ba\xfd\xff" "ab\xfe" "ba\xfd\x01", 18));
  write("fuzz_string_batch", "longest", std::string("\x00\x01\x00" "ab\xff" "a\xfd\x05\xfe" "b\xfd\x06", 13));
  write("fuzz_lattice_distance", "chains", std::string("\x03\x04\x03\x00\x00\x00\x01\x01\x00\x02\x02\x00\x00\x04"
                                                       "\x03\x00\x00\x01\x01\x00\x00\x02\x02\x00\x00", 25));
  write("fuzz_lattice_distance", "free", std::string("\x0b\x05\x01\x03\x04\x01\x02\x00\x02\x03\x01", 11));
  write("fuzz_lattice_distance", "oversized", std::string("\x10", 1));
  write("fuzz_path_similarity", "sets", std::string("\x03" "ab\xfe" "ba\xfe" "abc\xff" "ca\xfe" "b", 15));
  write("fuzz_path_similarity", "long", std::string("\x07" "ab\xfd\xfe" "c\xff" "ab\xfd" "c", 11));
  return 0;
}
