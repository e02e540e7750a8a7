#include "io/sha256.hpp"

#include <openssl/evp.h>

#include "common/fatal_error.hpp"

namespace orvel::io {

struct Sha256::State {
  EVP_MD_CTX* ctx = nullptr;
  ~State() { EVP_MD_CTX_free(ctx); }
};

Sha256::Sha256() : state_(std::make_unique<State>()) {
  state_->ctx = EVP_MD_CTX_new();
  if (state_->ctx == nullptr || EVP_DigestInit_ex(state_->ctx, EVP_sha256(), nullptr) != 1) {
    fail_fatal("sha256 context", "EVP_DigestInit_ex failed");
  }
}

Sha256::~Sha256() = default;
Sha256::Sha256(Sha256&&) noexcept = default;
Sha256& Sha256::operator=(Sha256&&) noexcept = default;

void Sha256::update(const void* data, std::size_t size) {
  if (size != 0 && EVP_DigestUpdate(state_->ctx, data, size) != 1) {
    fail_fatal("sha256 update", "EVP_DigestUpdate failed");
  }
}

void Sha256::update(std::string_view bytes) { update(bytes.data(), bytes.size()); }

Sha256Digest Sha256::finish() {
  Sha256Digest out{};
  unsigned int len = 0;
  if (EVP_DigestFinal_ex(state_->ctx, out.data(), &len) != 1 || len != out.size()) {
    fail_fatal("sha256 finish", "EVP_DigestFinal_ex failed");
  }
  return out;
}

Sha256Digest sha256(std::string_view bytes) {
  Sha256 h;
  h.update(bytes);
  return h.finish();
}

std::string to_lower_hex(const std::uint8_t* data, std::size_t size) {
  static constexpr char digits[] = "0123456789abcdef";
  std::string out;
  out.reserve(size * 2);
  for (std::size_t i = 0; i < size; ++i) {
    out.push_back(digits[data[i] >> 4]);
    out.push_back(digits[data[i] & 0x0F]);
  }
  return out;
}

}  // namespace orvel::io
