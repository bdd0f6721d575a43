// The host's window side: its window class and procedure, the creation of
// the browser control inside the window, navigation, and letting go of the
// control when the window goes.
#include "app/skin_browser_host.h"

#include <ocidl.h>

#include <cstdio>

namespace {

constexpr char kWindowText[] = "ATL Browser";

// The class's fixed attributes. Its address names the window class, so the
// name is unique to this module.
struct HostClassRecord {
    UINT style;
};
const HostClassRecord kHostClass = {CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS};

std::string HostClassName() {
    char name[32] = {};
    std::snprintf(name, sizeof(name), "ATL:%p", static_cast<const void*>(&kHostClass));
    return name;
}

// Registers the class on first use; later calls find it registered.
bool RegisterHostClass(const std::string& name, WNDPROC procedure) {
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.style = kHostClass.style;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = ::GetModuleHandleA(nullptr);
    windowClass.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = name.c_str();
    return ::RegisterClassExA(&windowClass) != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

struct BstrTraits {
    using Handle = BSTR;
    static Handle Invalid() noexcept { return nullptr; }
    static void Close(Handle text) noexcept { ::SysFreeString(text); }
};
using UniqueBstr = Utils::UniqueHandle<BstrTraits>;

UniqueBstr ToBstr(const std::string& text) {
    const int length = ::MultiByteToWideChar(CP_THREAD_ACP, 0, text.data(),
                                             static_cast<int>(text.size()), nullptr, 0);
    UniqueBstr wide(::SysAllocStringLen(nullptr, static_cast<UINT>(length)));
    if (wide && length > 0)
        ::MultiByteToWideChar(CP_THREAD_ACP, 0, text.data(), static_cast<int>(text.size()),
                              wide.Get(), length);
    return wide;
}

Engine::UniqueComPtr<IConnectionPoint> FindBrowserEvents(IUnknown* browser) {
    Engine::UniqueComPtr<IConnectionPointContainer> container;
    Engine::UniqueComPtr<IConnectionPoint> point;
    if (SUCCEEDED(browser->QueryInterface(IID_IConnectionPointContainer,
                                          reinterpret_cast<void**>(container.Receive()))))
        container.Get()->FindConnectionPoint(DIID_DWebBrowserEvents, point.Receive());
    return point;
}

}  // namespace

Engine::UniqueComPtr<CAtlBrCon> CAtlBrCon::New(const CLSID& browserClass) {
    Engine::UniqueComPtr<CAtlBrCon> host(new CAtlBrCon(browserClass));
    host.Get()->AddRef();
    return host;
}

CAtlBrCon::CAtlBrCon(const CLSID& browserClass) : m_browserClass(browserClass) {}

CAtlBrCon::~CAtlBrCon() {
    // A window that outlives its host must not reach it any more.
    if (m_hWnd != nullptr) ::SetWindowLongPtrA(m_hWnd, GWLP_USERDATA, 0);
}

HRESULT CAtlBrCon::Create(HWND parent, const RECT& rect) {
    if (!CreateHostWindow(parent, rect)) return E_FAIL;
    return CreateBrowser();
}

bool CAtlBrCon::CreateHostWindow(HWND parent, const RECT& rect) {
    const std::string className = HostClassName();
    if (!RegisterHostClass(className, &CAtlBrCon::WindowProc)) return false;
    // Only child and visible: the clipping styles of the class are not used here.
    // The window procedure keeps the window's handle from its first message on.
    if (::CreateWindowExA(0, className.c_str(), kWindowText, WS_CHILD | WS_VISIBLE, rect.left,
                          rect.top, rect.right - rect.left, rect.bottom - rect.top, parent, nullptr,
                          ::GetModuleHandleA(nullptr), this) == nullptr)
        return false;
    ::ShowWindow(m_hWnd, SW_SHOWNORMAL);
    return true;
}

HRESULT CAtlBrCon::CreateBrowser() {
    Engine::UniqueComPtr<IOleObject> control;
    if (FAILED(::CoCreateInstance(m_browserClass, nullptr,
                                  CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER, IID_IOleObject,
                                  reinterpret_cast<void**>(control.Receive()))))
        return ShowCreationFailure("CoCreateInstance failed");
    IOleClientSite* site = this;
    if (FAILED(control.Get()->SetClientSite(site)))
        return ShowCreationFailure("SetClientSite failed");
    RECT client = {};
    ::GetClientRect(m_hWnd, &client);
    if (FAILED(control.Get()->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, site, 0, m_hWnd, &client)))
        return ShowCreationFailure("DoVerb failed");
    if (FAILED(control.Get()->QueryInterface(IID_IWebBrowser,
                                             reinterpret_cast<void**>(m_webBrowser.Receive()))))
        return E_FAIL;
    KeepBrowserParts(client);
    // The caller's Navigate replaces this first navigation.
    m_webBrowser.Get()->GoHome();
    return S_OK;
}

