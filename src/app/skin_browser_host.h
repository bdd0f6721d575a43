#pragma once
// The skin browser host: a child window of the dialog that embeds the web
// browser control, answers the control's questions about its container (no
// border, no scroll bars, no context menu, no message boxes from the page) and
// navigates it on request. Created and used only on the dialog's thread.
#include <windows.h>
// After windows.h, which they need.
#include <exdisp.h>
#include <mshtmhst.h>
#include <oleidl.h>

#include <string>

#include "engine/files/com_ptr.h"

class CAtlBrCon : public IOleClientSite,
                  public IOleInPlaceSite,
                  public IDocHostUIHandler,
                  public IDocHostShowUI {
public:
    // A new host that holds one reference for the caller. browserClass is the
    // control to embed; tests name another one.
    static Engine::UniqueComPtr<CAtlBrCon> New(const CLSID& browserClass = CLSID_WebBrowser);

    // Creates the host window as a child of parent in rect and the browser
    // control inside it. A failure is shown in a box owned by the host window;
    // the host then has no browser and returns E_FAIL.
    HRESULT Create(HWND parent, const RECT& rect);
    // Sends the browser to url (single-byte, in the thread's code page). Does
    // nothing without a browser. Always returns 0: navigation errors are the
    // browser's business.
    HRESULT Navigate(const std::string& url);

    HWND Window() const { return m_hWnd; }
    bool HasBrowser() const { return m_webBrowser.IsValid(); }

    // IUnknown: one reference count; the host deletes itself at 0.
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    // IOleClientSite
    STDMETHODIMP SaveObject() override;
    STDMETHODIMP GetMoniker(DWORD assign, DWORD whichMoniker, IMoniker** moniker) override;
    STDMETHODIMP GetContainer(IOleContainer** container) override;
    STDMETHODIMP ShowObject() override;
    STDMETHODIMP OnShowWindow(BOOL show) override;
    STDMETHODIMP RequestNewObjectLayout() override;

    // IOleWindow
    STDMETHODIMP GetWindow(HWND* window) override;
    STDMETHODIMP ContextSensitiveHelp(BOOL enterMode) override;

    // IOleInPlaceSite
    STDMETHODIMP CanInPlaceActivate() override;
    STDMETHODIMP OnInPlaceActivate() override;
    STDMETHODIMP OnUIActivate() override;
    STDMETHODIMP GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document,
                                  LPRECT position, LPRECT clip,
                                  LPOLEINPLACEFRAMEINFO frameInfo) override;
    STDMETHODIMP Scroll(SIZE extent) override;
    STDMETHODIMP OnUIDeactivate(BOOL undoable) override;
    STDMETHODIMP OnInPlaceDeactivate() override;
    STDMETHODIMP DiscardUndoState() override;
    STDMETHODIMP DeactivateAndUndo() override;
    STDMETHODIMP OnPosRectChange(LPCRECT position) override;

    // IDocHostUIHandler
    STDMETHODIMP ShowContextMenu(DWORD id, POINT* point, IUnknown* commandTarget,
                                 IDispatch* object) override;
    STDMETHODIMP GetHostInfo(DOCHOSTUIINFO* info) override;
    STDMETHODIMP ShowUI(DWORD id, IOleInPlaceActiveObject* activeObject,
                        IOleCommandTarget* commandTarget, IOleInPlaceFrame* frame,
                        IOleInPlaceUIWindow* document) override;
    STDMETHODIMP HideUI() override;
    STDMETHODIMP UpdateUI() override;
    STDMETHODIMP EnableModeless(BOOL enable) override;
    STDMETHODIMP OnDocWindowActivate(BOOL activate) override;
    STDMETHODIMP OnFrameWindowActivate(BOOL activate) override;
    STDMETHODIMP ResizeBorder(LPCRECT border, IOleInPlaceUIWindow* window,
                              BOOL frameWindow) override;
    STDMETHODIMP TranslateAccelerator(LPMSG message, const GUID* group, DWORD command) override;
    STDMETHODIMP GetOptionKeyPath(LPOLESTR* key, DWORD reserved) override;
    STDMETHODIMP GetDropTarget(IDropTarget* dropTarget, IDropTarget** replacement) override;
    STDMETHODIMP GetExternal(IDispatch** external) override;
    STDMETHODIMP TranslateUrl(DWORD reserved, LPWSTR url, LPWSTR* translated) override;
    STDMETHODIMP FilterDataObject(IDataObject* object, IDataObject** replacement) override;

    // IDocHostShowUI
    STDMETHODIMP ShowMessage(HWND window, LPOLESTR text, LPOLESTR caption, DWORD type,
                             LPOLESTR helpFile, DWORD helpContext, LRESULT* result) override;
    STDMETHODIMP ShowHelp(HWND window, LPOLESTR helpFile, UINT command, DWORD data, POINT mouse,
                          IDispatch* object) override;

private:
    explicit CAtlBrCon(const CLSID& browserClass);
    virtual ~CAtlBrCon();
    CAtlBrCon(const CAtlBrCon&) = delete;
    CAtlBrCon& operator=(const CAtlBrCon&) = delete;

    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    bool CreateHostWindow(HWND parent, const RECT& rect);
    HRESULT CreateBrowser();
    HRESULT ShowCreationFailure(const char* text);
    void KeepBrowserParts(const RECT& client);
    void Detach();

    ULONG m_refCount = 0;
    const CLSID m_browserClass;
    HWND m_hWnd = nullptr;
    DWORD m_eventCookie = 0;  // 0 unless a browser-event connection was made
    bool m_inPlaceActive = false;
    Engine::UniqueComPtr<IWebBrowser> m_webBrowser;
    Engine::UniqueComPtr<IOleInPlaceObject> m_inPlaceObject;
    Engine::UniqueComPtr<IOleCommandTarget> m_commandTarget;
};
