#pragma once
// Test helpers: registry keys and values below HKEY_CURRENT_USER read and
// written directly, past the manager under test.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "utils/unique_handle.h"

namespace UtilsTest {

inline Utils::UniqueRegKey OpenUserKey(const std::string& path) {
    Utils::UniqueRegKey key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_ALL_ACCESS, key.Receive()) !=
        ERROR_SUCCESS)
        key.Reset();
    return key;
}

inline bool UserKeyExists(const std::string& path) { return static_cast<bool>(OpenUserKey(path)); }

// Reads a value as it is stored: its type and its raw bytes.
inline bool ReadRaw(const std::string& path, const std::string& name, DWORD& type,
                    std::string& bytes) {
    Utils::UniqueRegKey key = OpenUserKey(path);
    if (!key) return false;
    DWORD size = 0;
    if (RegQueryValueExA(key.Get(), name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
        return false;
    bytes.assign(size, '\0');
    return RegQueryValueExA(key.Get(), name.c_str(), nullptr, &type,
                            reinterpret_cast<BYTE*>(&bytes[0]), &size) == ERROR_SUCCESS;
}

inline bool ValueExists(const std::string& path, const std::string& name) {
    DWORD type = 0;
    std::string bytes;
    return ReadRaw(path, name, type, bytes);
}

inline void WriteRaw(const std::string& path, const std::string& name, DWORD type,
                     const std::string& bytes) {
    Utils::UniqueRegKey key = OpenUserKey(path);
    ASSERT_TRUE(key) << path;
    ASSERT_EQ(RegSetValueExA(key.Get(), name.c_str(), 0, type,
                             reinterpret_cast<const BYTE*>(bytes.data()),
                             static_cast<DWORD>(bytes.size())),
              ERROR_SUCCESS);
}

// Creates the key (and missing parents) below HKEY_CURRENT_USER.
inline void CreateUserKey(const std::string& path) {
    Utils::UniqueRegKey key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, key.Receive(), nullptr),
              ERROR_SUCCESS)
        << path;
}

}  // namespace UtilsTest
