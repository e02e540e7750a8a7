// The binary payload loader ("ORVELU01"): a header, then entry records of
// length-prefixed UTF-8 strings, read front to back into a payload record.
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>

#include "io/indexed_payload.hpp"
#include "io/payload_file.hpp"
#include "ja/unidic_binary_format.hpp"
#include "ja/unidic_reading_index.hpp"

namespace orvel::ja {

namespace {

using Error = UnidicArtifactPayloadError;

// Buffered reads of exact byte counts; the end of the file inside a field is
// reported with that field's name.
class BinaryReader {
 public:
  explicit BinaryReader(io::FileHandle file) : file_(std::move(file)) {}
  BinaryReader(const BinaryReader&) = delete;
  BinaryReader& operator=(const BinaryReader&) = delete;

  std::expected<void, Error> read_exact_binary(void* out, std::size_t count, std::string_view field) {
    auto* dest = static_cast<std::uint8_t*>(out);
    while (count > 0) {
      if (pos_ == end_) {
        const ssize_t got = ::read(file_.fd(), buffer_, sizeof buffer_);
        if (got < 0) {
          if (errno == EINTR) continue;
          return std::unexpected(Error::io_error(io::IoError::from_errno(errno)));
        }
        if (got == 0) return std::unexpected(Error::truncated_binary(field));
        // The size was tested before the file was opened; a file grown
        // since is not read past the cap.
        consumed_ += static_cast<std::uint64_t>(got);
        if (consumed_ > io::kMaxPayloadBytes) {
          return std::unexpected(Error::artifact_limit_exceeded("payload_bytes", consumed_, io::kMaxPayloadBytes));
        }
        pos_ = 0;
        end_ = static_cast<std::size_t>(got);
      }
      const std::size_t n = std::min(count, end_ - pos_);
      std::memcpy(dest, buffer_ + pos_, n);
      pos_ += n;
      dest += n;
      count -= n;
    }
    return {};
  }

  std::expected<std::uint32_t, Error> read_u32_le(std::string_view field) {
    std::uint8_t bytes[4];
    if (auto read = read_exact_binary(bytes, 4, field); !read) return std::unexpected(std::move(read.error()));
    return io::load_u32_le(bytes);
  }

  std::expected<std::uint64_t, Error> read_u64_le(std::string_view field) {
    std::uint8_t bytes[8];
    if (auto read = read_exact_binary(bytes, 8, field); !read) return std::unexpected(std::move(read.error()));
    return io::load_u64_le(bytes);
  }

  // A u32 length (at most the string limit), then that many UTF-8 bytes; one
  // field name for all three failures.
  std::expected<std::string, Error> read_binary_string(std::string_view field) {
    auto len = read_u32_le(field);
    if (!len) return std::unexpected(std::move(len.error()));
    if (*len > kMaxSurfaceBytes) return std::unexpected(Error::artifact_limit_exceeded(field, *len, kMaxSurfaceBytes));
    std::string text(*len, '\0');
    if (auto read = read_exact_binary(text.data(), text.size(), field); !read) {
      return std::unexpected(std::move(read.error()));
    }
    if (auto valid = text::validate_utf8(text); !valid) {
      return std::unexpected(Error::invalid_binary_utf8(field, valid.error()));
    }
    return text;
  }

 private:
  io::FileHandle file_;
  std::uint64_t consumed_ = 0;
  std::uint8_t buffer_[65536];
  std::size_t pos_ = 0;
  std::size_t end_ = 0;
};

static_assert(kMaxSurfaceBytes == kMaxReadingBytes, "one string limit serves surfaces and readings");

std::expected<std::vector<UnidicReadingIndexPayloadEntry>, Error> read_binary_entries(BinaryReader& reader,
                                                                                     std::uint64_t file_size) {
  std::array<std::uint8_t, 8> magic{};
  if (auto read = reader.read_exact_binary(magic.data(), magic.size(), "magic"); !read) {
    return std::unexpected(std::move(read.error()));
  }
  if (magic != kUnidicBinaryMagic) return std::unexpected(Error::invalid_binary_magic(magic));
  auto version = reader.read_u32_le("version");
  if (!version) return std::unexpected(std::move(version.error()));
  if (*version != 1) return std::unexpected(Error::unsupported_binary_version(*version));
  auto reserved = reader.read_u32_le("reserved");
  if (!reserved) return std::unexpected(std::move(reserved.error()));
  if (*reserved != 0) return std::unexpected(Error::non_zero_binary_reserved(*reserved));
  auto entry_count = reader.read_u64_le("entry_count");
  if (!entry_count) return std::unexpected(std::move(entry_count.error()));
  if (*entry_count > kUnidicMaxEntries) {
    return std::unexpected(Error::artifact_limit_exceeded("entry_count", *entry_count, kUnidicMaxEntries));
  }

  std::vector<UnidicReadingIndexPayloadEntry> entries;
  // An entry record takes at least 8 bytes, so a short file cannot make a
  // large reservation.
  entries.reserve(static_cast<std::size_t>(std::min(*entry_count, file_size / 8)));
  for (std::uint64_t i = 0; i < *entry_count; ++i) {
    UnidicReadingIndexPayloadEntry entry;
    auto surface = reader.read_binary_string("surface");
    if (!surface) return std::unexpected(std::move(surface.error()));
    entry.surface = std::move(*surface);
    auto count = reader.read_u32_le("reading_count");
    if (!count) return std::unexpected(std::move(count.error()));
    if (*count > kMaxReadingCount) {
      return std::unexpected(Error::artifact_limit_exceeded("reading_count", *count, kMaxReadingCount));
    }
    entry.readings.reserve(*count);
    for (std::uint32_t j = 0; j < *count; ++j) {
      auto reading = reader.read_binary_string("reading");
      if (!reading) return std::unexpected(std::move(reading.error()));
      entry.readings.push_back(std::move(*reading));
    }
    entries.push_back(std::move(entry));
  }
  return entries;
}

}  // namespace

std::expected<UnidicReadingIndex, Error> UnidicReadingIndex::from_binary_artifact_payload_path(
    const std::filesystem::path& path) {
  auto file = io::open_payload_stream_as<Error>(path);
  if (!file) return std::unexpected(std::move(file).error());
  const std::uint64_t size = file->size;
  auto reader = std::make_unique<BinaryReader>(std::move(file->handle));
  auto entries = read_binary_entries(*reader, size);
  if (!entries) return std::unexpected(std::move(entries.error()));
  UnidicReadingIndexPayload payload;
  payload.entries = std::move(*entries);
  return from_artifact_payload(std::move(payload));
}

}  // namespace orvel::ja
