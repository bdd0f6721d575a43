#pragma once
// Runs the real main dialog of this test executable on a thread of its own,
// with test build settings, so that tests can call its operations as the
// workers do and read its controls as the user sees them.
#include <windows.h>

#include <atomic>
#include <memory>
#include <string>

#include "app/main_dialog.h"

namespace AppTest {

// The dialog with the installation start and the uninstall flow recorded
// instead of run, and the
// process end replaced by the end of the calling thread with the same code.
class TestDialog : public CMainDlg {
public:
    using CMainDlg::CMainDlg;

    std::string startedHost;
    std::atomic<bool> started{false};
    std::atomic<bool> uninstallRan{false};

protected:
    void StartInstallation(const std::string& host) override {
        startedHost = host;
        started = true;
    }
    void RunUninstall() override { uninstallRan = true; }
    void EndProcess(UINT exitCode) override { ::ExitThread(exitCode); }
};

class DialogRunner {
public:
    // Settings with a fresh brand and the host "127.0.0.1" in hex; the product
    // key Software\<brand> is deleted when the runner goes away.
    DialogRunner();
    ~DialogRunner();

    BuildSettings& Settings() { return m_settings; }
    // Optionally before Start: "IsFirstTime" in the product key.
    void SetIsFirstTime(DWORD value);

    // Starts the dialog thread; returns the window once it is visible or a
    // fatal report is up; null when there is no window.
    HWND Start(bool uninstallMode = false);
    TestDialog& Dialog() { return *m_dialog; }
    HWND Window() const { return m_window; }
    HANDLE Thread() const { return m_thread.Get(); }
    // The dialog thread's exit code, or STILL_ACTIVE after timeoutMs.
    DWORD WaitForThreadEnd(DWORD timeoutMs);
    // Answers the close question with No; the dialog thread then ends with 0.
    void CloseWithNo();
    // Ends the modal run as the dialog's own EndDialog would, so that its
    // window and child windows are destroyed on the dialog's thread. Returns
    // the thread's exit code (the run's result), or STILL_ACTIVE.
    DWORD EndModalRun(INT_PTR result);

private:
    static DWORD WINAPI RunDialog(LPVOID runner);

    BuildSettings m_settings;
    std::unique_ptr<TestDialog> m_dialog;
    Utils::UniqueKernelHandle m_thread;
    HWND m_window = nullptr;
};

}  // namespace AppTest
