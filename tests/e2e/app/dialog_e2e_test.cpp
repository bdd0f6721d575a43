// The main dialog of the real executable: layouts, keys, close question,
// fatal reports and the build settings it records.
#include <gtest/gtest.h>

#include "support/window_driver.h"
#include "updater_fixture.h"

namespace {

using AppE2E::UpdaterTest;
using TestSupport::ChildProcess;

constexpr int kStatusLine = 1004;
constexpr int kProgressBar = 1007;

std::string ReadProductValue(const std::string& brand, const char* name) {
    char value[1100] = {};
    DWORD size = sizeof(value);
    const std::string path = "Software\\" + brand;
    if (::RegGetValueA(HKEY_CURRENT_USER, path.c_str(), name, RRF_RT_REG_SZ, nullptr, value,
                       &size) != ERROR_SUCCESS)
        return "<missing>";
    return value;
}

TEST_F(UpdaterTest, HeightFollowsIsFirstTime) {
    const struct {
        bool setValue;
        DWORD value;
        LONG height;
    } cases[] = {{false, 0, 280}, {true, 1, 90}, {true, 7, 280}};
    ASSERT_TRUE(StampUpdater());
    for (const auto& c : cases) {
        if (c.setValue) SetIsFirstTime(c.value);
        ChildProcess updater;
        ASSERT_TRUE(updater.Start(m_exe, ""));
        HWND dialog = WaitForDialog(updater);
        ASSERT_NE(dialog, nullptr) << c.value;
        EXPECT_EQ(TestSupport::GetWindowSize(dialog).cx, 490);
        EXPECT_EQ(TestSupport::GetWindowSize(dialog).cy, c.height) << c.value;
        EXPECT_TRUE(TestSupport::GetProgressBarState(dialog, kProgressBar).visible);
        EXPECT_TRUE(TestSupport::WaitUntil(
            [&] {
                return TestSupport::GetControlText(dialog, kStatusLine) == AppE2E::kNormalRunStatus;
            },
            5000))
            << TestSupport::GetControlText(dialog, kStatusLine);
        EXPECT_EQ(CloseWithNo(updater, dialog), 0u);
    }
}

TEST_F(UpdaterTest, EnterDoesNothingEscapeAsksYesMinimisesNoEnds) {
    ASSERT_TRUE(StampUpdater());
    ChildProcess updater;
    ASSERT_TRUE(updater.Start(m_exe, ""));
    HWND dialog = WaitForDialog(updater);
    ASSERT_NE(dialog, nullptr);

    ::PostMessageA(dialog, WM_KEYDOWN, VK_RETURN, 0);
    TestSupport::PressButton(dialog, IDOK);
    EXPECT_EQ(TestSupport::WaitForMessageBox("", updater.Id(), 1000), nullptr);
    EXPECT_TRUE(updater.IsRunning());

    ::PostMessageA(dialog, WM_KEYDOWN, VK_ESCAPE, 0);
    HWND question = TestSupport::WaitForMessageBox("", updater.Id(), AppE2E::kWindowTimeoutMs);
    ASSERT_NE(question, nullptr);
    EXPECT_EQ(TestSupport::GetMessageBoxText(question), "Continue with the operation?");
    EXPECT_EQ(::GetWindow(question, GW_OWNER), dialog);
    TestSupport::PressButton(question, IDYES);
    EXPECT_TRUE(TestSupport::WaitUntil([&] { return ::IsIconic(dialog) != FALSE; }, 5000));
    EXPECT_TRUE(updater.IsRunning());

    ::PostMessageA(dialog, WM_CLOSE, 0, 0);  // the close box asks the same question
    question = TestSupport::WaitForMessageBox("", updater.Id(), AppE2E::kWindowTimeoutMs);
    ASSERT_NE(question, nullptr);
    TestSupport::PressButton(question, IDNO);
    EXPECT_EQ(updater.WaitForExitCode(AppE2E::kExitTimeoutMs), 0u);
}

TEST_F(UpdaterTest, FatalReportShowsDownloaderBoxAndEndsWithOne) {
    const struct {
        std::string brand;
        const char* hostSlot;  // written over slot 2 when not null
        const char* message;
    } cases[] = {
        {"", "abc", "The download server address of this build is invalid."},  // odd-length hex
        {std::string(300, 'N'), nullptr, "Failed to write to registry, restart and try again."},
    };
    for (const auto& c : cases) {
        TestSupport::UpdaterStamp stamp;
        stamp.brand = c.brand;
        ASSERT_TRUE(StampUpdater(stamp)) << c.message;
        if (c.hostSlot != nullptr) {
            ASSERT_TRUE(PatchSlot(2, c.hostSlot));
        }
        ChildProcess updater;
        ASSERT_TRUE(updater.Start(m_exe, ""));
        HWND box =
            TestSupport::WaitForMessageBox("Downloader", updater.Id(), AppE2E::kWindowTimeoutMs);
        ASSERT_NE(box, nullptr) << c.message;
        EXPECT_EQ(TestSupport::GetMessageBoxText(box), c.message);
        TestSupport::PressButton(box, IDOK);
        EXPECT_EQ(updater.WaitForExitCode(AppE2E::kExitTimeoutMs), 1u) << c.message;
    }
}

TEST_F(UpdaterTest, RecordsTheFiveBuildSettingsRaw) {
    TestSupport::UpdaterStamp stamp;
    stamp.downloadId = "0123abcd";                     // hex digits: recorded without decoding
    for (unsigned char c : m_stalledService.Host()) {  // the stalled service, hex-encoded
        const char digits[] = "0123456789abcdef";
        stamp.host += digits[c >> 4];
        stamp.host += digits[c & 15];
    }
    stamp.servicePath = "/stalled?did=";
    stamp.checksum = "FEDCBA9876543210FEDCBA9876543210";
    ASSERT_TRUE(StampUpdater(stamp));
    ChildProcess updater;
    ASSERT_TRUE(updater.Start(m_exe, ""));
    HWND dialog = WaitForDialog(updater);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(ReadProductValue(m_brand, "GuiString"), stamp.downloadId);
    EXPECT_EQ(ReadProductValue(m_brand, "DownloadServer"), stamp.host);
    EXPECT_EQ(ReadProductValue(m_brand, "DownloadServerFolder"), stamp.servicePath);
    EXPECT_EQ(ReadProductValue(m_brand, "Brand"), m_brand);
    EXPECT_EQ(ReadProductValue(m_brand, "DownloaderCRC"), stamp.checksum);
    EXPECT_EQ(CloseWithNo(updater, dialog), 0u);
}

}  // namespace
