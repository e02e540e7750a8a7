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

struct FileDescriptor {
  int fd = -1;
  ~FileDescriptor() {
    if (fd >= 0) ::close(fd);
  }
};

std::expected<struct stat, IoError> stat_following_links(const std::filesystem::path& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return std::unexpected(IoError::from_errno(errno));
  return info;
}

}  // namespace

std::expected<std::uint64_t, IoError> file_size_following_links(const std::filesystem::path& path) {
  auto info = stat_following_links(path);
  if (!info) return std::unexpected(info.error());
  return static_cast<std::uint64_t>(info->st_size);
}

std::expected<std::vector<std::uint8_t>, BoundedReadError> read_file_bounded(
    const std::filesystem::path& path, std::uint64_t max_bytes) {
  auto io_failure = [](IoError error) {
    return std::unexpected(BoundedReadError{BoundedReadError::Kind::Io, std::move(error), 0});
  };
  auto too_large = [](std::uint64_t len) {
    return std::unexpected(BoundedReadError{BoundedReadError::Kind::TooLarge, {}, len});
  };

  auto info = stat_following_links(path);
  if (!info) return io_failure(info.error());
  if (!S_ISREG(info->st_mode)) return io_failure(IoError::own(kNotRegularFileText));
  const auto size = static_cast<std::uint64_t>(info->st_size);
  if (size > max_bytes) return too_large(size);

  FileDescriptor file;
  file.fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (file.fd < 0) return io_failure(IoError::from_errno(errno));

  std::vector<std::uint8_t> bytes;
  // The metadata size is only a hint: the file may have changed since.
  bytes.reserve(static_cast<std::size_t>(size));
  // One byte past the cap, so that a file grown beyond it is noticed.
  std::uint64_t remaining = max_bytes + 1;
  std::uint8_t chunk[8192];
  while (remaining > 0) {
    const auto want = static_cast<std::size_t>(std::min<std::uint64_t>(sizeof chunk, remaining));
    const ssize_t got = ::read(file.fd, chunk, want);
    if (got < 0) return io_failure(IoError::from_errno(errno));
    if (got == 0) break;
    const std::uint64_t total = bytes.size() + static_cast<std::uint64_t>(got);
    if (total > max_bytes) return too_large(total);
    bytes.insert(bytes.end(), chunk, chunk + got);
    remaining -= static_cast<std::uint64_t>(got);
  }
  return bytes;
}

}  // namespace orvel::io
