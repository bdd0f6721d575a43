// One run of a product at a time: while a run of a brand is under way, every
// later start of that brand leaves at once with exit code 0, without a window
// and without a request; other brands run meanwhile, and once the run has
// ended (also when it was killed) the next start runs.
#include <gtest/gtest.h>

#include "support/window_driver.h"
#include "updater_fixture.h"
#include "utils/unique_handle.h"

namespace {

using AppE2E::UpdaterTest;
using TestSupport::ChildProcess;

std::string Uppercased(std::string text) {
    for (char& c : text) c = static_cast<char>(::toupper(static_cast<unsigned char>(c)));
    return text;
}

std::string Lowercased(std::string text) {
    for (char& c : text) c = static_cast<char>(::tolower(static_cast<unsigned char>(c)));
    return text;
}

TEST_F(UpdaterTest, LaterStartsOfABrandLeaveWhileItsRunIsUnderWay) {
    ASSERT_TRUE(StampUpdater());
    // The brand in other letter case names the same folders and keys.
    TestSupport::UpdaterStamp sameProduct;
    sameProduct.brand = Uppercased(m_brand);
    const std::string copy = m_folder / ("Copy" + m_exeName);
    ASSERT_TRUE(StampUpdater(sameProduct, copy));
    ChildProcess running;
    ASSERT_TRUE(running.Start(m_exe, ""));
    ASSERT_NE(WaitForDialog(running), nullptr);  // waiting for its stalled document
    // The dialog may show before the worker's request arrives: count from that request on.
    ASSERT_TRUE(TestSupport::WaitUntil([&] { return !m_stalledService.Requests().empty(); },
                                       AppE2E::kWindowTimeoutMs));
    const std::size_t requests = m_stalledService.Requests().size();

    for (const std::string& exe : {m_exe, copy}) {
        for (const char* arguments : {"", "/uninstall", "/uninstall2"}) {
            ChildProcess later;
            ASSERT_TRUE(later.Start(exe, arguments));
            EXPECT_EQ(later.WaitForExitCode(AppE2E::kExitTimeoutMs), 0u) << exe << arguments;
        }
    }
    for (const std::string& launched : {m_exeName, "Copy" + m_exeName})  // no uninstalling copy
        EXPECT_EQ(TestSupport::FindProcessByName("UnInstall" + launched), 0u) << launched;
    EXPECT_EQ(m_stalledService.Requests().size(), requests);
    EXPECT_TRUE(running.IsRunning());

    const std::string otherBrand = m_brand + "Other";
    TestSupport::UpdaterStamp other;
    other.brand = otherBrand;
    const std::string otherExe = m_folder / ("Other" + m_exeName);
    ASSERT_TRUE(StampUpdater(other, otherExe));
    ChildProcess otherRun;
    ASSERT_TRUE(otherRun.Start(otherExe, ""));
    HWND otherDialog = WaitForDialog(otherRun);
    const DWORD otherExitCode = otherDialog ? CloseWithNo(otherRun, otherDialog) : 1;
    TestSupport::DeleteProductKey(otherBrand);
    EXPECT_NE(otherDialog, nullptr);
    EXPECT_EQ(otherExitCode, 0u);

    EXPECT_EQ(running.WaitForExitCode(0), ChildProcess::kKilled);
    ChildProcess next;
    ASSERT_TRUE(next.Start(copy, ""));
    HWND dialog = WaitForDialog(next);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(CloseWithNo(next, dialog), 0u);
}

// An updater that replaced itself starts its successor with a delay: the
// successor holds the lock through its delay, so no start comes in between.
TEST_F(UpdaterTest, ADelayedStartHoldsTheLockThroughItsDelay) {
    ASSERT_TRUE(StampUpdater());
    ChildProcess successor;
    ASSERT_TRUE(successor.Start(m_exe, "4000"));
    const std::string lockName = "Global\\NimbraUpdaterRun." + Lowercased(m_brand);
    ASSERT_TRUE(TestSupport::WaitUntil(
        [&] {
            return Utils::UniqueKernelHandle(::OpenMutexA(SYNCHRONIZE, FALSE, lockName.c_str()))
                .IsValid();
        },
        AppE2E::kWindowTimeoutMs));
    ChildProcess later;
    ASSERT_TRUE(later.Start(m_exe, ""));
    EXPECT_EQ(later.WaitForExitCode(AppE2E::kExitTimeoutMs), 0u);
    EXPECT_EQ(TestSupport::FindTopLevelWindow("Downloader", successor.Id()), nullptr);
    HWND dialog = WaitForDialog(successor);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(CloseWithNo(successor, dialog), 0u);
}

}  // namespace
