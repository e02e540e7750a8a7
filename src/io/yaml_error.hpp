#pragma once
// The error of YAML record decoding: a record-level message with its path
// and position, one of the document-level messages, or a syntax error of the
// YAML parser with its problem and context texts.
#include <cstdint>
#include <optional>
#include <string>

namespace orvel::io {

// A position in the YAML text, counted from 0 (shown from 1).
struct YamlMark {
  std::uint64_t index = 0;  // byte offset
  std::uint64_t line = 0;
  std::uint64_t column = 0;
  friend bool operator==(const YamlMark&, const YamlMark&) = default;
};

struct YamlError {
  enum class Kind {
    MissingField,             // "missing field `{field}`"
    DuplicateField,           // "duplicate field `{field}`"
    InvalidType,              // "invalid type: {found}, expected {expected}"
    InvalidValue,             // "invalid value: {found}, expected {expected}"
    UnknownAnchor,            // "unknown anchor"
    RepetitionLimitExceeded,  // "repetition limit exceeded"
    NestingTooDeep,           // "nesting deeper than {limit} levels"
    MoreThanOneDocument,      // "deserializing from YAML containing more than one document is not supported"
    Syntax,                   // the parser's problem text and optional context
  };

  Kind kind = Kind::Syntax;
  // Record-level errors: the path of the node being decoded ("." at the root
  // record, "payload.checksum", "license.references[0]") and its position.
  std::string path;
  std::optional<YamlMark> mark;  // also the alias of UnknownAnchor
  std::string field;             // MissingField, DuplicateField
  std::string found;             // InvalidType, InvalidValue: the node found
  std::string expected;          // InvalidType, InvalidValue: the expectation text
  std::uint64_t limit = 0;       // NestingTooDeep
  // Syntax
  std::string problem;
  std::uint64_t problem_offset = 0;
  YamlMark problem_mark;
  std::optional<std::string> context;
  YamlMark context_mark;

  static YamlError missing_field(std::string path, YamlMark mark, std::string field);
  static YamlError duplicate_field(std::string path, YamlMark mark, std::string field);
  static YamlError invalid_type(std::string path, YamlMark mark, std::string found, std::string expected);
  static YamlError invalid_value(std::string path, YamlMark mark, std::string found, std::string expected);
  static YamlError unknown_anchor(YamlMark mark);
  static YamlError repetition_limit_exceeded();
  // A sequence or mapping opened `limit` levels deep, at its start.
  static YamlError nesting_too_deep(YamlMark mark, std::uint64_t limit);
  static YamlError more_than_one_document();
  static YamlError syntax(std::string problem, std::uint64_t problem_offset, YamlMark problem_mark,
                          std::optional<std::string> context, YamlMark context_mark);

  // The display text: "{path}: " unless the path is ".", the message, and
  // " at line {} column {}" unless the position is line 1 column 1.
  std::string message() const;
  std::string debug() const;
};

}  // namespace orvel::io
