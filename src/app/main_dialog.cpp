// The dialog's window side: the dialog procedure, initialisation, layout and
// commands. Everything here runs on the dialog's thread.
#include "app/main_dialog.h"

#include <commctrl.h>

#include "app/about_box.h"
#include "app/dialog_layout.h"
#include "app/installation_thread.h"
#include "app/resource_ids.h"
#include "engine/build_settings.h"
#include "engine/files/install_folders.h"
#include "uninstall/uninstall_flow.h"
#include "utils/mt/threads.h"
#include "utils/reg/reg_manager.h"
#include "utils/unique_handle.h"

namespace {

constexpr int kPathBufferSize = 512;
constexpr int kIconImageShown = 3;  // the 16-pixel image
constexpr COLORREF kBarColor = RGB(47, 188, 22);

std::string GetProgramPath() {
    char buffer[kPathBufferSize] = {};
    ::GetModuleFileNameA(nullptr, buffer, kPathBufferSize);
    return buffer;
}

int GetClientHeight(HWND window) {
    RECT client = {};
    ::GetClientRect(window, &client);
    return client.bottom - client.top;
}

void PlaceControl(HWND control, const RECT& rect) {
    ::SetWindowPos(control, nullptr, rect.left, rect.top, rect.right - rect.left,
                   rect.bottom - rect.top, SWP_NOZORDER | SWP_NOACTIVATE);
    ::ShowWindow(control, SW_SHOW);
}

}  // namespace

CMainDlg::CMainDlg(BuildSettings settings)
    : m_settings(std::move(settings)), m_downloadManager(m_settings) {}

CMainDlg::~CMainDlg() {
    if (g_mainDialog == this) g_mainDialog = nullptr;
}

INT_PTR CMainDlg::DoModal(HINSTANCE instance, HWND owner) {
    m_instance = instance;
    return ::DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_MAINDLG), owner, &CMainDlg::DialogProc,
                             reinterpret_cast<LPARAM>(this));
}

INT_PTR CALLBACK CMainDlg::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        ::SetWindowLongPtrA(window, DWLP_USER, lParam);
        reinterpret_cast<CMainDlg*>(lParam)->m_hWnd = window;
    }
    auto* dialog = reinterpret_cast<CMainDlg*>(::GetWindowLongPtrA(window, DWLP_USER));
    return dialog != nullptr ? dialog->HandleMessage(message, wParam, lParam) : FALSE;
}

INT_PTR CMainDlg::HandleMessage(UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            return OnInitDialog() ? TRUE : FALSE;
        case WM_COMMAND:
            // Matched on the identifier only, whatever the notification code.
            switch (LOWORD(wParam)) {
                case IDOK:
                    return TRUE;  // Enter does not close the dialog
                case IDCANCEL:
                    OnCloseRequest();
                    return TRUE;
                case ID_APP_ABOUT:
                    App::ShowAboutBox(m_instance, ::GetActiveWindow());
                    return TRUE;
                default:
                    return FALSE;
            }
        case kSkinMessage: {
            // A new host each time, over the band above the status line. A
            // failure box in Create runs a nested loop: keep the host's own pointer.
            m_browserHosts.push_back(CAtlBrCon::New());
            CAtlBrCon* host = m_browserHosts.back().Get();
            RECT client = {};
            ::GetClientRect(m_hWnd, &client);
            host->Create(m_hWnd, App::SkinBrowserRect(client));
            host->Navigate(GetSkinUrl());
            ::SetWindowLongPtrA(m_hWnd, DWLP_MSGRESULT, 0);
            return TRUE;
        }
        case kUninstallMessage:
            RunUninstall();
            return TRUE;
        case kApplyDisplayMessage:
            ApplyDisplay();
            return TRUE;
        default:
            return FALSE;
    }
}

