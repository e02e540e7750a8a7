#include "ja/unidic_yaml_records.hpp"

#include "io/yaml_record.hpp"

namespace orvel::io::yaml {

template <>
struct RecordSchema<ja::UnidicReadingIndexPayloadEntry> {
  using R = ja::UnidicReadingIndexPayloadEntry;
  static constexpr std::string_view name = "UnidicReadingIndexPayloadEntry";
  static constexpr std::array fields{
      required<&R::surface>("surface"),
      required<&R::readings>("readings"),
  };
};

template <>
struct RecordSchema<ja::UnidicReadingIndexPayload> {
  using R = ja::UnidicReadingIndexPayload;
  static constexpr std::string_view name = "UnidicReadingIndexPayload";
  static constexpr std::array fields{
      required<&R::schema_version>("schema_version"),
      required<&R::payload_type>("payload_type"),
      required<&R::entries>("entries"),
  };
};

}  // namespace orvel::io::yaml

namespace orvel::ja {

std::expected<UnidicReadingIndexPayload, io::YamlError> decode_unidic_payload_yaml(std::string_view text) {
  return io::decode_yaml<UnidicReadingIndexPayload>(text);
}

}  // namespace orvel::ja
