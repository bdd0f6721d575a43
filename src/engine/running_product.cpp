#include "engine/running_product.h"

#include <psapi.h>

#include "utils/os/os_info.h"
#include "utils/string/string_utils.h"
#include "utils/unique_handle.h"

namespace Engine {
namespace {

constexpr DWORD kTerminatedExitCode = 0xFFFFFFFF;
// Files of a terminated process stay locked until it has really gone.
constexpr DWORD kTerminationWaitMs = 5000;

std::string ComparablePath(std::string path) {
    for (char& c : path)
        if (c == '/') c = '\\';
    return Utils::String::ToLower(path);
}

struct WindowSearch {
    DWORD processId;
    bool visible;
};

BOOL CALLBACK NoteVisibleWindow(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<WindowSearch*>(parameter);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    if (owner == search->processId && ::IsWindowVisible(window)) {
        search->visible = true;
        return FALSE;
    }
    return TRUE;
}

// Returns once the process has ended or kTerminationWaitMs have passed.
void Terminate(DWORD processId) {
    Utils::UniqueKernelHandle process(::OpenProcess(PROCESS_ALL_ACCESS, FALSE, processId));
    if (process && ::TerminateProcess(process.Get(), kTerminatedExitCode))
        ::WaitForSingleObject(process.Get(), kTerminationWaitMs);
}

}  // namespace

std::vector<DWORD> ChooseRunningProducts(const std::vector<DWORD>& candidates, DWORD ownId,
                                         const std::string& productPath,
                                         const std::function<std::string(DWORD)>& imagePathOf) {
    std::vector<DWORD> chosen;
    if (productPath.empty()) return chosen;
    const std::string wanted = ComparablePath(productPath);
    for (DWORD id : candidates) {
        if (id == ownId) continue;
        const std::string image = imagePathOf(id);
        if (!image.empty() && ComparablePath(image) == wanted) chosen.push_back(id);
    }
    return chosen;
}

std::string GetProcessImagePath(DWORD processId) {
    Utils::UniqueKernelHandle process(
        ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    if (!process) return "";
    char path[MAX_PATH * 4] = {};
    DWORD size = sizeof(path);
    if (!::QueryFullProcessImageNameA(process.Get(), 0, path, &size)) return "";
    return std::string(path, size);
}

bool HasVisibleWindow(DWORD processId) {
    WindowSearch search{processId, false};
    ::EnumWindows(&NoteVisibleWindow, reinterpret_cast<LPARAM>(&search));
    return search.visible;
}

RunningProduct StopRunningProduct(const std::string& exeName, const std::string& productPath) {
    if (exeName.empty()) return RunningProduct::None;  // an empty name would match every process
    std::vector<DWORD> candidates;
    Utils::OS::FindProcesses(candidates, exeName);
    const std::vector<DWORD> instances = ChooseRunningProducts(candidates, ::GetCurrentProcessId(),
                                                               productPath, &GetProcessImagePath);
    if (instances.empty()) return RunningProduct::None;
    // Decided before any instance is touched: an open window means the user
    // works in the product, and a run that stopped its background instances
    // first would still have to end without replacing anything.
    for (DWORD id : instances)
        if (HasVisibleWindow(id)) return RunningProduct::Open;
    for (DWORD id : instances) Terminate(id);
    return RunningProduct::Stopped;
}

}  // namespace Engine
