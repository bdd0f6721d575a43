#include "document/signature_check.h"

#include <algorithm>
#include <vector>

#include "document/bcrypt_handles.h"
#include "document/sha256_hasher.h"

namespace Crypto {
namespace {

UniqueKey ImportP256PublicKey(BCRYPT_ALG_HANDLE algorithm, const std::string& publicKey) {
    std::vector<unsigned char> blob(sizeof(BCRYPT_ECCKEY_BLOB) + publicKey.size());
    BCRYPT_ECCKEY_BLOB header{};
    header.dwMagic = BCRYPT_ECDSA_PUBLIC_P256_MAGIC;
    header.cbKey = static_cast<ULONG>(publicKey.size() / 2);
    std::copy_n(reinterpret_cast<const unsigned char*>(&header), sizeof(header), blob.begin());
    std::copy(publicKey.begin(), publicKey.end(), blob.begin() + sizeof(header));
    UniqueKey key;
    if (!BCRYPT_SUCCESS(::BCryptImportKeyPair(algorithm, nullptr, BCRYPT_ECCPUBLIC_BLOB,
                                              key.Receive(), blob.data(),
                                              static_cast<ULONG>(blob.size()), 0)))
        key.Release();
    return key;
}

}  // namespace

bool VerifyP256Sha256(const std::string& publicKey, std::string_view message,
                      const std::string& signature) {
    if (publicKey.size() != kP256PublicKeyBytes || signature.size() != kP256SignatureBytes)
        return false;
    std::string digest = Sha256(message);
    if (digest.size() != kSha256Bytes) return false;
    const UniqueAlgorithm algorithm = OpenAlgorithm(BCRYPT_ECDSA_P256_ALGORITHM);
    if (!algorithm) return false;
    const UniqueKey key = ImportP256PublicKey(algorithm.Get(), publicKey);
    if (!key) return false;
    std::string rs = signature;
    return BCRYPT_SUCCESS(::BCryptVerifySignature(
        key.Get(), nullptr, reinterpret_cast<unsigned char*>(&digest[0]),
        static_cast<ULONG>(digest.size()), reinterpret_cast<unsigned char*>(&rs[0]),
        static_cast<ULONG>(rs.size()), 0));
}

}  // namespace Crypto
