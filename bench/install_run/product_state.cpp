#include "product_state.h"

#include <shlobj.h>
#include <windows.h>

#include <utility>

#include "engine/files/install_folders.h"
#include "support/updater_process.h"
#include "utils/file/file_utils.h"
#include "utils/unique_handle.h"

namespace InstallBench {
namespace {

constexpr char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

bool UsesLocalAppData() {
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof(version);
    if (!::GetVersionExA(&version)) return false;
    return Engine::UsesLocalAppData(true, version.dwMajorVersion, version.dwMinorVersion);
}

Utils::UniqueRegKey OpenInstalledKey(const std::string& brand, bool create) {
    Utils::UniqueRegKey key;
    const std::string path = "Software\\" + brand + "\\Installed";
    if (create)
        ::RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                          key.Receive(), nullptr);
    else
        ::RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_QUERY_VALUE, key.Receive());
    return key;
}

std::string ReadString(HKEY key, const std::string& name) {
    char value[1100] = {};
    DWORD size = sizeof(value) - 1;
    DWORD type = 0;
    if (::RegQueryValueExA(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(value),
                           &size) != ERROR_SUCCESS ||
        type != REG_SZ)
        return "";
    return value;
}

double SecondsAfter(const FILETIME& start, const FILETIME& time) {
    const auto ticks = [](const FILETIME& t) {
        return (static_cast<long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
    };
    return (ticks(time) - ticks(start)) / 1e7;
}

double FileWrittenAfter(const FILETIME& start, const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return -1;
    return SecondsAfter(start, data.ftLastWriteTime);
}

// The last write of a key below HKEY_CURRENT_USER.
double KeyWrittenAfter(const FILETIME& start, const std::string& path) {
    Utils::UniqueRegKey key;
    FILETIME written{};
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_QUERY_VALUE, key.Receive()) !=
            ERROR_SUCCESS ||
        ::RegQueryInfoKeyA(key.Get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                           nullptr, nullptr, nullptr, &written) != ERROR_SUCCESS)
        return -1;
    return SecondsAfter(start, written);
}

}  // namespace

ProductState::ProductState(std::string brand) : m_brand(std::move(brand)) {
    m_programFolder = Utils::File::GetSpecialFolder(CSIDL_PROGRAM_FILES) + "\\" + m_brand;
    m_dataFolder = UsesLocalAppData()
                       ? Utils::File::GetSpecialFolder(CSIDL_LOCAL_APPDATA) + "\\" + m_brand
                       : m_programFolder;
}

void ProductState::Remove() const {
    Utils::File::DeleteTree(m_dataFolder);
    Utils::File::DeleteTree(m_programFolder);
    TestSupport::DeleteProductKey(m_brand);
    const std::string uninstall = kUninstallKey + m_brand;
    ::RegDeleteTreeA(HKEY_LOCAL_MACHINE, uninstall.c_str());
    ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, uninstall.c_str());
    Utils::File::DeleteTree(Utils::File::GetSpecialFolder(CSIDL_PROGRAMS) + "\\" + m_brand);
    const std::string desktopLink =
        Utils::File::GetSpecialFolder(CSIDL_DESKTOP) + "\\" + m_brand + ".lnk";
    ::DeleteFileA(desktopLink.c_str());
}

bool ProductState::WriteInstalled(const std::vector<PayloadFile>& files) const {
    Utils::UniqueRegKey installed = OpenInstalledKey(m_brand, true);
    if (!installed) return false;
    for (const PayloadFile& file : files) {
        if (!WriteInstalledFile(file, m_dataFolder + "\\" + file.clientPath)) return false;
        if (::RegSetValueExA(installed.Get(), file.clientPath.c_str(), 0, REG_SZ,
                             reinterpret_cast<const BYTE*>(file.checkSum.c_str()),
                             static_cast<DWORD>(file.checkSum.size() + 1)) != ERROR_SUCCESS)
            return false;
    }
    const DWORD done = 1;
    const std::string product = "Software\\" + m_brand;
    return ::RegSetKeyValueA(HKEY_CURRENT_USER, product.c_str(), "IsFirstTime", REG_DWORD, &done,
                             sizeof(done)) == ERROR_SUCCESS;
}

int ProductState::CountInstalled(const std::vector<PayloadFile>& files) const {
    Utils::UniqueRegKey installed = OpenInstalledKey(m_brand, false);
    if (!installed) return 0;
    int count = 0;
    for (const PayloadFile& file : files) {
        count += FileBytes(m_dataFolder + "\\" + file.clientPath) == file.installedBytes &&
                 ReadString(installed.Get(), file.clientPath) == file.checkSum;
    }
    return count;
}

int ProductState::CountRecords() const {
    Utils::UniqueRegKey installed = OpenInstalledKey(m_brand, false);
    DWORD values = 0;
    if (!installed ||
        ::RegQueryInfoKeyA(installed.Get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                           &values, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
        return 0;
    return static_cast<int>(values);
}

Milestones ProductState::ReadMilestones(const FILETIME& start) const {
    Milestones marks;
    const std::string menu = Utils::File::GetSpecialFolder(CSIDL_PROGRAMS) + "\\" + m_brand + "\\";
    marks.updaterCopy = FileWrittenAfter(start, m_programFolder + "\\" + m_brand + ".exe");
    marks.menuShortcut = FileWrittenAfter(start, menu + m_brand + ".lnk");
    marks.uninstallShortcut = FileWrittenAfter(start, menu + "Uninstall " + m_brand + ".lnk");
    marks.desktopShortcut = FileWrittenAfter(
        start, Utils::File::GetSpecialFolder(CSIDL_DESKTOP) + "\\" + m_brand + ".lnk");
    marks.installedRecords = KeyWrittenAfter(start, "Software\\" + m_brand + "\\Installed");
    return marks;
}

}  // namespace InstallBench
