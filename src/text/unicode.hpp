#pragma once
// Unicode character properties and case mapping, answered by ICU.
#include <string>
#include <string_view>

namespace orvel::text {

// The Unicode general categories (two-letter names of UnicodeData.txt).
enum class GeneralCategory {
  Lu, Ll, Lt, Lm, Lo,
  Mn, Mc, Me,
  Nd, Nl, No,
  Pc, Pd, Ps, Pe, Pi, Pf, Po,
  Sm, Sc, Sk, So,
  Zs, Zl, Zp,
  Cc, Cf, Cs, Co, Cn,
};

GeneralCategory general_category(char32_t c);

// The White_Space property: U+0009..U+000D, U+0020, U+0085, U+00A0, U+1680,
// U+2000..U+200A, U+2028, U+2029, U+202F, U+205F, U+3000.
bool is_white_space(char32_t c);

// The Grapheme_Extend property (combining marks, ZWJ, variation selectors...).
bool is_grapheme_extend(char32_t c);

// Default full lowercase mapping of the Unicode standard (no language
// tailoring): one character may become several (U+0130 -> "i\u0307") and a
// capital sigma at the end of a word becomes final sigma. `valid` must be
// valid UTF-8.
std::string to_lowercase(std::string_view valid);
std::u32string to_lowercase(std::u32string_view text);

}  // namespace orvel::text
