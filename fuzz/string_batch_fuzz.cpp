// The batch string kernels (QueryBatch: up to 32 patterns in the lanes of
// one vector) against the plain recurrences: every lane width, the portable
// kernel and the AVX2 one where the processor has it, Levenshtein and
// restricted Damerau, uncapped and capped.
//
// Input: a mode byte, an alphabet byte (see fuzz::Alphabet), a cap byte,
// then the patterns, one symbol per byte, split at 0xFE and ended by 0xFF,
// then the texts split at 0xFE. Mode bits:
//   0-1  lane width: 1, 2, 4 or 8 bytes; patterns are cut to the lane's
//        8 * width characters and their count to the lanes of the vector
//   2    one output row fewer than patterns: the last pattern's row is
//        never written
// Inside a pattern 0xFD fills it up to the lane width by repeating it;
// inside a text 0xFD repeats the text up to 250 + (next byte % 12)
// characters, across the 255 that 8-bit lanes can still count (longer
// texts are skipped, their cells left as they were); past the second such
// text 0xFD is a plain symbol.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

#include "core/string_batch.hpp"
#include "fuzz_support.hpp"

namespace {

using orvel::BatchKernel;
using orvel::BatchText;
using orvel::QueryBatch;

constexpr std::uint64_t kUnset = 0xDEAD'BEEF'0000'0001;

// One pattern's bytes, a symbol each, with 0xFD filling the pattern to
// `width` characters; cut to `width`.
std::u32string pattern(std::string_view bytes, const orvel::fuzz::Alphabet& alphabet, std::size_t width) {
  std::u32string out;
  for (const char c : bytes) {
    const auto b = static_cast<std::uint8_t>(c);
    if (b == 0xFD) {
      const std::u32string seed = out.empty() ? std::u32string(1, alphabet.symbol(0)) : out;
      while (out.size() < width) out += seed;
    } else {
      out.push_back(alphabet.symbol(b));
    }
    if (out.size() >= width) break;
  }
  out.resize(std::min(out.size(), width));
  return out;
}

// At most two long texts per input keep the reference programmes cheap.
std::vector<std::u32string> texts(orvel::fuzz::Bytes& in, const orvel::fuzz::Alphabet& alphabet) {
  std::vector<std::u32string> out(1);
  int long_texts = 0;
  while (!in.empty()) {
    const std::uint8_t b = in.byte();
    std::u32string& text = out.back();
    if (b == 0xFE || b == 0xFF) {
      out.emplace_back();
    } else if (b == 0xFD && long_texts < 2) {
      ++long_texts;
      const std::size_t length = 250 + in.byte() % 12;
      const std::u32string seed = text.empty() ? std::u32string(1, alphabet.symbol(0)) : text;
      while (text.size() < length) text += seed;
      text.resize(length);
    } else {
      text.push_back(alphabet.symbol(b));
    }
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  orvel::fuzz::Bytes in(data, size);
  const std::uint8_t mode = in.byte();
  const auto alphabet = orvel::fuzz::Alphabet::from_byte(in.byte());
  const std::uint64_t cap_byte = in.byte();
  const unsigned lane_bytes = 1u << (mode & 3u);
  const std::size_t width = 8 * lane_bytes;
  const std::size_t lanes = QueryBatch::lanes(lane_bytes);

  std::vector<std::u32string> patterns;
  std::string_view pattern_bytes = in.until(0xFF);
  while (patterns.size() < lanes) {
    const std::size_t stop = std::min(pattern_bytes.find('\xFE'), pattern_bytes.size());
    std::u32string p = pattern(pattern_bytes.substr(0, stop), alphabet, width);
    // A pattern has at least one character.
    if (!p.empty()) patterns.push_back(std::move(p));
    if (stop == pattern_bytes.size()) break;
    pattern_bytes.remove_prefix(stop + 1);
  }
  if (patterns.empty()) return 0;
  const std::vector<std::u32string> all_texts = texts(in, alphabet);

  // One pack for every run: a rebuild must forget the previous masks.
  static QueryBatch batch;
  const std::vector<std::u32string_view> views(patterns.begin(), patterns.end());
  batch.build(lane_bytes, views);
  ORVEL_FUZZ_CHECK(batch.size() == patterns.size());
  ORVEL_FUZZ_CHECK(batch.lane_bytes() == lane_bytes);

  // The plain distances, computed once.
  std::vector<std::uint64_t> lev(patterns.size() * all_texts.size());
  std::vector<std::uint64_t> osa(lev.size());
  std::vector<BatchText> batch_texts;
  const std::size_t longest = QueryBatch::max_text_length(lane_bytes);
  for (std::size_t j = 0; j < all_texts.size(); ++j) {
    batch_texts.push_back({all_texts[j].data(), all_texts[j].size()});
    if (all_texts[j].size() > longest) continue;
    for (std::size_t l = 0; l < patterns.size(); ++l) {
      lev[l * all_texts.size() + j] = orvel::fuzz::plain_levenshtein(patterns[l], all_texts[j]);
      osa[l * all_texts.size() + j] = orvel::fuzz::plain_osa(patterns[l], all_texts[j]);
    }
  }

  const std::size_t row_count = (mode & 4u) != 0 ? patterns.size() - 1 : patterns.size();
  std::vector<std::uint64_t> cells(lev.size());
  std::vector<std::uint64_t*> rows(row_count);
  for (std::size_t l = 0; l < row_count; ++l) rows[l] = cells.data() + l * all_texts.size();

  const std::uint64_t caps[] = {std::numeric_limits<std::uint64_t>::max(), cap_byte};
  for (const BatchKernel kernel : {BatchKernel::Portable, BatchKernel::Avx2}) {
    if (!orvel::batch_kernel_available(kernel)) continue;
    for (const bool swaps : {false, true}) {
      for (const std::uint64_t cap : caps) {
        std::fill(cells.begin(), cells.end(), kUnset);
        if (swaps) {
          batch.damerau_levenshtein(batch_texts, cap, rows, kernel);
        } else {
          batch.levenshtein(batch_texts, cap, rows, kernel);
        }
        for (std::size_t l = 0; l < patterns.size(); ++l) {
          for (std::size_t j = 0; j < all_texts.size(); ++j) {
            const std::size_t at = l * all_texts.size() + j;
            if (l >= row_count || all_texts[j].size() > longest) {
              ORVEL_FUZZ_CHECK(cells[at] == kUnset);
            } else {
              ORVEL_FUZZ_CHECK(cells[at] == std::min(swaps ? osa[at] : lev[at], cap));
            }
          }
        }
      }
    }
  }
  return 0;
}
