#include "dialog_runner.h"

#include "engine/files/com_ptr.h"

#include "support/scratch.h"
#include "support/window_driver.h"

namespace AppTest {

DialogRunner::DialogRunner() {
    m_settings.downloadId = "0e0b5a4c-5d53-4b4e-9d5e-1f0a7c3b2d11";
    m_settings.serverHost = "3132372e302e302e31";  // "127.0.0.1"
    m_settings.servicePath = "/DownloadService.svc/GetUpdateXML?did=";
    m_settings.brand = TestSupport::UniqueName("NimbraDialogTest");
    m_settings.updaterChecksum = "00112233445566778899AABBCCDDEEFF";
}

DialogRunner::~DialogRunner() {
    if (m_thread && WaitForThreadEnd(0) == STILL_ACTIVE) {
        CloseWithNo();
        if (WaitForThreadEnd(5000) == STILL_ACTIVE) ::TerminateThread(m_thread.Get(), 99);
    }
    TestSupport::DeleteProductKey(m_settings.brand);
}

void DialogRunner::SetIsFirstTime(DWORD value) {
    const std::string path = "Software\\" + m_settings.brand;
    ::RegSetKeyValueA(HKEY_CURRENT_USER, path.c_str(), "IsFirstTime", REG_DWORD, &value,
                      sizeof(value));
}

HWND DialogRunner::Start(bool uninstallMode) {
    m_dialog = std::make_unique<TestDialog>(m_settings);
    m_dialog->SetUninstallMode(uninstallMode);
    m_thread.Reset(::CreateThread(nullptr, 0, &DialogRunner::RunDialog, this, 0, nullptr));
    // Up when it is visible, or when initialisation stopped at a fatal report.
    TestSupport::WaitUntil(
        [this] {
            HWND window = m_dialog->GetDialogWindow();
            return (window != nullptr && ::IsWindowVisible(window)) ||
                   TestSupport::WaitForMessageBox("Downloader", ::GetCurrentProcessId(), 0) !=
                       nullptr;
        },
        20000);  // the first window of a process may wait for the desktop to start
    m_window = m_dialog->GetDialogWindow();
    return m_window;
}

DWORD WINAPI DialogRunner::RunDialog(LPVOID runner) {
    auto* self = static_cast<DialogRunner*>(runner);
    const Engine::ComApartment com;  // the skin browser needs COM, as on the program's thread
    return static_cast<DWORD>(self->m_dialog->DoModal(::GetModuleHandleA(nullptr), nullptr));
}

DWORD DialogRunner::WaitForThreadEnd(DWORD timeoutMs) {
    DWORD code = STILL_ACTIVE;
    if (::WaitForSingleObject(m_thread.Get(), timeoutMs) == WAIT_OBJECT_0)
        ::GetExitCodeThread(m_thread.Get(), &code);
    return code;
}

void DialogRunner::CloseWithNo() {
    TestSupport::PressButton(m_window, IDCANCEL);
    HWND question = TestSupport::WaitForMessageBox("", ::GetCurrentProcessId(), 5000);
    if (question != nullptr) TestSupport::PressButton(question, IDNO);
}

DWORD DialogRunner::EndModalRun(INT_PTR result) {
    ::EndDialog(m_window, result);
    return WaitForThreadEnd(5000);
}

}  // namespace AppTest
