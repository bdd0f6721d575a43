#pragma once
// Checking an ECDSA P-256 signature over SHA-256 with the system's
// cryptography (CNG). Safe on any thread.
#include <cstddef>
#include <string>
#include <string_view>

namespace Crypto {

constexpr std::size_t kP256PublicKeyBytes = 64;  // X || Y, big-endian
constexpr std::size_t kP256SignatureBytes = 64;  // r || s, big-endian

// True exactly when signature (r || s) is a valid signature of the SHA-256
// digest of message under publicKey (X || Y). False for keys or signatures of
// the wrong length, a key that the system refuses, and any failure.
bool VerifyP256Sha256(const std::string& publicKey, std::string_view message,
                      const std::string& signature);

}  // namespace Crypto
