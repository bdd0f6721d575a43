// The host's answers to the browser control: the client site, the in-place
// site and the document host interfaces. The control calls them on the
// dialog's thread.
#include "app/skin_browser_host.h"

namespace {

// The page is shown as part of a dialog, without a sunken border and without
// scroll bars.
constexpr DWORD kHostFlags =
    DOCHOSTUIFLAG_DIALOG | DOCHOSTUIFLAG_NO3DBORDER | DOCHOSTUIFLAG_SCROLL_NO;
// The structure size the control is told, whatever this build's layout.
constexpr ULONG kHostInfoSize = 20;

}  // namespace

STDMETHODIMP CAtlBrCon::QueryInterface(REFIID iid, void** object) {
    if (object == nullptr) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IOleClientSite)
        *object = static_cast<IOleClientSite*>(this);
    else if (iid == IID_IOleWindow || iid == IID_IOleInPlaceSite)
        *object = static_cast<IOleInPlaceSite*>(this);
    else if (iid == IID_IDocHostUIHandler)
        *object = static_cast<IDocHostUIHandler*>(this);
    else if (iid == __uuidof(IDocHostShowUI))  // not in MinGW's uuid library
        *object = static_cast<IDocHostShowUI*>(this);
    else {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) CAtlBrCon::AddRef() { return ++m_refCount; }

STDMETHODIMP_(ULONG) CAtlBrCon::Release() {
    const ULONG count = --m_refCount;
    if (count == 0) delete this;
    return count;
}

// IOleClientSite: the host offers no storage, moniker or container.
STDMETHODIMP CAtlBrCon::SaveObject() { return E_NOTIMPL; }
STDMETHODIMP CAtlBrCon::GetMoniker(DWORD, DWORD, IMoniker**) { return E_NOTIMPL; }
STDMETHODIMP CAtlBrCon::GetContainer(IOleContainer**) { return E_NOTIMPL; }
STDMETHODIMP CAtlBrCon::ShowObject() { return E_NOTIMPL; }
STDMETHODIMP CAtlBrCon::OnShowWindow(BOOL) { return E_NOTIMPL; }
STDMETHODIMP CAtlBrCon::RequestNewObjectLayout() { return E_NOTIMPL; }

// IOleWindow
STDMETHODIMP CAtlBrCon::GetWindow(HWND* window) {
    if (window == nullptr) return E_POINTER;
    *window = m_hWnd;
    return S_OK;
}
STDMETHODIMP CAtlBrCon::ContextSensitiveHelp(BOOL) { return E_NOTIMPL; }

// IOleInPlaceSite: the control is activated in the whole client area of the
// host window, with no frame or document window around it.
STDMETHODIMP CAtlBrCon::CanInPlaceActivate() { return S_OK; }

STDMETHODIMP CAtlBrCon::OnInPlaceActivate() {
    m_inPlaceActive = true;
    return S_OK;
}

STDMETHODIMP CAtlBrCon::OnInPlaceDeactivate() {
    m_inPlaceActive = false;
    return S_OK;
}

STDMETHODIMP CAtlBrCon::GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document,
                                         LPRECT position, LPRECT clip, LPOLEINPLACEFRAMEINFO) {
    if (frame != nullptr) *frame = nullptr;
    if (document != nullptr) *document = nullptr;
    RECT client = {};
    ::GetClientRect(m_hWnd, &client);
    if (position != nullptr) *position = client;
    if (clip != nullptr) *clip = client;
    return S_OK;
}

STDMETHODIMP CAtlBrCon::OnUIActivate() { return E_NOTIMPL; }
STDMETHODIMP CAtlBrCon::Scroll(SIZE) { return E_NOTIMPL; }
STDMETHODIMP CAtlBrCon::OnUIDeactivate(BOOL) { return E_NOTIMPL; }
STDMETHODIMP CAtlBrCon::DiscardUndoState() { return E_NOTIMPL; }
STDMETHODIMP CAtlBrCon::DeactivateAndUndo() { return E_NOTIMPL; }
STDMETHODIMP CAtlBrCon::OnPosRectChange(LPCRECT) { return E_NOTIMPL; }

// IDocHostUIHandler: accepting the context menu request without showing
// anything leaves the page without a context menu.
STDMETHODIMP CAtlBrCon::ShowContextMenu(DWORD, POINT*, IUnknown*, IDispatch*) { return S_OK; }

STDMETHODIMP CAtlBrCon::GetHostInfo(DOCHOSTUIINFO* info) {
    if (info == nullptr) return E_POINTER;
    info->cbSize = kHostInfoSize;
    info->dwFlags = kHostFlags;
    return S_OK;
}

STDMETHODIMP CAtlBrCon::ShowUI(DWORD, IOleInPlaceActiveObject*, IOleCommandTarget*,
                               IOleInPlaceFrame*, IOleInPlaceUIWindow*) {
    return E_NOTIMPL;
}
STDMETHODIMP CAtlBrCon::HideUI() { return E_NOTIMPL; }
STDMETHODIMP CAtlBrCon::UpdateUI() { return E_NOTIMPL; }
STDMETHODIMP CAtlBrCon::EnableModeless(BOOL) { return E_NOTIMPL; }
STDMETHODIMP CAtlBrCon::OnDocWindowActivate(BOOL) { return E_NOTIMPL; }
STDMETHODIMP CAtlBrCon::OnFrameWindowActivate(BOOL) { return E_NOTIMPL; }
STDMETHODIMP CAtlBrCon::ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) { return E_NOTIMPL; }
STDMETHODIMP CAtlBrCon::TranslateAccelerator(LPMSG, const GUID*, DWORD) { return E_NOTIMPL; }
STDMETHODIMP CAtlBrCon::GetOptionKeyPath(LPOLESTR*, DWORD) { return E_NOTIMPL; }
STDMETHODIMP CAtlBrCon::GetDropTarget(IDropTarget*, IDropTarget**) { return E_NOTIMPL; }
STDMETHODIMP CAtlBrCon::GetExternal(IDispatch**) { return E_NOTIMPL; }
STDMETHODIMP CAtlBrCon::TranslateUrl(DWORD, LPWSTR, LPWSTR*) { return E_NOTIMPL; }
STDMETHODIMP CAtlBrCon::FilterDataObject(IDataObject*, IDataObject**) { return E_NOTIMPL; }

// IDocHostShowUI: a message from the page's script is taken as shown, without
// a box and without a result; help is left to the browser.
STDMETHODIMP CAtlBrCon::ShowMessage(HWND, LPOLESTR, LPOLESTR, DWORD, LPOLESTR, DWORD, LRESULT*) {
    return S_OK;
}
STDMETHODIMP CAtlBrCon::ShowHelp(HWND, LPOLESTR, UINT, DWORD, POINT, IDispatch*) { return S_FALSE; }
