#include "engine/installed_records.h"

#include <windows.h>

#include <vector>

#include "utils/reg/reg_manager.h"
#include "utils/string/string_utils.h"
#include "utils/unique_handle.h"

namespace Engine {
namespace {

constexpr DWORD kMaxValueName = 16384;  // the registry's own limit, terminator included
constexpr DWORD kMaxData = 1024;        // what the registry manager stores and reads

}  // namespace

// One enumeration instead of one key opening per listed file: a document of
// ten thousand files is classified without ten thousand registry round trips.
InstalledRecords::InstalledRecords(const Utils::RegManager& productKey) {
    const std::string path = "Software\\" + productKey.GetKeyName() + "\\Installed";
    Utils::UniqueRegKey key;
    if (::RegOpenKeyExA(productKey.IsUserRoot() ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE,
                        path.c_str(), 0, KEY_READ, key.Receive()) != ERROR_SUCCESS)
        return;
    std::vector<char> name(kMaxValueName);
    std::vector<char> data(kMaxData + 1);
    for (DWORD index = 0;; ++index) {
        DWORD nameLength = kMaxValueName;
        DWORD dataLength = kMaxData;
        DWORD type = 0;
        const LONG result =
            ::RegEnumValueA(key.Get(), index, name.data(), &nameLength, nullptr, &type,
                            reinterpret_cast<BYTE*>(data.data()), &dataLength);
        if (result == ERROR_NO_MORE_ITEMS) break;
        if (result != ERROR_SUCCESS || type != REG_SZ) continue;  // too long or not text: not ours
        std::string lowered(name.data(), nameLength);
        Utils::String::ToLower(lowered);
        m_values[lowered] = std::string(data.data(), strnlen(data.data(), dataLength));
    }
}

std::string InstalledRecords::Get(const std::string& clientPath) const {
    std::string lowered = clientPath;
    Utils::String::ToLower(lowered);
    auto found = m_values.find(lowered);
    return found == m_values.end() ? "" : found->second;
}

bool InstalledRecords::IsUpToDate(const std::string& clientPath,
                                  const std::string& checkSum) const {
    if (Get(clientPath) != checkSum) return false;
    // An empty position (a foreign element among the files) names no file to fetch.
    if (clientPath.empty()) return true;
    // The record tells what was installed, not what is still there: a file
    // deleted since (by the user, a cleaner, an antivirus program) is fetched
    // again instead of leaving the product broken for good.
    const DWORD attributes = ::GetFileAttributesA(clientPath.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::vector<std::string> InstalledRecords::ClientPaths() const {
    std::vector<std::string> paths;
    paths.reserve(m_values.size());
    for (const auto& value : m_values) paths.push_back(value.first);
    return paths;
}

}  // namespace Engine
