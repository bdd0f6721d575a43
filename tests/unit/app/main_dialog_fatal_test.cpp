// Fatal reports of the real dialog: one box at a time, the box's text and
// owner, and the failures of initialisation that end the run.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dialog_runner.h"
#include "support/window_driver.h"
#include "utils/unique_handle.h"

namespace {

using AppTest::DialogRunner;

const DWORD kOwnProcess = ::GetCurrentProcessId();

struct ReportCall {
    CMainDlg* dialog;
    int severity;
};

DWORD WINAPI Report(LPVOID parameter) {
    auto* call = static_cast<ReportCall*>(parameter);
    call->dialog->ReportError("Disk full", call->severity);
    return 0;  // only reached below severity 4
}

DWORD ExitCodeOf(HANDLE thread) {
    DWORD code = STILL_ACTIVE;
    ::GetExitCodeThread(thread, &code);
    return code;
}

TEST(FatalReport, LowSeverityIsIgnored) {
    DialogRunner runner;
    ASSERT_NE(runner.Start(), nullptr);
    for (int severity : {-1, 0, 1, 2, 3}) {
        ReportCall call{&runner.Dialog(), severity};
        Utils::UniqueKernelHandle thread(::CreateThread(nullptr, 0, &Report, &call, 0, nullptr));
        ASSERT_EQ(::WaitForSingleObject(thread.Get(), 3000), WAIT_OBJECT_0);
        EXPECT_EQ(ExitCodeOf(thread.Get()), 0u) << severity;
    }
    EXPECT_EQ(TestSupport::WaitForMessageBox("Downloader", kOwnProcess, 200), nullptr);
}

TEST(FatalReport, RacingReportersShowOneBox) {
    DialogRunner runner;
    HWND window = runner.Start();
    ASSERT_NE(window, nullptr);
    constexpr int kReporters = 8;
    ReportCall call{&runner.Dialog(), 4};
    std::vector<Utils::UniqueKernelHandle> threads;
    for (int i = 0; i < kReporters; ++i)
        threads.emplace_back(::CreateThread(nullptr, 0, &Report, &call, 0, nullptr));

    HWND box = TestSupport::WaitForMessageBox("Downloader", kOwnProcess, 5000);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(TestSupport::GetMessageBoxText(box), "Disk full");
    EXPECT_EQ(::GetWindow(box, GW_OWNER), window);
    // Every later reporter ends its own thread with 1000 while the box is up.
    int ended = 0;
    TestSupport::WaitUntil(
        [&] {
            ended = 0;
            for (auto& thread : threads) ended += ExitCodeOf(thread.Get()) == 1000;
            return ended == kReporters - 1;
        },
        5000);
    EXPECT_EQ(ended, kReporters - 1);

    TestSupport::PressButton(box, IDOK);
    int endedWithOne = 0;
    for (auto& thread : threads) {
        ::WaitForSingleObject(thread.Get(), 3000);
        endedWithOne += ExitCodeOf(thread.Get()) == 1;
    }
    EXPECT_EQ(endedWithOne, 1);
}

TEST(FatalReport, InitialisationFailuresEndTheRunWithOne) {
    const struct {
        const char* name;
        std::string brand;
        std::string host;
        const char* message;
    } cases[] = {
        {"registry", std::string(300, 'b'), "127.0.0.1",
         "Failed to write to registry, restart and try again."},
        {"host", "", "abc", "The download server address of this build is invalid."},
        // Without a brand the product key would be Software itself.
        {"no brand", "-", "127.0.0.1", "The brand of this build is invalid."},
        {"brand of two folders", "Acme\\Tools", "127.0.0.1", "The brand of this build is invalid."},
    };
    for (const auto& c : cases) {
        DialogRunner runner;
        if (c.brand == "-")
            runner.Settings().brand.clear();
        else if (!c.brand.empty())
            runner.Settings().brand = c.brand;
        runner.Settings().serverHost = c.host;
        runner.Start();
        HWND box = TestSupport::WaitForMessageBox("Downloader", kOwnProcess, 5000);
        ASSERT_NE(box, nullptr) << c.name;
        EXPECT_EQ(TestSupport::GetMessageBoxText(box), c.message) << c.name;
        TestSupport::PressButton(box, IDOK);
        EXPECT_EQ(runner.WaitForThreadEnd(3000), 1u) << c.name;
        EXPECT_FALSE(runner.Dialog().started) << c.name;
    }
}

}  // namespace
