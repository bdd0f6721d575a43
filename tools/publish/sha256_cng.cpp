// SHA-256 through Windows CNG (bcrypt).
#include "document/bcrypt_handles.h"
#include "publish_error.h"
#include "sha256.h"

namespace Publish {
namespace {

bool Succeeded(NTSTATUS status) { return status >= 0; }

}  // namespace

struct Sha256::State {
    Crypto::UniqueAlgorithm algorithm;
    Crypto::UniqueHash hash;
};

Sha256::Sha256() : m_state(new State) {
    if (!Succeeded(::BCryptOpenAlgorithmProvider(m_state->algorithm.Receive(),
                                                 BCRYPT_SHA256_ALGORITHM, nullptr, 0)) ||
        !Succeeded(::BCryptCreateHash(m_state->algorithm.Get(), m_state->hash.Receive(), nullptr, 0,
                                      nullptr, 0, 0)))
        throw PublishError("CNG cannot start a SHA-256 digest");
}

Sha256::~Sha256() = default;

void Sha256::Update(const void* data, std::size_t size) {
    auto* bytes = static_cast<unsigned char*>(const_cast<void*>(data));
    while (size > 0) {
        const ULONG chunk = size > 0x40000000u ? 0x40000000u : static_cast<ULONG>(size);
        if (!Succeeded(::BCryptHashData(m_state->hash.Get(), bytes, chunk, 0)))
            throw PublishError("CNG failed while hashing");
        bytes += chunk;
        size -= chunk;
    }
}

Sha256Digest Sha256::Finish() {
    Sha256Digest digest{};
    if (!Succeeded(::BCryptFinishHash(m_state->hash.Get(), digest.data(),
                                      static_cast<ULONG>(digest.size()), 0)))
        throw PublishError("CNG failed to finish a SHA-256 digest");
    return digest;
}

}  // namespace Publish
