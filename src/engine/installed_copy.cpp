#include "engine/installed_copy.h"

#include <windows.h>

#include <vector>

#include "utils/reg/reg_manager.h"
#include "utils/unique_handle.h"

namespace Engine {
namespace {

constexpr DWORD kCopyBlockBytes = 64 * 1024;
constexpr char kUninstallKey[] = "Microsoft\\Windows\\CurrentVersion\\Uninstall";

bool CopyContents(HANDLE source, HANDLE target) {
    std::vector<char> block(kCopyBlockBytes);
    for (;;) {
        DWORD read = 0;
        if (!::ReadFile(source, block.data(), kCopyBlockBytes, &read, nullptr)) return false;
        if (read == 0) return true;
        DWORD written = 0;
        if (!::WriteFile(target, block.data(), read, &written, nullptr) || written != read)
            return false;
    }
}

bool CopyToNewFile(const std::string& source, const std::string& target) {
    Utils::UniqueFileHandle in(::CreateFileA(source.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                             OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!in) return false;
    Utils::UniqueFileHandle out(::CreateFileA(target.c_str(), GENERIC_WRITE, 0, nullptr,
                                              CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!out) return false;
    // Closing checks nothing more: a full disk fails a write above.
    return CopyContents(in.Get(), out.Get()) && ::FlushFileBuffers(out.Get());
}

}  // namespace

bool CopyThroughSideFile(const std::string& source, const std::string& target) {
    const std::string side = target + ".part";
    if (CopyToNewFile(source, side) &&
        ::MoveFileExA(side.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING))
        return true;
    ::DeleteFileA(side.c_str());
    return false;
}

std::string UninstallCommand(const std::string& programPath) {
    return "\"" + programPath + "\" /uninstall";
}

bool RegisterUninstallEntry(const std::string& brand, const std::string& programPath) {
    const Utils::RegManager entries(false, kUninstallKey);
    return entries.SetStringValue("DisplayName", brand, true, brand) &&
           entries.SetStringValue("UninstallString", UninstallCommand(programPath), true, brand);
}

}  // namespace Engine
