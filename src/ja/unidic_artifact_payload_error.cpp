#include "ja/unidic_artifact_payload_error.hpp"

#include <fmt/format.h>
#include <fmt/ranges.h>

#include "core/dictionary_options.hpp"

namespace orvel::ja {

using Error = UnidicArtifactPayloadError;

Error Error::invalid_binary_magic(const std::array<std::uint8_t, 8>& magic) {
  return with_magic(Kind::InvalidBinaryMagic, magic);
}

Error Error::unsupported_binary_version(std::uint32_t version) {
  return with_number(Kind::UnsupportedBinaryVersion, version);
}

Error Error::non_zero_binary_reserved(std::uint32_t value) { return with_number(Kind::NonZeroBinaryReserved, value); }

Error Error::truncated_binary(std::string_view field) { return with_field(Kind::TruncatedBinary, field); }

Error Error::invalid_binary_utf8(std::string_view field, text::Utf8Error source) {
  return with_utf8(Kind::InvalidBinaryUtf8, field, source);
}

Error Error::non_zero_indexed_reserved(std::uint32_t value) { return with_number(Kind::NonZeroIndexedReserved, value); }

Error Error::from_header_word(std::uint64_t value) {
  return non_zero_indexed_reserved(static_cast<std::uint32_t>(value));
}

Error Error::from_option_limit(const OptionLimitExceeded& e) { return artifact_limit_exceeded(e.field, e.len, e.max); }

std::string Error::own_message() const {
  switch (kind) {
    case Kind::InvalidBinaryMagic: return fmt::format("invalid UniDic binary artifact magic [{}]", fmt::join(magic, ", "));
    case Kind::UnsupportedBinaryVersion: return fmt::format("unsupported UniDic binary artifact version {}", number);
    case Kind::NonZeroBinaryReserved: return fmt::format("UniDic binary artifact reserved header field is {}", number);
    case Kind::TruncatedBinary: return fmt::format("truncated UniDic binary artifact while reading {}", field);
    case Kind::InvalidBinaryUtf8:
      return fmt::format("invalid UTF-8 in UniDic binary artifact {}: {}", field, utf8.message());
    case Kind::NonZeroIndexedReserved: return fmt::format("UniDic indexed artifact reserved header field is {}", number);
    default: break;
  }
  return "UniDic artifact payload error";
}

std::string Error::own_debug() const {
  auto q = [](std::string_view s) { return text::quoted_text(s); };
  switch (kind) {
    case Kind::InvalidBinaryMagic: return fmt::format("InvalidBinaryMagic {{ magic: [{}] }}", fmt::join(magic, ", "));
    case Kind::UnsupportedBinaryVersion: return fmt::format("UnsupportedBinaryVersion {{ version: {} }}", number);
    case Kind::NonZeroBinaryReserved: return fmt::format("NonZeroBinaryReserved {{ value: {} }}", number);
    case Kind::TruncatedBinary: return fmt::format("TruncatedBinary {{ field: {} }}", q(field));
    case Kind::InvalidBinaryUtf8:
      return fmt::format("InvalidBinaryUtf8 {{ field: {}, source: {} }}", q(field), utf8.debug());
    case Kind::NonZeroIndexedReserved: return fmt::format("NonZeroIndexedReserved {{ value: {} }}", number);
    default: break;
  }
  return "UnidicArtifactPayloadError";
}

}  // namespace orvel::ja
