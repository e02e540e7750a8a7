#include "ja/unidic_canonical.hpp"

#include <algorithm>
#include <span>

#include "common/fatal_error.hpp"
#include "ja/unidic_indexed_payload.hpp"
#include "ja/unidic_reading_index.hpp"

namespace orvel::ja {

std::string unidic_canonical_text(const UnidicReadingIndexPayload& exported) {
  std::string text(kUnidicCanonicalHeader);
  for (const UnidicReadingIndexPayloadEntry& entry : exported.entries) {
    io::push_len_prefixed(text, 'S', entry.surface);
    io::push_count_line(text, 'R', entry.readings.size());
    for (const std::string& reading : entry.readings) io::push_len_prefixed(text, 'r', reading);
  }
  return text;
}

UnidicReadingIndexPayload UnidicReadingIndex::artifact_payload() const {
  UnidicReadingIndexPayload exported;
  if (const Map* m = map()) {
    exported.entries.reserve(m->size());
    for (const auto& [surface, readings] : *m) exported.entries.push_back({surface, readings});
    // std::string compares as unsigned bytes (char_traits<char>::compare is
    // memcmp), so this is the byte order of the surfaces.
    std::stable_sort(exported.entries.begin(), exported.entries.end(),
                     [](const auto& a, const auto& b) { return a.surface < b.surface; });
    return exported;
  }
  const IndexedUnidicPayload& payload = *indexed();
  exported.entries.reserve(payload.entry_count());
  auto visited = payload.container().fst().for_each([&](std::string_view key, std::uint64_t value) {
    if (!text::validate_utf8(key)) fail_fatal("validated indexed artifact should decode", "InvalidIndexedUtf8");
    auto readings = payload.readings_at(value);
    if (!readings) fail_fatal("validated indexed artifact should decode", readings.error().debug());
    exported.entries.push_back({std::string(key), std::move(*readings)});
  });
  if (!visited) fail_fatal("validated indexed artifact should decode", visited.error().debug());
  return exported;
}

std::string UnidicReadingIndex::canonical_text() const { return unidic_canonical_text(artifact_payload()); }

std::optional<std::string> UnidicReadingIndex::artifact_payload_checksum_for_algorithm(
    std::string_view algorithm) const {
  using Algorithm = io::CanonicalDigest::Algorithm;
  std::optional<Algorithm> chosen;
  if (algorithm == io::kSha256CanonicalV1) chosen = Algorithm::Sha256;
  if (algorithm == io::kFnv1a64CanonicalV1) chosen = Algorithm::Fnv1a64;
  if (!chosen) return std::nullopt;
  // The canonical text of unidic_canonical_text, hashed as it is written:
  // the entries are visited in the export's order and never copied.
  io::CanonicalDigest digest(*chosen);
  digest.append(kUnidicCanonicalHeader);
  auto entry = [&](std::string_view surface, std::span<const std::string> readings) {
    digest.push_entry(surface, readings);
  };
  if (const Map* m = map()) {
    io::for_each_in_byte_order(*m, entry);
    return digest.finish_hex();
  }
  const IndexedUnidicPayload& payload = *indexed();
  auto visited = payload.container().fst().for_each([&](std::string_view key, std::uint64_t value) {
    auto readings = payload.readings_at(value);
    if (!readings) fail_fatal("validated indexed artifact should decode", readings.error().debug());
    entry(key, *readings);
  });
  if (!visited) fail_fatal("validated indexed artifact should decode", visited.error().debug());
  return digest.finish_hex();
}

}  // namespace orvel::ja
