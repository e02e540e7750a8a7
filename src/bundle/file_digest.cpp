#include "bundle/file_digest.hpp"

#include <cstdint>
#include <span>

#include "io/sha256.hpp"

namespace orvel::bundle {

namespace {
constexpr std::size_t kChunkBytes = 65'536;
}  // namespace

std::expected<std::string, io::IoError> artifact_file_digest_path(const std::filesystem::path& path) {
  auto file = io::open_for_reading(path);
  if (!file) return std::unexpected(std::move(file).error());
  // A FIFO would block the read and a device never end it. A directory is
  // let through: reading it fails with the system's error.
  if (file->kind == io::FileKind::Other) return std::unexpected(io::IoError::own(io::kNotRegularFileText));
  io::Sha256 state;
  auto read = io::read_to_end(file->handle, UINT64_MAX, kChunkBytes,
                              [&](std::span<const std::uint8_t> piece) { state.update(piece.data(), piece.size()); });
  if (!read) return std::unexpected(std::move(read).error().io);
  return io::to_lower_hex(state.finish());
}

}  // namespace orvel::bundle
