#include "document/sha256_hasher.h"

#include <vector>

#include "utils/string/string_utils.h"

namespace Crypto {

UniqueAlgorithm OpenAlgorithm(const wchar_t* name) {
    UniqueAlgorithm algorithm;
    if (!BCRYPT_SUCCESS(::BCryptOpenAlgorithmProvider(algorithm.Receive(), name, nullptr, 0)))
        algorithm.Release();  // the call may leave garbage behind on failure
    return algorithm;
}

Sha256Hasher::Sha256Hasher() : m_algorithm(OpenAlgorithm(BCRYPT_SHA256_ALGORITHM)) {
    // Without a hash object buffer the provider keeps the state itself (Windows 7 on).
    m_ok = m_algorithm && BCRYPT_SUCCESS(::BCryptCreateHash(m_algorithm.Get(), m_hash.Receive(),
                                                            nullptr, 0, nullptr, 0, 0));
    if (!m_ok) m_hash.Release();
}

bool Sha256Hasher::Update(const void* data, std::size_t size) {
    // The system call takes 32-bit lengths.
    const unsigned char* bytes = static_cast<const unsigned char*>(data);
    constexpr std::size_t kMaxPart = 1u << 30;
    while (m_ok && size > 0) {
        const ULONG part = static_cast<ULONG>(size < kMaxPart ? size : kMaxPart);
        m_ok = BCRYPT_SUCCESS(
            ::BCryptHashData(m_hash.Get(), const_cast<unsigned char*>(bytes), part, 0));
        bytes += part;
        size -= part;
    }
    return m_ok;
}

std::string Sha256Hasher::Finish() {
    unsigned char digest[kSha256Bytes] = {};
    const bool ok =
        m_ok && BCRYPT_SUCCESS(::BCryptFinishHash(m_hash.Get(), digest, sizeof(digest), 0));
    m_ok = false;
    return ok ? std::string(reinterpret_cast<char*>(digest), sizeof(digest)) : "";
}

std::string Sha256(std::string_view bytes) {
    Sha256Hasher hasher;
    hasher.Update(bytes.data(), bytes.size());
    return hasher.Finish();
}

std::string Sha256OfFile(const std::string& path) {
    Utils::UniqueFileHandle file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                               OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file) return "";
    Sha256Hasher hasher;
    std::vector<char> buffer(256 * 1024);
    for (;;) {
        DWORD got = 0;
        if (!::ReadFile(file.Get(), buffer.data(), static_cast<DWORD>(buffer.size()), &got,
                        nullptr))
            return "";
        if (got == 0) break;
        if (!hasher.Update(buffer.data(), got)) return "";
    }
    return hasher.FinishHex();
}

std::string ToHex(const std::string& bytes) {
    std::string hex = Utils::String::HexEncode(bytes);
    return Utils::String::ToLower(hex);
}

}  // namespace Crypto
