#pragma once
// The error of turning a Chinese text into readings or a lattice.
#include <string>

namespace orvel::zh {

struct ZhArtifactPayloadError;

struct CnLatticeError {
  enum class Kind {
    // The text is neither typed pinyin nor covered by the index, with or
    // without typed-pinyin stretches; `text` is the input text.
    UnsupportedDirectPinyin,
    // An option limit or a lookup failed; `text` is that error's message.
    Dictionary,
  };

  Kind kind = Kind::UnsupportedDirectPinyin;
  std::string text;

  static CnLatticeError unsupported_direct_pinyin(std::string input);
  static CnLatticeError dictionary(std::string message);
  static CnLatticeError dictionary(const ZhArtifactPayloadError& error);

  // "unsupported direct pinyin input {quoted text}", or the message itself.
  std::string message() const;
  std::string debug() const;
  friend bool operator==(const CnLatticeError&, const CnLatticeError&) = default;
};

}  // namespace orvel::zh
