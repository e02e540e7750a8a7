#pragma once
// The payload file reads shared by the Japanese and Chinese loaders, each
// reporting failures in its own payload error type. `Error` provides
// io_error(IoError), artifact_limit_exceeded(field, len, max) and
// from_indexed(IndexedPayloadError).

#include <cstddef>
#include <cstdint>
#include <expected>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "io/bounded_read.hpp"
#include "io/indexed_payload.hpp"

namespace orvel::io {

// Refuses a payload file larger than kMaxPayloadBytes before it is read.
template <class Error>
std::expected<void, Error> check_payload_file_size_as(const std::filesystem::path& path) {
  auto size = file_size_following_links(path);
  if (!size) return std::unexpected(Error::io_error(std::move(size.error())));
  if (*size > kMaxPayloadBytes) {
    return std::unexpected(Error::artifact_limit_exceeded("payload_bytes", *size, kMaxPayloadBytes));
  }
  return {};
}

// Reads a whole payload file, never more than kMaxPayloadBytes.
template <class Error>
std::expected<std::vector<std::uint8_t>, Error> read_payload_file_bounded_as(const std::filesystem::path& path) {
  auto bytes = read_file_bounded(path, kMaxPayloadBytes);
  if (bytes) return std::move(*bytes);
  const BoundedReadError& failure = bytes.error();
  if (failure.kind == BoundedReadError::Kind::Io) return std::unexpected(Error::io_error(failure.io));
  return std::unexpected(Error::artifact_limit_exceeded("payload_bytes", failure.len, kMaxPayloadBytes));
}

// Opens a payload file that is read as a stream (YAML, binary) after its size
// test: anything but a regular file or a directory (a FIFO, a device) is
// refused as not a regular file instead of being waited on or read without
// end. A directory is let through: reading it fails with the system's error.
template <class Error>
std::expected<OpenedFile, Error> open_payload_stream_as(const std::filesystem::path& path) {
  if (auto size = check_payload_file_size_as<Error>(path); !size) return std::unexpected(std::move(size).error());
  auto file = open_for_reading(path);
  if (!file) return std::unexpected(Error::io_error(std::move(file).error()));
  if (file->kind == FileKind::Other) return std::unexpected(Error::io_error(IoError::own(kNotRegularFileText)));
  return std::move(*file);
}

// The whole text of a YAML payload file, never more than kMaxPayloadBytes.
// Reading is part of decoding here: a read failure is the YAML error.
template <class Error>
std::expected<std::string, Error> read_yaml_payload_text_as(const std::filesystem::path& path) {
  auto file = open_payload_stream_as<Error>(path);
  if (!file) return std::unexpected(std::move(file).error());
  auto text = read_to_end_text(file->handle, kMaxPayloadBytes, 65'536);
  if (text) return std::move(*text);
  const BoundedReadError& failure = text.error();
  if (failure.kind == BoundedReadError::Kind::Io) return std::unexpected(Error::yaml(failure.io.message()));
  return std::unexpected(Error::artifact_limit_exceeded("payload_bytes", failure.len, kMaxPayloadBytes));
}

// A little-endian u64 of an indexed payload, as the language's error.
template <class Error>
std::expected<std::uint64_t, Error> read_u64_le_bytes_as(std::span<const std::uint8_t> bytes, std::size_t offset,
                                                         std::string_view field) {
  auto value = read_u64_le_bytes(bytes, offset, field);
  if (!value) return std::unexpected(Error::from_indexed(value.error()));
  return *value;
}

}  // namespace orvel::io
