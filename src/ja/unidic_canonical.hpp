#pragma once
// The canonical text of UniDic content: a header line, then per surface in
// byte order a surface record, a count line and one record per reading.
#include <string>
#include <string_view>

#include "io/canonical.hpp"
#include "ja/unidic_payload.hpp"

namespace orvel::ja {

inline constexpr std::string_view kUnidicCanonicalHeader = "orvel.unidic.reading-index.surface-readings/v1\n";

namespace unidic {
using io::push_len_prefixed;
}  // namespace unidic

// The canonical text of an export whose entries are already in ascending
// byte order of their surfaces.
std::string unidic_canonical_text(const UnidicReadingIndexPayload& exported);

}  // namespace orvel::ja
