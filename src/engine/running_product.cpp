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

}  // namespace

DWORD ChooseRunningProduct(const std::vector<DWORD>& candidates, DWORD ownId,
                           const std::string& productPath,
                           const std::function<std::string(DWORD)>& imagePathOf) {
    if (productPath.empty()) return 0;
    const std::string wanted = ComparablePath(productPath);
    for (DWORD id : candidates) {
        if (id == ownId) continue;
        const std::string image = imagePathOf(id);
        if (!image.empty() && ComparablePath(image) == wanted) return id;
    }
    return 0;
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
    const DWORD product = ChooseRunningProduct(candidates, ::GetCurrentProcessId(), productPath,
                                               &GetProcessImagePath);
    if (product == 0) return RunningProduct::None;
    if (HasVisibleWindow(product)) return RunningProduct::Open;
    Utils::UniqueKernelHandle process(::OpenProcess(PROCESS_ALL_ACCESS, FALSE, product));
    if (process && ::TerminateProcess(process.Get(), kTerminatedExitCode))
        ::WaitForSingleObject(process.Get(), kTerminationWaitMs);
    return RunningProduct::Stopped;
}

}  // namespace Engine
