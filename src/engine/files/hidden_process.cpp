#include "engine/files/hidden_process.h"

#include <vector>

#include "utils/unique_handle.h"

namespace Engine {

bool RunHiddenAndWait(const std::string& commandLine, DWORD& exitCode) {
    std::vector<char> buffer(commandLine.begin(), commandLine.end());
    buffer.push_back('\0');
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION started{};
    if (!::CreateProcessA(nullptr, buffer.data(), nullptr, nullptr, FALSE, NORMAL_PRIORITY_CLASS,
                          nullptr, nullptr, &startup, &started))
        return false;
    Utils::UniqueKernelHandle process(started.hProcess);
    Utils::UniqueKernelHandle thread(started.hThread);
    if (::WaitForSingleObject(process.Get(), INFINITE) != WAIT_OBJECT_0) return false;
    return ::GetExitCodeProcess(process.Get(), &exitCode) != FALSE;
}

}  // namespace Engine
