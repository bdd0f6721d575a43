// Recursive listing and deletion of folder trees.
#include "utils/file/file_utils.h"

#include <cctype>

#include "utils/string/string_utils.h"
#include "utils/unique_handle.h"

namespace Utils {
namespace File {

namespace {

bool IsDotEntry(const char* name) { return std::string(name) == "." || std::string(name) == ".."; }

bool IsLink(DWORD attributes) { return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0; }

bool IsFolder(DWORD attributes) { return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }

// "\x", "\\server\share\x", "\\?\c:\x" and "\\.\c:\x" (with either slash)
// have no drive letter of their own: normalisation would put them below the
// current folder, and a different folder would be deleted.
bool IsRootedWithoutDrive(const std::string& path) {
    const std::string::size_type first = path.find_first_not_of(" \t");
    return first != std::string::npos && (path[first] == '\\' || path[first] == '/');
}

// A tree may be deleted only when it lies below a drive root: "", "\", "c:",
// "c:\", "c:\." and paths without a drive letter are refused.
bool IsDeletableTree(const std::string& requested, const std::string& normalized) {
    if (requested.find_first_not_of("\\/ \t") == std::string::npos) return false;
    if (IsRootedWithoutDrive(requested)) return false;
    if (normalized.size() < 2 || normalized[1] != ':' ||
        !std::isalpha(static_cast<unsigned char>(normalized[0])))
        return false;
    String::StringList parts;
    String::Split(parts, normalized, "\\");
    for (std::size_t i = 1; i < parts.size(); ++i) {
        if (!parts[i].empty() && parts[i] != ".") return true;
    }
    return false;
}

struct Entry {
    std::string path;
    DWORD attributes;
};

// The folder's entries, read completely before any of them is removed.
std::vector<Entry> ListEntries(const std::string& folder) {
    std::vector<Entry> entries;
    WIN32_FIND_DATAA found = {};
    UniqueFindHandle find(::FindFirstFileA((folder + "\\*").c_str(), &found));
    if (!find) return entries;
    do {
        if (!IsDotEntry(found.cFileName))
            entries.push_back({folder + "\\" + found.cFileName, found.dwFileAttributes});
    } while (::FindNextFileA(find.Get(), &found));
    return entries;
}

// Read-only files and folders are removed too: on failure the attribute is
// cleared and the removal tried once more.
template <typename Remove>
void RemoveClearingReadOnly(const std::string& path, Remove remove) {
    if (remove(path.c_str())) return;
    if (::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL)) remove(path.c_str());
}

// A junction or symbolic link is removed itself; what it points to is never
// listed, changed or deleted. (Wine shows a Unix symbolic link as a link and
// removes an empty target along with it; a target holding files stays whole.)
void RemoveLink(const std::string& path, DWORD attributes) {
    if (IsFolder(attributes))
        ::RemoveDirectoryA(path.c_str());
    else
        ::DeleteFileA(path.c_str());
}

void RemoveEntry(const std::string& path, DWORD attributes) {
    if (IsLink(attributes)) {
        RemoveLink(path, attributes);
    } else if (IsFolder(attributes)) {
        for (const Entry& entry : ListEntries(path)) RemoveEntry(entry.path, entry.attributes);
        RemoveClearingReadOnly(path, ::RemoveDirectoryA);
    } else {
        RemoveClearingReadOnly(path, ::DeleteFileA);
    }
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
    const DWORD attributes = GetAttributes(normalized);
    if (attributes != INVALID_FILE_ATTRIBUTES) RemoveEntry(normalized, attributes);
}

}  // namespace File
}  // namespace Utils
