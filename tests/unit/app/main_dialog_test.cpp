// The real dialog in this process: its initialisation, layouts, display
// operations, close question and fatal reports.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "app/resource_ids.h"
#include "dialog_runner.h"
#include "support/window_driver.h"
#include "utils/reg/reg_manager.h"

namespace {

using AppTest::DialogRunner;
using TestSupport::GetControlText;

const DWORD kOwnProcess = ::GetCurrentProcessId();

RECT GetChildRect(HWND dialog, int id) {
    RECT rect = {};
    ::GetWindowRect(::GetDlgItem(dialog, id), &rect);
    ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

TEST(MainDialog, LayoutAndTextFollowIsFirstTime) {
    const struct {
        const char* name;
        bool setValue;
        DWORD value;
        int height;
        const char* status;
    } cases[] = {
        {"absent", false, 0, 280, "        Please wait, connecting to the server"},
        {"1", true, 1, 90, "        Please wait, getting installation info"},
        {"2", true, 2, 280, "        Please wait, connecting to the server"},
    };
    for (const auto& c : cases) {
        DialogRunner runner;
        if (c.setValue) runner.SetIsFirstTime(c.value);
        HWND window = runner.Start();
        ASSERT_NE(window, nullptr) << c.name;
        EXPECT_EQ(TestSupport::GetWindowSize(window).cx, 490) << c.name;
        EXPECT_EQ(TestSupport::GetWindowSize(window).cy, c.height) << c.name;
        EXPECT_EQ(GetControlText(window, IDC_STATUS_LINE), c.status) << c.name;
        EXPECT_EQ(runner.Dialog().IsFirstRun(), c.height == 280) << c.name;

        RECT client = {};
        ::GetClientRect(window, &client);
        const RECT bar = GetChildRect(window, IDC_PROGRESS_BAR);
        const RECT status = GetChildRect(window, IDC_STATUS_LINE);
        EXPECT_EQ(bar.left, 10);
        EXPECT_EQ(bar.right, client.right - 10);
        EXPECT_EQ(bar.bottom - bar.top, 10);
        EXPECT_EQ(status.bottom - status.top, 20);
        EXPECT_LT(status.bottom, bar.top) << "the status line sits above the bar";
        EXPECT_TRUE(TestSupport::IsControlVisible(window, IDC_PROGRESS_BAR));
        for (int hidden : {IDOK, IDCANCEL, ID_APP_ABOUT})
            EXPECT_FALSE(TestSupport::IsControlVisible(window, hidden)) << hidden;
    }
}

TEST(MainDialog, InitialisationRecordsSettingsSetsIconAndStartsTheRun) {
    DialogRunner runner;
    HWND window = runner.Start();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(g_mainDialog, &runner.Dialog());
    ASSERT_TRUE(runner.Dialog().started);
    EXPECT_EQ(runner.Dialog().startedHost, "127.0.0.1");

    Utils::RegManager productKey(true, runner.Settings().brand);
    EXPECT_EQ(productKey.GetStringValue("DownloadServer"), "3132372e302e302e31");  // raw
    EXPECT_EQ(productKey.GetStringValue("Brand"), runner.Settings().brand);

    HICON big = TestSupport::GetWindowIcon(window, ICON_BIG);
    ASSERT_NE(big, nullptr);
    EXPECT_EQ(TestSupport::GetWindowIcon(window, ICON_SMALL), big);
}

// The dialog takes icon image 3 by number: the images must be 48, 32 and 16
// pixels at 32 bits per pixel, in that order.
TEST(MainDialog, IconImagesAreNumberedBySize) {
    const struct { int image, size; } cases[] = {{1, 48}, {2, 32}, {3, 16}};
    for (const auto& c : cases) {
        HRSRC found = ::FindResourceA(nullptr, MAKEINTRESOURCEA(c.image), RT_ICON);
        ASSERT_NE(found, nullptr) << c.image;
        const auto* header =
            static_cast<const BITMAPINFOHEADER*>(::LockResource(::LoadResource(nullptr, found)));
        ASSERT_NE(header, nullptr) << c.image;
        EXPECT_EQ(header->biWidth, c.size) << c.image;
        EXPECT_EQ(header->biHeight, 2 * c.size) << c.image;  // colour and mask
        EXPECT_EQ(header->biBitCount, 32) << c.image;
    }
}

TEST(MainDialog, StatusLineAndProgressFromAnotherThread) {
    DialogRunner runner;
    HWND window = runner.Start();
    ASSERT_NE(window, nullptr);
    CMainDlg& dialog = runner.Dialog();

    dialog.SetStatusText("");
    EXPECT_EQ(GetControlText(window, IDC_STATUS_LINE), "        ");
    EXPECT_TRUE(TestSupport::IsControlVisible(window, IDC_STATUS_LINE));
    dialog.SetStatusText("Downloading files");
    dialog.SetProgressText(42.5);
    EXPECT_EQ(GetControlText(window, IDC_STATUS_LINE), "        42.50% - Downloading files");
    dialog.SetProgressText(99.999);
    EXPECT_EQ(GetControlText(window, IDC_STATUS_LINE), "        100.00% - Downloading files");

    dialog.SetProgressPos(IDC_PROGRESS_BAR, 37);
    EXPECT_EQ(TestSupport::GetProgressBarState(window, IDC_PROGRESS_BAR).position, 37);
    dialog.ShowProgressBar(IDC_PROGRESS_BAR, 0);  // hides; the range 0..0 pulls the bar to 0
    EXPECT_FALSE(TestSupport::IsControlVisible(window, IDC_PROGRESS_BAR));
    dialog.ShowProgressBar(IDC_PROGRESS_BAR, 200);
    EXPECT_TRUE(TestSupport::WaitUntil(
        [&] { return TestSupport::GetProgressBarState(window, IDC_PROGRESS_BAR).high == 200; },
        2000));
    dialog.SetProgressPos(IDC_PROGRESS_BAR, 37);  // the same value must reach the bar again
    const TestSupport::ProgressBarState bar =
        TestSupport::GetProgressBarState(window, IDC_PROGRESS_BAR);
    EXPECT_EQ(bar.position, 37);
    EXPECT_EQ(bar.low, 0);
    EXPECT_TRUE(bar.visible);
}

TEST(MainDialog, PositionOneHundredPausesTheCaller) {
    DialogRunner runner;
    ASSERT_NE(runner.Start(), nullptr);
    const auto start = std::chrono::steady_clock::now();
    runner.Dialog().SetProgressPos(IDC_PROGRESS_BAR, 100);
    const auto paused = std::chrono::steady_clock::now() - start;
    // The tick counts behind Sleep and the clocks are coarse: allow one tick.
    EXPECT_GE(paused, std::chrono::milliseconds(580));
    EXPECT_EQ(TestSupport::GetProgressBarState(runner.Window(), IDC_PROGRESS_BAR).position, 100);
}

// With the dialog's thread frozen, a call that changes nothing on screen must
// return at once, while a real change waits for the dialog's thread.
TEST(MainDialog, UnchangedProgressCostsNoTripToTheDialogThread) {
    DialogRunner runner;
    ASSERT_NE(runner.Start(), nullptr);
    CMainDlg& dialog = runner.Dialog();
    dialog.SetProgressText(10.0);
    dialog.SetProgressPos(IDC_PROGRESS_BAR, 10);

    ASSERT_NE(::SuspendThread(runner.Thread()), static_cast<DWORD>(-1));
    std::thread same([&] {
        dialog.SetProgressText(10.0);
        dialog.SetProgressPos(IDC_PROGRESS_BAR, 10);
        dialog.SetStatusText(dialog.IsFirstRun() ? "Please wait, connecting to the server"
                                                 : "Please wait, getting installation info");
    });
    same.join();  // would hang here if unchanged values were sent

    std::atomic<bool> changedDone{false};
    std::thread changed([&] {
        dialog.SetProgressText(11.0);
        changedDone = true;
    });
    ::Sleep(200);
    EXPECT_FALSE(changedDone) << "a real change is delivered synchronously";
    ::ResumeThread(runner.Thread());
    changed.join();
    EXPECT_EQ(GetControlText(runner.Window(), IDC_STATUS_LINE),
              "        11.00% - Please wait, connecting to the server");
}

TEST(MainDialog, AboutBoxClosesOnCommandsOneToSeven) {
    DialogRunner runner;
    HWND window = runner.Start();
    ASSERT_NE(window, nullptr);
    for (int command : {IDOK, IDCANCEL, IDNO}) {
        TestSupport::PressButton(window, ID_APP_ABOUT);
        HWND about = TestSupport::WaitForWindow("About", kOwnProcess, 3000, "#32770");
        ASSERT_NE(about, nullptr) << command;
        ::PostMessageA(about, WM_COMMAND, MAKEWPARAM(8, BN_CLICKED), 0);  // not a closing id
        ::PostMessageA(about, WM_COMMAND, MAKEWPARAM(command, BN_CLICKED), 0);
        EXPECT_TRUE(TestSupport::WaitUntil([&] { return !::IsWindow(about); }, 3000)) << command;
    }
}

TEST(MainDialog, UninstallModeRunsTheUninstallInsteadOfAnInstallation) {
    DialogRunner runner;
    HWND window = runner.Start(true);
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(TestSupport::WaitUntil([&] { return runner.Dialog().uninstallRan.load(); }, 3000));
    EXPECT_EQ(GetControlText(window, IDC_STATUS_LINE),
              "        Please wait, connecting to the server");
    EXPECT_FALSE(runner.Dialog().started);
    Utils::RegManager productKey(true, runner.Settings().brand);
    EXPECT_EQ(productKey.GetStringValue("GuiString"), runner.Settings().downloadId);
}

}  // namespace
