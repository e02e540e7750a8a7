#pragma once
// Text rules for pinyin: the normal form of readings stored in a reading
// index (which depends on the index's pinyin view), the characters that may
// make up typed pinyin, and the normal form of typed pinyin.
//
// Stored readings are lowercased with the full Unicode mapping and lose
// their tone digits in the no-tone view; typed pinyin is only ASCII-lowercased
// and always keeps its digits. Unless said otherwise, functions take valid UTF-8.
#include <cstddef>
#include <string>
#include <string_view>

namespace orvel::zh {

// The pinyin view of a whole reading index, fixed when it is loaded.
enum class PinyinView {
  Tone3,   // readings keep their tone digits
  NoTone,  // no digit 1 to 5 directly after an ASCII letter
};

// "tone3" or "no-tone": the only names that exports and checksums write.
std::string_view pinyin_view_name(PinyinView view);
inline bool is_tone3(PinyinView view) { return view == PinyinView::Tone3; }

// The characters with the Unicode White_Space property.
bool is_pinyin_whitespace(char32_t c);

// Whether a character may be part of typed pinyin: ASCII, whitespace, and
// the common CJK, fullwidth and general punctuation. No letter outside ASCII
// (not even "ü"), no Chinese character and no combining mark belongs.
bool is_direct_pinyin_char(char32_t c);

// The normal form of a stored reading: full Unicode lowercase, "u:" then
// "ü" (precomposed only) to "v", whitespace removed and, in the no-tone
// view, strip_no_tone_digits.
std::string normalize_artifact_reading(std::string_view reading, bool tone3);

// Drops every maximal run of the digits 1 to 5 that follows directly after
// an ASCII letter: zhong1guo2 -> zhongguo, a16 -> a6, 1a and a-1 unchanged.
std::string strip_no_tone_digits(std::string_view text);

// True when the text is not empty and every character is a direct-pinyin
// character (a text of whitespace only is accepted). False for bytes that
// are not UTF-8, so that the query fronts never decode such text.
bool can_build_direct_pinyin_input(std::string_view text);

// The normal form of typed pinyin: whitespace removed, A-Z lowered to a-z
// (nothing else is lowercased), then "u:" to "v". Digits and punctuation stay.
std::string normalize_direct_pinyin_input(std::string_view text);

// End of the typed-pinyin run that starts at `start`: the first position at
// or after it whose character is not a direct-pinyin character, or the text's
// length. Equal to `start` when the run is empty.
std::size_t typed_pinyin_run_end(std::u32string_view chars, std::size_t start);

}  // namespace orvel::zh
