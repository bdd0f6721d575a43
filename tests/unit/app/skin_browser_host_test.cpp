// The skin browser host on the test's own thread: its answers to the browser
// control, its window, the real browser control inside it, and the creation
// failure box.
#include <windows.h>
// After windows.h, which they need.
#include <exdisp.h>
#include <gtest/gtest.h>

#include <cstring>
#include <utility>
#include <vector>

#include "app/skin_browser_host.h"
#include "box_answerer.h"
#include "support/window_driver.h"

namespace {

using AppTest::BoxAnswerer;
using HostPtr = Engine::UniqueComPtr<CAtlBrCon>;

ULONG CountReferences(CAtlBrCon* host) {
    host->AddRef();
    return host->Release();
}

// Takes the quit request that a destroyed host window leaves in this
// thread's queue; -1 when there is none.
int TakeQuitCode() {
    MSG message = {};
    if (!::PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) return -1;
    return static_cast<int>(message.wParam);
}

class SkinBrowserHostTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_parent = ::CreateWindowExA(0, "STATIC", "skin parent", WS_POPUP | WS_VISIBLE, 0, 0, 400,
                                     300, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(m_parent, nullptr);
    }
    void TearDown() override {
        if (m_parent != nullptr) ::DestroyWindow(m_parent);
        TakeQuitCode();
    }
    void DestroyParent() { ::DestroyWindow(std::exchange(m_parent, nullptr)); }

    const RECT m_band = {10, 10, 390, 190};
    Engine::ComApartment m_com;
    HWND m_parent = nullptr;
};

TEST(SkinBrowserSite, AnswersOnlyTheSiteInterfacesOnOneCount) {
    HostPtr host = CAtlBrCon::New();
    EXPECT_EQ(CountReferences(host.Get()), 1u);

    const IID offered[] = {IID_IUnknown,        IID_IOleClientSite,    IID_IOleWindow,
                           IID_IOleInPlaceSite, IID_IDocHostUIHandler, __uuidof(IDocHostShowUI)};
    std::vector<IUnknown*> answers;
    for (const IID& iid : offered) {
        void* answer = nullptr;
        EXPECT_EQ(host.Get()->QueryInterface(iid, &answer), S_OK);
        ASSERT_NE(answer, nullptr);
        answers.push_back(static_cast<IUnknown*>(answer));
    }
    EXPECT_EQ(CountReferences(host.Get()), 7u);
    // One object: every answer leads back to the same IUnknown.
    for (IUnknown* answer : answers) {
        IUnknown* identity = nullptr;
        ASSERT_EQ(answer->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identity)), S_OK);
        EXPECT_EQ(identity, answers[0]);
        identity->Release();
    }
    EXPECT_EQ(answers[2], answers[3]) << "IOleWindow is the in-place site's base";
    for (IUnknown* answer : answers) answer->Release();
    EXPECT_EQ(CountReferences(host.Get()), 1u);

    const IID refused[] = {IID_IDispatch,          IID_IOleInPlaceFrame,   IID_IOleInPlaceUIWindow,
                           IID_IOleContainer,      IID_IOleObject,         IID_IOleCommandTarget,
                           DIID_DWebBrowserEvents, DIID_DWebBrowserEvents2};
    for (const IID& iid : refused) {
        void* answer = &answers;  // must be cleared
        EXPECT_EQ(host.Get()->QueryInterface(iid, &answer), E_NOINTERFACE);
        EXPECT_EQ(answer, nullptr);
    }
    EXPECT_EQ(CountReferences(host.Get()), 1u);
}

TEST(SkinBrowserSite, DocumentHostAnswersHideBorderScrollBarsMenusAndBoxes) {
    HostPtr host = CAtlBrCon::New();
    DOCHOSTUIINFO info;
    std::memset(&info, 0xAB, sizeof(info));
    const DOCHOSTUIINFO before = info;
    ASSERT_EQ(host.Get()->GetHostInfo(&info), S_OK);
    EXPECT_EQ(info.cbSize, 20u);
    EXPECT_EQ(info.dwFlags, 0x0Du);
    EXPECT_EQ(info.dwDoubleClick, before.dwDoubleClick);
    EXPECT_EQ(info.pchHostCss, before.pchHostCss);
    EXPECT_EQ(info.pchHostNS, before.pchHostNS);

    POINT point = {5, 5};
    EXPECT_EQ(host.Get()->ShowContextMenu(0, &point, nullptr, nullptr), S_OK);
    BoxAnswerer answerer(::GetCurrentThreadId());
    LRESULT result = 12345;
    wchar_t text[] = L"alert from the page";
    wchar_t caption[] = L"page";
    EXPECT_EQ(host.Get()->ShowMessage(nullptr, text, caption, MB_OK, nullptr, 0, &result), S_OK);
    EXPECT_EQ(result, 12345) << "no result is set";
    EXPECT_TRUE(answerer.Boxes().empty());
    EXPECT_EQ(host.Get()->ShowHelp(nullptr, nullptr, 0, 0, point, nullptr), S_FALSE);
}

