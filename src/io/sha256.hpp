#pragma once
// SHA-256 (FIPS 180-4) through OpenSSL's libcrypto, incremental or one-shot,
// with the lower-case hexadecimal form used by checksums and digests.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace orvel::io {

using Sha256Digest = std::array<std::uint8_t, 32>;

class Sha256 {
 public:
  Sha256();
  ~Sha256();
  Sha256(Sha256&&) noexcept;
  Sha256& operator=(Sha256&&) noexcept;
  Sha256(const Sha256&) = delete;
  Sha256& operator=(const Sha256&) = delete;

  void update(std::string_view bytes);
  void update(const void* data, std::size_t size);
  // Finishes the digest; the object may not be updated afterwards.
  Sha256Digest finish();

 private:
  struct State;
  std::unique_ptr<State> state_;
};

Sha256Digest sha256(std::string_view bytes);
std::string to_lower_hex(const std::uint8_t* data, std::size_t size);
inline std::string to_lower_hex(const Sha256Digest& d) { return to_lower_hex(d.data(), d.size()); }

}  // namespace orvel::io
