// Recursive listing and deletion of folder trees.
#include "utils/file/file_utils.h"

#include <shellapi.h>

#include "utils/string/string_utils.h"
#include "utils/unique_handle.h"

namespace Utils {
namespace File {

namespace {

bool IsDotEntry(const char* name) { return std::string(name) == "." || std::string(name) == ".."; }

// A tree may be deleted only when it lies below a drive root: "", "\", "c:",
// "c:\", "c:\." and paths without a drive letter are refused.
bool IsDeletableTree(const std::string& requested, const std::string& normalized) {
    if (requested.find_first_not_of("\\/ \t") == std::string::npos) return false;
    if (normalized.size() < 2 || normalized[1] != ':') return false;
    String::StringList parts;
    String::Split(parts, normalized, "\\");
    for (std::size_t i = 1; i < parts.size(); ++i) {
        if (!parts[i].empty() && parts[i] != ".") return true;
    }
    return false;
}

void ShellDelete(const std::string& folder) {
    // The shell expects a list of paths ended by two zero bytes.
    std::string paths = folder;
    paths.append(2, '\0');
    SHFILEOPSTRUCTA operation = {};
    operation.hwnd = nullptr;
    operation.wFunc = FO_DELETE;
    operation.pFrom = paths.c_str();
    operation.pTo = nullptr;
    operation.fFlags = FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOERRORUI;
    ::SHFileOperationA(&operation);
}

}  // namespace

void FindFiles(std::vector<std::string>& list, const std::string& folder, bool recurse,
               bool includeFolders, bool clearFirst) {
    if (clearFirst) list.clear();
    const std::string root = NormalizePath(folder, "");
    WIN32_FIND_DATAA entry = {};
    UniqueFindHandle find(::FindFirstFileA((root + "\\*.*").c_str(), &entry));
    if (!find) return;
    do {
        if (IsDotEntry(entry.cFileName)) continue;
        const std::string path = NormalizePath(entry.cFileName, root);
        if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
            list.push_back(path);
            continue;
        }
        if (includeFolders) list.push_back(path);
        if (recurse) FindFiles(list, path, recurse, includeFolders, false);
    } while (::FindNextFileA(find.Get(), &entry));
}

bool CanDeleteTree(const std::string& folder) {
    return IsDeletableTree(folder, NormalizePath(folder, ""));
}

void DeleteTree(const std::string& folder) {
    const std::string normalized = NormalizePath(folder, "");
    if (!IsDeletableTree(folder, normalized)) return;
    std::vector<std::string> entries;
    FindFiles(entries, normalized, true, true, true);
    // Folders fail as files and are left to the shell operation below.
    for (auto it = entries.rbegin(); it != entries.rend(); ++it) Delete(*it);
    ShellDelete(normalized);
}

}  // namespace File
}  // namespace Utils
