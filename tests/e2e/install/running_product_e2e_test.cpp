// A product still running when a run starts: with a visible window the run
// ends, without one it is stopped. A program of the same file name elsewhere
// is never taken for the product.
#include <gtest/gtest.h>

#include "install_fixture.h"
#include "support/window_driver.h"

namespace {

using InstallE2E::InstallRunTest;
using InstallE2E::kProductExePath;
using TestSupport::ChildProcess;

constexpr DWORD kTerminated = 0xFFFFFFFF;
constexpr DWORD kStartTimeoutMs = 15000;

TEST_F(InstallRunTest, RunningProductIsStoppedOnlyWithoutAVisibleWindow) {
    const InstallE2E::ProductFile product = SampleProduct();
    TestSupport::UpdateDocumentBuilder document = NewDocument();
    Publish(document, product);
    ServeDocument(document);
    const std::string elsewhere = m_folder / "elsewhere\\Product.exe";
    const struct {
        const char* mode;
        DWORD exitCode;
        std::vector<InstallE2E::MessageBoxSeen> boxes;
    } cases[] = {
        {"window", 1, {{"Downloader", "Can't update while the application is open"}}},
        {"hidden", 0, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mode);
        RemoveInstallation();
        ASSERT_TRUE(TestSupport::WriteFile(DataPath(kProductExePath), product.content));
        ASSERT_TRUE(TestSupport::WriteFile(elsewhere, product.content));
        ChildProcess running;
        ChildProcess namesake;
        // Started first, so that it comes first among the processes of that name.
        ASSERT_TRUE(namesake.Start(elsewhere, "hidden"));
        ASSERT_TRUE(TestSupport::WaitUntil(
            [&] { return TestSupport::FileExists(elsewhere + ".run.log"); }, kStartTimeoutMs));
        ASSERT_TRUE(running.Start(DataPath(kProductExePath), c.mode));
        ASSERT_EQ(WaitForProductStarts(1).size(), 1u);
        if (std::string(c.mode) == "window") {
            ASSERT_NE(TestSupport::WaitForWindow("Sample product", running.Id(), kStartTimeoutMs),
                      nullptr);
        }

        const InstallE2E::RunOutcome run = RunUpdater();
        EXPECT_EQ(run.exitCode, c.exitCode);
        ASSERT_EQ(run.boxes.size(), c.boxes.size());
        for (std::size_t i = 0; i < c.boxes.size(); ++i) {
            EXPECT_EQ(run.boxes[i].caption, c.boxes[i].caption);
            EXPECT_EQ(run.boxes[i].text, c.boxes[i].text);
        }
        EXPECT_TRUE(namesake.IsRunning());
        if (c.exitCode == 0) {
            EXPECT_EQ(running.WaitForExitCode(0), kTerminated);
            EXPECT_EQ(InstalledRecord(kProductExePath), product.CheckSum());
            EXPECT_EQ(WaitForProductStarts(2).size(), 2u);  // started again by the run
        } else {
            EXPECT_TRUE(running.IsRunning());
            EXPECT_EQ(InstalledRecord(kProductExePath), "");
        }
    }
}

}  // namespace
