#pragma once
// SHA-256 from the platform's cryptography library, chosen at build time:
// OpenSSL's libcrypto on the build machine (sha256_openssl.cpp), CNG on
// Windows (sha256_cng.cpp).
#include <array>
#include <cstddef>
#include <memory>

namespace Publish {

using Sha256Digest = std::array<unsigned char, 32>;

class Sha256 {
public:
    // Throws PublishError when the library cannot provide the algorithm.
    Sha256();
    ~Sha256();
    Sha256(const Sha256&) = delete;
    Sha256& operator=(const Sha256&) = delete;

    void Update(const void* data, std::size_t size);
    // The digest of everything given to Update; the object is spent afterwards.
    Sha256Digest Finish();

private:
    struct State;
    std::unique_ptr<State> m_state;
};

}  // namespace Publish
