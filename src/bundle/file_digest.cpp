#include "bundle/file_digest.hpp"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "io/sha256.hpp"

namespace orvel::bundle {
namespace {

constexpr std::size_t kChunkBytes = 65'536;

struct FileDescriptor {
  int fd = -1;
  ~FileDescriptor() {
    if (fd >= 0) ::close(fd);
  }
};

}  // namespace

std::expected<std::string, io::IoError> artifact_file_digest_path(const std::filesystem::path& path) {
  FileDescriptor file;
  file.fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (file.fd < 0) return std::unexpected(io::IoError::from_errno(errno));
  std::vector<unsigned char> buffer(kChunkBytes);
  io::Sha256 state;
  while (true) {
    const ssize_t n = ::read(file.fd, buffer.data(), buffer.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return std::unexpected(io::IoError::from_errno(errno));
    }
    if (n == 0) break;
    state.update(buffer.data(), static_cast<std::size_t>(n));
  }
  return io::to_lower_hex(state.finish());
}

}  // namespace orvel::bundle
