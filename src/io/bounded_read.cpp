#include "io/bounded_read.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <fmt/format.h>

namespace orvel::io {

IoError IoError::from_errno(int error_number) {
  return IoError{std::strerror(error_number), error_number};
}

std::string IoError::message() const {
  if (os_error) return fmt::format("{} (os error {})", description, *os_error);
  return description;
}

std::string IoError::debug() const {
  if (os_error) return fmt::format("Os {{ code: {}, description: \"{}\" }}", *os_error, description);
  return fmt::format("Custom {{ error: \"{}\" }}", description);
}

std::string BoundedReadError::debug() const {
  if (kind == Kind::Io) return fmt::format("Io({})", io.debug());
  return fmt::format("TooLarge {{ len: {} }}", len);
}

namespace {

std::expected<struct stat, IoError> stat_following_links(const std::filesystem::path& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return std::unexpected(IoError::from_errno(errno));
  return info;
}

FileKind kind_of(const struct stat& info) {
  if (S_ISREG(info.st_mode)) return FileKind::Regular;
  if (S_ISDIR(info.st_mode)) return FileKind::Directory;
  return FileKind::Other;
}

}  // namespace

FileHandle& FileHandle::operator=(FileHandle&& other) noexcept {
  if (this != &other) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = std::exchange(other.fd_, -1);
  }
  return *this;
}

FileHandle::~FileHandle() {
  if (fd_ >= 0) ::close(fd_);
}

std::expected<std::uint64_t, IoError> file_size_following_links(const std::filesystem::path& path) {
  auto info = stat_following_links(path);
  if (!info) return std::unexpected(info.error());
  return static_cast<std::uint64_t>(info->st_size);
}

std::expected<OpenedFile, IoError> open_for_reading(const std::filesystem::path& path) {
  // O_NONBLOCK: opening a FIFO would otherwise wait for a writer. It changes
  // nothing for regular files and directories, the only kinds ever read.
  FileHandle handle(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
  if (handle.fd() < 0) return std::unexpected(IoError::from_errno(errno));
  struct stat info {};
  if (::fstat(handle.fd(), &info) != 0) return std::unexpected(IoError::from_errno(errno));
  OpenedFile opened;
  opened.kind = kind_of(info);
  opened.size = opened.kind == FileKind::Regular ? static_cast<std::uint64_t>(info.st_size) : 0;
  opened.handle = std::move(handle);
  return opened;
}

std::expected<void, BoundedReadError> read_to_end(const FileHandle& file, std::uint64_t max_bytes,
                                                  std::size_t chunk_bytes,
                                                  const std::function<void(std::span<const std::uint8_t>)>& sink) {
  std::vector<std::uint8_t> chunk(chunk_bytes);
  std::uint64_t total = 0;
  // One byte past the cap, so that a file grown beyond it is noticed.
  std::uint64_t remaining = max_bytes == UINT64_MAX ? max_bytes : max_bytes + 1;
  while (remaining > 0) {
    const auto want = static_cast<std::size_t>(std::min<std::uint64_t>(chunk.size(), remaining));
    const ssize_t got = ::read(file.fd(), chunk.data(), want);
    if (got < 0) {
      if (errno == EINTR) continue;
      return std::unexpected(BoundedReadError{BoundedReadError::Kind::Io, IoError::from_errno(errno), 0});
    }
    if (got == 0) break;
    total += static_cast<std::uint64_t>(got);
    if (total > max_bytes) return std::unexpected(BoundedReadError{BoundedReadError::Kind::TooLarge, {}, total});
    sink(std::span<const std::uint8_t>(chunk.data(), static_cast<std::size_t>(got)));
    remaining -= static_cast<std::uint64_t>(got);
  }
  return {};
}

std::expected<std::string, BoundedReadError> read_to_end_text(const FileHandle& file, std::uint64_t max_bytes,
                                                              std::size_t chunk_bytes) {
  std::string text;
  auto read = read_to_end(file, max_bytes, chunk_bytes, [&](std::span<const std::uint8_t> piece) {
    text.append(reinterpret_cast<const char*>(piece.data()), piece.size());
  });
  if (!read) return std::unexpected(std::move(read).error());
  return text;
}

std::expected<std::vector<std::uint8_t>, BoundedReadError> read_file_bounded(
    const std::filesystem::path& path, std::uint64_t max_bytes) {
  auto io_failure = [](IoError error) {
    return std::unexpected(BoundedReadError{BoundedReadError::Kind::Io, std::move(error), 0});
  };

  auto info = stat_following_links(path);
  if (!info) return io_failure(info.error());
  if (!S_ISREG(info->st_mode)) return io_failure(IoError::own(kNotRegularFileText));
  const auto size = static_cast<std::uint64_t>(info->st_size);
  if (size > max_bytes) return std::unexpected(BoundedReadError{BoundedReadError::Kind::TooLarge, {}, size});

  auto file = open_for_reading(path);
  if (!file) return io_failure(std::move(file).error());
  // The path may name another file by now than the one examined above.
  if (file->kind != FileKind::Regular) return io_failure(IoError::own(kNotRegularFileText));

  std::vector<std::uint8_t> bytes;
  // The size is only a hint: the file may change while it is read.
  bytes.reserve(static_cast<std::size_t>(std::min(file->size, max_bytes)));
  auto read = read_to_end(file->handle, max_bytes, 8192, [&](std::span<const std::uint8_t> piece) {
    bytes.insert(bytes.end(), piece.begin(), piece.end());
  });
  if (!read) return std::unexpected(std::move(read).error());
  return bytes;
}

}  // namespace orvel::io
