// File tests, extensions, moves, deletions and folder creation.
#include "utils/file/file_utils.h"

namespace Utils {
namespace File {

DWORD GetAttributes(const std::string& path) { return ::GetFileAttributesA(path.c_str()); }

bool Exists(const std::string& path) { return GetAttributes(path) != INVALID_FILE_ATTRIBUTES; }

bool IsDirectory(const std::string& path) {
    const DWORD attributes = GetAttributes(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool IsFile(const std::string& path) {
    const DWORD attributes = GetAttributes(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

std::string GetExtension(const std::string& path) {
    const std::string::size_type dot = path.rfind('.');
    return dot == std::string::npos ? std::string() : path.substr(dot);
}

std::string& StripExtension(std::string& path) {
    path.resize(path.size() - GetExtension(path).size());
    return path;
}

bool Move(const std::string& source, const std::string& target) {
    if (source.empty() || target.empty()) return false;
    return ::MoveFileA(source.c_str(), target.c_str()) != FALSE;
}

bool Delete(const std::string& path) {
    if (path.empty()) return true;
    return ::DeleteFileA(path.c_str()) != FALSE;
}

void CreateFolder(const std::string& path) {
    const std::string folder = NormalizePath(path, "");
    if (!IsDirectory(folder)) ::CreateDirectoryA(folder.c_str(), nullptr);
}

}  // namespace File
}  // namespace Utils
