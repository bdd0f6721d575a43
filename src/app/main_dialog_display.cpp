// The dialog's operations for the rest of the program; any thread may call them.
#include "app/main_dialog.h"

#include <commctrl.h>

#include "app/resource_ids.h"
#include "utils/reg/reg_manager.h"

void CMainDlg::SetStatusText(const std::string& text) {
    if (m_display.SetStatusText(text)) RequestApplyDisplay();
}

void CMainDlg::SetProgressText(double percent) {
    if (m_display.SetProgressPercent(percent)) RequestApplyDisplay();
}

void CMainDlg::SetProgressPos(int controlId, int position) {
    if (m_display.SetPosition(controlId, position)) RequestApplyDisplay();
    if (position == 100) ::Sleep(kProgressCompletePauseMs);  // lets the user see the full bar
}

void CMainDlg::ShowProgressBar(int controlId, int maximum) {
    HWND bar = ::GetDlgItem(m_hWnd, controlId);
    ::ShowWindow(bar, maximum != 0 ? SW_SHOW : SW_HIDE);
    ::PostMessageA(bar, PBM_SETRANGE, 0, MAKELPARAM(0, maximum));
    // A new range may move the bar, so its cached position no longer holds.
    m_display.ForgetPosition(controlId);
}

void CMainDlg::SetSkinUrl(const std::string& url) {
    {
        std::lock_guard<std::mutex> lock(m_skinUrlLock);
        m_skinUrl = url;
    }
    ::PostMessageA(m_hWnd, kSkinMessage, 0, 0);
}

void CMainDlg::SetWindowTitle(const std::string& title) {
    if (m_hWnd != nullptr) ::SetWindowTextA(m_hWnd, title.c_str());
}

std::string CMainDlg::GetSkinUrl() const {
    std::lock_guard<std::mutex> lock(m_skinUrlLock);
    return m_skinUrl;
}

bool CMainDlg::IsFirstRun() {
    const Utils::RegManager* productKey = Utils::g_productKeyManager;
    return productKey == nullptr || productKey->GetDwordValue("IsFirstTime") != 1;
}

void CMainDlg::ReportError(const std::string& message, int severity) {
    if (severity < kFatalSeverity) return;
    // Exactly one thread wins; the box of the first report stays up alone.
    if (m_fatalReportShown.exchange(true)) ::ExitThread(kLaterReportExitCode);
    ::MessageBoxA(m_hWnd, message.c_str(), "Downloader", MB_OK);
    m_downloadManager.DiscardTransfersInFlight();
    EndProcess(1);
}

// Workers block here until the dialog's thread has applied the change; a
// change that shows nothing new never gets this far.
void CMainDlg::RequestApplyDisplay() {
    if (m_hWnd != nullptr) ::SendMessageA(m_hWnd, kApplyDisplayMessage, 0, 0);
}

void CMainDlg::ApplyDisplay() {
    const App::StatusDisplay::Pending pending = m_display.Take();
    HWND status = ::GetDlgItem(m_hWnd, IDC_STATUS_LINE);
    if (pending.visibilityChanged) ::ShowWindow(status, pending.visible ? SW_SHOW : SW_HIDE);
    if (pending.lineChanged) ::SetWindowTextA(status, pending.line.c_str());
    for (const auto& position : pending.positions)
        ::SendDlgItemMessageA(m_hWnd, position.first, PBM_SETPOS, position.second, 0);
}