HRESULT CAtlBrCon::ShowCreationFailure(const char* text) {
    ::MessageBoxA(m_hWnd, text, "", MB_OK);
    return E_FAIL;
}

void CAtlBrCon::KeepBrowserParts(const RECT& client) {
    // The host has no event sink, so the control refuses the connection; the
    // cookie stays 0 unless a control accepts it anyway.
    Engine::UniqueComPtr<IConnectionPoint> events = FindBrowserEvents(m_webBrowser.Get());
    if (events) events.Get()->Advise(static_cast<IOleClientSite*>(this), &m_eventCookie);

    if (SUCCEEDED(m_webBrowser.Get()->QueryInterface(
            IID_IOleInPlaceObject, reinterpret_cast<void**>(m_inPlaceObject.Receive()))))
        m_inPlaceObject.Get()->SetObjectRects(&client, &client);
    m_webBrowser.Get()->QueryInterface(IID_IOleCommandTarget,
                                       reinterpret_cast<void**>(m_commandTarget.Receive()));
}

HRESULT CAtlBrCon::Navigate(const std::string& url) {
    if (!m_webBrowser) return 0;
    UniqueBstr address = ToBstr(url);
    VARIANT empty;
    ::VariantInit(&empty);
    m_webBrowser.Get()->Navigate(address.Get(), &empty, &empty, &empty, &empty);
    return 0;
}

LRESULT CALLBACK CAtlBrCon::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* host =
            static_cast<CAtlBrCon*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        host->m_hWnd = window;
        ::SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(host));
    }
    auto* host = reinterpret_cast<CAtlBrCon*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
    if (message == WM_NCDESTROY && host != nullptr) {
        ::SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        host->Detach();
        return 0;
    }
    return ::DefWindowProcA(window, message, wParam, lParam);
}

// The control holds references on the site from SetClientSite on, and the host
// holds the control: a cycle that only the host can break. Closing the control
// and taking its site away lets both go, so the dialog's release of the host is
// the last one and everything is gone before COM is shut down.
void CAtlBrCon::Detach() {
    AddRef();  // the control may hold the last references; stay alive until the end
    if (m_eventCookie != 0) {
        Engine::UniqueComPtr<IConnectionPoint> events = FindBrowserEvents(m_webBrowser.Get());
        if (events) events.Get()->Unadvise(m_eventCookie);
        m_eventCookie = 0;
    }
    if (m_inPlaceObject) m_inPlaceObject.Get()->InPlaceDeactivate();
    Engine::UniqueComPtr<IOleObject> control;
    if (m_webBrowser && SUCCEEDED(m_webBrowser.Get()->QueryInterface(
                            IID_IOleObject, reinterpret_cast<void**>(control.Receive())))) {
        control.Get()->Close(OLECLOSE_NOSAVE);
        control.Get()->SetClientSite(nullptr);
    }
    control.Reset();
    m_commandTarget.Reset();
    m_inPlaceObject.Reset();
    m_webBrowser.Reset();
    m_hWnd = nullptr;
    ::PostQuitMessage(0);
    Release();
}
