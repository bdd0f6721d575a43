#include "engine/files/install_folders.h"

#include <shlobj.h>
#include <windows.h>

#include "utils/file/file_utils.h"
#include "utils/string/string_utils.h"
#include "utils/unique_handle.h"

namespace Engine {
namespace {

constexpr char kFallbackProgramFiles[] = "C:\\Program Files";
constexpr char kFallbackBase[] = "c:\\Program Files";

void DropTrailingBackslash(std::string& path) {
    if (!path.empty() && path.back() == '\\') path.pop_back();
}

std::string FolderFromIdList(int csidl) {
    Utils::UniqueItemIdList list;
    if (FAILED(SHGetSpecialFolderLocation(nullptr, csidl, list.Receive())) || !list) return "";
    char path[MAX_PATH] = {};
    if (!SHGetPathFromIDListA(list.Get(), path)) return "";
    return path;
}

// True when the folder exists afterwards (made now or before).
bool CreateFolderIfMissing(const std::string& folder) {
    if (!Utils::File::Exists(folder)) CreateDirectoryA(folder.c_str(), nullptr);
    return Utils::File::IsDirectory(folder);
}

}  // namespace

bool IsSingleFolderName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of("\\/:") == std::string::npos;
}

bool UsesLocalAppData(bool requested, unsigned majorVersion, unsigned minorVersion) {
    return requested && majorVersion == 6 && minorVersion == 0;
}

std::string PrepareInstallFolder(const std::string& brand, bool useLocalAppData) {
    if (!IsSingleFolderName(brand)) return "";
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof(version);
    if (!GetVersionExA(&version)) version = {};
    bool localAppData =
        UsesLocalAppData(useLocalAppData, version.dwMajorVersion, version.dwMinorVersion);
    std::string base = FolderFromIdList(localAppData ? CSIDL_LOCAL_APPDATA : CSIDL_PROGRAM_FILES);
    if (base.empty()) base = kFallbackBase;
    DropTrailingBackslash(base);
    CreateFolderIfMissing(base);
    std::string folder = base + "\\" + brand;
    // Files must never land in whatever folder happens to be current.
    if (!CreateFolderIfMissing(folder) || !SetCurrentDirectoryA(folder.c_str())) return "";
    return folder;
}

std::string GetCurrentFolder() {
    DWORD needed = GetCurrentDirectoryA(0, nullptr);
    if (needed == 0) return "";
    std::string folder(needed, '\0');
    DWORD length = GetCurrentDirectoryA(needed, &folder[0]);
    if (length == 0 || length >= needed) return "";
    folder.resize(length);
    return folder;
}

std::string GetSpecialFolderPath(int csidl) {
    std::string folder = Utils::File::GetSpecialFolder(csidl);
    DropTrailingBackslash(folder);
    if (folder.empty() && csidl == CSIDL_PROGRAM_FILES) return kFallbackProgramFiles;
    return folder;
}

void CreateFolderTree(const std::string& path) {
    std::string normalized = path;
    Utils::String::ReplaceAll(normalized, "\\\\", "\\");
    Utils::String::ReplaceAll(normalized, "\\", "/");
    Utils::String::StringList pieces;
    Utils::String::Split(pieces, normalized, "/");
    std::string prefix;
    for (std::size_t i = 0; i + 1 < pieces.size(); ++i) {
        if (pieces[i].empty()) continue;
        prefix += pieces[i] + "\\";
        CreateFolderIfMissing(prefix);
    }
}

}  // namespace Engine
