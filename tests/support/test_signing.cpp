#include "support/test_signing.h"

#include <wincrypt.h>

#include <vector>

#include "support/scratch.h"

namespace TestSupport {
namespace {

std::string Hex(const std::string& bytes, const char* digits) {
    std::string hex;
    for (unsigned char c : bytes) {
        hex.push_back(digits[c >> 4]);
        hex.push_back(digits[c & 0x0F]);
    }
    return hex;
}

std::string RawSha256(const std::string& bytes) {
    BCRYPT_ALG_HANDLE algorithm = nullptr;
    if (!BCRYPT_SUCCESS(
            ::BCryptOpenAlgorithmProvider(&algorithm, BCRYPT_SHA256_ALGORITHM, nullptr, 0)))
        return "";
    unsigned char digest[32] = {};
    BCRYPT_HASH_HANDLE hash = nullptr;
    bool ok = BCRYPT_SUCCESS(::BCryptCreateHash(algorithm, &hash, nullptr, 0, nullptr, 0, 0));
    ok = ok && BCRYPT_SUCCESS(::BCryptHashData(
                   hash, reinterpret_cast<unsigned char*>(const_cast<char*>(bytes.data())),
                   static_cast<ULONG>(bytes.size()), 0));
    ok = ok && BCRYPT_SUCCESS(::BCryptFinishHash(hash, digest, sizeof(digest), 0));
    if (hash) ::BCryptDestroyHash(hash);
    ::BCryptCloseAlgorithmProvider(algorithm, 0);
    return ok ? std::string(reinterpret_cast<char*>(digest), sizeof(digest)) : "";
}

std::string Base64(const std::string& bytes) {
    DWORD size = 0;
    const BYTE* data = reinterpret_cast<const BYTE*>(bytes.data());
    const DWORD flags = CRYPT_STRING_BASE64 | CRYPT_STRING_NOCRLF;
    if (!::CryptBinaryToStringA(data, static_cast<DWORD>(bytes.size()), flags, nullptr, &size))
        return "";
    std::string text(size, '\0');
    if (!::CryptBinaryToStringA(data, static_cast<DWORD>(bytes.size()), flags, &text[0], &size))
        return "";
    text.resize(size);
    return text;
}

}  // namespace

SigningKey::SigningKey() {
    if (!BCRYPT_SUCCESS(
            ::BCryptOpenAlgorithmProvider(&m_algorithm, BCRYPT_ECDSA_P256_ALGORITHM, nullptr, 0)))
        return;
    if (!BCRYPT_SUCCESS(::BCryptGenerateKeyPair(m_algorithm, &m_key, 256, 0)) ||
        !BCRYPT_SUCCESS(::BCryptFinalizeKeyPair(m_key, 0)))
        return;
    ULONG size = 0;
    std::vector<unsigned char> blob(sizeof(BCRYPT_ECCKEY_BLOB) + 64);
    if (!BCRYPT_SUCCESS(::BCryptExportKey(m_key, nullptr, BCRYPT_ECCPUBLIC_BLOB, blob.data(),
                                          static_cast<ULONG>(blob.size()), &size, 0)) ||
        size != blob.size())
        return;
    m_publicKey.assign(blob.begin() + sizeof(BCRYPT_ECCKEY_BLOB), blob.end());
}

SigningKey::~SigningKey() {
    if (m_key) ::BCryptDestroyKey(m_key);
    if (m_algorithm) ::BCryptCloseAlgorithmProvider(m_algorithm, 0);
}

std::string SigningKey::Sign(const std::string& bytes) const {
    std::string digest = RawSha256(bytes);
    if (!m_key || digest.empty()) return "";
    unsigned char signature[64] = {};
    ULONG size = 0;
    if (!BCRYPT_SUCCESS(::BCryptSignHash(
            m_key, nullptr, reinterpret_cast<unsigned char*>(&digest[0]),
            static_cast<ULONG>(digest.size()), signature, sizeof(signature), &size, 0)) ||
        size != sizeof(signature))
        return "";
    return std::string(reinterpret_cast<char*>(signature), sizeof(signature));
}

std::string SigningKey::SignDocument(const std::string& text) const {
    return text + SignatureComment(Sign(text)) + "\r\n";
}

bool SigningKey::WritePem(const std::string& path) const {
    static const unsigned char kHeader[] = {0x30, 0x59, 0x30, 0x13, 0x06, 0x07, 0x2a, 0x86, 0x48,
                                            0xce, 0x3d, 0x02, 0x01, 0x06, 0x08, 0x2a, 0x86, 0x48,
                                            0xce, 0x3d, 0x03, 0x01, 0x07, 0x03, 0x42, 0x00, 0x04};
    if (!IsValid()) return false;
    const std::string der =
        std::string(reinterpret_cast<const char*>(kHeader), sizeof(kHeader)) + m_publicKey;
    std::string body = Base64(der);
    if (body.empty()) return false;
    std::string pem = "-----BEGIN PUBLIC KEY-----\n";
    for (std::size_t at = 0; at < body.size(); at += 64) pem += body.substr(at, 64) + "\n";
    return WriteFile(path, pem + "-----END PUBLIC KEY-----\n");
}

std::string SignatureComment(const std::string& signature) {
    return "<!--nimbra-signature ecdsa-p256-sha256 " + Hex(signature, "0123456789abcdef") + "-->";
}

std::string Sha256Hex(const std::string& bytes) {
    return Hex(RawSha256(bytes), "0123456789ABCDEF");
}

}  // namespace TestSupport
