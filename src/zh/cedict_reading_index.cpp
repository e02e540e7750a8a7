#include "zh/cedict_reading_index.hpp"

#include "io/bounded_read.hpp"
#include "io/indexed_payload.hpp"
#include "io/payload_file.hpp"
#include "zh/indexed_zh_payload.hpp"

namespace orvel::zh {

using Error = ZhArtifactPayloadError;

std::expected<CedictReadingIndex, Error> CedictReadingIndex::from_indexed_owned_bytes(std::vector<std::uint8_t> bytes) {
  auto payload = IndexedZhPayload::load(std::move(bytes));
  if (!payload) return std::unexpected(std::move(payload.error()));
  const bool tone3 = payload->tone3();
  return CedictReadingIndex(std::make_shared<const IndexedZhPayload>(std::move(*payload)), tone3);
}

std::uint64_t CedictReadingIndex::entry_count() const {
  if (const Map* m = map()) return m->size();
  return indexed()->entry_count();
}

const IndexedZhPayload* CedictReadingIndex::indexed() const {
  const Indexed* p = std::get_if<Indexed>(&form_);
  return p != nullptr ? p->get() : nullptr;
}

ZhLookup CedictReadingIndex::try_readings(std::string_view surface) const {
  if (const Map* m = map()) {
    const auto it = m->find(surface);
    if (it == m->end()) return std::optional<ZhReadings>();
    return std::optional<ZhReadings>(ZhReadings::view(it->second));
  }
  auto found = indexed()->lookup(surface);
  if (!found) return std::unexpected(std::move(found.error()));
  if (!*found) return std::optional<ZhReadings>();
  return std::optional<ZhReadings>(ZhReadings::owned(std::move(**found)));
}

std::expected<void, Error> check_payload_file_size(const std::filesystem::path& path) {
  return io::check_payload_file_size_as<Error>(path);
}

std::expected<std::vector<std::uint8_t>, Error> read_payload_file_bounded(const std::filesystem::path& path) {
  return io::read_payload_file_bounded_as<Error>(path);
}

std::expected<std::uint64_t, Error> read_u64_le_bytes(std::span<const std::uint8_t> bytes, std::size_t offset,
                                                      std::string_view field) {
  return io::read_u64_le_bytes_as<Error>(bytes, offset, field);
}

}  // namespace orvel::zh
