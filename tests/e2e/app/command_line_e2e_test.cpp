// The updater's command-line forms, on the real executable.
#include <gtest/gtest.h>

#include "support/window_driver.h"
#include "updater_fixture.h"

namespace {

using AppE2E::UpdaterTest;
using TestSupport::ChildProcess;

constexpr int kStatusLine = 1004;

TEST_F(UpdaterTest, StartFormsSelectDelayAndMode) {
    const struct {
        const char* arguments;
        DWORD minimumDelayMs;
        const char* status;
    } cases[] = {
        {"4000", 4000, AppE2E::kNormalRunStatus},
        {"/uninstall ", 0, AppE2E::kNormalRunStatus},  // not the launcher: a normal run
        {"/UNINSTALL", 0, AppE2E::kNormalRunStatus},
        {"/uninstall2", 0, AppE2E::kUninstallRunStatus},  // uninstall mode, waits for nobody
    };
    ASSERT_TRUE(StampUpdater());
    for (const auto& c : cases) {
        ChildProcess updater;
        const DWORD start = ::GetTickCount();
        ASSERT_TRUE(updater.Start(m_exe, c.arguments)) << c.arguments;
        HWND dialog = WaitForDialog(updater);
        const DWORD elapsed = ::GetTickCount() - start;
        ASSERT_NE(dialog, nullptr) << c.arguments;
        EXPECT_GE(elapsed, c.minimumDelayMs) << c.arguments;
        EXPECT_TRUE(TestSupport::WaitUntil(
            [&] { return TestSupport::GetControlText(dialog, kStatusLine) == c.status; }, 5000))
            << c.arguments << ": " << TestSupport::GetControlText(dialog, kStatusLine);
        if (std::string(c.arguments) == "/uninstall2") {
            EXPECT_TRUE(DeclineUninstall(updater.Id()));
            EXPECT_EQ(updater.WaitForExitCode(AppE2E::kExitTimeoutMs), 0u);
        } else {
            EXPECT_EQ(CloseWithNo(updater, dialog), 0u) << c.arguments;
        }
    }
}

TEST_F(UpdaterTest, UninstallRunReportsAProcessItCannotOpen) {
    ASSERT_TRUE(StampUpdater());
    for (const char* processId : {"0", "4000000"}) {
        ChildProcess updater;
        ASSERT_TRUE(updater.Start(m_exe, std::string("/uninstall2 ") + processId));
        HWND box =
            TestSupport::WaitForMessageBox("Uninstaller", updater.Id(), AppE2E::kWindowTimeoutMs);
        ASSERT_NE(box, nullptr) << processId;
        EXPECT_EQ(TestSupport::GetMessageBoxText(box),
                  std::string("Failed to open process [") + processId + "] 87");
        EXPECT_EQ(TestSupport::FindTopLevelWindow("Downloader", updater.Id()), nullptr);
        TestSupport::PressButton(box, IDOK);
        EXPECT_EQ(updater.WaitForExitCode(AppE2E::kExitTimeoutMs), 0u) << processId;
    }
}

// The launcher replaces an old copy in the temporary folder, starts it, and
// ends about two seconds later; the copy shows its dialog only after that.
TEST_F(UpdaterTest, LauncherStartsAFreshCopyThatWaitsForIt) {
    ASSERT_TRUE(StampUpdater());
    char temp[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, temp);
    const std::string copyName = "UnInstall" + m_exeName;
    const std::string copyPath = std::string(temp) + copyName;
    ASSERT_TRUE(TestSupport::WriteFile(copyPath, "an old copy"));

    ChildProcess launcher;
    const DWORD start = ::GetTickCount();
    ASSERT_TRUE(launcher.Start(m_exe, "/uninstall"));
    DWORD copyId = 0;
    ASSERT_TRUE(TestSupport::WaitUntil(
        [&] { return (copyId = TestSupport::FindProcessByName(copyName)) != 0; },
        AppE2E::kWindowTimeoutMs));
    EXPECT_TRUE(launcher.IsRunning());
    EXPECT_EQ(TestSupport::FindTopLevelWindow("Downloader", copyId), nullptr)
        << "copy did not wait";
    EXPECT_EQ(TestSupport::FindTopLevelWindow("Downloader", launcher.Id()), nullptr);

    EXPECT_EQ(launcher.WaitForExitCode(AppE2E::kExitTimeoutMs), 0u);
    EXPECT_GE(::GetTickCount() - start, 2000u);
    EXPECT_EQ(TestSupport::ReadFile(copyPath), TestSupport::ReadFile(m_exe));

    HWND dialog = TestSupport::WaitForDialog("Downloader", copyId, AppE2E::kWindowTimeoutMs);
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(TestSupport::WaitUntil(
        [&] {
            return TestSupport::GetControlText(dialog, kStatusLine) == AppE2E::kUninstallRunStatus;
        },
        5000));
    EXPECT_TRUE(DeclineUninstall(copyId));
    TestSupport::WaitUntil([&] { return TestSupport::FindProcessByName(copyName) == 0; }, 10000);
    ::DeleteFileA(copyPath.c_str());
}

// A test that stops early (a failed assertion) must not leave the launcher's
// copy behind, waiting for a launcher or a user that will never come: ending
// the launcher ends the copy it started as well.
TEST_F(UpdaterTest, EndingTheLauncherEndsTheCopyItStarted) {
    ASSERT_TRUE(StampUpdater());
    char temp[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, temp);
    const std::string copyName = "UnInstall" + m_exeName;
    {
        ChildProcess launcher;
        ASSERT_TRUE(launcher.Start(m_exe, "/uninstall"));
        ASSERT_TRUE(
            TestSupport::WaitUntil([&] { return TestSupport::FindProcessByName(copyName) != 0; },
                                   AppE2E::kWindowTimeoutMs));
    }
    EXPECT_EQ(TestSupport::FindProcessByName(copyName), 0u);
    ::DeleteFileA((std::string(temp) + copyName).c_str());
}

}  // namespace
