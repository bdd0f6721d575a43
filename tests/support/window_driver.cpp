#include "support/window_driver.h"

#include <commctrl.h>

#include <vector>

namespace TestSupport {
namespace {

constexpr DWORD kPollMs = 20;
constexpr UINT kSendTimeoutMs = 5000;
constexpr int kMessageBoxTextId = 65535;

std::string GetClassNameOf(HWND window) {
    char name[256] = {};
    ::GetClassNameA(window, name, sizeof(name));
    return name;
}

enum class WindowKind { Any, MessageBox, VisibleDialog };

struct WindowQuery {
    const std::string* caption;
    DWORD processId;
    const char* className;
    WindowKind kind;
    HWND found;
};

bool IsMessageBox(HWND window) {
    return GetClassNameOf(window) == "#32770" && ::GetDlgItem(window, kMessageBoxTextId) != nullptr;
}

bool Matches(HWND window, const WindowQuery& query) {
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    if (query.processId != 0 && owner != query.processId) return false;
    if (query.className != nullptr && GetClassNameOf(window) != query.className) return false;
    if (query.kind == WindowKind::MessageBox && !IsMessageBox(window)) return false;
    if (query.kind == WindowKind::VisibleDialog &&
        (GetClassNameOf(window) != "#32770" || IsMessageBox(window) || !::IsWindowVisible(window)))
        return false;
    return GetWindowTextOf(window) == *query.caption;
}

BOOL CALLBACK VisitWindow(HWND window, LPARAM parameter) {
    auto* query = reinterpret_cast<WindowQuery*>(parameter);
    if (!Matches(window, *query)) return TRUE;
    query->found = window;
    return FALSE;
}

HWND WaitForQuery(WindowQuery query, DWORD timeoutMs) {
    WaitUntil(
        [&] {
            query.found = nullptr;
            ::EnumWindows(&VisitWindow, reinterpret_cast<LPARAM>(&query));
            return query.found != nullptr;
        },
        timeoutMs);
    return query.found;
}

LRESULT SendWithTimeout(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    ::SendMessageTimeoutA(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kSendTimeoutMs,
                          &result);
    return static_cast<LRESULT>(result);
}

}  // namespace

void PrepareTestDesktop() {
    const char kManaged[] = "N";
    ::RegSetKeyValueA(HKEY_CURRENT_USER, "Software\\Wine\\X11 Driver", "Managed", REG_SZ, kManaged,
                      sizeof(kManaged));
    ::GetDesktopWindow();
}

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
    const DWORD start = ::GetTickCount();
    for (;;) {
        if (condition()) return true;
        if (::GetTickCount() - start >= timeoutMs) return false;
        ::Sleep(kPollMs);
    }
}

HWND FindTopLevelWindow(const std::string& caption, DWORD processId, const char* className) {
    return WaitForQuery(WindowQuery{&caption, processId, className, WindowKind::Any, nullptr}, 0);
}

HWND WaitForWindow(const std::string& caption, DWORD processId, DWORD timeoutMs,
                   const char* className) {
    return WaitForQuery(WindowQuery{&caption, processId, className, WindowKind::Any, nullptr},
                        timeoutMs);
}

HWND WaitForMessageBox(const std::string& caption, DWORD processId, DWORD timeoutMs) {
    return WaitForQuery(WindowQuery{&caption, processId, nullptr, WindowKind::MessageBox, nullptr},
                        timeoutMs);
}

HWND WaitForDialog(const std::string& caption, DWORD processId, DWORD timeoutMs) {
    return WaitForQuery(
        WindowQuery{&caption, processId, nullptr, WindowKind::VisibleDialog, nullptr}, timeoutMs);
}

std::string GetWindowTextOf(HWND window) {
    const LRESULT length = SendWithTimeout(window, WM_GETTEXTLENGTH, 0, 0);
    std::vector<char> text(static_cast<size_t>(length) + 2, '\0');
    SendWithTimeout(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    return text.data();
}

std::string GetControlText(HWND dialog, int controlId) {
    HWND control = ::GetDlgItem(dialog, controlId);
    return control != nullptr ? GetWindowTextOf(control) : "";
}

std::string GetMessageBoxText(HWND box) { return GetControlText(box, kMessageBoxTextId); }

bool IsControlVisible(HWND dialog, int controlId) {
    HWND control = ::GetDlgItem(dialog, controlId);
    return control != nullptr && (::GetWindowLongA(control, GWL_STYLE) & WS_VISIBLE) != 0;
}

void PressButton(HWND dialog, int buttonId) {
    ::PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(dialog, buttonId)));
}

ProgressBarState GetProgressBarState(HWND dialog, int controlId) {
    ProgressBarState state;
    HWND bar = ::GetDlgItem(dialog, controlId);
    if (bar == nullptr) return state;
    state.position = static_cast<int>(SendWithTimeout(bar, PBM_GETPOS, 0, 0));
    state.low = static_cast<int>(SendWithTimeout(bar, PBM_GETRANGE, TRUE, 0));
    state.high = static_cast<int>(SendWithTimeout(bar, PBM_GETRANGE, FALSE, 0));
    state.visible = IsControlVisible(dialog, controlId);
    return state;
}

SIZE GetWindowSize(HWND window) {
    RECT rect = {};
    ::GetWindowRect(window, &rect);
    return SIZE{rect.right - rect.left, rect.bottom - rect.top};
}

HICON GetWindowIcon(HWND window, WPARAM which) {
    return reinterpret_cast<HICON>(SendWithTimeout(window, WM_GETICON, which, 0));
}

}  // namespace TestSupport
