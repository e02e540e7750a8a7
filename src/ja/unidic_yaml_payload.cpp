// The YAML payload loader: size test, open, decode the whole document, then
// the shared validation.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "io/bounded_read.hpp"
#include "ja/unidic_reading_index.hpp"
#include "ja/unidic_yaml_records.hpp"

namespace orvel::ja {

namespace {

// Reads the rest of an open file; a failure is reported as its I/O error.
std::expected<std::string, io::IoError> read_all(int fd) {
  std::string text;
  char chunk[65536];
  for (;;) {
    const ssize_t got = ::read(fd, chunk, sizeof chunk);
    if (got < 0) {
      if (errno == EINTR) continue;
      return std::unexpected(io::IoError::from_errno(errno));
    }
    if (got == 0) return text;
    text.append(chunk, static_cast<std::size_t>(got));
  }
}

}  // namespace

std::expected<UnidicReadingIndex, UnidicArtifactPayloadError> UnidicReadingIndex::from_artifact_payload_path(
    const std::filesystem::path& path) {
  using Error = UnidicArtifactPayloadError;
  if (auto size = unidic::check_payload_file_size(path); !size) return std::unexpected(std::move(size.error()));
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return std::unexpected(Error::io_error(io::IoError::from_errno(errno)));
  auto text = read_all(fd);
  ::close(fd);
  // Reading is part of decoding here: its failures are YAML errors.
  if (!text) return std::unexpected(Error::yaml(text.error().message()));
  auto payload = decode_unidic_payload_yaml(*text);
  if (!payload) return std::unexpected(Error::yaml(payload.error().message()));
  return from_artifact_payload(std::move(*payload));
}

}  // namespace orvel::ja
