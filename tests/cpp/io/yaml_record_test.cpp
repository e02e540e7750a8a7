#include "io/yaml_record.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace orvel::io {
namespace {

struct Item {
  std::string label;
  std::string path;
};

struct Limits {
  std::uint64_t max_paths = 0;
  std::optional<std::uint64_t> max_readings;
  bool longest = false;
  bool extra = false;
};

struct Doc {
  std::uint32_t schema_version = 0;
  std::string name;
  std::optional<std::string> digest;
  Limits limits;
  std::vector<Item> items;
  std::vector<std::string> words;
};

}  // namespace
}  // namespace orvel::io

namespace orvel::io::yaml {

template <>
struct RecordSchema<Item> {
  static constexpr std::string_view name = "Item";
  static constexpr std::array fields{required<&Item::label>("label"), required<&Item::path>("path")};
};

template <>
struct RecordSchema<Limits> {
  static constexpr std::string_view name = "Limits";
  static constexpr std::array fields{
      required<&Limits::max_paths>("max_paths"),
      optional<&Limits::max_readings>("max_readings"),
      required<&Limits::longest>("longest"),
      defaulted<&Limits::extra>("extra"),
  };
};

template <>
struct RecordSchema<Doc> {
  static constexpr std::string_view name = "Doc";
  static constexpr std::array fields{
      required<&Doc::schema_version>("schema_version"),
      required<&Doc::name>("name"),
      optional<&Doc::digest>("digest"),
      required<&Doc::limits>("limits"),
      required<&Doc::items>("items"),
      required<&Doc::words>("words"),
  };
};

}  // namespace orvel::io::yaml

