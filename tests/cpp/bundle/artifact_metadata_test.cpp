#include "bundle/artifact_metadata.hpp"

#include <gtest/gtest.h>

#include <string>

namespace orvel::bundle {
namespace {

const std::string kZhExample =
    "schema_version: 1\n"
    "artifact_type: orvel.zh.reading-index\n"
    "artifact_name: zh-pinyin-sample\n"
    "generator: sample-builder 0.1\n"
    "payload:\n"
    "  path: payload/zh-readings.bin\n"
    "  format: indexed\n"
    "  file_digest_algorithm: sha256-file-v1\n"
    "  file_digest: 0123456789abcdef0123456789abcdef0123456789abcdef0123456789abcdef\n"
    "  checksum_algorithm: sha256-canonical-v1\n"
    "  checksum: fedcba9876543210fedcba9876543210fedcba9876543210fedcba9876543210\n"
    "source:\n"
    "  name: CEDICT\n"
    "  version: 2024-06-01\n"
    "  cedict: sources/cedict.txt\n"
    "build:\n"
    "  pinyin_view: tone3\n"
    "  max_readings_per_surface: 8\n"
    "  entries: 950\n"
    "query_defaults:\n"
    "  max_span_chars: 8\n"
    "  max_paths: 1024\n"
    "  longest_match_only: false\n"
    "  max_readings_per_segment: 4\n"
    "license:\n"
    "  selected_license: sample-data-license\n"
    "  references:\n"
    "    - label: dictionary data licence\n"
    "      path: licenses/data-license.txt\n";

const std::string kJaExample =
    "schema_version: 1\n"
    "artifact_type: orvel.unidic.reading-index\n"
    "artifact_name: unidic-romaji-sample\n"
    "generator: sample-builder 0.1\n"
    "payload:\n"
    "  path: payload/unidic-readings.bin\n"
    "  format: binary\n"
    "  checksum_algorithm: fnv1a64-canonical-v1\n"
    "  checksum: 0123456789abcdef\n"
    "source:\n"
    "  name: UniDic\n"
    "  version: 1.10\n"
    "  lex_csv: sources/lex.csv\n"
    "build:\n"
    "  reading_field: kana\n"
    "  exclude_ascii_surfaces: true\n"
    "  exclude_symbol_pos: true\n"
    "  entries: 720\n"
    "query_defaults:\n"
    "  max_span_chars: 8\n"
    "  max_paths: 1024\n"
    "  longest_match_only: false\n"
    "license:\n"
    "  selected_license: sample-data-license\n"
    "  references:\n"
    "    - label: dictionary data licence\n"
    "      path: licenses/data-license.txt\n"
    "    - label: notice\n"
    "      path: ./licenses/notice.txt\n";

// Replaces the first line starting with `prefix` (after its indentation) by `line`.
std::string with_line(std::string text, std::string_view prefix, std::string_view line) {
  std::size_t at = text.find(prefix);
  EXPECT_NE(at, std::string::npos) << prefix;
  const std::size_t end = text.find('\n', at);
  text.replace(at, end - at, line);
  return text;
}

// Removes the section starting at `key:` (at the start of a line) up to the
// next top-level key.
std::string with_section(std::string text, std::string_view key, std::string_view replacement) {
  const std::string head = "\n" + std::string(key) + ":";
  std::size_t at = text.find(head);
  EXPECT_NE(at, std::string::npos) << key;
  ++at;
  std::size_t end = text.find('\n', at);
  while (end + 1 < text.size() && text[end + 1] == ' ') end = text.find('\n', end + 1);
  text.replace(at, end + 1 - at, std::string(replacement) + "\n");
  return text;
}

std::string ja_error(const std::string& text) {
  auto r = decode_unidic_artifact_metadata(text);
  return r ? "<decoded>" : r.error().message();
}

std::string zh_error(const std::string& text) {
  auto r = decode_zh_artifact_metadata(text);
  return r ? "<decoded>" : r.error().message();
}

TEST(ArtifactMetadata, ChineseExampleDecodes) {
  auto r = decode_zh_artifact_metadata(kZhExample);
  ASSERT_TRUE(r) << r.error().message();
  EXPECT_EQ(r->schema_version, 1u);
  EXPECT_EQ(r->artifact_type, "orvel.zh.reading-index");
  EXPECT_EQ(r->payload.format, "indexed");
  EXPECT_EQ(r->payload.file_digest_algorithm, "sha256-file-v1");
  EXPECT_EQ(r->payload.file_digest->size(), 64u);
  EXPECT_EQ(r->source.version, "2024-06-01");
  EXPECT_EQ(r->build.pinyin_view, "tone3");
  EXPECT_EQ(r->build.max_readings_per_surface, 8u);
  EXPECT_EQ(r->build.entries, 950u);
  EXPECT_EQ(r->query_defaults.max_readings_per_segment, 4u);
  ASSERT_EQ(r->license.references.size(), 1u);
  EXPECT_EQ(r->license.references[0].label, "dictionary data licence");
}

TEST(ArtifactMetadata, JapaneseExampleDecodesWithAbsentKeys) {
  auto r = decode_unidic_artifact_metadata(kJaExample);
  ASSERT_TRUE(r) << r.error().message();
  EXPECT_EQ(r->artifact_name, "unidic-romaji-sample");
  EXPECT_EQ(r->source.version, "1.10");
  EXPECT_FALSE(r->payload.file_digest_algorithm.has_value());
  EXPECT_FALSE(r->payload.file_digest.has_value());
  EXPECT_FALSE(r->build.max_readings_per_surface.has_value());
  EXPECT_FALSE(r->query_defaults.max_readings_per_segment.has_value());
  EXPECT_TRUE(r->build.exclude_ascii_surfaces);
  EXPECT_FALSE(r->build.include_normalized_surfaces);
  EXPECT_FALSE(r->build.exclude_unsupported_readings);
  EXPECT_EQ(r->build.entries, 720u);
  ASSERT_EQ(r->license.references.size(), 2u);
  EXPECT_EQ(r->license.references[1].path, "./licenses/notice.txt");
}

TEST(ArtifactMetadata, ChineseDocumentAsJapaneseFailsAtTheFirstDifferingSection) {
  EXPECT_EQ(ja_error(kZhExample), "source: missing field `lex_csv` at line 13 column 3");
  EXPECT_EQ(zh_error(kJaExample), "source: missing field `cedict` at line 11 column 3");
}

TEST(ArtifactMetadata, RootErrorsNameTheRecord) {
  EXPECT_EQ(ja_error(""), "missing field `schema_version`");
  EXPECT_EQ(zh_error("- a\n"), "invalid type: sequence, expected struct ZhArtifactMetadata");
  EXPECT_EQ(ja_error("- a\n"), "invalid type: sequence, expected struct UnidicArtifactMetadata");
  EXPECT_EQ(zh_error(with_line(kZhExample, "schema_version:", "Schema_Version: 1")), "missing field `schema_version`");
  EXPECT_EQ(zh_error(with_line(kZhExample, "schema_version:", "schema_version: 4294967296")),
            "schema_version: invalid value: integer `4294967296`, expected u32 at line 1 column 17");
  for (std::string_view v : {"0x1", "+1"}) {
    auto r = decode_zh_artifact_metadata(with_line(kZhExample, "schema_version:", "schema_version: " + std::string(v)));
    ASSERT_TRUE(r) << v;
    EXPECT_EQ(r->schema_version, 1u);
  }
  EXPECT_EQ(zh_error(kZhExample + "---\n" + kZhExample),
            "deserializing from YAML containing more than one document is not supported");
}

TEST(ArtifactMetadata, ValueEdgeCases) {
  auto empty_name = decode_zh_artifact_metadata(with_line(kZhExample, "artifact_name:", "artifact_name:"));
  ASSERT_TRUE(empty_name);
  EXPECT_EQ(empty_name->artifact_name, "");

  auto null_digest = decode_zh_artifact_metadata(
      with_line(kZhExample, "file_digest_algorithm:", "file_digest_algorithm: null"));
  ASSERT_TRUE(null_digest);
  EXPECT_FALSE(null_digest->payload.file_digest_algorithm.has_value());
  auto quoted_empty = decode_zh_artifact_metadata(
      with_line(kZhExample, "file_digest_algorithm:", "file_digest_algorithm: \"\""));
  ASSERT_TRUE(quoted_empty);
  EXPECT_EQ(quoted_empty->payload.file_digest_algorithm, "");

  auto no_segment = decode_zh_artifact_metadata(
      with_line(kZhExample, "max_readings_per_segment:", "max_readings_per_segment: ~"));
  ASSERT_TRUE(no_segment);
  EXPECT_FALSE(no_segment->query_defaults.max_readings_per_segment.has_value());
  EXPECT_EQ(zh_error(with_line(kZhExample, "max_paths:", "max_paths: ~")),
            "query_defaults.max_paths: invalid type: unit value, expected usize at line 22 column 14");
  EXPECT_EQ(ja_error(with_line(kJaExample, "exclude_symbol_pos:", "exclude_symbol_pos: yes")),
            "build.exclude_symbol_pos: invalid type: string \"yes\", expected a boolean at line 17 column 23");
}

TEST(ArtifactMetadata, SectionsAndTheirFirstRequiredKeys) {
  struct Case {
    std::string key;
    std::string replacement;
    std::string ja;
    std::string zh;
  };
  const Case cases[] = {
      {"payload", "payload:", "payload: missing field `path` at line 5 column 9",
       "payload: missing field `path` at line 5 column 9"},
      {"source", "source:", "source: missing field `name` at line 10 column 8",
       "source: missing field `name` at line 12 column 8"},
      {"build", "build:", "build: missing field `reading_field` at line 14 column 7",
       "build: missing field `pinyin_view` at line 16 column 7"},
      {"build", "build: null", "build: invalid type: unit value, expected struct UnidicArtifactBuild at line 14 column 8",
       "build: invalid type: unit value, expected struct ZhArtifactBuild at line 16 column 8"},
      {"query_defaults", "query_defaults:", "query_defaults: missing field `max_span_chars` at line 19 column 16",
       "query_defaults: missing field `max_span_chars` at line 20 column 16"},
      {"license", "license:", "license: missing field `selected_license` at line 23 column 9",
       "license: missing field `selected_license` at line 25 column 9"},
      {"payload", "payload: [a, b]", "payload: invalid type: sequence, expected struct UnidicArtifactPayload at line 5 column 10",
       "payload: invalid type: sequence, expected struct ZhArtifactPayload at line 5 column 10"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ja_error(with_section(kJaExample, c.key, c.replacement)), c.ja) << c.replacement;
    EXPECT_EQ(zh_error(with_section(kZhExample, c.key, c.replacement)), c.zh) << c.replacement;
  }
}

TEST(ArtifactMetadata, JapaneseBuildFlags) {
  const std::string build_head = "build:\n  reading_field: kana\n  exclude_symbol_pos: true\n  entries: 1\n";
  EXPECT_EQ(ja_error(with_section(kJaExample, "build", build_head.substr(0, build_head.size() - 1))),
            "build: missing field `exclude_ascii_surfaces` at line 15 column 3");
  EXPECT_EQ(ja_error(with_section(kJaExample, "build",
                                  "build:\n  reading_field: kana\n  exclude_ascii_surfaces: false\n"
                                  "  exclude_symbol_pos: true\n  entries: 1\n  include_normalized_surfaces: null")),
            "build.include_normalized_surfaces: invalid type: unit value, expected a boolean at line 19 column 32");
  auto flags = decode_unidic_artifact_metadata(with_section(
      kJaExample, "build",
      "build:\n  reading_field: kana\n  exclude_ascii_surfaces: false\n  exclude_symbol_pos: false\n"
      "  entries: 1\n  include_normalized_surfaces: true\n  exclude_unsupported_readings: TRUE"));
  ASSERT_TRUE(flags) << flags.error().message();
  EXPECT_TRUE(flags->build.include_normalized_surfaces);
  EXPECT_TRUE(flags->build.exclude_unsupported_readings);
}

TEST(ArtifactMetadata, LicenceReferences) {
  const std::string head = "license:\n  selected_license: x\n";
  for (std::string_view refs : {"  references:", "  references: []"}) {
    auto r = decode_zh_artifact_metadata(with_section(kZhExample, "license", head + std::string(refs)));
    ASSERT_TRUE(r) << refs << ": " << r.error().message();
    EXPECT_TRUE(r->license.references.empty());
  }
  EXPECT_EQ(zh_error(with_section(kZhExample, "license",
                                  head + "  references:\n    - {label: a, path: a.txt}\n    - label: b")),
            "license.references[1]: missing field `path` at line 29 column 7");
  EXPECT_EQ(ja_error(with_section(kJaExample, "license", head + "  references:\n    -")),
            "license.references[0]: missing field `label` at line 26 column 6");
}

TEST(ArtifactMetadata, QueryDefaultsThroughAnAlias) {
  std::string text = with_section(kZhExample, "query_defaults", "query_defaults: *qd");
  text = "spare: &qd {max_span_chars: 3, max_paths: 9, longest_match_only: true}\n" + text;
  auto r = decode_zh_artifact_metadata(text);
  ASSERT_TRUE(r) << r.error().message();
  EXPECT_EQ(r->query_defaults.max_span_chars, 3u);
  EXPECT_EQ(r->query_defaults.max_paths, 9u);
  EXPECT_TRUE(r->query_defaults.longest_match_only);
  EXPECT_FALSE(r->query_defaults.max_readings_per_segment.has_value());
}

}  // namespace
}  // namespace orvel::bundle
