#pragma once
// The canonical text of a Chinese index: the header line
// "orvel.zh.reading-index.surface-readings/v1", a 'V' record with the view
// name, then per surface in ascending byte order an 'S' record, a count line
// "R{n}" and an 'r' record per reading in stored order. A record is the tag,
// the byte length in decimal, a line feed, the bytes and a line feed.
#include <string>
#include <string_view>

namespace orvel::zh {

struct ZhReadingIndexPayload;

inline constexpr std::string_view kZhCanonicalHeader = "orvel.zh.reading-index.surface-readings/v1\n";

// Appends one length-prefixed record.
void push_len_prefixed(std::string& out, char tag, std::string_view bytes);

// The canonical text of an export (entries in the export's order).
std::string canonical_text_of(const ZhReadingIndexPayload& payload);

}  // namespace orvel::zh
