#include "app/entry_procedure.h"

#include <commctrl.h>

#include "app/command_line.h"
#include "app/main_dialog.h"
#include "app/run_lock.h"
#include "app/uninstall_launcher.h"
#include "engine/build_settings.h"
#include "engine/files/com_ptr.h"
#include "utils/mt/named_lock.h"
#include "utils/unique_handle.h"

namespace App {
namespace {

// Waits without a time limit for the launcher to end. When it cannot be
// opened, says so in a box and returns false.
bool WaitForLauncher(DWORD processId) {
    Utils::UniqueKernelHandle process(
        ::OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, processId));
    if (!process) {
        const DWORD error = ::GetLastError();
        char text[512] = {};
        ::wsprintfA(text, "Failed to open process [%u] %d", processId, static_cast<int>(error));
        ::MessageBoxA(nullptr, text, "Uninstaller", MB_OK | MB_ICONINFORMATION);
        return false;
    }
    ::WaitForSingleObject(process.Get(), INFINITE);
    return true;
}

}  // namespace

int RunEntryProcedure(HINSTANCE instance, const char* commandLine) {
    // Declared first, so it closes COM last: the dialog below and the browser
    // hosts it keeps release their COM objects in their destructors.
    const Engine::ComApartment com;
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_BAR_CLASSES};
    ::InitCommonControlsEx(&controls);

    const StartRequest request = ClassifyCommandTail(GetCommandTail(commandLine));
    BuildSettings settings = Engine::ReadBuildSettings();
    using Lock = Utils::MT::NamedLock;
    const std::string lockName = RunLockName(settings.brand);
    if (request.form == StartForm::UninstallLauncher) {
        // Held until the launcher ends; the copy it starts waits for that end.
        const Lock lock(lockName, RunLockWaitMs(request));
        if (lock.GetState() != Lock::State::Busy) RunUninstallLauncher();
        return 0;
    }
    // An uninstall run has no start delay.
    const bool uninstall = request.form == StartForm::UninstallRun;
    if (uninstall && request.waitForProcess && !WaitForLauncher(request.processId)) return 0;
    // Taken on this thread, which runs the dialog until the process ends. A
    // name that makes no lock (an invalid brand) leaves the run to the
    // dialog, which refuses such a brand itself.
    const DWORD start = ::GetTickCount();
    const Lock lock(lockName, RunLockWaitMs(request));
    if (lock.GetState() == Lock::State::Busy) return 0;  // another run of the product is under way
    const DWORD delay = RemainingDelayMs(request.delayMs, ::GetTickCount() - start);
    if (delay > 0) ::Sleep(delay);

    CMainDlg dialog(std::move(settings));
    dialog.SetUninstallMode(uninstall);
    return static_cast<int>(dialog.DoModal(instance, ::GetActiveWindow()));
}

}  // namespace App
