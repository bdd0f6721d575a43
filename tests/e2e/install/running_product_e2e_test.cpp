// A product still running when a run starts. A run that fetches files ends
// when any instance has a visible window and otherwise stops every instance;
// a run with nothing to fetch leaves every instance alone. A program of the
// same file name elsewhere is never taken for the product.
#include <gtest/gtest.h>

#include <memory>

#include "install_fixture.h"
#include "support/window_driver.h"

namespace {

using InstallE2E::InstallRunTest;
using InstallE2E::kProductExePath;
using TestSupport::ChildProcess;

constexpr DWORD kTerminated = 0xFFFFFFFF;
constexpr DWORD kStartTimeoutMs = 15000;

TEST_F(InstallRunTest, RunningProductIsStoppedOnlyForAFetchAndWithoutAVisibleWindow) {
    const InstallE2E::ProductFile product = SampleProduct();
    TestSupport::UpdateDocumentBuilder document = NewDocument();
    Publish(document, product);
    ServeDocument(document);
    const std::string elsewhere = m_folder / "elsewhere\\Product.exe";
    const std::string records = "Software\\" + m_brand + "\\Installed";
    const struct {
        std::vector<std::string> instances;  // started in this order
        bool fetches;                        // the product is not recorded as installed
        DWORD exitCode;
    } cases[] = {
        {{"window"}, true, 1},
        {{"hidden"}, true, 0},
        {{"hidden", "hidden"}, true, 0},
        // The windowless instance comes first among the processes: it is not stopped either.
        {{"hidden", "window"}, true, 1},
        {{"window", "hidden"}, false, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.instances) + (c.fetches ? " fetch" : " no fetch"));
        RemoveInstallation();
        ASSERT_TRUE(TestSupport::WriteFile(DataPath(kProductExePath), product.content));
        const std::string checkSum = product.CheckSum();
        if (!c.fetches) {
            ASSERT_EQ(::RegSetKeyValueA(HKEY_CURRENT_USER, records.c_str(), kProductExePath, REG_SZ,
                                        checkSum.c_str(), static_cast<DWORD>(checkSum.size() + 1)),
                      ERROR_SUCCESS);
        }
        ASSERT_TRUE(TestSupport::WriteFile(elsewhere, product.content));
        ChildProcess namesake;
        // Started first, so that it comes first among the processes of that name.
        ASSERT_TRUE(namesake.Start(elsewhere, "hidden"));
        ASSERT_TRUE(TestSupport::WaitUntil(
            [&] { return TestSupport::FileExists(elsewhere + ".run.log"); }, kStartTimeoutMs));
        std::vector<std::unique_ptr<ChildProcess>> instances;
        for (const std::string& mode : c.instances) {
            instances.push_back(std::make_unique<ChildProcess>());
            ASSERT_TRUE(instances.back()->Start(DataPath(kProductExePath), mode));
            ASSERT_EQ(WaitForProductStarts(instances.size()).size(), instances.size());
            if (mode == "window") {
                ASSERT_NE(TestSupport::WaitForWindow("Sample product", instances.back()->Id(),
                                                     kStartTimeoutMs),
                          nullptr);
            }
        }

        const InstallE2E::RunOutcome run = RunUpdater();
        EXPECT_EQ(run.exitCode, c.exitCode);
        EXPECT_TRUE(namesake.IsRunning());
        const bool stopped = c.fetches && c.exitCode == 0;
        for (const auto& instance : instances) {
            if (stopped) {
                EXPECT_EQ(instance->WaitForExitCode(0), kTerminated);
            } else {
                EXPECT_TRUE(instance->IsRunning());
            }
        }
        if (c.exitCode == 0) {
            EXPECT_TRUE(run.boxes.empty()) << run.boxes.front().text;
            EXPECT_EQ(InstalledRecord(kProductExePath), checkSum);
            // Started again by the run.
            EXPECT_EQ(WaitForProductStarts(instances.size() + 1).size(), instances.size() + 1);
        } else {
            ASSERT_EQ(run.boxes.size(), 1u);
            EXPECT_EQ(run.boxes[0].caption, InstallE2E::kFatalCaption);
            EXPECT_EQ(run.boxes[0].text, "Can't update while the application is open");
            EXPECT_EQ(InstalledRecord(kProductExePath), "");
        }
    }
}

}  // namespace
