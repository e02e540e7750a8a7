#include "text/unicode.hpp"

#include <unicode/bytestream.h>
#include <unicode/casemap.h>
#include <unicode/stringpiece.h>
#include <unicode/uchar.h>

#include "common/fatal_error.hpp"
#include "text/utf8.hpp"

namespace orvel::text {

GeneralCategory general_category(char32_t c) {
  switch (static_cast<UCharCategory>(u_charType(static_cast<UChar32>(c)))) {
    case U_UPPERCASE_LETTER: return GeneralCategory::Lu;
    case U_LOWERCASE_LETTER: return GeneralCategory::Ll;
    case U_TITLECASE_LETTER: return GeneralCategory::Lt;
    case U_MODIFIER_LETTER: return GeneralCategory::Lm;
    case U_OTHER_LETTER: return GeneralCategory::Lo;
    case U_NON_SPACING_MARK: return GeneralCategory::Mn;
    case U_COMBINING_SPACING_MARK: return GeneralCategory::Mc;
    case U_ENCLOSING_MARK: return GeneralCategory::Me;
    case U_DECIMAL_DIGIT_NUMBER: return GeneralCategory::Nd;
    case U_LETTER_NUMBER: return GeneralCategory::Nl;
    case U_OTHER_NUMBER: return GeneralCategory::No;
    case U_CONNECTOR_PUNCTUATION: return GeneralCategory::Pc;
    case U_DASH_PUNCTUATION: return GeneralCategory::Pd;
    case U_START_PUNCTUATION: return GeneralCategory::Ps;
    case U_END_PUNCTUATION: return GeneralCategory::Pe;
    case U_INITIAL_PUNCTUATION: return GeneralCategory::Pi;
    case U_FINAL_PUNCTUATION: return GeneralCategory::Pf;
    case U_OTHER_PUNCTUATION: return GeneralCategory::Po;
    case U_MATH_SYMBOL: return GeneralCategory::Sm;
    case U_CURRENCY_SYMBOL: return GeneralCategory::Sc;
    case U_MODIFIER_SYMBOL: return GeneralCategory::Sk;
    case U_OTHER_SYMBOL: return GeneralCategory::So;
    case U_SPACE_SEPARATOR: return GeneralCategory::Zs;
    case U_LINE_SEPARATOR: return GeneralCategory::Zl;
    case U_PARAGRAPH_SEPARATOR: return GeneralCategory::Zp;
    case U_CONTROL_CHAR: return GeneralCategory::Cc;
    case U_FORMAT_CHAR: return GeneralCategory::Cf;
    case U_SURROGATE: return GeneralCategory::Cs;
    case U_PRIVATE_USE_CHAR: return GeneralCategory::Co;
    default: return GeneralCategory::Cn;  // U_UNASSIGNED and values beyond U+10FFFF
  }
}

bool is_white_space(char32_t c) {
  return u_hasBinaryProperty(static_cast<UChar32>(c), UCHAR_WHITE_SPACE) != 0;
}

bool is_grapheme_extend(char32_t c) {
  return u_hasBinaryProperty(static_cast<UChar32>(c), UCHAR_GRAPHEME_EXTEND) != 0;
}

std::string to_lowercase(std::string_view valid) {
  std::string out;
  out.reserve(valid.size());
  icu::StringByteSink<std::string> sink(&out);
  UErrorCode status = U_ZERO_ERROR;
  // "" is the root locale: the untailored default mapping, Final_Sigma included.
  icu::CaseMap::utf8ToLower("", 0, icu::StringPiece(valid.data(), static_cast<int32_t>(valid.size())), sink,
                            nullptr, status);
  if (U_FAILURE(status)) fail_fatal("lowercase mapping of valid UTF-8", u_errorName(status));
  return out;
}

std::u32string to_lowercase(std::u32string_view text) {
  return decode_utf8(to_lowercase(encode_utf8(text)));
}

}  // namespace orvel::text
