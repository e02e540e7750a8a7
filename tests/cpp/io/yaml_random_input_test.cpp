// Seeded random damage to YAML documents: every input either decodes or
// fails with a message, and never crashes (run under the sanitizers in CI).
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "io/yaml_record.hpp"

namespace orvel::io {
namespace {

struct Leaf {
  std::string text;
  std::optional<std::uint64_t> size;
  bool flag = false;
};
struct Tree {
  std::uint32_t version = 0;
  std::optional<std::string> note;
  Leaf leaf;
  std::vector<Leaf> leaves;
  std::vector<std::string> words;
};

}  // namespace
}  // namespace orvel::io

template <>
struct orvel::io::yaml::RecordSchema<orvel::io::Leaf> {
  static constexpr std::string_view name = "Leaf";
  static constexpr std::array fields{required<&Leaf::text>("text"), optional<&Leaf::size>("size"),
                                     defaulted<&Leaf::flag>("flag")};
};
template <>
struct orvel::io::yaml::RecordSchema<orvel::io::Tree> {
  static constexpr std::string_view name = "Tree";
  static constexpr std::array fields{
      required<&Tree::version>("version"), optional<&Tree::note>("note"), required<&Tree::leaf>("leaf"),
      required<&Tree::leaves>("leaves"),   required<&Tree::words>("words"),
  };
};

namespace orvel::io {
namespace {

const std::vector<std::string> kSeeds = {
    "version: 1\nnote: n\nleaf: {text: t, size: 3, flag: true}\nleaves:\n  - text: a\n  - &l {text: b}\n"
    "  - *l\nwords: [x, 'y', \"z\"]\n",
    "a: &a {text: q}\nleaf: *a\nversion: 0x10\nleaves: [*a, *a]\nwords:\n  - |\n    block\n  - >\n    folded\n",
    "--- !tag\nversion: +7\nleaf:\n  text: ~\nleaves: []\nwords: []\n...\n",
    "{version: 1, leaf: {text: x}, leaves: [{text: y, size: ~}], words: [a, b, c]}\n",
};

const std::vector<std::string> kFragments = {
    ":", ": ", "-", "- ", "[", "]", "{", "}", ",", "&a ", "*a", "*b", "!!str ", "? ", "\n", "  ", "\t",
    "'", "\"", "#", "---\n", "...\n", "~", "null", "0x", "4294967296", "\\", "\xe6\x9d\xb1", "\xff", "|", ">",
};

std::string damage(std::string text, std::mt19937_64& rng) {
  const int edits = 1 + static_cast<int>(rng() % 4);
  for (int e = 0; e < edits; ++e) {
    const std::size_t at = text.empty() ? 0 : rng() % (text.size() + 1);
    switch (rng() % 4) {
      case 0: text.insert(at, kFragments[rng() % kFragments.size()]); break;
      case 1:
        if (at < text.size()) text.erase(at, 1 + rng() % 6);
        break;
      case 2:
        if (at < text.size()) text[at] = static_cast<char>(rng() % 256);
        break;
      default: text.resize(at); break;
    }
  }
  return text;
}

TEST(YamlRandomInput, DamagedDocumentsDecodeOrFailCleanly) {
  std::mt19937_64 rng(20240601);
  for (int i = 0; i < 20000; ++i) {
    const std::string text = damage(kSeeds[rng() % kSeeds.size()], rng);
    auto first = decode_yaml<Tree>(text);
    auto second = decode_yaml<Tree>(text);
    ASSERT_EQ(first.has_value(), second.has_value()) << text;
    if (!first) {
      const std::string message = first.error().message();
      ASSERT_FALSE(message.empty()) << text;
      ASSERT_EQ(message, second.error().message()) << text;
      ASSERT_FALSE(first.error().debug().empty());
    }
  }
}

TEST(YamlRandomInput, DeepNestingUnderAnUnknownKey) {
  // Skipped values are walked without recursion, down to the nesting limit
  // (the root mapping is the first level).
  auto nested = [](int levels) {
    return "skip: " + std::string(levels, '[') + std::string(levels, ']') +
           "\nversion: 1\nleaf: {text: t}\nleaves: []\nwords: []\n";
  };
  auto r = decode_yaml<Tree>(nested(127));
  ASSERT_TRUE(r) << r.error().message();
  EXPECT_EQ(r->version, 1u);
  // Deeper is refused, even under a key that is skipped.
  auto deep = decode_yaml<Tree>(nested(3000));
  ASSERT_FALSE(deep);
  EXPECT_EQ(deep.error().message(), "nesting deeper than 128 levels at line 1 column 134");
}

}  // namespace
}  // namespace orvel::io
