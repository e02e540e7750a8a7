#include "io/yaml_events.hpp"

#include <yaml.h>

#include <new>
#include <unordered_map>

namespace orvel::io::yaml {
namespace {

constexpr std::string_view kStringTag = "tag:yaml.org,2002:str";

YamlMark to_mark(const yaml_mark_t& m) { return YamlMark{m.index, m.line, m.column}; }

YamlError parser_error(const yaml_parser_t& p) {
  // libyaml leaves the problem unset only when it ran out of memory.
  std::string problem = p.problem != nullptr ? p.problem : "out of memory while parsing YAML";
  std::optional<std::string> context;
  if (p.context != nullptr) context = p.context;
  return YamlError::syntax(std::move(problem), p.problem_offset, to_mark(p.problem_mark), std::move(context),
                           to_mark(p.context_mark));
}

struct EventGuard {
  yaml_event_t event{};
  ~EventGuard() { yaml_event_delete(&event); }
};

}  // namespace

struct EventReader::Parser {
  yaml_parser_t parser{};
  bool finished = false;  // stream end or an error reached

  ~Parser() { yaml_parser_delete(&parser); }
};

EventReader::EventReader(std::string_view text) : parser_(std::make_unique<Parser>()) {
  if (yaml_parser_initialize(&parser_->parser) == 0) throw std::bad_alloc();
  // libyaml refuses a null input pointer, which an empty view may carry.
  const char* data = text.data() != nullptr ? text.data() : "";
  yaml_parser_set_input_string(&parser_->parser, reinterpret_cast<const unsigned char*>(data), text.size());
  yaml_parser_set_encoding(&parser_->parser, YAML_UTF8_ENCODING);
}

EventReader::~EventReader() = default;

Document EventReader::first_document() {
  Document doc;
  // Anchor name -> index of the event it marks; a redefined anchor refers to
  // its latest node from then on.
  std::unordered_map<std::string, std::size_t> anchors;
  auto remember_anchor = [&](const yaml_char_t* anchor) {
    if (anchor != nullptr) anchors[reinterpret_cast<const char*>(anchor)] = doc.events.size();
  };
  while (true) {
    EventGuard guard;
    yaml_event_t& ev = guard.event;
    if (yaml_parser_parse(&parser_->parser, &ev) == 0) {
      doc.error = parser_error(parser_->parser);
      parser_->finished = true;
      return doc;
    }
    Event out;
    out.mark = to_mark(ev.start_mark);
    switch (ev.type) {
      case YAML_STREAM_START_EVENT:
      case YAML_DOCUMENT_START_EVENT:
        continue;
      case YAML_NO_EVENT:
      case YAML_STREAM_END_EVENT:
        parser_->finished = true;
        if (doc.events.empty()) doc.events.push_back(out);  // Void: no document at all
        return doc;
      case YAML_DOCUMENT_END_EVENT:
        return doc;
      case YAML_ALIAS_EVENT: {
        auto found = anchors.find(reinterpret_cast<const char*>(ev.data.alias.anchor));
        if (found == anchors.end()) {
          doc.error = YamlError::unknown_anchor(out.mark);
          parser_->finished = true;
          return doc;
        }
        out.type = EventType::Alias;
        out.target = found->second;
        break;
      }
      case YAML_SCALAR_EVENT: {
        remember_anchor(ev.data.scalar.anchor);
        out.type = EventType::Scalar;
        out.value.assign(reinterpret_cast<const char*>(ev.data.scalar.value), ev.data.scalar.length);
        const bool string_tag =
            ev.data.scalar.tag != nullptr && reinterpret_cast<const char*>(ev.data.scalar.tag) == kStringTag;
        out.plain = ev.data.scalar.style == YAML_PLAIN_SCALAR_STYLE && !string_tag;
        break;
      }
      case YAML_SEQUENCE_START_EVENT:
        remember_anchor(ev.data.sequence_start.anchor);
        out.type = EventType::SequenceStart;
        break;
      case YAML_SEQUENCE_END_EVENT:
        out.type = EventType::SequenceEnd;
        break;
      case YAML_MAPPING_START_EVENT:
        remember_anchor(ev.data.mapping_start.anchor);
        out.type = EventType::MappingStart;
        break;
      case YAML_MAPPING_END_EVENT:
        out.type = EventType::MappingEnd;
        break;
    }
    doc.events.push_back(std::move(out));
  }
}

bool EventReader::has_another_document() {
  if (parser_->finished) return false;
  EventGuard guard;
  if (yaml_parser_parse(&parser_->parser, &guard.event) == 0) return true;
  return guard.event.type == YAML_DOCUMENT_START_EVENT;
}

}  // namespace orvel::io::yaml
