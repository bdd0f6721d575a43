#include "updater_run.h"

#include <psapi.h>

#include "stopwatch.h"
#include "support/updater_process.h"
#include "support/window_driver.h"
#include "utils/unique_handle.h"

namespace InstallBench {
namespace {

constexpr DWORD kWatchPollMs = 20;
constexpr DWORD kPollMs = 50;
constexpr int kMessageBoxCheckEvery = 10;  // polls
constexpr int kStatusLine = 1004;
constexpr int kProgressBar = 1007;
constexpr char kFinishedText[] = "Finished updating successfully";
constexpr double kMegabyte = 1024.0 * 1024.0;

// The PeakWorkingSetSize of process in MB; -1 when it can't be read.
double PeakWorkingSetMb(HANDLE process) {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof(counters);
    if (!process || !::GetProcessMemoryInfo(process, &counters, sizeof(counters)) ||
        counters.PeakWorkingSetSize == 0)
        return -1;
    return counters.PeakWorkingSetSize / kMegabyte;
}

struct DialogSearch {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK FindMainDialog(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<DialogSearch*>(parameter);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    char className[16] = {};
    ::GetClassNameA(window, className, sizeof(className));
    if (owner != search->processId || lstrcmpA(className, "#32770") != 0 ||
        !::IsWindowVisible(window) || !::GetDlgItem(window, kProgressBar))
        return TRUE;
    search->found = window;
    return FALSE;
}

// Notes the first moments the dialog was visible, full, and finished.
void WatchDialog(DWORD processId, double now, RunResult& result) {
    DialogSearch search{processId, nullptr};
    ::EnumWindows(&FindMainDialog, reinterpret_cast<LPARAM>(&search));
    if (!search.found) return;
    if (result.dialogShown < 0) result.dialogShown = now;
    if (result.barFull < 0 &&
        TestSupport::GetProgressBarState(search.found, kProgressBar).position == 100)
        result.barFull = now;
    if (result.finishedShown < 0 &&
        TestSupport::GetControlText(search.found, kStatusLine).find(kFinishedText) !=
            std::string::npos)
        result.finishedShown = now;
}

// A failed run waits for its message box to be answered.
void AnswerMessageBox(DWORD processId, RunResult& result) {
    HWND box = TestSupport::WaitForMessageBox("Downloader", processId, 0);
    if (!box) return;
    result.messageBoxText = TestSupport::GetMessageBoxText(box);
    TestSupport::PressButton(box, IDOK);
}

// A child started as the shell starts a windowed program: without standard
// handles, so that the updater's diagnostic lines go nowhere. With
// withOutput its standard handles are the NUL device instead, as when a
// script starts it with its output redirected.
class QuietChild {
public:
    bool Start(const std::string& exePath, const std::string& folder, bool withOutput) {
        SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
        if (withOutput) {
            m_nul.Reset(::CreateFileA("NUL", GENERIC_READ | GENERIC_WRITE,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, OPEN_EXISTING,
                                      0, nullptr));
            if (!m_nul) return false;
        }
        STARTUPINFOA startup{};
        startup.cb = sizeof(startup);
        startup.dwFlags = STARTF_USESTDHANDLES;
        HANDLE output = withOutput ? m_nul.Get() : nullptr;
        startup.hStdInput = startup.hStdOutput = startup.hStdError = output;
        PROCESS_INFORMATION info{};
        std::string commandLine = "\"" + exePath + "\"";
        if (!::CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, withOutput, 0, nullptr,
                              folder.empty() ? nullptr : folder.c_str(), &startup, &info))
            return false;
        Utils::UniqueKernelHandle thread(info.hThread);
        m_process.Reset(info.hProcess);
        m_id = info.dwProcessId;
        return true;
    }
    ~QuietChild() {
        if (m_process && ::WaitForSingleObject(m_process.Get(), 0) == WAIT_TIMEOUT)
            ::TerminateProcess(m_process.Get(), kKilled);
    }
    HANDLE Handle() const { return m_process.Get(); }
    DWORD Id() const { return m_id; }
    DWORD ExitCode() const {
        DWORD code = kKilled;
        if (::WaitForSingleObject(m_process.Get(), 0) != WAIT_OBJECT_0) return kKilled;
        ::GetExitCodeProcess(m_process.Get(), &code);
        return code;
    }

    static constexpr DWORD kKilled = 0xDEADBEEF;

private:
    Utils::UniqueFileHandle m_nul;
    Utils::UniqueKernelHandle m_process;
    DWORD m_id = 0;
};

}  // namespace

bool WaitForProgramToEnd(const std::string& exeName, DWORD timeoutMs) {
    const DWORD start = ::GetTickCount();
    for (DWORD id = TestSupport::FindProcessByName(exeName); id != 0;
         id = TestSupport::FindProcessByName(exeName)) {
        Utils::UniqueKernelHandle process(::OpenProcess(SYNCHRONIZE, FALSE, id));
        const DWORD elapsed = ::GetTickCount() - start;
        if (elapsed >= timeoutMs) return false;
        if (process)
            ::WaitForSingleObject(process.Get(), timeoutMs - elapsed);
        else
            ::Sleep(10);
    }
    return true;
}

RunResult RunChild(const RunRequest& request) {
    RunResult result;
    QuietChild child;
    const Stopwatch clock;
    if (!child.Start(request.exePath, request.folder, request.withOutput)) return result;
    result.started = true;
    // The handle asked for exactly what the memory query needs, as another
    // program watching the run would open it.
    Utils::UniqueKernelHandle query(
        ::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, child.Id()));
    const DWORD pollMs = request.watchDialog ? kWatchPollMs : kPollMs;
    for (int poll = 1;; ++poll) {
        const DWORD waited = ::WaitForSingleObject(child.Handle(), pollMs);
        const double now = clock.Seconds();
        if (waited != WAIT_TIMEOUT) {
            result.wallSeconds = now;
            break;
        }
        const double peak = PeakWorkingSetMb(query.Get());
        if (peak > result.peakWhileRunningMb) result.peakWhileRunningMb = peak;
        if (request.watchDialog) WatchDialog(child.Id(), now, result);
        if (poll % kMessageBoxCheckEvery == 0) AnswerMessageBox(child.Id(), result);
        if (now * 1000 > request.timeoutMs) {
            result.wallSeconds = now;
            break;
        }
    }
    result.peakAfterExitMb = PeakWorkingSetMb(query.Get());
    result.exitCode = child.ExitCode();
    return result;
}

}  // namespace InstallBench
