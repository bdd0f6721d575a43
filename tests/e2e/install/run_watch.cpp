#include "run_watch.h"

#include <tlhelp32.h>

#include <algorithm>
#include <set>

#include "support/updater_process.h"
#include "support/window_driver.h"
#include "utils/unique_handle.h"

namespace InstallE2E {
namespace {

constexpr int kStatusLine = 1004;
constexpr int kMessageBoxText = 65535;
constexpr DWORD kPollMs = 5;
constexpr DWORD kEndWaitMs = 5000;

struct WindowList {
    DWORD processId;
    std::vector<HWND> dialogs;
};

BOOL CALLBACK CollectDialog(HWND window, LPARAM parameter) {
    auto* list = reinterpret_cast<WindowList*>(parameter);
    DWORD owner = 0;
    char className[32] = {};
    ::GetWindowThreadProcessId(window, &owner);
    ::GetClassNameA(window, className, sizeof(className));
    if (owner == list->processId && std::string(className) == "#32770")
        list->dialogs.push_back(window);
    return TRUE;
}

// A read that fails (the window went away meanwhile) gives "": never a real
// title or status line, which always holds at least its blank prefix.
void AppendIfNew(std::vector<std::string>& seen, const std::string& text) {
    if (!text.empty() && (seen.empty() || seen.back() != text)) seen.push_back(text);
}

// One look at the process's windows.
void Inspect(DWORD processId, int answer, std::set<HWND>& answered, RunOutcome& outcome) {
    WindowList list{processId, {}};
    ::EnumWindows(&CollectDialog, reinterpret_cast<LPARAM>(&list));
    for (HWND window : list.dialogs) {
        if (::GetDlgItem(window, kMessageBoxText) == nullptr) {
            AppendIfNew(outcome.titles, TestSupport::GetWindowTextOf(window));
            if (TestSupport::IsControlVisible(window, kStatusLine))
                AppendIfNew(outcome.statuses, TestSupport::GetControlText(window, kStatusLine));
        } else if (answered.insert(window).second) {
            outcome.boxes.push_back(
                {TestSupport::GetWindowTextOf(window), TestSupport::GetMessageBoxText(window)});
            TestSupport::PressButton(window,
                                     ::GetDlgItem(window, answer) != nullptr ? answer : IDOK);
        }
    }
}

std::string Comparable(const std::string& path) {
    std::string result;
    for (char c : path) {
        if (c == '/') c = '\\';
        if (c == '\\' && !result.empty() && result.back() == '\\') continue;
        result += static_cast<char>(::tolower(static_cast<unsigned char>(c)));
    }
    return result;
}

std::string ImagePath(HANDLE process) {
    char path[MAX_PATH * 2] = {};
    DWORD size = sizeof(path);
    return ::QueryFullProcessImageNameA(process, 0, path, &size) ? std::string(path, size) : "";
}

}  // namespace

bool RunOutcome::SawTitle(const std::string& title) const {
    return std::find(titles.begin(), titles.end(), title) != titles.end();
}

bool RunOutcome::SawStatus(const std::string& status) const {
    return std::find(statuses.begin(), statuses.end(), status) != statuses.end();
}

RunOutcome WatchRun(HANDLE process, DWORD processId, DWORD timeoutMs, int answer) {
    RunOutcome outcome;
    std::set<HWND> answered;
    const DWORD start = ::GetTickCount();
    for (;;) {
        Inspect(processId, answer, answered, outcome);
        if (::WaitForSingleObject(process, kPollMs) == WAIT_OBJECT_0) break;
        if (::GetTickCount() - start > timeoutMs) {
            ::TerminateProcess(process, TestSupport::ChildProcess::kKilled);
            ::WaitForSingleObject(process, kEndWaitMs);
            break;
        }
    }
    ::GetExitCodeProcess(process, &outcome.exitCode);
    return outcome;
}

void EndProcessesUnder(const std::vector<std::string>& prefixes) {
    Utils::UniqueFileHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) return;
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL more = ::Process32First(snapshot.Get(), &entry); more;
         more = ::Process32Next(snapshot.Get(), &entry)) {
        if (entry.th32ProcessID == ::GetCurrentProcessId()) continue;
        Utils::UniqueKernelHandle process(
            ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_TERMINATE | SYNCHRONIZE,
                          FALSE, entry.th32ProcessID));
        if (!process) continue;
        const std::string image = Comparable(ImagePath(process.Get()));
        for (const std::string& prefix : prefixes) {
            if (prefix.empty() ||
                image.compare(0, Comparable(prefix).size(), Comparable(prefix)) != 0)
                continue;
            ::TerminateProcess(process.Get(), TestSupport::ChildProcess::kKilled);
            ::WaitForSingleObject(process.Get(), kEndWaitMs);
            break;
        }
    }
}

}  // namespace InstallE2E
