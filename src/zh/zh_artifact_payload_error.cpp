#include "zh/zh_artifact_payload_error.hpp"

#include <fmt/format.h>

#include "core/dictionary_options.hpp"

namespace orvel::zh {

using Error = ZhArtifactPayloadError;

Error Error::unsupported_indexed_pinyin_view(std::uint32_t value) {
  return with_number(Kind::UnsupportedIndexedPinyinView, value);
}

Error Error::unsupported_pinyin_view(std::string pinyin_view) {
  Error e = make(Kind::UnsupportedPinyinView);
  e.text = std::move(pinyin_view);
  return e;
}

Error Error::reading_not_normalized(std::string surface, std::string reading, std::string normalized) {
  Error e = with_surface(Kind::ReadingNotNormalized, std::move(surface));
  e.reading = std::move(reading);
  e.text = std::move(normalized);
  return e;
}

Error Error::from_header_word(std::uint64_t value) {
  return unsupported_indexed_pinyin_view(static_cast<std::uint32_t>(value));
}

Error Error::from_option_limit(const OptionLimitExceeded& error) {
  return artifact_limit_exceeded(error.field, error.len, error.max);
}

std::string Error::own_message() const {
  auto q = [](std::string_view s) { return text::quoted_text(s); };
  switch (kind) {
    case Kind::UnsupportedIndexedPinyinView:
      return fmt::format("unsupported zh indexed artifact pinyin view {}", number);
    case Kind::UnsupportedPinyinView: return fmt::format("unsupported zh artifact pinyin view {}", q(text));
    case Kind::ReadingNotNormalized:
      return fmt::format("zh artifact payload surface {} has non-normalized reading {}; expected {}", q(surface),
                         q(reading), q(text));
    default: break;
  }
  return "unknown zh artifact payload error";
}

std::string Error::own_debug() const {
  auto q = [](std::string_view s) { return text::quoted_text(s); };
  switch (kind) {
    case Kind::UnsupportedIndexedPinyinView:
      return fmt::format("UnsupportedIndexedPinyinView {{ value: {} }}", number);
    case Kind::UnsupportedPinyinView: return fmt::format("UnsupportedPinyinView {{ pinyin_view: {} }}", q(text));
    case Kind::ReadingNotNormalized:
      return fmt::format("ReadingNotNormalized {{ surface: {}, reading: {}, normalized: {} }}", q(surface),
                         q(reading), q(text));
    default: break;
  }
  return "Unknown";
}

}  // namespace orvel::zh
