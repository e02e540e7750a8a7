#pragma once
// The events of one YAML document, collected from libyaml's event parser.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
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
  std::size_t target = 0;  // Alias: index of the event its anchor marked
  YamlMark mark;           // where the node begins
  std::string value;       // Scalar
};

// The first document: its node events (document and stream events left out)
// and the error that cut the collection short, if any (a syntax error or an
// alias to an undefined anchor).
struct Document {
  std::vector<Event> events;
  std::optional<YamlError> error;
};

// Parses a text one document at a time.
class EventReader {
 public:
  explicit EventReader(std::string_view text);
  ~EventReader();
  EventReader(const EventReader&) = delete;
  EventReader& operator=(const EventReader&) = delete;

  // Collects the first document. Call once.
  Document first_document();
  // After first_document() without error: whether another document follows
  // (a further document start, or a syntax error where one would begin).
  bool has_another_document();

 private:
  struct Parser;
  std::unique_ptr<Parser> parser_;
};

}  // namespace orvel::io::yaml
