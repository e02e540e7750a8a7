#pragma once
// Reading whole payload files under a size cap, and the I/O error value that
// payload loaders carry inside their own errors.
#include <cstdint>
#include <expected>
#include <filesystem>
#include <optional>
#include <string>
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

// Reads a whole regular file of at most `max_bytes` bytes: the metadata must
// name a regular file whose size is within the cap, and the read itself is
// cut off at the cap plus one byte, so a file that grows while it is read is
// refused too. Reads go through an 8,192-byte buffer and are not retried.
std::expected<std::vector<std::uint8_t>, BoundedReadError> read_file_bounded(
    const std::filesystem::path& path, std::uint64_t max_bytes = kMaxPayloadBytes);

// The text of the not-a-regular-file refusal.
inline constexpr const char* kNotRegularFileText = "artifact payload path is not a regular file";

}  // namespace orvel::io
