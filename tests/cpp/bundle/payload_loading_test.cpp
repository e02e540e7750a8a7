#include "bundle/payload_loading.hpp"

#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>

namespace orvel::bundle {
namespace {

namespace fs = std::filesystem;

// Every format name against a YAML payload: a name routed to another form
// meets that form's magic check, so the message tells where it went.
TEST(PayloadLoading, FormatNamesRouteToTheirForms) {
  const fs::path dir = fs::path(::testing::TempDir()) / ("orvel_payload_loading_" + std::to_string(::getpid()));
  fs::create_directories(dir);
  const fs::path ja_yaml = dir / "ja.yaml";
  const fs::path zh_yaml = dir / "zh.yaml";
  std::ofstream(ja_yaml) << "schema_version: 1\n"
                            "payload_type: orvel.unidic.reading-index.surface-readings\n"
                            "entries:\n  - surface: 東京\n    readings: [とうきょう]\n";
  std::ofstream(zh_yaml) << "schema_version: 1\n"
                            "payload_type: orvel.zh.reading-index.surface-readings\n"
                            "pinyin_view: no-tone\n"
                            "entries:\n  - surface: 中\n    readings: [zhong]\n";
  const std::string magic = "[115, 99, 104, 101, 109, 97, 95, 118]";  // "schema_v"
  const std::string ja_unsupported = "; expected 'yaml', 'binary', or 'indexed'";
  const std::string zh_unsupported = "; expected 'yaml' or 'indexed'";
  struct Case {
    std::string name;
    std::string ja;
    std::string zh;
  };
  const Case cases[] = {
      {"yaml", "<loaded>", "<loaded>"},
      {"yaml.surface-readings.v1", "<loaded>", "<loaded>"},
      {"binary", "invalid UniDic binary artifact magic " + magic,
       R"(unsupported payload_format "binary")" + zh_unsupported},
      {"binary.surface-readings.v1", "invalid UniDic binary artifact magic " + magic,
       R"(unsupported payload_format "binary.surface-readings.v1")" + zh_unsupported},
      {"indexed", "invalid UniDic indexed artifact magic " + magic, "invalid zh indexed artifact magic " + magic},
      {"fst", "invalid UniDic indexed artifact magic " + magic, "invalid zh indexed artifact magic " + magic},
      {"indexed-fst.surface-readings.v1", "invalid UniDic indexed artifact magic " + magic,
       "invalid zh indexed artifact magic " + magic},
      {"Yaml", R"(unsupported payload_format "Yaml")" + ja_unsupported,
       R"(unsupported payload_format "Yaml")" + zh_unsupported},
      {" yaml", R"(unsupported payload_format " yaml")" + ja_unsupported,
       R"(unsupported payload_format " yaml")" + zh_unsupported},
      {std::string("yaml\0", 5), R"(unsupported payload_format "yaml\0")" + ja_unsupported,
       R"(unsupported payload_format "yaml\0")" + zh_unsupported},
      {"", R"(unsupported payload_format "")" + ja_unsupported, R"(unsupported payload_format "")" + zh_unsupported},
  };
  for (const Case& c : cases) {
    auto ja = load_unidic_payload(ja_yaml, c.name);
    EXPECT_EQ(ja ? "<loaded>" : ja.error().message(), c.ja) << c.name;
    auto zh = load_zh_payload(zh_yaml, c.name);
    EXPECT_EQ(zh ? "<loaded>" : zh.error().message(), c.zh) << c.name;
  }
  fs::remove_all(dir);
}

// The format name is judged before the path, and the path before any file
// is opened.
TEST(PayloadLoading, FormatThenPathThenFile) {
  const fs::path with_nul(std::string("payload\0.yaml", 13));
  const fs::path missing = fs::path(::testing::TempDir()) / "orvel_no_such_payload";
  struct Case {
    fs::path path;
    std::string format;
    std::string ja;
    std::string zh;
  };
  const Case cases[] = {
      {with_nul, "xml", R"(unsupported payload_format "xml"; expected 'yaml', 'binary', or 'indexed')",
       R"(unsupported payload_format "xml"; expected 'yaml' or 'indexed')"},
      {with_nul, "binary", "embedded null byte", R"(unsupported payload_format "binary"; expected 'yaml' or 'indexed')"},
      {with_nul, "yaml", "embedded null byte", "embedded null byte"},
      {with_nul, "indexed", "embedded null byte", "embedded null byte"},
      {missing, "yaml", "failed to read UniDic artifact payload: No such file or directory (os error 2)",
       "failed to read zh artifact payload: No such file or directory (os error 2)"},
      {missing, "indexed", "failed to read UniDic artifact payload: No such file or directory (os error 2)",
       "failed to read zh artifact payload: No such file or directory (os error 2)"},
  };
  for (const Case& c : cases) {
    auto ja = load_unidic_payload(c.path, c.format);
    ASSERT_FALSE(ja) << c.format;
    EXPECT_EQ(ja.error().message(), c.ja) << c.format;
    auto zh = load_zh_payload(c.path, c.format);
    ASSERT_FALSE(zh) << c.format;
    EXPECT_EQ(zh.error().message(), c.zh) << c.format;
  }
  EXPECT_EQ(load_unidic_payload(with_nul, "yaml").error().kind, PayloadLoadError::Kind::PathWithNul);
  EXPECT_EQ(load_zh_payload(missing, "fst").error().kind, PayloadLoadError::Kind::Zh);
}

}  // namespace
}  // namespace orvel::bundle