namespace orvel::io {
namespace {

// A complete document; cases replace or add lines.
constexpr std::string_view kBase =
    "schema_version: 1\n"
    "name: n\n"
    "limits:\n"
    "  max_paths: 5\n"
    "  longest: true\n"
    "items:\n"
    "  - label: a\n"
    "    path: p\n"
    "words: [x, y]\n";

std::string error_of(std::string_view text) {
  auto r = decode_yaml<Doc>(text);
  if (r) return "<decoded>";
  return r.error().message();
}

TEST(YamlRecord, DecodesCompleteDocument) {
  auto r = decode_yaml<Doc>(kBase);
  ASSERT_TRUE(r) << r.error().message();
  EXPECT_EQ(r->schema_version, 1u);
  EXPECT_EQ(r->name, "n");
  EXPECT_FALSE(r->digest.has_value());
  EXPECT_EQ(r->limits.max_paths, 5u);
  EXPECT_FALSE(r->limits.max_readings.has_value());
  EXPECT_TRUE(r->limits.longest);
  EXPECT_FALSE(r->limits.extra);
  ASSERT_EQ(r->items.size(), 1u);
  EXPECT_EQ(r->items[0].label, "a");
  EXPECT_EQ(r->items[0].path, "p");
  EXPECT_EQ(r->words, (std::vector<std::string>{"x", "y"}));
}

TEST(YamlRecord, KeyOrderIsFreeAndUnknownKeysAreSkippedWhole) {
  const std::string text =
      "words: []\n"
      "other: {a: [1, {b: c}], d: *undefined_is_fine_only_if_skipped}\n";
  // An undefined anchor ends the document even inside a skipped value.
  EXPECT_EQ(error_of(text), "unknown anchor at line 2 column 28");

  const std::string reordered =
      "items: []\n"
      "Name: ignored\n"
      "unknown: {nested: [1, 2, {deep: true}], more: &a x}\n"
      "unknown: again\n"
      "words: [w]\n"
      "limits: {longest: false, max_paths: 0, junk: [*a]}\n"
      "name: ''\n"
      "schema_version: 0\n";
  auto r = decode_yaml<Doc>(reordered);
  ASSERT_TRUE(r) << r.error().message();
  EXPECT_EQ(r->name, "");
  EXPECT_EQ(r->words, std::vector<std::string>{"w"});
  EXPECT_TRUE(r->items.empty());
}

struct ErrorCase {
  std::string text;
  std::string message;
};

TEST(YamlRecord, DocumentLevelErrors) {
  const ErrorCase cases[] = {
      {"", "missing field `schema_version`"},
      {"# one\n# two\n", "missing field `schema_version` at line 3 column 1"},
      {"# one\n# two", "missing field `schema_version` at line 3 column 1"},
      {"\n\n", "missing field `schema_version` at line 3 column 1"},
      {"- a\n- b\n", "invalid type: sequence, expected struct Doc"},
      {"plain words\n", "invalid type: string \"plain words\", expected struct Doc"},
      {"~\n", "invalid type: unit value, expected struct Doc"},
      {"Schema_Version: 1\n", "missing field `schema_version`"},
      {std::string(kBase) + "---\n" + std::string(kBase),
       "deserializing from YAML containing more than one document is not supported"},
      {std::string(kBase) + "---\n", "deserializing from YAML containing more than one document is not supported"},
      {std::string(kBase) + "...\n---\n]", "deserializing from YAML containing more than one document is not supported"},
  };
  for (const auto& c : cases) EXPECT_EQ(error_of(c.text), c.message) << c.text;
  EXPECT_EQ(decode_yaml<Doc>(std::string_view()).error().message(), "missing field `schema_version`");
  // An explicit end marker with nothing but comments after it is one document.
  EXPECT_TRUE(decode_yaml<Doc>(std::string(kBase) + "...\n# done\n"));
}

TEST(YamlRecord, FirstFailureWins) {
  const ErrorCase cases[] = {
      // A duplicate is reported when reached, before any missing key.
      {"name: a\nname: a\n", "duplicate field `name`"},
      // An error inside an earlier entry wins over a later duplicate.
      {"schema_version: x\nschema_version: 1\n",
       "schema_version: invalid type: string \"x\", expected u32 at line 1 column 17"},
      // A null value still counts as met.
      {"digest: ~\ndigest: d\n", "duplicate field `digest`"},
      // Missing keys are looked for in declaration order.
      {"words: []\nitems: []\n", "missing field `schema_version`"},
      {"schema_version: 1\nwords: []\n", "missing field `name`"},
      // A nested record's missing and repeated keys carry its path and start.
      {"schema_version: 1\nname: n\nlimits:\n  longest: true\n", "limits: missing field `max_paths` at line 4 column 3"},
      {"limits:\n  max_paths: 1\n  max_paths: 1\n", "limits: duplicate field `max_paths` at line 2 column 3"},
  };
  for (const auto& c : cases) EXPECT_EQ(error_of(c.text), c.message) << c.text;
}

TEST(YamlRecord, UnsignedIntegerForms) {
  const std::pair<std::string, std::uint32_t> accepted[] = {
      {"0", 0}, {"1", 1}, {"+1", 1}, {"0x1", 1}, {"0xfF", 255}, {"+0x10", 16}, {"0o17", 15}, {"0b101", 5},
      {"4294967295", 4294967295u},
  };
  for (const auto& [value, expected] : accepted) {
    auto r = decode_yaml<Doc>("schema_version: " + value + "\n" + std::string(kBase).substr(18));
    ASSERT_TRUE(r) << value << ": " << r.error().message();
    EXPECT_EQ(r->schema_version, expected) << value;
  }
  const std::pair<std::string, std::string> refused[] = {
      {"4294967296", "invalid value: integer `4294967296`, expected u32"},
      {"0x100000000", "invalid value: integer `4294967296`, expected u32"},
      {"012", "invalid type: string \"012\", expected u32"},
      {"00", "invalid type: string \"00\", expected u32"},
      {"-1", "invalid type: integer `-1`, expected u32"},
      {"-0", "invalid type: integer `0`, expected u32"},
      {"\"1\"", "invalid type: string \"1\", expected u32"},
      {"'1'", "invalid type: string \"1\", expected u32"},
      {"!!str 1", "invalid type: string \"1\", expected u32"},
      {"1.5", "invalid type: floating point `1.5`, expected u32"},
      {"1e3", "invalid type: floating point `1000.0`, expected u32"},
      {".inf", "invalid type: floating point `inf`, expected u32"},
      {"18446744073709551616", "invalid type: integer `18446744073709551616` as u128, expected u32"},
      {"~", "invalid type: unit value, expected u32"},
      {"true", "invalid type: boolean `true`, expected u32"},
      {"0x", "invalid type: string \"0x\", expected u32"},
      {"0x-1", "invalid type: string \"0x-1\", expected u32"},
      {"++1", "invalid type: string \"++1\", expected u32"},
      {"1_000", "invalid type: string \"1_000\", expected u32"},
      {"[1]", "invalid type: sequence, expected u32"},
      {"{a: 1}", "invalid type: map, expected u32"},
  };
  for (const auto& [value, message] : refused) {
    EXPECT_EQ(error_of("schema_version: " + value + "\n"), "schema_version: " + message + " at line 1 column 17")
        << value;
  }
  // Sizes take the whole 64-bit range.
  auto big = decode_yaml<Doc>(
      "schema_version: 1\nname: n\nlimits: {max_paths: 18446744073709551615, longest: true}\nitems: []\nwords: []\n");
  ASSERT_TRUE(big) << big.error().message();
  EXPECT_EQ(big->limits.max_paths, UINT64_MAX);
  EXPECT_EQ(error_of("limits: {max_paths: 18446744073709551616}\n"),
            "limits.max_paths: invalid type: integer `18446744073709551616` as u128, expected usize at line 1 column 21");
}

TEST(YamlRecord, BooleanOptionalAndDefaultedValues) {
  const std::string head = "schema_version: 1\nname: n\nitems: []\nwords: []\n";
  for (std::string_view word : {"true", "True", "TRUE"}) {
    auto r = decode_yaml<Doc>(head + "limits: {max_paths: 1, longest: " + std::string(word) + "}\n");
    ASSERT_TRUE(r) << word;
    EXPECT_TRUE(r->limits.longest);
  }
  auto f = decode_yaml<Doc>(head + "limits: {max_paths: 1, longest: FALSE, extra: True}\n");
  ASSERT_TRUE(f);
  EXPECT_FALSE(f->limits.longest);
  EXPECT_TRUE(f->limits.extra);

  const ErrorCase cases[] = {
      {"limits: {max_paths: 1, longest: yes}", "limits.longest: invalid type: string \"yes\", expected a boolean at line 5 column 33"},
      {"limits: {max_paths: 1, longest: 1}", "limits.longest: invalid type: integer `1`, expected a boolean at line 5 column 33"},
      {"limits: {max_paths: 1, longest: \"true\"}", "limits.longest: invalid type: string \"true\", expected a boolean at line 5 column 33"},
      {"limits: {max_paths: 1, longest: true, extra: null}", "limits.extra: invalid type: unit value, expected a boolean at line 5 column 46"},
      {"limits: {max_paths: ~, longest: true}", "limits.max_paths: invalid type: unit value, expected usize at line 5 column 21"},
      {"limits: {max_paths: 1, longest: true, max_readings: \"null\"}",
       "limits.max_readings: invalid type: string \"null\", expected usize at line 5 column 53"},
  };
  for (const auto& c : cases) EXPECT_EQ(error_of(head + c.text + "\n"), c.message) << c.text;

  EXPECT_EQ(error_of("name: [a]\n"), "name: invalid type: sequence, expected a string at line 1 column 7");
  EXPECT_EQ(error_of("name: {a: b}\n"), "name: invalid type: map, expected a string at line 1 column 7");

  struct OptionalCase {
    std::string digest_line;
    std::optional<std::string> digest;
  };
  const OptionalCase optionals[] = {
      {"", std::nullopt},          {"digest:", std::nullopt},        {"digest: ~", std::nullopt},
      {"digest: null", std::nullopt}, {"digest: NULL", std::nullopt}, {"digest: ''", ""},
      {"digest: 'null'", "null"},  {"digest: \"~\"", "~"},            {"digest: 0x1f", "0x1f"},
  };
  for (const auto& c : optionals) {
    auto r = decode_yaml<Doc>(head + "limits: {max_paths: 1, longest: true}\n" + c.digest_line + "\n");
    ASSERT_TRUE(r) << c.digest_line << ": " << r.error().message();
    EXPECT_EQ(r->digest, c.digest) << c.digest_line;
  }
  for (std::string_view v : {"", "~", "null", "Null"}) {
    auto r = decode_yaml<Doc>(head + "limits: {max_paths: 1, longest: true, max_readings: " + std::string(v) + "}\n");
    ASSERT_TRUE(r) << v << ": " << r.error().message();
    EXPECT_FALSE(r->limits.max_readings.has_value());
  }
}

TEST(YamlRecord, TextsKeepTheScalarAsWritten) {
  const std::string tail = "\nschema_version: 1\nlimits: {max_paths: 1, longest: true}\nitems: []\nwords: []\n";
  const std::pair<std::string, std::string> cases[] = {
      {"name:", ""},           {"name: null", "null"}, {"name: ~", "~"},           {"name: 1.10", "1.10"},
      {"name: 2024-06-01", "2024-06-01"}, {"name: 'a''b'", "a'b"}, {"name: \"t\\tx\"", "t\tx"},
      {"name: |\n  line\n", "line\n"},     {"name: 東京", "東京"},
  };
  for (const auto& [line, expected] : cases) {
    auto r = decode_yaml<Doc>(line + tail);
    ASSERT_TRUE(r) << line << ": " << r.error().message();
    EXPECT_EQ(r->name, expected) << line;
  }
}

TEST(YamlRecord, RecordsAndLists) {
  const std::string head = "schema_version: 1\nname: n\nwords: []\n";
  // A record key followed by nothing is an empty mapping; null is a type error.
  EXPECT_EQ(error_of(head + "limits:\nitems: []\n"), "limits: missing field `max_paths` at line 4 column 8");
  EXPECT_EQ(error_of(head + "limits: null\n"),
            "limits: invalid type: unit value, expected struct Limits at line 4 column 9");
  EXPECT_EQ(error_of(head + "limits: [a, b]\n"), "limits: invalid type: sequence, expected struct Limits at line 4 column 9");
  EXPECT_EQ(error_of(head + "limits: ''\n"),
            "limits: invalid type: string \"\", expected struct Limits at line 4 column 9");

  const std::string with_limits = head + "limits: {max_paths: 1, longest: true}\n";
  for (std::string_view items : {"items:", "items: []"}) {
    auto r = decode_yaml<Doc>(with_limits + std::string(items) + "\n");
    ASSERT_TRUE(r) << items << ": " << r.error().message();
    EXPECT_TRUE(r->items.empty());
  }
  EXPECT_EQ(error_of(with_limits + "items:\n  - {label: a, path: p}\n  - label: b\n"),
            "items[1]: missing field `path` at line 7 column 5");
  EXPECT_EQ(error_of(with_limits + "items:\n  - {label: a, path: [p]}\n"),
            "items[0].path: invalid type: sequence, expected a string at line 6 column 22");
  EXPECT_EQ(error_of(with_limits + "items:\n  -\n"), "items[0]: missing field `label` at line 6 column 4");
  EXPECT_EQ(error_of(with_limits + "items: x\n"), "items: invalid type: string \"x\", expected a sequence at line 5 column 8");
  EXPECT_EQ(error_of(with_limits + "items: {}\n"), "items: invalid type: map, expected a sequence at line 5 column 8");
  EXPECT_EQ(error_of(with_limits + "items: ~\n"), "items: invalid type: unit value, expected a sequence at line 5 column 8");
  EXPECT_EQ(error_of(head + "? [k]\n: v\n"), "invalid type: sequence, expected field identifier at line 4 column 3");
}

TEST(YamlRecord, AliasesDecodeTheAnchoredNode) {
  const std::string text =
      "defaults: &qd {max_paths: 7, longest: true}\n"
      "w: &w word\n"
      "schema_version: 1\n"
      "name: *w\n"
      "limits: *qd\n"
      "items: [&it {label: *w, path: p}, *it]\n"
      "words: [*w, *w]\n";
  auto r = decode_yaml<Doc>(text);
  ASSERT_TRUE(r) << r.error().message();
  EXPECT_EQ(r->name, "word");
  EXPECT_EQ(r->limits.max_paths, 7u);
  ASSERT_EQ(r->items.size(), 2u);
  EXPECT_EQ(r->items[1].label, "word");
  EXPECT_EQ(r->words, (std::vector<std::string>{"word", "word"}));

  // Errors behind an alias point at the anchored node.
  EXPECT_EQ(error_of("bad: &b {longest: true}\nlimits: *b\n"), "limits: missing field `max_paths` at line 1 column 6");
  EXPECT_EQ(error_of("limits: *qd\n"), "unknown anchor at line 1 column 9");
  // An alias to a later anchor is unknown too.
  EXPECT_EQ(error_of("name: *n\nother: &n x\n"), "unknown anchor at line 1 column 7");
  // Keys may be aliases as well.
  auto k = decode_yaml<Doc>("k: &k name\n*k : via alias\n");
  ASSERT_FALSE(k);
  EXPECT_EQ(k.error().message(), "missing field `schema_version`");
}

struct Group {
  std::vector<std::string> words;
};
struct Bag {
  std::vector<Group> groups;
};

}  // namespace
}  // namespace orvel::io

