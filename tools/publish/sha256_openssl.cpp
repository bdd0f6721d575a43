// SHA-256 through OpenSSL's EVP interface (libcrypto).
#include <openssl/evp.h>

#include "publish_error.h"
#include "sha256.h"

namespace Publish {

struct Sha256::State {
    struct ContextDeleter {
        void operator()(EVP_MD_CTX* context) const { EVP_MD_CTX_free(context); }
    };
    std::unique_ptr<EVP_MD_CTX, ContextDeleter> context{EVP_MD_CTX_new()};
};

Sha256::Sha256() : m_state(new State) {
    if (!m_state->context || EVP_DigestInit_ex(m_state->context.get(), EVP_sha256(), nullptr) != 1)
        throw PublishError("OpenSSL cannot start a SHA-256 digest");
}

Sha256::~Sha256() = default;

void Sha256::Update(const void* data, std::size_t size) {
    if (EVP_DigestUpdate(m_state->context.get(), data, size) != 1)
        throw PublishError("OpenSSL failed while hashing");
}

Sha256Digest Sha256::Finish() {
    Sha256Digest digest{};
    unsigned int length = 0;
    if (EVP_DigestFinal_ex(m_state->context.get(), digest.data(), &length) != 1 ||
        length != digest.size())
        throw PublishError("OpenSSL failed to finish a SHA-256 digest");
    return digest;
}

}  // namespace Publish
