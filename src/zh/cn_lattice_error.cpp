#include "zh/cn_lattice_error.hpp"

#include <fmt/format.h>

#include "text/quoted.hpp"
#include "zh/zh_artifact_payload_error.hpp"

namespace orvel::zh {

CnLatticeError CnLatticeError::unsupported_direct_pinyin(std::string input) {
  return CnLatticeError{Kind::UnsupportedDirectPinyin, std::move(input)};
}

CnLatticeError CnLatticeError::dictionary(std::string message) {
  return CnLatticeError{Kind::Dictionary, std::move(message)};
}

CnLatticeError CnLatticeError::dictionary(const ZhArtifactPayloadError& error) { return dictionary(error.message()); }

std::string CnLatticeError::message() const {
  if (kind == Kind::UnsupportedDirectPinyin) {
    return fmt::format("unsupported direct pinyin input {}", text::quoted_text(text));
  }
  return text;
}

std::string CnLatticeError::debug() const {
  if (kind == Kind::UnsupportedDirectPinyin) return fmt::format("UnsupportedDirectPinyin({})", text::quoted_text(text));
  return fmt::format("Dictionary({})", text::quoted_text(text));
}

}  // namespace orvel::zh
