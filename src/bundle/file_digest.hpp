#pragma once
// The payload file digest "sha256-file-v1": SHA-256 of the file's bytes as
// 64 lower-case hexadecimal digits.
#include <expected>
#include <filesystem>
#include <string>
#include <string_view>

#include "io/bounded_read.hpp"

namespace orvel::bundle {

inline constexpr std::string_view kFileDigestAlgorithm = "sha256-file-v1";

// Reads the whole file in 65,536-byte chunks through one buffer (constant
// memory, no size limit). Open and read failures are the operating system's.
std::expected<std::string, io::IoError> artifact_file_digest_path(const std::filesystem::path& path);

}  // namespace orvel::bundle
