#include "io/yaml_decoder.hpp"

#include <fmt/format.h>

#include "common/fatal_error.hpp"
#include "io/yaml_scalar.hpp"

namespace orvel::io::yaml {
namespace {

// Following more aliases than this many per event of the document fails.
constexpr std::uint64_t kAliasesPerEvent = 100;
// So does following aliases to nodes whose expansion cost adds up to more
// than this many times the document's text, plus a fixed allowance: what
// aliases produce stays in proportion to the file. Dictionaries and metadata
// use no aliases at all.
constexpr std::uint64_t kAliasCostPerTextByte = 4;
constexpr std::uint64_t kAliasCostAllowance = 1'048'576;

std::string describe(const Event& e) {
  switch (e.type) {
    case EventType::SequenceStart: return "sequence";
    case EventType::MappingStart: return "map";
    case EventType::Scalar: return e.plain ? describe_plain_scalar(e.value) : describe_string(e.value);
    default: return "unit value";
  }
}

bool is_empty_plain(const Event& e) { return e.type == EventType::Scalar && e.plain && e.value.empty(); }

// Empty, ~, null, Null or NULL, unquoted: no value for an optional key.
bool is_null_plain(const Event& e) {
  return e.type == EventType::Scalar && e.plain && (e.value.empty() || is_null_word(e.value));
}

}  // namespace

std::string Path::to_string() const {
  switch (kind) {
    case Kind::Root: return ".";
    case Kind::Key:
      if (parent->kind == Kind::Root) return std::string(key);
      return parent->to_string() + "." + std::string(key);
    case Kind::Index: return fmt::format("{}[{}]", parent->to_string(), index);
  }
  return ".";
}

std::expected<const Event*, YamlError> Decoder::peek() {
  // Past the document's last event: the error that ended it is the result.
  return events_.at(pos_);
}

void Decoder::release_passed() {
  if (following_ == 0) events_.release_before(pos_);
}

std::expected<const Event*, YamlError> Decoder::next() {
  auto e = peek();
  if (e) ++pos_;
  return e;
}

std::expected<std::size_t, YamlError> Decoder::jump(const Event& alias) {
  // The count is held against the events of the whole document: the
  // document is parsed on as far as it takes to allow the jump.
  ++jumps_;
  while (jumps_ > events_.parsed() * kAliasesPerEvent && events_.parse_one()) {
  }
  if (jumps_ > events_.parsed() * kAliasesPerEvent) return std::unexpected(YamlError::repetition_limit_exceeded());
  // A node still open where the alias stands (an alias inside its own
  // anchor's node) has no cost yet: it is counted as its events so far.
  const std::optional<std::uint64_t> cost = events_.anchored_cost(alias.target);
  expanded_ += cost ? *cost : (pos_ - alias.target) * expansion_cost(Event{});
  if (expanded_ > text_bytes_ * kAliasCostPerTextByte + kAliasCostAllowance) {
    return std::unexpected(YamlError::repetition_limit_exceeded());
  }
  const std::size_t resume = pos_;
  pos_ = alias.target;
  return resume;
}

template <class Decode>
Status Decoder::via_alias(const Event& alias, Decode decode) {
  // The anchored node is decoded in place of the alias; the cursor then
  // continues after the alias.
  auto resume = jump(alias);
  if (!resume) return std::unexpected(resume.error());
  ++following_;
  auto status = decode();
  --following_;
  pos_ = *resume;
  return status;
}

Status Decoder::text(const Path& path, std::string& out) {
  auto e = next();
  if (!e) return std::unexpected(e.error());
  if ((*e)->type == EventType::Alias) return via_alias(**e, [&] { return text(path, out); });
  if ((*e)->type != EventType::Scalar) {
    return std::unexpected(YamlError::invalid_type(path.to_string(), (*e)->mark, describe(**e), "a string"));
  }
  out = (*e)->value;
  return {};
}

Status Decoder::unsigned_number(const Path& path, std::uint64_t& out, std::string_view expected) {
  auto e = next();
  if (!e) return std::unexpected(e.error());
  if ((*e)->type == EventType::Alias) return via_alias(**e, [&] { return unsigned_number(path, out, expected); });
  const Event& ev = **e;
  if (ev.type == EventType::Scalar && ev.plain) {
    if (auto value = parse_unsigned_integer(ev.value)) {
      out = *value;
      return {};
    }
  }
  return std::unexpected(YamlError::invalid_type(path.to_string(), ev.mark, describe(ev), std::string(expected)));
}

Status Decoder::u32(const Path& path, std::uint32_t& out) {
  const std::size_t start = pos_;
  std::uint64_t value = 0;
  if (auto status = unsigned_number(path, value, "u32"); !status) return status;
  if (value > UINT32_MAX) {
    // The mark is the number's own node, behind any alias.
    const Event* ev = *events_.at(start);
    if (ev->type == EventType::Alias) ev = *events_.at(ev->target);
    return std::unexpected(
        YamlError::invalid_value(path.to_string(), ev->mark, fmt::format("integer `{}`", value), "u32"));
  }
  out = static_cast<std::uint32_t>(value);
  return {};
}

Status Decoder::usize(const Path& path, std::uint64_t& out) { return unsigned_number(path, out, "usize"); }

Status Decoder::boolean(const Path& path, bool& out) {
  auto e = next();
  if (!e) return std::unexpected(e.error());
  if ((*e)->type == EventType::Alias) return via_alias(**e, [&] { return boolean(path, out); });
  const Event& ev = **e;
  if (ev.type == EventType::Scalar && ev.plain) {
    if (auto value = parse_bool_word(ev.value)) {
      out = *value;
      return {};
    }
  }
  return std::unexpected(YamlError::invalid_type(path.to_string(), ev.mark, describe(ev), "a boolean"));
}

Status Decoder::optional_text(const Path& path, std::optional<std::string>& out) {
  auto e = peek();
  if (!e) return std::unexpected(e.error());
  if ((*e)->type == EventType::Alias) {
    ++pos_;
    return via_alias(**e, [&] { return optional_text(path, out); });
  }
  if (is_null_plain(**e)) {
    ++pos_;
    out.reset();
    return {};
  }
  std::string value;
  if (auto status = text(path, value); !status) return status;
  out = std::move(value);
  return {};
}

Status Decoder::optional_usize(const Path& path, std::optional<std::uint64_t>& out) {
  auto e = peek();
  if (!e) return std::unexpected(e.error());
  if ((*e)->type == EventType::Alias) {
    ++pos_;
    return via_alias(**e, [&] { return optional_usize(path, out); });
  }
  if (is_null_plain(**e)) {
    ++pos_;
    out.reset();
    return {};
  }
  std::uint64_t value = 0;
  if (auto status = usize(path, value); !status) return status;
  out = value;
  return {};
}

Status Decoder::list(const Path& path, Status (*item)(Decoder&, const Path&, void*), void* list) {
  auto e = next();
  if (!e) return std::unexpected(e.error());
  if ((*e)->type == EventType::Alias) return via_alias(**e, [&] { return this->list(path, item, list); });
  const Event& ev = **e;
  if (is_empty_plain(ev)) return {};
  if (ev.type != EventType::SequenceStart) {
    return std::unexpected(YamlError::invalid_type(path.to_string(), ev.mark, describe(ev), "a sequence"));
  }
  for (std::size_t i = 0;; ++i) {
    auto p = peek();
    if (!p) return std::unexpected(p.error());
    if ((*p)->type == EventType::SequenceEnd) {
      ++pos_;
      return {};
    }
    // Items already decoded are not looked at again.
    release_passed();
    const Path item_path = path.with_index(i);
    if (auto status = item(*this, item_path, list); !status) return status;
  }
}

Status Decoder::skip_value() {
  // Nothing inside an ignored value is decoded and its aliases are not
  // followed; only the nesting is tracked.
  std::size_t depth = 0;
  do {
    auto e = next();
    if (!e) return std::unexpected(e.error());
    switch ((*e)->type) {
      case EventType::SequenceStart:
      case EventType::MappingStart: ++depth; break;
      case EventType::SequenceEnd:
      case EventType::MappingEnd: --depth; break;
      default: break;
    }
  } while (depth != 0);
  return {};
}

Status Decoder::record(const Path& path, const RecordSpec& spec, void* record) {
  auto e = next();
  if (!e) return std::unexpected(e.error());
  if ((*e)->type == EventType::Alias) return via_alias(**e, [&] { return this->record(path, spec, record); });
  const Event& start = **e;
  const bool empty = start.type == EventType::Void || is_empty_plain(start);
  if (!empty && start.type != EventType::MappingStart) {
    return std::unexpected(
        YamlError::invalid_type(path.to_string(), start.mark, describe(start), fmt::format("struct {}", spec.name)));
  }
  // The start event may be released while the entries are decoded.
  const YamlMark start_mark = start.mark;
  // Keys met so far, one bit per field.
  if (spec.fields.size() > 64) fail_fatal("records have at most 64 keys", std::string(spec.name));
  std::uint64_t met = 0;
  while (!empty) {
    auto k = next();
    if (!k) return std::unexpected(k.error());
    if ((*k)->type == EventType::MappingEnd) break;
    // The key, behind an alias if need be, must be a scalar.
    const Event* key = *k;
    if (key->type == EventType::Alias) {
      auto resume = jump(*key);
      if (!resume) return std::unexpected(resume.error());
      auto anchored = events_.at(pos_);
      pos_ = *resume;
      if (!anchored) return std::unexpected(anchored.error());
      key = *anchored;
    }
    if (key->type != EventType::Scalar) {
      return std::unexpected(
          YamlError::invalid_type(path.to_string(), key->mark, describe(*key), "field identifier"));
    }
    std::size_t index = 0;
    while (index < spec.fields.size() && spec.fields[index].key != key->value) ++index;
    if (index == spec.fields.size()) {
      if (auto status = skip_value(); !status) return status;
      continue;
    }
    const std::uint64_t bit = std::uint64_t{1} << index;
    if ((met & bit) != 0) {
      return std::unexpected(
          YamlError::duplicate_field(path.to_string(), start_mark, std::string(spec.fields[index].key)));
    }
    met |= bit;
    const Path value_path = path.with_key(spec.fields[index].key);
    if (auto status = spec.fields[index].decode(*this, value_path, record); !status) return status;
  }
  for (std::size_t i = 0; i < spec.fields.size(); ++i) {
    if ((met & (std::uint64_t{1} << i)) == 0 && spec.fields[i].rule == Rule::Required) {
      return std::unexpected(
          YamlError::missing_field(path.to_string(), start_mark, std::string(spec.fields[i].key)));
    }
  }
  return {};
}

Status decode_document(std::string_view text, const RecordSpec& spec, void* root) {
  // A byte-order mark may open a UTF-8 YAML stream. It is dropped before the
  // parser sees the text (which is read as UTF-8 whatever it begins with),
  // so positions count as in the same text without it.
  constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
  if (text.starts_with(kByteOrderMark)) text.remove_prefix(kByteOrderMark.size());
  EventStream events(text);
  Decoder decoder(events, text.size());
  if (auto status = decoder.record(Path::root(), spec, root); !status) return status;
  // The rest of the first document may still hold a syntax error.
  while (events.parse_one()) events.release_before(events.parsed());
  if (events.error()) return std::unexpected(*events.error());
  if (events.has_another_document()) return std::unexpected(YamlError::more_than_one_document());
  return {};
}

}  // namespace orvel::io::yaml
