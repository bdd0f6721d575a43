// Typed access to one registry key below root\Software. Each operation opens
// its own handles and closes them before it returns.
#include "utils/reg/reg_manager.h"

#include <vector>

#include "utils/unique_handle.h"

namespace Utils {

RegManager* g_productKeyManager = nullptr;

namespace {

const REGSAM kReadWrite = KEY_READ | KEY_WRITE;
// Writes keep the first 1024 characters. Reads take what a write stores (the
// characters and their terminator) into a zero-filled buffer one byte larger,
// whose last byte stays a terminator even for a value stored without one.
// Longer values fail to read and give the default.
const std::size_t kMaxStoredChars = 1024;
const DWORD kMaxReadBytes = kMaxStoredChars + 1;
const DWORD kMaxSubkeyName = 256;

UniqueRegKey OpenKey(HKEY parent, const std::string& name, REGSAM access) {
    UniqueRegKey key;
    if (::RegOpenKeyExA(parent, name.c_str(), 0, access, key.Receive()) != ERROR_SUCCESS)
        key.Reset();
    return key;
}

UniqueRegKey CreateKey(HKEY parent, const std::string& name) {
    UniqueRegKey key;
    if (::RegCreateKeyExA(parent, name.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, kReadWrite,
                          nullptr, key.Receive(), nullptr) != ERROR_SUCCESS)
        key.Reset();
    return key;
}

UniqueRegKey OpenSoftware(bool userRoot) {
    return OpenKey(userRoot ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE, "Software", kReadWrite);
}

bool IsStringType(DWORD type) {
    return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
}

bool QueryString(HKEY key, const std::string& name, std::string& value) {
    std::vector<char> buffer(kMaxReadBytes + 1, '\0');
    DWORD type = 0;
    DWORD size = kMaxReadBytes;
    const LONG result = ::RegQueryValueExA(key, name.c_str(), nullptr, &type,
                                           reinterpret_cast<BYTE*>(buffer.data()), &size);
    if (result != ERROR_SUCCESS || !IsStringType(type)) return false;
    value = buffer.data();
    return true;
}

bool QueryDword(HKEY key, const std::string& name, DWORD& value) {
    DWORD type = 0;
    DWORD data = 0;
    DWORD size = sizeof(data);
    const LONG result = ::RegQueryValueExA(key, name.c_str(), nullptr, &type,
                                           reinterpret_cast<BYTE*>(&data), &size);
    if (result != ERROR_SUCCESS || type != REG_DWORD || size != sizeof(data)) return false;
    value = data;
    return true;
}

bool StoreString(HKEY key, const std::string& name, const std::string& value) {
    const std::string stored = value.substr(0, kMaxStoredChars);
    return ::RegSetValueExA(key, name.c_str(), 0, REG_SZ,
                            reinterpret_cast<const BYTE*>(stored.c_str()),
                            static_cast<DWORD>(stored.size() + 1)) == ERROR_SUCCESS;
}

// The name of the subkey at index; false when there is none.
bool SubkeyAt(HKEY key, DWORD index, std::string& name) {
    char child[kMaxSubkeyName + 1] = {};
    DWORD length = kMaxSubkeyName + 1;
    if (::RegEnumKeyExA(key, index, child, &length, nullptr, nullptr, nullptr, nullptr) !=
        ERROR_SUCCESS)
        return false;
    name.assign(child, length);
    return true;
}

bool DeleteKeyTree(HKEY parent, const std::string& name);

// Deletes every subkey that can be deleted. Subkeys are taken by index, and
// one that stays is stepped over rather than met again; passes repeat only
// while they delete something, so the walk ends even when some subkeys stay.
void DeleteSubkeys(HKEY key) {
    for (bool progress = true; progress;) {
        progress = false;
        DWORD index = 0;
        std::string child;
        while (SubkeyAt(key, index, child)) {
            if (DeleteKeyTree(key, child))
                progress = true;
            else
                ++index;
        }
    }
}

// Deletes parent\name (a non-empty name) with everything below it; true when
// the key is gone. A key with a subkey that stays cannot be deleted either.
bool DeleteKeyTree(HKEY parent, const std::string& name) {
    UniqueRegKey key = OpenKey(parent, name, kReadWrite);
    if (key) DeleteSubkeys(key.Get());
    key.Reset();
    return ::RegDeleteKeyA(parent, name.c_str()) == ERROR_SUCCESS;
}

// Opens root\Software\<key name>, then the subkey (created when missing).
UniqueRegKey OpenForOperation(bool userRoot, const std::string& keyName,
                              const std::string& subkey) {
    UniqueRegKey software = OpenSoftware(userRoot);
    if (!software) return UniqueRegKey();
    UniqueRegKey key = OpenKey(software.Get(), keyName, kReadWrite);
    if (!key || subkey.empty()) return key;
    UniqueRegKey sub = OpenKey(key.Get(), subkey, kReadWrite);
    if (!sub) CreateKey(key.Get(), subkey);
    return OpenKey(key.Get(), subkey, kReadWrite);
}

}  // namespace

RegManager::RegManager(bool userRoot, const std::string& keyName)
    : m_userRoot(userRoot), m_keyName(keyName) {
    UniqueRegKey software = OpenSoftware(userRoot);
    if (!software) return;
    if (!OpenKey(software.Get(), keyName, kReadWrite)) CreateKey(software.Get(), keyName);
}

RegManager::~RegManager() = default;

std::string RegManager::GetStringValue(const std::string& name, const std::string& subkey,
                                       const std::string& defaultValue) const {
    UniqueRegKey key = OpenForOperation(m_userRoot, m_keyName, subkey);
    std::string value;
    if (!key || !QueryString(key.Get(), name, value)) return defaultValue;
    return value;
}

bool RegManager::SetStringValue(const std::string& name, const std::string& value, bool overwrite,
                                const std::string& subkey) const {
    return WriteStringValue(name, value, overwrite, subkey) == StringWrite::Written;
}

RegManager::StringWrite RegManager::WriteStringValue(const std::string& name,
                                                     const std::string& value, bool overwrite,
                                                     const std::string& subkey) const {
    UniqueRegKey key = OpenForOperation(m_userRoot, m_keyName, subkey);
    if (!key) return StringWrite::Failed;
    std::string existing;
    if (!overwrite && QueryString(key.Get(), name, existing)) return StringWrite::KeptExisting;
    return StoreString(key.Get(), name, value) ? StringWrite::Written : StringWrite::Failed;
}

DWORD RegManager::GetDwordValue(const std::string& name, const std::string& subkey,
                                DWORD defaultValue) const {
    UniqueRegKey key = OpenForOperation(m_userRoot, m_keyName, subkey);
    if (!key) return 0;
    DWORD value = 0;
    return QueryDword(key.Get(), name, value) ? value : defaultValue;
}

bool RegManager::SetDwordValue(const std::string& name, DWORD value, bool overwrite,
                               const std::string& subkey) const {
    UniqueRegKey key = OpenForOperation(m_userRoot, m_keyName, subkey);
    if (!key) return false;
    DWORD existing = 0;
    if (!overwrite && QueryDword(key.Get(), name, existing)) return false;
    return ::RegSetValueExA(key.Get(), name.c_str(), 0, REG_DWORD,
                            reinterpret_cast<const BYTE*>(&value), sizeof(value)) == ERROR_SUCCESS;
}

void RegManager::DeleteValue(const std::string& name, const std::string& subkey) const {
    UniqueRegKey key = OpenForOperation(m_userRoot, m_keyName, subkey);
    if (!key) return;
    // An empty name (or one of backslashes only) would address the opened key
    // itself: on the list of installed programs that is every program's entry.
    if (name.find_first_not_of('\\') != std::string::npos) DeleteKeyTree(key.Get(), name);
    ::RegDeleteValueA(key.Get(), name.c_str());
}

bool RegManager::SubkeyExists(const std::string& subkey) const {
    UniqueRegKey software = OpenSoftware(m_userRoot);
    if (!software) return false;
    UniqueRegKey key = OpenKey(software.Get(), m_keyName, kReadWrite);
    return key && OpenKey(key.Get(), subkey, kReadWrite);
}

bool RegManager::KeyExists(HKEY root, const std::string& path) {
    return static_cast<bool>(OpenKey(root, path, KEY_READ));
}

bool RegManager::StringValueExists(HKEY root, const std::string& path, const std::string& name) {
    UniqueRegKey key = OpenKey(root, path, KEY_READ);
    std::string value;
    return key && QueryString(key.Get(), name, value);
}

void RegManager::SetStringValueAt(HKEY root, const std::string& path, const std::string& name,
                                  const std::string& value) {
    UniqueRegKey key = OpenKey(root, path, KEY_WRITE);
    if (key) StoreString(key.Get(), name, value);
}

}  // namespace Utils
