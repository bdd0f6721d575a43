// Path normalisation.
#include <vector>

#include "utils/file/file_utils.h"
#include "utils/string/string_utils.h"

namespace Utils {
namespace File {

namespace {

bool HasDriveLetter(const std::string& path) { return path.size() >= 2 && path[1] == ':'; }

// The whole current folder, however long (no fixed buffer that could cut it).
std::string CurrentDirectory() {
    const DWORD needed = ::GetCurrentDirectoryA(0, nullptr);
    if (needed == 0) return std::string();
    std::vector<char> buffer(needed + 1, '\0');
    const DWORD length = ::GetCurrentDirectoryA(static_cast<DWORD>(buffer.size()), buffer.data());
    if (length == 0 || length >= buffer.size()) return std::string();
    return std::string(buffer.data(), length);
}

// Walks from the last component to the first; every ".." (except a leading
// one) removes the nearest remaining component before it. A drive component
// is never removed, so "c:\..\x" stays on drive c:.
std::string ResolveComponents(const String::StringList& parts) {
    std::vector<std::string> kept;
    int pendingParents = 0;
    for (std::size_t i = parts.size(); i-- > 0;) {
        const std::string& part = parts[i];
        if (part.empty()) continue;
        if (part == ".." && i > 0) {
            ++pendingParents;
        } else if (pendingParents > 0 && !(i == 0 && HasDriveLetter(part))) {
            --pendingParents;
        } else {
            kept.push_back(part);
        }
    }
    String::StringList ordered(kept.rbegin(), kept.rend());
    std::string joined;
    return String::Join(joined, ordered, "\\");
}

}  // namespace

// Normalises once: a path that still has no drive letter afterwards (the
// current folder was a share path) is returned as it is.
std::string NormalizePath(const std::string& path, const std::string& base) {
    std::string full = path;
    if (!HasDriveLetter(path)) full = (base.empty() ? CurrentDirectory() : base) + "\\" + path;
    String::ReplaceAll(full, "/", "\\");
    while (full.find("\\\\") != std::string::npos) String::ReplaceAll(full, "\\\\", "\\");
    String::StringList parts;
    String::Split(parts, full, "\\");
    std::string result = ResolveComponents(parts);
    while (!result.empty() && result.back() == '\\') result.pop_back();
    return String::ToLower(result);
}

}  // namespace File
}  // namespace Utils
