#pragma once
// The program's only main window: a modal dialog (template 129) that shows the
// status line and the progress bar, reports fatal errors and ends the process
// when the user confirms closing it.
#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>
#include <vector>

#include "app/program_icons.h"
#include "app/skin_browser_host.h"
#include "app/status_display.h"
#include "transfer/build_settings.h"
#include "transfer/download_manager.h"
#include "utils/run_reporter.h"

class CMainDlg : public RunReporter {
public:
    static constexpr UINT kSkinMessage = WM_APP + 1;  // posted by SetSkinUrl
    static constexpr UINT kUninstallMessage =
        WM_APP + 2;  // posted by initialisation in uninstall mode
    static constexpr UINT kApplyDisplayMessage = WM_APP + 3;  // sent: apply pending display changes
    static constexpr DWORD kLaterReportExitCode = 1000;
    static constexpr DWORD kProgressCompletePauseMs = 600;

    explicit CMainDlg(BuildSettings settings);
    ~CMainDlg() override;
    CMainDlg(const CMainDlg&) = delete;
    CMainDlg& operator=(const CMainDlg&) = delete;

    // Runs the dialog modally on the calling thread, which becomes the
    // dialog's thread. Returns the dialog's result, -1 if it could not be created.
    INT_PTR DoModal(HINSTANCE instance, HWND owner);
    // Set before DoModal: the dialog then runs the uninstall flow instead of an installation.
    void SetUninstallMode(bool uninstallMode) { m_uninstallMode = uninstallMode; }

    // RunReporter: any thread.
    void SetStatusText(const std::string& text) override;
    void SetProgressText(double percent) override;
    void SetProgressPos(int controlId, int position) override;
    void ShowProgressBar(int controlId, int maximum) override;
    void SetSkinUrl(const std::string& url) override;
    bool IsFirstRun() override;
    void ReportError(const std::string& message, int severity) override;
    void SetWindowTitle(const std::string& title) override;
    HWND GetDialogWindow() const override { return m_hWnd; }

    std::string GetSkinUrl() const;

protected:
    // Hands the decoded service host to the download manager and starts the
    // installation worker with it. Tests replace it to run no installation.
    virtual void StartInstallation(const std::string& host);
    // Runs the uninstall flow on the dialog's thread. Tests replace it to
    // remove nothing.
    virtual void RunUninstall();
    // Ends the process; must not return.
    virtual void EndProcess(UINT exitCode);

private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    bool OnInitDialog();
    void CenterWindow();
    void ArrangeControls(int windowHeight);
    void StartRun();
    void OnCloseRequest();
    void ApplyDisplay();
    void RequestApplyDisplay();

    HWND m_hWnd = nullptr;
    HINSTANCE m_instance = nullptr;
    const BuildSettings m_settings;
    App::ProgramIcons m_icons;
    DownloadManager m_downloadManager;  // the run's controller, built from m_settings
    App::StatusDisplay m_display;
    mutable std::mutex m_skinUrlLock;
    std::string m_skinUrl;
    // Every host the skin message created, newest last. The dialog holds one
    // reference on each and lets go when it is destroyed, after their windows.
    std::vector<Engine::UniqueComPtr<CAtlBrCon>> m_browserHosts;
    bool m_uninstallMode = false;
    std::atomic<bool> m_fatalReportShown{false};
};
