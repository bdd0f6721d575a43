// The real dialog's skin message: each one puts a new browser host over the
// band above the status line and sends it to the stored address.
#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "box_answerer.h"
#include "dialog_runner.h"
#include "support/window_driver.h"

namespace {

std::vector<HWND> FindHostWindows(HWND dialog) {
    std::vector<HWND> hosts;
    for (HWND child = ::FindWindowExA(dialog, nullptr, nullptr, "ATL Browser"); child != nullptr;
         child = ::FindWindowExA(dialog, child, nullptr, "ATL Browser"))
        hosts.push_back(child);
    return hosts;
}

RECT RectInParent(HWND window) {
    RECT rect = {};
    ::GetWindowRect(window, &rect);
    ::MapWindowPoints(nullptr, ::GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// The first navigation in a new Wine prefix keeps the dialog's thread busy
// for about 13 s (seen once per prefix); later ones take milliseconds.
constexpr DWORD kHostTimeoutMs = 60000;

TEST(MainDialogSkin, EachSkinMessageAddsAHostOverTheBand) {
    AppTest::DialogRunner runner;
    HWND window = runner.Start();
    ASSERT_NE(window, nullptr);
    AppTest::BoxAnswerer answerer(::GetThreadId(runner.Thread()));
    RECT client = {};
    ::GetClientRect(window, &client);
    const RECT band = {client.left + 10, client.top + 10, client.right - 10, client.top + 190};

    runner.Dialog().SetSkinUrl("about:blank");
    ASSERT_TRUE(TestSupport::WaitUntil([&] { return FindHostWindows(window).size() == 1; },
                                       kHostTimeoutMs));
    const HWND first = FindHostWindows(window)[0];
    RECT placed = RectInParent(first);
    EXPECT_TRUE(::EqualRect(&placed, &band));
    EXPECT_TRUE(::IsWindowVisible(first));

    runner.Dialog().SetSkinUrl("about:blank#again");
    ASSERT_TRUE(TestSupport::WaitUntil([&] { return FindHostWindows(window).size() == 2; },
                                       kHostTimeoutMs));
    const std::vector<HWND> hosts = FindHostWindows(window);
    const HWND second = hosts[0] == first ? hosts[1] : hosts[0];
    placed = RectInParent(second);
    EXPECT_TRUE(::EqualRect(&placed, &band));
    EXPECT_TRUE(answerer.Boxes().empty()) << answerer.Boxes()[0].text;

    // The hosts go with the dialog's window, on the dialog's own thread.
    EXPECT_EQ(runner.EndModalRun(7), 7u);
    EXPECT_FALSE(::IsWindow(first));
    EXPECT_FALSE(::IsWindow(second));
}

}  // namespace
