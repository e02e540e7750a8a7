#pragma once
// The events of one YAML document, parsed from libyaml's event parser as the
// decoder asks for them.
#include <cstddef>
#include <cstdint>
#include <deque>
#include <expected>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "io/yaml_error.hpp"

namespace orvel::io::yaml {

enum class EventType : std::uint8_t {
  Void,  // the document has no node at all (empty text, only comments)
  Scalar,
  Alias,
  SequenceStart,
  SequenceEnd,
  MappingStart,
  MappingEnd,
};

struct Event {
  EventType type = EventType::Void;
  // Scalar: plain style and no explicit string tag, so the value may read as
  // null, a boolean or a number.
  bool plain = false;
  std::size_t target = 0;  // Alias: number of the event its anchor marked
  YamlMark mark;           // where the node begins
  std::string value;       // Scalar
};

// Sequences and mappings may nest this deep; one level more ends the
// document. Records nest a few levels; the scanner's work grows with the
// square of the depth, so it must not be led far down.
inline constexpr std::uint64_t kMaxNestingDepth = 128;

// What decoding one event of a node costs when an alias repeats it: its
// scalar bytes and a fixed share for the event itself.
inline std::uint64_t expansion_cost(const Event& event) { return 16 + event.value.size(); }

// The first document of a text as a stream of node events (document and
// stream events left out), numbered from 0 in document order and parsed only
// as far as they are asked for. The document ends at its end marker, at a
// syntax error, at an alias to an undefined anchor or at nesting past
// kMaxNestingDepth; the error, if any, is kept.
//
// Only what may still be asked for is held: the events from the window's
// start on, and every anchored node (an alias may repeat it at any later
// point). A document without anchors is thus held one list item at a time,
// not whole.
class EventStream {
 public:
  explicit EventStream(std::string_view text);
  ~EventStream();
  EventStream(const EventStream&) = delete;
  EventStream& operator=(const EventStream&) = delete;

  // The event numbered `i`, parsing on as far as needed; the error that
  // ended the document before it; fatal when the document ended normally
  // before it (a balanced document never leads there) or when the event was
  // released. The reference stays valid until the event is released.
  std::expected<const Event*, YamlError> at(std::size_t i);

  // Events numbered below `i` are no longer asked for, unless an anchored
  // node holds them.
  void release_before(std::size_t i);

  // Parses one more event of the document; false once it has ended.
  bool parse_one();
  // Events parsed so far, and whether the document has ended.
  std::size_t parsed() const { return parsed_; }
  bool ended() const { return ended_; }
  // The error that ended the document, once it has ended with one.
  const std::optional<YamlError>& error() const { return error_; }

  // The expansion cost of the anchored node that begins with event `i`, once
  // the node is complete.
  std::optional<std::uint64_t> anchored_cost(std::size_t i) const;

  // After the first document ended without error: whether another document
  // follows (a further document start, or a syntax error where one would
  // begin).
  bool has_another_document();

 private:
  struct Parser;
  // Anchored nodes, held whole: the events numbered first, first + 1, ...
  struct Held {
    std::size_t first;
    std::deque<Event> events;
  };

  void end_with(std::optional<YamlError> error);
  const Event* held(std::size_t i) const;

  std::unique_ptr<Parser> parser_;
  std::deque<Event> window_;
  std::size_t window_start_ = 0;
  std::vector<Held> held_;        // in order of their first event
  std::size_t holding_depth_ = 0;  // open collections of the node being held (0: none)
  std::size_t parsed_ = 0;
  bool ended_ = false;
  bool stream_ended_ = false;
  std::optional<YamlError> error_;

  // Anchor name -> number of the event it marks; a redefined anchor refers
  // to its latest node from then on.
  std::unordered_map<std::string, std::size_t> anchors_;
  // Open sequences and mappings: the number of each one's start event
  // (SIZE_MAX when it has no anchor) and the total cost of the events before
  // it.
  struct Open {
    std::size_t start;
    std::uint64_t cost_before;
  };
  std::vector<Open> open_;
  std::uint64_t total_cost_ = 0;
  std::unordered_map<std::size_t, std::uint64_t> anchored_cost_;
};

}  // namespace orvel::io::yaml
