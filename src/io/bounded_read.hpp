#pragma once
// Reading whole payload files under a size cap, and the I/O error value that
// payload loaders carry inside their own errors.
#include <cstdint>
#include <expected>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

namespace orvel::io {

// An I/O failure. An operating-system error shows as its description and its
// number; an error the system raises itself shows as its own text alone.
struct IoError {
  std::string description;
  std::optional<int> os_error;

  static IoError from_errno(int error_number);
  static IoError own(std::string text) { return IoError{std::move(text), std::nullopt}; }

  // "{description} (os error {n})", or the description alone.
  std::string message() const;
  std::string debug() const;
  friend bool operator==(const IoError&, const IoError&) = default;
};

// Largest payload file or payload buffer, in bytes (inclusive).
inline constexpr std::uint64_t kMaxPayloadBytes = 536'870'912;

// Why a bounded read failed: an I/O error, or more than the cap
// (`len` is the size or the running total that passed it).
struct BoundedReadError {
  enum class Kind { Io, TooLarge };
  Kind kind = Kind::Io;
  IoError io;
  std::uint64_t len = 0;

  std::string debug() const;
};

// File metadata with symbolic links followed; its failure is an IoError.
std::expected<std::uint64_t, IoError> file_size_following_links(const std::filesystem::path& path);

// An open file descriptor, closed when the handle goes.
class FileHandle {
 public:
  FileHandle() = default;
  explicit FileHandle(int fd) : fd_(fd) {}
  FileHandle(FileHandle&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
  FileHandle& operator=(FileHandle&& other) noexcept;
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  ~FileHandle();

  int fd() const { return fd_; }

 private:
  int fd_ = -1;
};

// What an open descriptor refers to.
enum class FileKind { Regular, Directory, Other };

struct OpenedFile {
  FileHandle handle;
  FileKind kind = FileKind::Other;
  std::uint64_t size = 0;  // of a regular file, when it was opened
};

// Opens `path` for reading (symbolic links followed) without waiting: a FIFO
// without a writer or a device opens at once instead of blocking, and the
// caller then refuses it by its kind, taken from the open descriptor itself
// (not from the path, which may have changed since it was examined).
std::expected<OpenedFile, IoError> open_for_reading(const std::filesystem::path& path);

// Reads an open file to its end through reads of at most `chunk_bytes`,
// handing each piece to `sink`. More than `max_bytes` in total is refused
// (TooLarge, with the total that passed the cap) before that piece reaches
// the sink; at most `max_bytes` + 1 bytes are ever asked for. Every
// whole-file read of the loaders goes through here.
std::expected<void, BoundedReadError> read_to_end(const FileHandle& file, std::uint64_t max_bytes,
                                                  std::size_t chunk_bytes,
                                                  const std::function<void(std::span<const std::uint8_t>)>& sink);

// The same, collected into one text.
std::expected<std::string, BoundedReadError> read_to_end_text(const FileHandle& file, std::uint64_t max_bytes,
                                                              std::size_t chunk_bytes);

// Reads a whole regular file of at most `max_bytes` bytes: the metadata must
// name a regular file whose size is within the cap, the open descriptor must
// still be a regular file, and the read itself is cut off at the cap plus one
// byte, so a file that grows while it is read is refused too. Reads go
// through an 8,192-byte buffer.
std::expected<std::vector<std::uint8_t>, BoundedReadError> read_file_bounded(
    const std::filesystem::path& path, std::uint64_t max_bytes = kMaxPayloadBytes);

// The text of the not-a-regular-file refusal of payload files.
inline constexpr const char* kNotRegularFileText = "artifact payload path is not a regular file";

// The refusal of a path holding a NUL, which the system would read only up
// to the NUL and so open another file; Python's own file functions say it so.
inline constexpr const char* kEmbeddedNulText = "embedded null byte";

}  // namespace orvel::io
