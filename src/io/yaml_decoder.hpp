#pragma once
// The decoding machine behind io::decode_yaml (io/yaml_record.hpp): a
// cursor over the events of one document that decodes values of each kind
// and records from their descriptions. Record authors use yaml_record.hpp.
#include <cstddef>
#include <cstdint>
#include <expected>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "io/yaml_error.hpp"
#include "io/yaml_events.hpp"

namespace orvel::io::yaml {

using Status = std::expected<void, YamlError>;

// The path of the node being decoded, as a chain of stack frames.
struct Path {
  enum class Kind { Root, Key, Index };
  Kind kind = Kind::Root;
  const Path* parent = nullptr;
  std::string_view key;
  std::size_t index = 0;

  static Path root() { return Path{}; }
  Path with_key(std::string_view k) const { return Path{Kind::Key, this, k, 0}; }
  Path with_index(std::size_t i) const { return Path{Kind::Index, this, {}, i}; }
  // "." at the root; "payload.checksum"; "license.references[0]".
  std::string to_string() const;
};

enum class Rule { Required, Optional, DefaultFalse };

class Decoder;

struct FieldSpec {
  std::string_view key;
  Rule rule = Rule::Required;
  // Decodes the key's value into the field of the record at `record`.
  Status (*decode)(Decoder&, const Path&, void* record) = nullptr;
};

struct RecordSpec {
  std::string_view name;  // type errors expect "struct {name}"
  std::span<const FieldSpec> fields;
};

class Decoder {
 public:
  // `text_bytes`: the length of the document's text, which bounds what
  // aliases may produce.
  Decoder(EventStream& events, std::uint64_t text_bytes) : events_(events), text_bytes_(text_bytes) {}

  Status text(const Path& path, std::string& out);
  Status u32(const Path& path, std::uint32_t& out);
  Status usize(const Path& path, std::uint64_t& out);
  Status boolean(const Path& path, bool& out);
  Status optional_text(const Path& path, std::optional<std::string>& out);
  Status optional_usize(const Path& path, std::optional<std::uint64_t>& out);
  // A sequence whose items `item` decodes one by one (appending to `list`).
  Status list(const Path& path, Status (*item)(Decoder&, const Path&, void* list), void* list);
  Status record(const Path& path, const RecordSpec& spec, void* record);

 private:
  std::expected<const Event*, YamlError> peek();
  std::expected<const Event*, YamlError> next();
  // Moves the cursor to the anchored event of an alias just consumed; the
  // returned position is where decoding resumes afterwards.
  std::expected<std::size_t, YamlError> jump(const Event& alias);
  template <class Decode>
  Status via_alias(const Event& alias, Decode decode);
  Status skip_value();
  Status unsigned_number(const Path& path, std::uint64_t& out, std::string_view expected);

  // Lets go of the events before the cursor, unless an alias is being
  // followed (the cursor then stands inside the anchored node).
  void release_passed();

  EventStream& events_;
  std::size_t pos_ = 0;
  std::size_t following_ = 0;  // aliases being followed
  std::uint64_t text_bytes_ = 0;
  std::uint64_t jumps_ = 0;
  std::uint64_t expanded_ = 0;  // expansion cost of the nodes aliases led to
};

// Decodes the first document of `text` as the record `spec` into `root`,
// then refuses a second document.
Status decode_document(std::string_view text, const RecordSpec& spec, void* root);

}  // namespace orvel::io::yaml
