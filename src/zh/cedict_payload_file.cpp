// The YAML payload file loader of CedictReadingIndex.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "io/bounded_read.hpp"
#include "zh/cedict_reading_index.hpp"
#include "zh/cedict_yaml_records.hpp"

namespace orvel::zh {

namespace {

using Error = ZhArtifactPayloadError;

struct FileDescriptor {
  int fd = -1;
  ~FileDescriptor() {
    if (fd >= 0) ::close(fd);
  }
};

// Reads the open file to its end. The size was checked by metadata; the read
// is still cut off past the cap, in case the file grew since.
std::expected<std::string, Error> read_all(int fd) {
  std::string text;
  char buffer[65536];
  for (;;) {
    const ssize_t got = ::read(fd, buffer, sizeof buffer);
    if (got < 0) {
      if (errno == EINTR) continue;
      // Reading is part of decoding: its failure is a YAML error.
      return std::unexpected(Error::yaml(io::IoError::from_errno(errno).message()));
    }
    if (got == 0) return text;
    if (text.size() + static_cast<std::size_t>(got) > io::kMaxPayloadBytes) {
      return std::unexpected(
          Error::artifact_limit_exceeded("payload_bytes", text.size() + static_cast<std::size_t>(got), io::kMaxPayloadBytes));
    }
    text.append(buffer, static_cast<std::size_t>(got));
  }
}

}  // namespace

std::expected<CedictReadingIndex, Error> CedictReadingIndex::from_artifact_payload_path(
    const std::filesystem::path& path) {
  if (auto size = check_payload_file_size(path); !size) return std::unexpected(std::move(size.error()));
  FileDescriptor file{::open(path.c_str(), O_RDONLY | O_CLOEXEC)};
  if (file.fd < 0) return std::unexpected(Error::io_error(io::IoError::from_errno(errno)));
  auto text = read_all(file.fd);
  if (!text) return std::unexpected(std::move(text.error()));
  auto payload = decode_zh_payload_yaml(*text);
  if (!payload) return std::unexpected(Error::yaml(payload.error().message()));
  return from_artifact_payload(std::move(*payload));
}

}  // namespace orvel::zh
