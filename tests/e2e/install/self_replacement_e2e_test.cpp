// An update document that lists a newer updater: a missing one is reported
// and the run goes on; a served one is started from the temporary folder and
// installs itself over the installed copy.
#include <gtest/gtest.h>

#include "install_fixture.h"
#include "support/window_driver.h"
#include "utils/unique_handle.h"

namespace {

using InstallE2E::InstallRunTest;

constexpr char kNewerCheckSum[] = "FEDCBA9876543210FEDCBA9876543210";
// The document may write the same token in lower case: still the newer build.
constexpr char kListedCheckSum[] = "fedcba9876543210fedcba9876543210";
constexpr char kUpdaterServerPath[] = "/updates/fernwick.exe";
constexpr DWORD kRunTimeoutMs = 60000;
constexpr DWORD kRestartDelayMs = 4000;

TEST_F(InstallRunTest, OutdatedUpdaterIsReplacedOrReportedWhenMissing) {
    const std::string updaterTarget = std::string(kUpdaterServerPath) + InstallE2E::kDownloadId;
    TestSupport::UpdateDocumentBuilder document = NewDocument();
    Publish(document, SampleProduct());
    document.AddFile({kUpdaterServerPath, "fernwick.exe", kListedCheckSum, 1000});
    ServeDocument(document);

    const InstallE2E::RunOutcome missing = RunUpdater();
    EXPECT_EQ(missing.exitCode, 0u);
    ASSERT_EQ(missing.boxes.size(), 1u);
    EXPECT_EQ(missing.boxes[0].caption, "");
    EXPECT_EQ(missing.boxes[0].text,
              " Updater is not synced \x96 please download from the website again.");
    EXPECT_EQ(m_server.Hits(updaterTarget), 1);  // a single attempt
    EXPECT_EQ(WaitForProductStarts(1).size(), 1u);

    // A page answered in its place (a service's error page, a log-in portal) is no updater.
    m_server.Serve(updaterTarget, "<html><body>Please log in</body></html>", 200, "text/html");
    const InstallE2E::RunOutcome page = RunUpdater();
    EXPECT_EQ(page.exitCode, 0u);
    ASSERT_EQ(page.boxes.size(), 1u);
    EXPECT_EQ(page.boxes[0].text, missing.boxes[0].text);
    EXPECT_EQ(WaitForProductStarts(2).size(), 2u);

    TestSupport::UpdaterStamp stamp;
    stamp.brand = m_brand;
    stamp.host = m_server.Host();
    stamp.servicePath = InstallE2E::kServicePath;
    stamp.downloadId = InstallE2E::kDownloadId;
    stamp.checksum = kNewerCheckSum;
    const std::string newer = m_folder / "newer.exe";
    ASSERT_TRUE(TestSupport::MakeStampedUpdater(newer, stamp));
    const std::string newerImage = TestSupport::ReadFile(newer);
    m_server.Serve(updaterTarget, newerImage);

    const InstallE2E::RunOutcome handOver = RunUpdater();
    const DWORD handedOver = ::GetTickCount();
    EXPECT_EQ(handOver.exitCode, 0u);
    EXPECT_TRUE(handOver.boxes.empty());
    EXPECT_TRUE(handOver.SawStatus("        Updating the updater, will restart in a few seconds."));
    const std::string temporaryName = "Install" + m_brand + ".exe";
    EXPECT_EQ(TestSupport::ReadFile(InstallE2E::TemporaryFolder() + temporaryName), newerImage);
    // Gone while the new copy waits to begin: it must write the entry itself.
    RemoveUninstallEntry();
    const DWORD newerId = TestSupport::FindProcessByName(temporaryName);
    ASSERT_NE(newerId, 0u) << "the newer updater is not running";
    Utils::UniqueKernelHandle process(::OpenProcess(
        SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_TERMINATE, FALSE, newerId));
    ASSERT_TRUE(process);

    const InstallE2E::RunOutcome restarted =
        InstallE2E::WatchRun(process.Get(), newerId, kRunTimeoutMs);
    EXPECT_GE(::GetTickCount() - handedOver, kRestartDelayMs);
    EXPECT_EQ(restarted.exitCode, 0u);
    EXPECT_TRUE(restarted.boxes.empty());
    EXPECT_EQ(TestSupport::ReadFile(InstalledCopy()), newerImage);
    EXPECT_EQ(ProductValue("DownloaderLocation"), InstalledCopy());
    EXPECT_EQ(UninstallValue("UninstallString"), "\"" + InstalledCopy() + "\" /uninstall");
    EXPECT_EQ(m_server.Hits(InstallRunTest::DocumentTarget()), 4);
    EXPECT_EQ(m_server.Hits(updaterTarget), 3);  // the newer one is current: no fetch
    EXPECT_EQ(WaitForProductStarts(3).size(), 3u);

    // The installed copy, now the newer build, removes the one it was copied from.
    const std::string temporaryCopy = InstallE2E::TemporaryFolder() + temporaryName;
    ASSERT_TRUE(TestSupport::FileExists(temporaryCopy));
    EXPECT_EQ(RunUpdater(InstalledCopy()).exitCode, 0u);
    EXPECT_FALSE(TestSupport::FileExists(temporaryCopy));
    EXPECT_EQ(WaitForProductStarts(4).size(), 4u);
}

}  // namespace
