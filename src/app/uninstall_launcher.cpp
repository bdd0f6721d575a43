#include "app/uninstall_launcher.h"

#include <windows.h>

#include <shellapi.h>

#include <cstdio>

#include "app/command_line.h"
#include "utils/unique_handle.h"

namespace App {
namespace {

constexpr DWORD kBufferSize = 512;
constexpr DWORD kHandOverWaitMs = 2000;
constexpr INT_PTR kShellAccessDenied = 5;

std::string GetOwnPath() {
    char buffer[kBufferSize] = {};
    ::GetModuleFileNameA(nullptr, buffer, kBufferSize);
    return buffer;
}

std::string GetTemporaryFolder() {
    char buffer[kBufferSize] = {};
    ::GetTempPathA(kBufferSize, buffer);
    return buffer;
}

INT_PTR StartCopy(const char* verb, const std::string& copyPath, const std::string& parameters,
                  const std::string& folder) {
    HINSTANCE result = ::ShellExecuteA(nullptr, verb, copyPath.c_str(), parameters.c_str(),
                                       folder.c_str(), SW_HIDE);
    return reinterpret_cast<INT_PTR>(result);
}

}  // namespace

bool CopyFileBytes(const std::string& source, const std::string& target) {
    Utils::UniqueStdioFile in(std::fopen(source.c_str(), "rb"));
    if (!in) return false;
    Utils::UniqueStdioFile out(std::fopen(target.c_str(), "wb"));
    if (!out) return false;
    char block[kBufferSize];
    size_t count;
    while ((count = std::fread(block, 1, sizeof(block), in.Get())) > 0) {
        size_t written = 0;
        while (written < count) {
            const size_t step = std::fwrite(block + written, 1, count - written, out.Get());
            if (step == 0) return false;
            written += step;
        }
    }
    return std::fclose(out.Release()) == 0;
}

void RunUninstallLauncher() {
    const std::string temporaryFolder = GetTemporaryFolder();
    const std::string copyPath = MakeUninstallCopyPath(temporaryFolder, GetOwnPath());
    ::DeleteFileA(copyPath.c_str());
    CopyFileBytes(GetOwnPath(), copyPath);

    char parameters[kBufferSize] = {};
    std::snprintf(parameters, sizeof(parameters), "/uninstall2 %lu",
                  static_cast<unsigned long>(::GetCurrentProcessId()));
    if (StartCopy(nullptr, copyPath, parameters, temporaryFolder) == kShellAccessDenied)
        StartCopy("runas", copyPath, parameters, temporaryFolder);

    // The copy waits for this process to end before it removes anything.
    ::Sleep(kHandOverWaitMs);
    ::MoveFileExA(copyPath.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
}

}  // namespace App