bool CMainDlg::OnInitDialog() {
    CenterWindow();
    m_fatalReportShown = false;
    const std::string programPath = GetProgramPath();
    m_display.ResetPrefix();
    if (!m_icons.Load(programPath)) return false;
    HICON icon = m_icons.Get(kIconImageShown);
    ::SendMessageA(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    ::SendMessageA(m_hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    g_mainDialog = this;

    // The product key is Software\<brand>: an empty brand would make it
    // Software itself, and the document's registry values could then land in
    // any other program's settings. The uninstall flow refuses such a brand itself.
    if (!m_uninstallMode && !Engine::IsSingleFolderName(m_settings.brand))
        ReportError("The brand of this build is invalid.", kFatalSeverity);
    // Created once and shared by every thread for the rest of the process.
    Utils::g_productKeyManager = new Utils::RegManager(true, m_settings.brand);
    if (!Engine::RecordBuildSettings(*Utils::g_productKeyManager, m_settings))
        ReportError(kRegistryWriteFailedText, kFatalSeverity);

    if (IsFirstRun()) {
        ArrangeControls(App::kFirstRunHeight);
        SetStatusText("Please wait, connecting to the server");
    } else {
        ArrangeControls(App::kUpdateHeight);
        SetStatusText("Please wait, getting installation info");
    }
    StartRun();
    return true;
}

void CMainDlg::StartRun() {
    if (m_uninstallMode) {
        ::PostMessageA(m_hWnd, kUninstallMessage, 0, 0);
        return;
    }
    std::string host;
    if (!Engine::DecodeSetting(m_settings.serverHost, host))
        ReportError("The download server address of this build is invalid.", kFatalSeverity);
    StartInstallation(host);
}

void CMainDlg::CenterWindow() {
    RECT window = {};
    ::GetWindowRect(m_hWnd, &window);
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof(monitor);
    ::GetMonitorInfoA(::MonitorFromWindow(m_hWnd, MONITOR_DEFAULTTONEAREST), &monitor);

    HWND owner = ::GetWindow(m_hWnd, GW_OWNER);
    RECT ownerRect = {};
    const bool overOwner = owner != nullptr && ::IsWindowVisible(owner) && !::IsIconic(owner) &&
                           ::GetWindowRect(owner, &ownerRect);
    const SIZE size = {window.right - window.left, window.bottom - window.top};
    const POINT corner =
        App::CenterInWorkArea(size, overOwner ? &ownerRect : nullptr, monitor.rcWork);
    ::SetWindowPos(m_hWnd, nullptr, corner.x, corner.y, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CMainDlg::ArrangeControls(int windowHeight) {
    ::SetWindowPos(m_hWnd, nullptr, 0, 0, App::kDialogWidth, windowHeight,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
    RECT client = {};
    ::GetClientRect(m_hWnd, &client);
    HWND bar = ::GetDlgItem(m_hWnd, IDC_PROGRESS_BAR);
    HWND status = ::GetDlgItem(m_hWnd, IDC_STATUS_LINE);
    const App::ControlLayout layout = App::ArrangeControls(
        windowHeight, client.right - client.left, GetClientHeight(bar), GetClientHeight(status));

    PlaceControl(bar, layout.progressBar);
    ::SendMessageA(bar, PBM_SETBARCOLOR, 0, kBarColor);
    PlaceControl(status, layout.statusLine);
    m_display.NoteLineVisible(true);
}

void CMainDlg::OnCloseRequest() {
    const int answer = ::MessageBoxA(m_hWnd, "Continue with the operation?", "", MB_YESNO);
    ::InvalidateRect(m_hWnd, nullptr, TRUE);
    if (answer == IDYES) {
        ::ShowWindow(m_hWnd, SW_MINIMIZE);
        return;
    }
    // The worker is neither told nor awaited: ending the process ends it.
    ::EndDialog(m_hWnd, IDCANCEL);
    EndProcess(0);
}

void CMainDlg::RunUninstall() {
    // A modal dialog is shown only once its queue is empty, and the flow
    // blocks the queue: show it now, so the status stays on screen until the
    // removal hides it.
    ::ShowWindow(m_hWnd, SW_SHOW);
    ::UpdateWindow(m_hWnd);
    Uninstall::RunUninstallFlow(*this, m_settings.brand, [this](UINT code) { EndProcess(code); });
}

void CMainDlg::StartInstallation(const std::string& host) {
    m_downloadManager.SetServerHost(host);
    // The worker is never joined: it ends the process when the run is over.
    Utils::UniqueKernelHandle worker(
        Utils::MT::StartThread(&App::InstallationThread, &m_downloadManager));
    if (!worker) SetStatusText("Failed to start the installation.");
}

void CMainDlg::EndProcess(UINT exitCode) { ::ExitProcess(exitCode); }