template <>
struct orvel::io::yaml::RecordSchema<orvel::io::Group> {
  static constexpr std::string_view name = "Group";
  static constexpr std::array fields{required<&Group::words>("words")};
};
template <>
struct orvel::io::yaml::RecordSchema<orvel::io::Bag> {
  static constexpr std::string_view name = "Bag";
  static constexpr std::array fields{required<&Bag::groups>("groups")};
};

namespace orvel::io {
namespace {

// k groups, each an alias of one group whose words are m aliases of one word.
std::string amplified(int k, int m) {
  std::string text = "w: &w x\nwords: &ws [";
  for (int i = 0; i < m; ++i) text += i ? ", *w" : "*w";
  text += "]\ng: &g {words: *ws}\ngroups: [";
  for (int i = 0; i < k; ++i) text += i ? ", *g" : "*g";
  return text + "]\n";
}

TEST(YamlRecord, AliasExpansionIsBounded) {
  auto small = decode_yaml<Bag>(amplified(50, 50));
  ASSERT_TRUE(small) << small.error().message();
  EXPECT_EQ(small->groups.size(), 50u);
  EXPECT_EQ(small->groups[49].words.size(), 50u);
  // 400 * 402 alias jumps against about 800 events: far more than 100 per event.
  auto large = decode_yaml<Bag>(amplified(400, 400));
  ASSERT_FALSE(large);
  EXPECT_EQ(large.error().message(), "repetition limit exceeded");
}

TEST(YamlRecord, AliasExpansionIsBoundedByWhatItProduces) {
  // Few jumps, each to a large scalar: 200 copies of 100 KB from a text of
  // about 100 KB.
  auto words_of = [](int copies) {
    std::string text = "words: [&w " + std::string(100'000, 'x');
    for (int i = 0; i < copies; ++i) text += ", *w";
    return text + "]\n";
  };
  auto large = decode_yaml<Group>(words_of(200));
  ASSERT_FALSE(large);
  EXPECT_EQ(large.error().message(), "repetition limit exceeded");
  auto few = decode_yaml<Group>(words_of(5));
  ASSERT_TRUE(few) << few.error().message();
  EXPECT_EQ(few->words.size(), 6u);

  // Nested aliases count what each one repeats: 20 groups of 20 copies of a
  // 20 KB word, about 440 jumps, far fewer than 100 per event.
  std::string nested = "w: &w " + std::string(20'000, 'y') + "\nwords: &ws [";
  for (int i = 0; i < 20; ++i) nested += i ? ", *w" : "*w";
  nested += "]\ng: &g {words: *ws}\ngroups: [";
  for (int i = 0; i < 20; ++i) nested += i ? ", *g" : "*g";
  auto deep = decode_yaml<Bag>(nested + "]\n");
  ASSERT_FALSE(deep);
  EXPECT_EQ(deep.error().message(), "repetition limit exceeded");
}

TEST(YamlRecord, NestingDepthIsBounded) {
  // The root mapping is the first level; the skipped key's value opens the
  // second.
  auto nested = [](int brackets) {
    return "other: " + std::string(brackets, '[') + std::string(brackets, ']') + "\nwords: [a]\n";
  };
  auto at_limit = decode_yaml<Group>(nested(127));
  ASSERT_TRUE(at_limit) << at_limit.error().message();
  auto over = decode_yaml<Group>(nested(128));
  ASSERT_FALSE(over);
  EXPECT_EQ(over.error().message(), "nesting deeper than 128 levels at line 1 column 135");
  // Refused as the parser reaches the level, long before the scanner would
  // have worked through a hundred thousand of them.
  auto far = decode_yaml<Group>("other: " + std::string(100'000, '['));
  ASSERT_FALSE(far);
  EXPECT_EQ(far.error().message(), "nesting deeper than 128 levels at line 1 column 135");
  // Block nesting counts the same way.
  std::string block = "other:\n";
  for (int i = 0; i < 130; ++i) block += std::string(2 * i + 2, ' ') + "-\n";
  auto blocks = decode_yaml<Group>(block);
  ASSERT_FALSE(blocks);
  EXPECT_EQ(blocks.error().kind, YamlError::Kind::NestingTooDeep);
  // A decoding error met before the depth wins, as over any later error of
  // the text.
  EXPECT_EQ(decode_yaml<Group>("words: " + std::string(200, '[')).error().message(),
            "words[0]: invalid type: sequence, expected a string at line 1 column 9");
}

TEST(YamlRecord, AByteOrderMarkIsSkippedWithoutMovingPositions) {
  const std::string bom = "\xEF\xBB\xBF";
  auto r = decode_yaml<Group>(bom + "words: [a, b]\n");
  ASSERT_TRUE(r) << r.error().message();
  EXPECT_EQ(r->words, (std::vector<std::string>{"a", "b"}));
  for (const std::string text : {"words: x\n", "words: [a\n", "\nwords:\n  - [a]\n"}) {
    auto plain = decode_yaml<Group>(text);
    auto marked = decode_yaml<Group>(bom + text);
    ASSERT_FALSE(plain);
    ASSERT_FALSE(marked);
    EXPECT_EQ(marked.error().message(), plain.error().message());
  }
  // Only at the very start: elsewhere the mark is text.
  auto inside = decode_yaml<Group>("words: [" + bom + "a]\n");
  ASSERT_TRUE(inside);
  EXPECT_EQ(inside->words[0], bom + "a");
}

TEST(YamlRecord, SyntaxErrorsCarryParserTexts) {
  const ErrorCase cases[] = {
      {"words: [a, b\n", "did not find expected ',' or ']' at line 2 column 1, while parsing a flow sequence at line 1 column 8"},
      {"name: a\n  bad: b\n", "mapping values are not allowed in this context at line 2 column 6"},
      {"name: \"open\n", "found unexpected end of stream at line 2 column 1, while scanning a quoted scalar at line 1 column 7"},
      {"a: b\n\tc: d\n", "found a tab character that violates indentation at line 2 column 1, while scanning a plain scalar at line 1 column 4"},
      // The root node is already of the wrong kind before the cut.
      {"[a, b\n", "invalid type: sequence, expected struct Doc"},
      {"a: b\n- c\n", "did not find expected key at line 2 column 1, while parsing a block mapping at line 1 column 1"},
      {"name: x\nbad", "could not find expected ':' at line 3 column 1, while scanning a simple key at line 2 column 1"},
      // A decoding failure met before the syntax error wins.
      {"name: [a, b\n", "name: invalid type: sequence, expected a string at line 1 column 7"},
      // The syntax error is reported even when everything before it decoded.
      {std::string(kBase) + "]\n", "did not find expected key at line 10 column 1, while parsing a block mapping at line 1 column 1"},
  };
  for (const auto& c : cases) EXPECT_EQ(error_of(c.text), c.message) << c.text;
}

}  // namespace
}  // namespace orvel::io
