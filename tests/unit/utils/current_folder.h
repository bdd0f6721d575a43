#pragma once
// Test helpers: a scoped current folder and a folder listing by pattern.
#include <windows.h>

#include <string>
#include <vector>

#include "utils/unique_handle.h"

namespace UtilsTest {

// Sets the process's current folder for the lifetime of the object.
class CurrentFolder {
public:
    explicit CurrentFolder(const std::string& folder) {
        char previous[MAX_PATH] = {};
        GetCurrentDirectoryA(MAX_PATH, previous);
        m_previous = previous;
        m_changed = SetCurrentDirectoryA(folder.c_str()) != FALSE;
    }
    ~CurrentFolder() { SetCurrentDirectoryA(m_previous.c_str()); }
    CurrentFolder(const CurrentFolder&) = delete;
    CurrentFolder& operator=(const CurrentFolder&) = delete;
    bool Changed() const { return m_changed; }

private:
    std::string m_previous;
    bool m_changed = false;
};

// Names (not paths) of the entries of folder matching pattern, e.g. "*.log_".
inline std::vector<std::string> ListNames(const std::string& folder, const std::string& pattern) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA entry = {};
    Utils::UniqueFindHandle find(FindFirstFileA((folder + "\\" + pattern).c_str(), &entry));
    if (!find) return names;
    do {
        const std::string name = entry.cFileName;
        if (name != "." && name != "..") names.push_back(name);
    } while (FindNextFileA(find.Get(), &entry));
    return names;
}

}  // namespace UtilsTest
