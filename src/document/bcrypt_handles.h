#pragma once
// Owners for the system's cryptography (CNG) handles, on the same pattern as
// the other handle owners of the project.
#include <windows.h>
// After windows.h, which it needs.
#include <bcrypt.h>

#include "utils/unique_handle.h"

namespace Crypto {

struct AlgorithmTraits {
    using Handle = BCRYPT_ALG_HANDLE;
    static Handle Invalid() noexcept { return nullptr; }
    static void Close(Handle h) noexcept { ::BCryptCloseAlgorithmProvider(h, 0); }
};
struct HashTraits {
    using Handle = BCRYPT_HASH_HANDLE;
    static Handle Invalid() noexcept { return nullptr; }
    static void Close(Handle h) noexcept { ::BCryptDestroyHash(h); }
};
struct KeyTraits {
    using Handle = BCRYPT_KEY_HANDLE;
    static Handle Invalid() noexcept { return nullptr; }
    static void Close(Handle h) noexcept { ::BCryptDestroyKey(h); }
};

using UniqueAlgorithm = Utils::UniqueHandle<AlgorithmTraits>;
using UniqueHash = Utils::UniqueHandle<HashTraits>;
using UniqueKey = Utils::UniqueHandle<KeyTraits>;

// Opens the provider of the named algorithm (BCRYPT_SHA256_ALGORITHM, ...);
// empty on failure.
UniqueAlgorithm OpenAlgorithm(const wchar_t* name);

}  // namespace Crypto
