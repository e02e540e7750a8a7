#include "io/yaml_error.hpp"

#include <fmt/format.h>

#include "text/quoted.hpp"

namespace orvel::io {
namespace {

std::string line_column(const YamlMark& m) { return fmt::format("line {} column {}", m.line + 1, m.column + 1); }

bool is_origin(const YamlMark& m) { return m.line == 0 && m.column == 0; }

std::string mark_debug(const std::optional<YamlMark>& m) {
  if (!m) return "None";
  return fmt::format("Some(Mark {{ index: {}, line: {}, column: {} }})", m->index, m->line, m->column);
}

}  // namespace

YamlError YamlError::missing_field(std::string path, YamlMark mark, std::string field) {
  YamlError e;
  e.kind = Kind::MissingField;
  e.path = std::move(path);
  e.mark = mark;
  e.field = std::move(field);
  return e;
}

YamlError YamlError::duplicate_field(std::string path, YamlMark mark, std::string field) {
  YamlError e = missing_field(std::move(path), mark, std::move(field));
  e.kind = Kind::DuplicateField;
  return e;
}

YamlError YamlError::invalid_type(std::string path, YamlMark mark, std::string found, std::string expected) {
  YamlError e;
  e.kind = Kind::InvalidType;
  e.path = std::move(path);
  e.mark = mark;
  e.found = std::move(found);
  e.expected = std::move(expected);
  return e;
}

YamlError YamlError::invalid_value(std::string path, YamlMark mark, std::string found, std::string expected) {
  YamlError e = invalid_type(std::move(path), mark, std::move(found), std::move(expected));
  e.kind = Kind::InvalidValue;
  return e;
}

YamlError YamlError::unknown_anchor(YamlMark mark) {
  YamlError e;
  e.kind = Kind::UnknownAnchor;
  e.mark = mark;
  return e;
}

YamlError YamlError::repetition_limit_exceeded() {
  YamlError e;
  e.kind = Kind::RepetitionLimitExceeded;
  return e;
}

YamlError YamlError::nesting_too_deep(YamlMark mark, std::uint64_t limit) {
  YamlError e;
  e.kind = Kind::NestingTooDeep;
  e.mark = mark;
  e.limit = limit;
  return e;
}

YamlError YamlError::more_than_one_document() {
  YamlError e;
  e.kind = Kind::MoreThanOneDocument;
  return e;
}

YamlError YamlError::syntax(std::string problem, std::uint64_t problem_offset, YamlMark problem_mark,
                            std::optional<std::string> context, YamlMark context_mark) {
  YamlError e;
  e.kind = Kind::Syntax;
  e.problem = std::move(problem);
  e.problem_offset = problem_offset;
  e.problem_mark = problem_mark;
  e.context = std::move(context);
  e.context_mark = context_mark;
  return e;
}

std::string YamlError::message() const {
  std::string out;
  switch (kind) {
    case Kind::Syntax: {
      out = problem;
      if (!is_origin(problem_mark)) {
        out += " at " + line_column(problem_mark);
      } else if (problem_offset != 0) {
        out += fmt::format(" at position {}", problem_offset);
      }
      if (context) {
        out += ", " + *context;
        if (context_mark.line != problem_mark.line || context_mark.column != problem_mark.column) {
          out += " at " + line_column(context_mark);
        }
      }
      return out;
    }
    case Kind::MoreThanOneDocument:
      return "deserializing from YAML containing more than one document is not supported";
    case Kind::RepetitionLimitExceeded:
      return "repetition limit exceeded";
    case Kind::UnknownAnchor:
      out = "unknown anchor";
      break;
    case Kind::NestingTooDeep:
      out = fmt::format("nesting deeper than {} levels", limit);
      break;
    case Kind::MissingField:
      out = fmt::format("missing field `{}`", field);
      break;
    case Kind::DuplicateField:
      out = fmt::format("duplicate field `{}`", field);
      break;
    case Kind::InvalidType:
      out = fmt::format("invalid type: {}, expected {}", found, expected);
      break;
    case Kind::InvalidValue:
      out = fmt::format("invalid value: {}, expected {}", found, expected);
      break;
  }
  if (!path.empty() && path != ".") out = path + ": " + out;
  if (mark && !is_origin(*mark)) out += " at " + line_column(*mark);
  return out;
}

std::string YamlError::debug() const {
  switch (kind) {
    case Kind::Syntax:
      return fmt::format(
          "Syntax {{ problem: {}, problem_offset: {}, problem_mark: {}, context: {}, context_mark: {} }}",
          text::quoted_text(problem), problem_offset, mark_debug(problem_mark),
          context ? "Some(" + text::quoted_text(*context) + ")" : std::string("None"), mark_debug(context_mark));
    case Kind::MoreThanOneDocument:
      return "MoreThanOneDocument";
    case Kind::RepetitionLimitExceeded:
      return "RepetitionLimitExceeded";
    case Kind::UnknownAnchor:
      return fmt::format("UnknownAnchor {{ mark: {} }}", mark_debug(mark));
    case Kind::NestingTooDeep:
      return fmt::format("NestingTooDeep {{ mark: {}, limit: {} }}", mark_debug(mark), limit);
    case Kind::MissingField:
    case Kind::DuplicateField:
      return fmt::format("{} {{ path: {}, mark: {}, field: {} }}",
                         kind == Kind::MissingField ? "MissingField" : "DuplicateField", text::quoted_text(path),
                         mark_debug(mark), text::quoted_text(field));
    case Kind::InvalidType:
    case Kind::InvalidValue:
      return fmt::format("{} {{ path: {}, mark: {}, found: {}, expected: {} }}",
                         kind == Kind::InvalidType ? "InvalidType" : "InvalidValue", text::quoted_text(path),
                         mark_debug(mark), text::quoted_text(found), text::quoted_text(expected));
  }
  return "YamlError";
}

}  // namespace orvel::io
