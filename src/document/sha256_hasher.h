#pragma once
// SHA-256 through the system's cryptography (CNG). One hasher per stream;
// separate hashers may run on separate threads at once.
#include <cstddef>
#include <string>
#include <string_view>

#include "document/bcrypt_handles.h"

namespace Crypto {

constexpr std::size_t kSha256Bytes = 32;

// Lower-case hex of raw bytes.
std::string ToHex(const std::string& bytes);

class Sha256Hasher {
public:
    // A hasher that could not be set up fails every later call.
    Sha256Hasher();

    // Adds bytes to the stream; false once anything failed.
    bool Update(const void* data, std::size_t size);
    // The digest of everything added (32 bytes); "" when anything failed.
    // The hasher is finished afterwards.
    std::string Finish();
    // Finish() as 64 lower-case hex digits.
    std::string FinishHex() { return ToHex(Finish()); }

private:
    UniqueAlgorithm m_algorithm;
    UniqueHash m_hash;
    bool m_ok = false;
};

// The digest of bytes (raw, 32 bytes); "" on failure.
std::string Sha256(std::string_view bytes);
// The digest of a file's content as 64 lower-case hex digits; "" when the
// file can't be read or the hash fails.
std::string Sha256OfFile(const std::string& path);

}  // namespace Crypto
