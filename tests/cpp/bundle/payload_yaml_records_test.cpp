#include <gtest/gtest.h>

#include "ja/unidic_yaml_records.hpp"
#include "zh/cedict_yaml_records.hpp"

namespace orvel {
namespace {

TEST(PayloadYamlRecords, UnidicPayloadDecodes) {
  auto r = ja::decode_unidic_payload_yaml(
      "schema_version: 1\n"
      "payload_type: orvel.unidic.reading-index.surface-readings\n"
      "entries:\n"
      "  - surface: 東京\n"
      "    readings: [トウキョウ, とうきょう]\n"
      "    note: ignored\n"
      "  - {surface: x, readings: }\n");
  ASSERT_TRUE(r) << r.error().message();
  ASSERT_EQ(r->entries.size(), 2u);
  EXPECT_EQ(r->entries[0].surface, "東京");
  EXPECT_EQ(r->entries[0].readings, (std::vector<std::string>{"トウキョウ", "とうきょう"}));
  EXPECT_TRUE(r->entries[1].readings.empty());  // validation is the loader's job
}

TEST(PayloadYamlRecords, ErrorsNameThePayloadRecords) {
  const std::pair<std::string, std::string> ja_cases[] = {
      {"", "missing field `schema_version`"},
      {"[]", "invalid type: sequence, expected struct UnidicReadingIndexPayload"},
      {"schema_version: 1\npayload_type: t\nentries: [x]\n",
       "entries[0]: invalid type: string \"x\", expected struct UnidicReadingIndexPayloadEntry at line 3 column 11"},
      {"schema_version: 1\npayload_type: t\nentries:\n  - surface: s\n    readings: [a, [b]]\n",
       "entries[0].readings[1]: invalid type: sequence, expected a string at line 5 column 19"},
      {"schema_version: 1\npayload_type: t\nentries:\n  - surface: s\n    surface: s\n",
       "entries[0]: duplicate field `surface` at line 4 column 5"},
      {"schema_version: 1\npayload_type: t\nentries:\n  - surface: s\n",
       "entries[0]: missing field `readings` at line 4 column 5"},
  };
  for (const auto& [text, message] : ja_cases) {
    auto r = ja::decode_unidic_payload_yaml(text);
    ASSERT_FALSE(r) << text;
    EXPECT_EQ(r.error().message(), message) << text;
  }
  const std::pair<std::string, std::string> zh_cases[] = {
      {"schema_version: 1\npayload_type: t\nentries: []\n", "missing field `pinyin_view`"},
      {"{}", "missing field `schema_version`"},
      {"schema_version: 1\npayload_type: t\npinyin_view: tone3\nentries: [~]\n",
       "entries[0]: invalid type: unit value, expected struct ZhReadingIndexPayloadEntry at line 4 column 11"},
  };
  for (const auto& [text, message] : zh_cases) {
    auto r = zh::decode_zh_payload_yaml(text);
    ASSERT_FALSE(r) << text;
    EXPECT_EQ(r.error().message(), message) << text;
  }
}

TEST(PayloadYamlRecords, ZhPayloadKeepsViewAsWritten) {
  auto r = zh::decode_zh_payload_yaml(
      "pinyin_view: ' tone3'\nentries:\n- surface: 中\n  readings: [zhong1]\nschema_version: 0x1\n"
      "payload_type: orvel.zh.reading-index.surface-readings\n");
  ASSERT_TRUE(r) << r.error().message();
  EXPECT_EQ(r->pinyin_view, " tone3");
  EXPECT_EQ(r->schema_version, 1u);
  EXPECT_EQ(r->entries.at(0).readings.at(0), "zhong1");
}

}  // namespace
}  // namespace orvel