// The test bed points the browser's home page at about:blank; a prefix that
// names a site would send this test to the network.
TEST_F(SkinBrowserHostTest, EmbedsTheBrowserInAChildWindowAndLetsGoWithIt) {
    char startPage[64] = {};
    DWORD size = sizeof(startPage);
    ::RegGetValueA(HKEY_CURRENT_USER, "Software\\Microsoft\\Internet Explorer\\Main", "Start Page",
                   RRF_RT_REG_SZ, nullptr, startPage, &size);
    ASSERT_STREQ(startPage, "about:blank");

    HostPtr host = CAtlBrCon::New();
    BoxAnswerer answerer(::GetCurrentThreadId());
    ASSERT_EQ(host.Get()->Create(m_parent, m_band), S_OK);
    EXPECT_TRUE(answerer.Boxes().empty());
    EXPECT_TRUE(host.Get()->HasBrowser());
    HWND window = host.Get()->Window();
    ASSERT_NE(window, nullptr);
    HWND answered = nullptr;
    EXPECT_EQ(host.Get()->GetWindow(&answered), S_OK);
    EXPECT_EQ(answered, window);
    EXPECT_EQ(::GetParent(window), m_parent);
    EXPECT_EQ(TestSupport::GetWindowTextOf(window), "ATL Browser");
    EXPECT_EQ(::GetWindowLongA(window, GWL_STYLE) &
                  (WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_BORDER),
              WS_CHILD | WS_VISIBLE);
    EXPECT_EQ(::GetWindowLongPtrA(window, GWLP_ID), 0);
    RECT placed = {};
    ::GetWindowRect(window, &placed);
    ::MapWindowPoints(nullptr, m_parent, reinterpret_cast<POINT*>(&placed), 2);
    EXPECT_TRUE(::EqualRect(&placed, &m_band));
    EXPECT_NE(::GetWindow(window, GW_CHILD), nullptr) << "the control's window is inside";

    RECT position = {}, clip = {}, client = {};
    IOleInPlaceFrame* frame = reinterpret_cast<IOleInPlaceFrame*>(&position);
    IOleInPlaceUIWindow* document = reinterpret_cast<IOleInPlaceUIWindow*>(&position);
    OLEINPLACEFRAMEINFO frameInfo = {};
    EXPECT_EQ(host.Get()->GetWindowContext(&frame, &document, &position, &clip, &frameInfo), S_OK);
    ::GetClientRect(window, &client);
    EXPECT_TRUE(::EqualRect(&position, &client));
    EXPECT_TRUE(::EqualRect(&clip, &client));
    EXPECT_EQ(frame, nullptr);
    EXPECT_EQ(document, nullptr);

    EXPECT_EQ(host.Get()->Navigate("about:blank"), 0);
    EXPECT_GT(CountReferences(host.Get()), 1u) << "the control holds the site";

    // The window's end breaks the cycle: only the test's reference is left.
    DestroyParent();
    EXPECT_EQ(TakeQuitCode(), 0);
    EXPECT_EQ(CountReferences(host.Get()), 1u);
    EXPECT_FALSE(host.Get()->HasBrowser());
}

TEST_F(SkinBrowserHostTest, UnregisteredControlShowsTheCreationFailureBox) {
    CLSID unregistered = {};
    ASSERT_EQ(::CoCreateGuid(&unregistered), S_OK);
    HostPtr host = CAtlBrCon::New(unregistered);
    {
        BoxAnswerer answerer(::GetCurrentThreadId());
        EXPECT_EQ(host.Get()->Create(m_parent, m_band), E_FAIL);
        const std::vector<BoxAnswerer::Box> boxes = answerer.Boxes();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, "CoCreateInstance failed");
        EXPECT_EQ(boxes[0].caption, "");
        EXPECT_EQ(boxes[0].owner, m_parent) << "owned by the host window's top level";
    }
    EXPECT_FALSE(host.Get()->HasBrowser());
    ASSERT_NE(host.Get()->Window(), nullptr) << "the window stays, without a browser";
    EXPECT_EQ(TestSupport::GetWindowTextOf(host.Get()->Window()), "ATL Browser");
    BoxAnswerer answerer(::GetCurrentThreadId());
    EXPECT_EQ(host.Get()->Navigate("about:blank"), 0);
    EXPECT_TRUE(answerer.Boxes().empty());
    EXPECT_EQ(CountReferences(host.Get()), 1u);

    DestroyParent();
    EXPECT_EQ(TakeQuitCode(), 0);
}

}  // namespace
