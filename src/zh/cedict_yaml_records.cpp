#include "zh/cedict_yaml_records.hpp"

#include "io/yaml_record.hpp"

namespace orvel::io::yaml {

template <>
struct RecordSchema<zh::ZhReadingIndexPayloadEntry> {
  using R = zh::ZhReadingIndexPayloadEntry;
  static constexpr std::string_view name = "ZhReadingIndexPayloadEntry";
  static constexpr std::array fields{
      required<&R::surface>("surface"),
      required<&R::readings>("readings"),
  };
};

template <>
struct RecordSchema<zh::ZhReadingIndexPayload> {
  using R = zh::ZhReadingIndexPayload;
  static constexpr std::string_view name = "ZhReadingIndexPayload";
  static constexpr std::array fields{
      required<&R::schema_version>("schema_version"),
      required<&R::payload_type>("payload_type"),
      required<&R::pinyin_view>("pinyin_view"),
      required<&R::entries>("entries"),
  };
};

}  // namespace orvel::io::yaml

namespace orvel::zh {

std::expected<ZhReadingIndexPayload, io::YamlError> decode_zh_payload_yaml(std::string_view text) {
  return io::decode_yaml<ZhReadingIndexPayload>(text);
}

}  // namespace orvel::zh
