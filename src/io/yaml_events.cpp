#include "io/yaml_events.hpp"

#include <yaml.h>

#include <algorithm>
#include <new>

#include <fmt/format.h>

#include "common/fatal_error.hpp"

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

const yaml_char_t* anchor_of(const yaml_event_t& ev) {
  switch (ev.type) {
    case YAML_SCALAR_EVENT: return ev.data.scalar.anchor;
    case YAML_SEQUENCE_START_EVENT: return ev.data.sequence_start.anchor;
    case YAML_MAPPING_START_EVENT: return ev.data.mapping_start.anchor;
    default: return nullptr;
  }
}

}  // namespace

struct EventStream::Parser {
  yaml_parser_t parser{};

  ~Parser() { yaml_parser_delete(&parser); }
};

EventStream::EventStream(std::string_view text) : parser_(std::make_unique<Parser>()) {
  if (yaml_parser_initialize(&parser_->parser) == 0) throw std::bad_alloc();
  // libyaml refuses a null input pointer, which an empty view may carry.
  const char* data = text.data() != nullptr ? text.data() : "";
  yaml_parser_set_input_string(&parser_->parser, reinterpret_cast<const unsigned char*>(data), text.size());
  yaml_parser_set_encoding(&parser_->parser, YAML_UTF8_ENCODING);
}

EventStream::~EventStream() = default;

void EventStream::end_with(std::optional<YamlError> error) {
  ended_ = true;
  error_ = std::move(error);
  // A syntax error ends the whole text, not only this document.
  if (error_) stream_ended_ = true;
}

bool EventStream::parse_one() {
  while (!ended_) {
    EventGuard guard;
    yaml_event_t& ev = guard.event;
    if (yaml_parser_parse(&parser_->parser, &ev) == 0) {
      end_with(parser_error(parser_->parser));
      return false;
    }
    Event out;
    out.mark = to_mark(ev.start_mark);
    switch (ev.type) {
      case YAML_STREAM_START_EVENT:
      case YAML_DOCUMENT_START_EVENT:
        continue;
      case YAML_NO_EVENT:
      case YAML_STREAM_END_EVENT: {
        stream_ended_ = true;
        const bool void_document = parsed_ == 0;
        if (void_document) {
          // Void: no document at all.
          window_.push_back(std::move(out));
          ++parsed_;
        }
        end_with(std::nullopt);
        return void_document;
      }
      case YAML_DOCUMENT_END_EVENT:
        end_with(std::nullopt);
        return false;
      case YAML_ALIAS_EVENT: {
        auto found = anchors_.find(reinterpret_cast<const char*>(ev.data.alias.anchor));
        if (found == anchors_.end()) {
          end_with(YamlError::unknown_anchor(out.mark));
          return false;
        }
        out.type = EventType::Alias;
        out.target = found->second;
        break;
      }
      case YAML_SCALAR_EVENT: {
        out.type = EventType::Scalar;
        out.value.assign(reinterpret_cast<const char*>(ev.data.scalar.value), ev.data.scalar.length);
        const bool string_tag =
            ev.data.scalar.tag != nullptr && reinterpret_cast<const char*>(ev.data.scalar.tag) == kStringTag;
        out.plain = ev.data.scalar.style == YAML_PLAIN_SCALAR_STYLE && !string_tag;
        break;
      }
      case YAML_SEQUENCE_START_EVENT: out.type = EventType::SequenceStart; break;
      case YAML_SEQUENCE_END_EVENT: out.type = EventType::SequenceEnd; break;
      case YAML_MAPPING_START_EVENT: out.type = EventType::MappingStart; break;
      case YAML_MAPPING_END_EVENT: out.type = EventType::MappingEnd; break;
    }

    const std::size_t number = parsed_;
    const bool starts = out.type == EventType::SequenceStart || out.type == EventType::MappingStart;
    const bool closes = out.type == EventType::SequenceEnd || out.type == EventType::MappingEnd;
    const yaml_char_t* anchor = anchor_of(ev);
    if (starts && open_.size() == kMaxNestingDepth) {
      end_with(YamlError::nesting_too_deep(out.mark, kMaxNestingDepth));
      return false;
    }
    if (anchor != nullptr) anchors_[reinterpret_cast<const char*>(anchor)] = number;

    // An alias inside a node repeats its target's cost when the node is
    // repeated: that cost is counted when the alias is followed.
    const std::uint64_t cost = out.type == EventType::Alias ? 0 : expansion_cost(out);
    if (starts) open_.push_back(Open{anchor != nullptr ? number : SIZE_MAX, total_cost_});
    total_cost_ += cost;
    if (closes && !open_.empty()) {
      if (open_.back().start != SIZE_MAX) anchored_cost_[open_.back().start] = total_cost_ - open_.back().cost_before;
      open_.pop_back();
    } else if (anchor != nullptr && out.type == EventType::Scalar) {
      anchored_cost_[number] = cost;
    }

    // An anchored node is held whole, nested anchored nodes with it.
    if (holding_depth_ == 0 && anchor != nullptr) {
      held_.push_back(Held{number, {}});
      holding_depth_ = starts ? 1 : 0;
      held_.back().events.push_back(out);
    } else if (holding_depth_ > 0) {
      held_.back().events.push_back(out);
      if (starts) ++holding_depth_;
      if (closes) --holding_depth_;
    }

    window_.push_back(std::move(out));
    ++parsed_;
    return true;
  }
  return false;
}

const Event* EventStream::held(std::size_t i) const {
  auto after = std::upper_bound(held_.begin(), held_.end(), i,
                                [](std::size_t n, const Held& h) { return n < h.first; });
  if (after == held_.begin()) return nullptr;
  const Held& h = *std::prev(after);
  if (i - h.first >= h.events.size()) return nullptr;
  return &h.events[i - h.first];
}

std::expected<const Event*, YamlError> EventStream::at(std::size_t i) {
  if (i < window_start_) {
    if (const Event* e = held(i)) return e;
    fail_fatal("released YAML events are not asked for again",
               fmt::format("ReleasedEvent {{ event: {}, window_start: {} }}", i, window_start_));
  }
  while (i >= parsed_ && parse_one()) {
  }
  if (i < parsed_) return &window_[i - window_start_];
  // The document ended before the event: the error that ended it.
  if (error_) return std::unexpected(*error_);
  fail_fatal("balanced YAML document events", fmt::format("EndOfEvents {{ pos: {} }}", i));
}

void EventStream::release_before(std::size_t i) {
  while (window_start_ < i && !window_.empty()) {
    window_.pop_front();
    ++window_start_;
  }
}

std::optional<std::uint64_t> EventStream::anchored_cost(std::size_t i) const {
  auto found = anchored_cost_.find(i);
  if (found == anchored_cost_.end()) return std::nullopt;
  return found->second;
}

bool EventStream::has_another_document() {
  if (!ended_ || error_ || stream_ended_) return false;
  EventGuard guard;
  if (yaml_parser_parse(&parser_->parser, &guard.event) == 0) return true;
  return guard.event.type == YAML_DOCUMENT_START_EVENT;
}

}  // namespace orvel::io::yaml
