// Running processes by executable name.
#include "utils/os/os_info.h"

#include <tlhelp32.h>

#include "utils/string/string_utils.h"
#include "utils/unique_handle.h"

namespace Utils {
namespace OS {

namespace {

std::string BaseName(const char* path) {
    const std::string text = path;
    const std::string::size_type slash = text.rfind('\\');
    return slash == std::string::npos ? text : text.substr(slash + 1);
}

}  // namespace

bool FindProcesses(std::vector<DWORD>& processes, const std::string& exeName) {
    UniqueFileHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) return false;
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof(entry);
    if (!::Process32First(snapshot.Get(), &entry)) return false;
    do {
        if (exeName.empty() || String::EqualsIgnoreCase(BaseName(entry.szExeFile), exeName))
            processes.push_back(entry.th32ProcessID);
    } while (::Process32Next(snapshot.Get(), &entry));
    return true;
}

}  // namespace OS
}  // namespace Utils
