#include "zh/typed_pinyin_suffixes.hpp"

#include "text/utf8.hpp"
#include "zh/pinyin.hpp"

namespace orvel::zh {

TypedPinyinSuffixes::TypedPinyinSuffixes(std::string_view run) {
  // Pass 1: the characters that survive (whitespace removed, ASCII lowered),
  // and for each run character the index of the first kept one at or after it.
  std::vector<std::size_t> first_kept;
  std::string lowered;
  lowered.reserve(run.size());
  std::vector<std::size_t> kept_offsets;
  std::size_t pos = 0;
  while (pos < run.size()) {
    const std::size_t begin = pos;
    const char32_t c = text::next_scalar(run, pos);
    first_kept.push_back(kept_offsets.size());
    if (is_pinyin_whitespace(c)) continue;
    kept_offsets.push_back(lowered.size());
    if (c >= U'A' && c <= U'Z') {
      lowered.push_back(static_cast<char>(c - U'A' + U'a'));
    } else {
      lowered.append(run, begin, pos - begin);
    }
  }
  kept_offsets.push_back(lowered.size());
  const std::size_t kept_count = kept_offsets.size() - 1;
  auto kept_is = [&](std::size_t m, char ch) {
    return m < kept_count && kept_offsets[m + 1] - kept_offsets[m] == 1 && lowered[kept_offsets[m]] == ch;
  };

  // Pass 2: "u:" -> "v" over the kept characters, recording where the output
  // of each kept character begins.
  std::vector<std::size_t> out_at(kept_count + 1, 0);
  std::vector<bool> pair_colon(kept_count, false);
  normal_.reserve(lowered.size());
  for (std::size_t m = 0; m < kept_count;) {
    out_at[m] = normal_.size();
    if (kept_is(m, 'u') && kept_is(m + 1, ':')) {
      normal_.push_back('v');
      pair_colon[m + 1] = true;
      m += 2;
    } else {
      normal_.append(lowered, kept_offsets[m], kept_offsets[m + 1] - kept_offsets[m]);
      ++m;
    }
  }
  out_at[kept_count] = normal_.size();

  const std::string_view all(normal_);
  forms_.reserve(first_kept.size());
  for (const std::size_t m : first_kept) {
    if (m < kept_count && pair_colon[m]) {
      // The ":" of a pair: the rest starts after the pair's "v".
      forms_.push_back(Form{true, all.substr(out_at[m + 1])});
    } else {
      forms_.push_back(Form{false, all.substr(out_at[m])});
    }
  }
}

std::string TypedPinyinSuffixes::text(std::size_t k) const {
  const Form& f = forms_[k];
  std::string out = f.colon_lead ? ":" : "";
  out.append(f.rest);
  return out;
}

}  // namespace orvel::zh
