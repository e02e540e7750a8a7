#include "bundle/bundle_loader.hpp"

#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <map>
#include <random>
#include <sstream>

#include "bundle/file_digest.hpp"
#include "bundle/payload_loading.hpp"
#include "io/sha256.hpp"

namespace orvel::bundle {
namespace {

namespace fs = std::filesystem;

const std::string kJaPayload =
    "schema_version: 1\n"
    "payload_type: orvel.unidic.reading-index.surface-readings\n"
    "entries:\n"
    "  - surface: 東京\n"
    "    readings: [とうきょう]\n"
    "  - surface: 京都\n"
    "    readings: [きょうと]\n";

const std::string kZhPayload =
    "schema_version: 1\n"
    "payload_type: orvel.zh.reading-index.surface-readings\n"
    "pinyin_view: no-tone\n"
    "entries:\n"
    "  - surface: 中国\n"
    "    readings: [zhongguo]\n"
    "  - surface: 北京\n"
    "    readings: [beijing]\n"
    "  - surface: 中\n"
    "    readings: [zhong]\n";

std::string read_file(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

void write_file(const fs::path& p, std::string_view bytes) {
  fs::create_directories(p.parent_path());
  std::ofstream(p, std::ios::binary) << bytes;
}

// A bundle directory with its payload, licences and a metadata.yaml made
// from `fields` (dotted keys; a value of "<absent>" drops the key).
class Bundle {
 public:
  explicit Bundle(bool chinese) : chinese_(chinese) {
    static int counter = 0;
    root_ = fs::path(::testing::TempDir()) / ("orvel_bundle_" + std::to_string(::getpid()) + "_" +
                                               std::to_string(counter++));
    fs::remove_all(root_);
    write_file(root_ / "payload/readings.yaml", chinese ? kZhPayload : kJaPayload);
    write_file(root_ / "licenses/data-license.txt", "data licence\n");
    write_file(root_ / "licenses/notice.txt", "notice\n");
    const std::string checksum = chinese ? *load_zh_payload(root_ / "payload/readings.yaml", "yaml")
                                               ->artifact_payload_checksum_for_algorithm("sha256-canonical-v1")
                                         : *load_unidic_payload(root_ / "payload/readings.yaml", "yaml")
                                               ->artifact_payload_checksum_for_algorithm("sha256-canonical-v1");
    fields_ = {
        {"schema_version", "1"},
        {"artifact_type", chinese ? "orvel.zh.reading-index" : "orvel.unidic.reading-index"},
        {"artifact_name", chinese ? "zh-sample" : "ja-sample"},
        {"generator", "test"},
        {"payload.path", "payload/readings.yaml"},
        {"payload.format", "yaml"},
        {"payload.file_digest_algorithm", "sha256-file-v1"},
        {"payload.file_digest", io::to_lower_hex(io::sha256(read_file(root_ / "payload/readings.yaml")))},
        {"payload.checksum_algorithm", "sha256-canonical-v1"},
        {"payload.checksum", checksum},
        {"source.name", chinese ? "CEDICT" : "UniDic"},
        {"source.version", "1"},
        {chinese ? "source.cedict" : "source.lex_csv", "x"},
        {chinese ? "build.pinyin_view" : "build.reading_field", chinese ? "no-tone" : "kana"},
        {"build.entries", chinese ? "3" : "2"},
        {"query_defaults.max_span_chars", "6"},
        {"query_defaults.max_paths", "100"},
        {"query_defaults.longest_match_only", "true"},
        {"query_defaults.max_readings_per_segment", "3"},
        {"license.selected_license", "test"},
        {"license.references", "[{label: data, path: licenses/data-license.txt}, {label: notice, path: ./licenses/notice.txt}]"},
    };
    if (!chinese) {
      fields_["build.exclude_ascii_surfaces"] = "true";
      fields_["build.exclude_symbol_pos"] = "true";
    }
  }
  ~Bundle() { fs::remove_all(root_); }

  void set(const std::string& key, const std::string& value) { fields_[key] = value; }
  void drop(const std::string& key) { fields_.erase(key); }
  const fs::path& root() const { return root_; }

  // Writes metadata.yaml (into `dir`, the bundle root by default).
  fs::path write_metadata(const fs::path& dir = {}) const {
    std::map<std::string, std::map<std::string, std::string>> sections;
    std::string text;
    for (const auto& [key, value] : fields_) {
      const auto dot = key.find('.');
      if (dot == std::string::npos) text += key + ": " + value + "\n";
      else sections[key.substr(0, dot)][key.substr(dot + 1)] = value;
    }
    for (const auto& [section, entries] : sections) {
      text += section + ":\n";
      for (const auto& [key, value] : entries) text += "  " + key + ": " + value + "\n";
    }
    const fs::path file = (dir.empty() ? root_ : dir) / "metadata.yaml";
    write_file(file, text);
    return file;
  }

  std::string error(const std::optional<fs::path>& bundle_dir = std::nullopt) const {
    const fs::path file = write_metadata();
    if (chinese_) {
      auto r = load_zh_bundle(file, bundle_dir);
      return r ? "<loaded>" : r.error().message();
    }
    auto r = load_unidic_bundle(file, bundle_dir);
    return r ? "<loaded>" : r.error().message();
  }

 private:
  bool chinese_;
  fs::path root_;
  std::map<std::string, std::string> fields_;
};

TEST(BundleLoader, LoadsFromDirectoryFileAndBareFileName) {
  Bundle b(false);
  const fs::path file = b.write_metadata();
  for (const fs::path& given : {b.root(), file}) {
    auto r = load_unidic_bundle(given, std::nullopt);
    ASSERT_TRUE(r) << given << ": " << r.error().message();
    EXPECT_EQ(r->artifact_name, "ja-sample");
    EXPECT_EQ(r->source_name, "UniDic");
    EXPECT_EQ(r->reading_field, "kana");
    EXPECT_EQ(r->options, (DictionaryOptions{3, 6, 100, true}));
    EXPECT_EQ(r->index.entry_count(), 2u);
  }
  // A bare file name resolves against the current directory.
  const fs::path cwd = fs::current_path();
  fs::current_path(b.root());
  auto bare = load_unidic_bundle("metadata.yaml", std::nullopt);
  fs::current_path(cwd);
  ASSERT_TRUE(bare) << bare.error().message();
}

TEST(BundleLoader, ChineseBundleCarriesItsViewAndOptions) {
  Bundle b(true);
  b.drop("query_defaults.max_readings_per_segment");
  b.set("query_defaults.longest_match_only", "false");
  auto r = load_zh_bundle(b.write_metadata(), std::nullopt);
  ASSERT_TRUE(r) << r.error().message();
  EXPECT_EQ(r->pinyin_view, "no-tone");
  EXPECT_EQ(r->source_name, "CEDICT");
  EXPECT_EQ(r->options, (DictionaryOptions{std::nullopt, 6, 100, false}));
}

TEST(BundleLoader, BundleDirReplacesTheMetadataParent) {
  Bundle b(false);
  const fs::path elsewhere = b.root() / "elsewhere";
  fs::create_directories(elsewhere);
  const fs::path file = b.write_metadata(elsewhere);
  EXPECT_FALSE(load_unidic_bundle(file, std::nullopt));  // licences are not under elsewhere/
  auto r = load_unidic_bundle(file, b.root());
  ASSERT_TRUE(r) << r.error().message();
}

TEST(BundleLoader, MetadataFileErrors) {
  Bundle b(false);
  auto missing = load_unidic_bundle(b.root() / "nope.yaml", std::nullopt);
  ASSERT_FALSE(missing);
  EXPECT_EQ(missing.error().message(), "No such file or directory (os error 2)");
  write_file(b.root() / "bad.yaml", "schema_version: 1\nname: \xff\n");
  auto bad = load_unidic_bundle(b.root() / "bad.yaml", std::nullopt);
  ASSERT_FALSE(bad);
  EXPECT_EQ(bad.error().message(), "invalid utf-8 sequence of 1 bytes from index 24");
  write_file(b.root() / "seq.yaml", "- 1\n");
  auto seq = load_zh_bundle(b.root() / "seq.yaml", std::nullopt);
  ASSERT_FALSE(seq);
  EXPECT_EQ(seq.error().message(), "invalid type: sequence, expected struct ZhArtifactMetadata");
}

struct FailureCase {
  std::string name;
  std::vector<std::pair<std::string, std::string>> set;
  std::string ja;
  std::string zh;
};

TEST(BundleLoader, FailuresInLoadOrder) {
  const FailureCase cases[] = {
      {"schema before type", {{"schema_version", "2"}, {"artifact_type", "x"}},
       "unsupported Japanese metadata schema version 2", "unsupported zh metadata schema version 2"},
      {"type quoted", {{"artifact_type", "'orvel.zh.reading-index\"'"}},
       R"(unsupported Japanese artifact type "orvel.zh.reading-index\"")",
       R"(unsupported zh artifact type "orvel.zh.reading-index\"")"},
      {"licence escapes", {{"license.references", "[{label: l, path: ../x}]"}},
       R"(bundle path "../x" must be relative and stay inside the bundle)",
       R"(bundle path "../x" must be relative and stay inside the bundle)"},
      {"licence is a directory, before a bad payload path",
       {{"license.references", "[{label: notice, path: licenses}]"}, {"payload.path", "/etc/passwd"}},
       "missing license reference notice at <root>/licenses", "missing license reference notice at <root>/licenses"},
      {"payload escapes", {{"payload.path", "payload\\readings.yaml"}},
       R"(bundle path "payload\\readings.yaml" must be relative and stay inside the bundle)",
       R"(bundle path "payload\\readings.yaml" must be relative and stay inside the bundle)"},
      {"digest alone", {{"payload.file_digest_algorithm", "~"}},
       "payload file digest algorithm and digest must be provided together",
       "zh payload file digest algorithm and digest must be provided together"},
      {"algorithm alone", {{"payload.file_digest", "null"}},
       "payload file digest algorithm and digest must be provided together",
       "zh payload file digest algorithm and digest must be provided together"},
      {"algorithm in capitals", {{"payload.file_digest_algorithm", "SHA256-FILE-V1"}},
       R"(unsupported payload file digest algorithm "SHA256-FILE-V1")",
       R"(unsupported zh payload file digest algorithm "SHA256-FILE-V1")"},
      {"digest of a directory", {{"payload.path", "payload"}}, "Is a directory (os error 21)",
       "Is a directory (os error 21)"},
      {"no digest: the loader reports the missing payload",
       {{"payload.file_digest_algorithm", "<absent>"}, {"payload.file_digest", "<absent>"}, {"payload.path", "gone.yaml"}},
       "failed to read UniDic artifact payload: No such file or directory (os error 2)",
       "failed to read zh artifact payload: No such file or directory (os error 2)"},
      {"format names are case-sensitive", {{"payload.format", "YAML"}},
       R"(unsupported payload_format "YAML"; expected 'yaml', 'binary', or 'indexed')",
       R"(unsupported payload_format "YAML"; expected 'yaml' or 'indexed')"},
      {"unknown checksum algorithm", {{"payload.checksum_algorithm", "md5"}}, R"(unsupported checksum algorithm "md5")",
       R"(unsupported checksum algorithm "md5")"},
      {"checksum against entries", {{"payload.checksum", "00"}, {"build.entries", "9"}},
       "payload checksum mismatch: metadata has 00, recomputed <checksum>",
       "entry count mismatch: metadata has 9, payload has 3"},
      {"checksum before limits", {{"payload.checksum", "00"}, {"query_defaults.max_paths", "20000"}},
       "payload checksum mismatch: metadata has 00, recomputed <checksum>",
       "payload checksum mismatch: metadata has 00, recomputed <checksum>"},
      {"max_paths limit", {{"query_defaults.max_paths", "20000"}},
       "UniDic artifact max_paths length/count 20000 exceeds limit 16384",
       "zh artifact max_paths length/count 20000 exceeds limit 16384"},
      {"limits in order", {{"query_defaults.max_readings_per_segment", "257"}, {"query_defaults.max_span_chars", "257"}},
       "UniDic artifact max_span_chars length/count 257 exceeds limit 256",
       "zh artifact max_span_chars length/count 257 exceeds limit 256"},
      {"segment limit", {{"query_defaults.max_readings_per_segment", "257"}},
       "UniDic artifact max_readings_per_segment length/count 257 exceeds limit 256",
       "zh artifact max_readings_per_segment length/count 257 exceeds limit 256"},
      {"limits inclusive",
       {{"query_defaults.max_span_chars", "256"}, {"query_defaults.max_paths", "16384"},
        {"query_defaults.max_readings_per_segment", "0"}},
       "<loaded>", "<loaded>"},
      {"empty licence list", {{"license.references", ""}}, "<loaded>", "<loaded>"},
  };
  for (bool chinese : {false, true}) {
    for (const auto& c : cases) {
      Bundle b(chinese);
      for (const auto& [key, value] : c.set) {
        if (value == "<absent>") b.drop(key);
        else b.set(key, value);
      }
      std::string expected = chinese ? c.zh : c.ja;
      if (auto at = expected.find("<root>"); at != std::string::npos) expected.replace(at, 6, b.root().native());
      if (auto at = expected.find("<checksum>"); at != std::string::npos) {
        auto index_checksum = chinese ? load_zh_payload(b.root() / "payload/readings.yaml", "yaml")
                                            ->artifact_payload_checksum_for_algorithm("sha256-canonical-v1")
                                      : load_unidic_payload(b.root() / "payload/readings.yaml", "yaml")
                                            ->artifact_payload_checksum_for_algorithm("sha256-canonical-v1");
        expected.replace(at, 10, *index_checksum);
      }
      EXPECT_EQ(b.error(), expected) << (chinese ? "zh: " : "ja: ") << c.name;
    }
  }
}

TEST(BundleLoader, DigestComparesExactText) {
  Bundle b(false);
  const std::string digest = io::to_lower_hex(io::sha256(read_file(b.root() / "payload/readings.yaml")));
  std::string upper = digest;
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  b.set("payload.file_digest", upper);
  EXPECT_EQ(b.error(), "payload file digest mismatch: metadata has " + upper + ", recomputed " + digest);
}

TEST(BundleLoader, DamagedPayloadsAreRefused) {
  // Edited after the metadata was written: the digest catches it.
  for (bool chinese : {false, true}) {
    Bundle b(chinese);
    const fs::path payload = b.root() / "payload/readings.yaml";
    const std::string original = read_file(payload);
    write_file(payload, original.substr(0, original.size() - 10));
    EXPECT_EQ(b.error().find("payload file digest mismatch: metadata has "), 0u) << b.error();
    // Without a digest, a content change is caught by the canonical checksum.
    b.drop("payload.file_digest_algorithm");
    b.drop("payload.file_digest");
    std::string edited = original;
    edited.replace(edited.find(chinese ? "beijing" : "きょうと"), chinese ? 7 : 12, chinese ? "peking" : "みやこ");
    write_file(payload, edited);
    EXPECT_EQ(b.error().find("payload checksum mismatch: metadata has "), 0u) << b.error();
    // Swapped for the other language's payload: the loader refuses it.
    write_file(payload, chinese ? kJaPayload : kZhPayload);
    EXPECT_EQ(b.error(), chinese ? "invalid zh artifact payload YAML: missing field `pinyin_view`"
                                 : "unsupported UniDic artifact payload type \"orvel.zh.reading-index.surface-readings\"");
  }
}

TEST(BundleLoader, PinyinViewMustMatchTheIndex) {
  Bundle b(true);
  b.set("build.pinyin_view", "normal");
  EXPECT_EQ(b.error(), "pinyin view mismatch: metadata has normal, payload has no-tone");
}

TEST(FileDigest, ChunkedDigestMatchesOneShot) {
  const fs::path file = fs::path(::testing::TempDir()) / ("orvel_digest_" + std::to_string(::getpid()));
  std::mt19937_64 rng(7);
  std::string bytes(65'536 * 2 + 17, '\0');
  for (char& c : bytes) c = static_cast<char>(rng());
  for (std::size_t size : {std::size_t{0}, std::size_t{65'536}, bytes.size()}) {
    write_file(file, std::string_view(bytes).substr(0, size));
    auto digest = artifact_file_digest_path(file);
    ASSERT_TRUE(digest);
    EXPECT_EQ(*digest, io::to_lower_hex(io::sha256(std::string_view(bytes).substr(0, size)))) << size;
  }
  fs::remove(file);
  EXPECT_EQ(artifact_file_digest_path(file).error().message(), "No such file or directory (os error 2)");
  // A device would be read without end (or, for /dev/null, give the digest
  // of nothing): what is not a regular file has no digest.
  for (const char* device : {"/dev/null", "/dev/zero"}) {
    EXPECT_EQ(artifact_file_digest_path(device).error().message(), "artifact payload path is not a regular file");
  }
}

}  // namespace
}  // namespace orvel::bundle
