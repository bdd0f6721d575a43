// Keys and signatures through Windows CNG (bcrypt). CNG takes and gives keys
// as raw numbers (BCRYPT_ECCPRIVATE_BLOB), so the PEM files are read and
// written with p256_key_der and pem_armor.
#include <vector>

#include "content_token.h"
#include "document/bcrypt_handles.h"
#include "document/signature_check.h"
#include "key_files.h"
#include "p256_key_der.h"
#include "pem_armor.h"
#include "public_key_pem.h"
#include "publish_error.h"
#include "signing_key.h"
#include "stamp_image.h"

namespace Publish {
namespace {

using Algorithm = Crypto::UniqueAlgorithm;
using Key = Crypto::UniqueKey;

constexpr ULONG kNumberSize = 32;

bool Succeeded(NTSTATUS status) { return status >= 0; }

Algorithm OpenEcdsaP256() {
    Algorithm algorithm;
    if (!Succeeded(::BCryptOpenAlgorithmProvider(algorithm.Receive(), BCRYPT_ECDSA_P256_ALGORITHM,
                                                 nullptr, 0)))
        throw PublishError("CNG offers no ECDSA P-256");
    return algorithm;
}

// BCRYPT_ECCPRIVATE_BLOB: the header, then x, y and d, 32 bytes each.
P256Key KeyOfBlob(const std::vector<unsigned char>& blob) {
    const auto* header = reinterpret_cast<const BCRYPT_ECCKEY_BLOB*>(blob.data());
    if (blob.size() != sizeof(BCRYPT_ECCKEY_BLOB) + 3 * kNumberSize ||
        header->dwMagic != BCRYPT_ECDSA_PRIVATE_P256_MAGIC || header->cbKey != kNumberSize)
        throw PublishError("CNG exported a P-256 key in an unexpected form");
    const char* numbers = reinterpret_cast<const char*>(blob.data() + sizeof(BCRYPT_ECCKEY_BLOB));
    return {std::string(numbers + 2 * kNumberSize, kNumberSize), std::string(numbers, kNumberSize),
            std::string(numbers + kNumberSize, kNumberSize)};
}

std::vector<unsigned char> BlobOfKey(const P256Key& key) {
    BCRYPT_ECCKEY_BLOB header{BCRYPT_ECDSA_PRIVATE_P256_MAGIC, kNumberSize};
    const auto* start = reinterpret_cast<const unsigned char*>(&header);
    std::vector<unsigned char> blob(start, start + sizeof(header));
    for (const std::string* number : {&key.x, &key.y, &key.d})
        blob.insert(blob.end(), number->begin(), number->end());
    return blob;
}

}  // namespace

KeyPairPem GenerateKeyPair() {
    const Algorithm algorithm = OpenEcdsaP256();
    Key key;
    ULONG size = 0;
    if (!Succeeded(::BCryptGenerateKeyPair(algorithm.Get(), key.Receive(), 256, 0)) ||
        !Succeeded(::BCryptFinalizeKeyPair(key.Get(), 0)) ||
        !Succeeded(
            ::BCryptExportKey(key.Get(), nullptr, BCRYPT_ECCPRIVATE_BLOB, nullptr, 0, &size, 0)))
        throw PublishError("CNG cannot make a P-256 key pair");
    std::vector<unsigned char> blob(size);
    if (!Succeeded(::BCryptExportKey(key.Get(), nullptr, BCRYPT_ECCPRIVATE_BLOB, blob.data(), size,
                                     &size, 0)))
        throw PublishError("CNG cannot export the new P-256 key");
    blob.resize(size);
    const P256Key numbers = KeyOfBlob(blob);
    SecureZeroMemory(blob.data(), blob.size());
    return {PemEncode("PRIVATE KEY", PrivateKeyInfoDer(numbers)),
            PemEncode("PUBLIC KEY", PublicKeyInfoDer(numbers))};
}

struct SigningKey::State {
    Algorithm algorithm;
    Key key;
    std::string publicKey;  // X || Y
};

SigningKey::SigningKey(const std::string& path) : m_state(new State) {
    const P256Key numbers =
        ParsePrivateKeyInfo(PemDecode(ReadKeyFile(path), "PRIVATE KEY", path), path);
    std::vector<unsigned char> blob = BlobOfKey(numbers);
    m_state->publicKey = numbers.x + numbers.y;
    m_state->algorithm = OpenEcdsaP256();
    const NTSTATUS status = ::BCryptImportKeyPair(m_state->algorithm.Get(), nullptr,
                                                  BCRYPT_ECCPRIVATE_BLOB, m_state->key.Receive(),
                                                  blob.data(), static_cast<ULONG>(blob.size()), 0);
    SecureZeroMemory(blob.data(), blob.size());
    if (!Succeeded(status)) throw PublishError(path + ": CNG does not take this P-256 key");
}

SigningKey::~SigningKey() = default;

RawSignature SigningKey::Sign(const std::string& bytes) const {
    Sha256Digest digest = HashBytes(bytes);
    RawSignature signature{};
    ULONG size = 0;
    if (!Succeeded(::BCryptSignHash(m_state->key.Get(), nullptr, digest.data(),
                                    static_cast<ULONG>(digest.size()), signature.data(),
                                    static_cast<ULONG>(signature.size()), &size, 0)) ||
        size != signature.size())
        throw PublishError("CNG failed to sign");
    return signature;
}

std::string SigningKey::PublicKey() const { return m_state->publicKey; }

bool VerifySignature(const std::string& publicKeyPath, const std::string& bytes,
                     const RawSignature& signature) {
    std::string publicKey;
    try {
        publicKey = Stamp::ParsePublicKeyPem(ReadKeyFile(publicKeyPath));
    } catch (const Stamp::StampError& e) {
        throw PublishError(publicKeyPath + ": " + e.what());
    }
    return Crypto::VerifyP256Sha256(publicKey, bytes,
                                    std::string(signature.begin(), signature.end()));
}

}  // namespace Publish
