// The running executable's path and the shell's special folders.
#include "utils/file/file_utils.h"

#include <shlobj.h>

#include <vector>

#include "utils/unique_handle.h"

namespace Utils {
namespace File {

namespace {

// The executable's full path; "" rather than a cut-off path when it is
// longer than the system allows.
std::string ModuleFileName() {
    std::vector<char> buffer(MAX_PATH, '\0');
    for (;;) {
        const DWORD length =
            ::GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) return std::string();
        if (length < buffer.size()) return std::string(buffer.data(), length);
        if (buffer.size() >= 32768) return std::string();
        buffer.assign(buffer.size() * 2, '\0');
    }
}

std::string FallbackFolder(int csidl) {
    if (csidl == CSIDL_PROGRAM_FILES) return "C:\\Program Files";
    if (csidl == CSIDL_WINDOWS) return IsDirectory("C:\\WINNT") ? "C:\\WINNT" : "C:\\Windows";
    return std::string();
}

}  // namespace

std::string GetModulePath(bool fileNameOnly, bool dropExtension, bool folderOnly) {
    std::string path = ModuleFileName();
    if (fileNameOnly) {
        const std::string::size_type slash = path.rfind('\\');
        if (slash != std::string::npos) path = path.substr(slash + 1);
    }
    if (dropExtension && path.size() > 3) path.resize(path.size() - 4);
    if (folderOnly) {
        const std::string::size_type slash = path.rfind('\\');
        if (slash != std::string::npos) path.resize(slash + 1);
    }
    return path;
}

std::string GetSpecialFolder(int csidl) {
    UniqueItemIdList items;
    if (FAILED(::SHGetSpecialFolderLocation(nullptr, csidl, items.Receive())) || !items)
        return FallbackFolder(csidl);
    char path[MAX_PATH + 1] = {};
    ::SHGetSpecialFolderPathA(nullptr, path, csidl, FALSE);
    ::SHGetPathFromIDListA(items.Get(), path);
    std::string folder = path;
    if (!folder.empty() && folder.back() == '\\') folder.pop_back();
    return folder;
}

}  // namespace File
}  // namespace Utils
