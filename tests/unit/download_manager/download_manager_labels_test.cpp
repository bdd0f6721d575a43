// What the status line shows while a file is fetched.
#include "download_manager_fixture.h"
#include "transfer/download_reports.h"

namespace DownloadManagerTest {
namespace {

struct LabelCase {
    const char* label;
    int index;
    const char* shown;  // "" when the status line must not change
};

class StatusLabelTest : public DownloadManagerFixture, public ::testing::WithParamInterface<LabelCase> {};

TEST_P(StatusLabelTest, ShowsTheLabelAsTheRulesSay) {
    const LabelCase& c = GetParam();
    m_server->Serve("/svc/file", "contents");
    EXPECT_TRUE(m_manager->DownloadOneFile(DownloadManager::kServiceFile, 0, Path("received.bin"), "/svc/file",
                                           c.label, m_server->Host(), false, c.index));
    std::vector<std::string> expected;
    if (*c.shown) expected.push_back(c.shown);
    EXPECT_EQ(m_dialog->StatusTexts(), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Labels, StatusLabelTest,
    ::testing::Values(LabelCase{" Checking for software updates", -1, " Checking for software updates"},
                      LabelCase{"data\\logo.ico", 0, "Getting file: Zeviv_3E_Zuzor_Ovavav.VOV"},
                      LabelCase{"bin\\app.dll", 10000, "Getting file: bin\\app.dll"},
                      LabelCase{"abcd", 3, "Getting file: abcd"},
                      LabelCase{"abc", 0, ""},
                      LabelCase{" ab", 0, ""},
                      LabelCase{"Brand.exe", DownloadManager::kUpdaterIndex, ""}));

// The updater's own transfer never reports a file that can't be created.
TEST_F(DownloadManagerFixture, UpdaterTransferFailsQuietlyWhenItsFileCantBeCreated) {
    ASSERT_TRUE(TestSupport::WriteFile(Path("notafolder"), "file"));
    m_server->Serve("/svc/updater.exe", "new updater");
    EXPECT_FALSE(m_manager->DownloadOneFile(DownloadManager::kServiceFile, 0, Path("notafolder\\Brand.exe"),
                                            "/svc/updater.exe", "Brand.exe", m_server->Host(), false,
                                            DownloadManager::kUpdaterIndex));
    EXPECT_TRUE(m_dialog->Errors().empty());
    EXPECT_TRUE(m_dialog->StatusTexts().empty());
}

// The last call gives up without a transfer.
TEST_F(DownloadManagerFixture, FourthAttemptGivesUpWithoutATransfer) {
    m_server->Serve("/files/x.ttf", "font");
    m_server->Serve("/files/x.dll", "lib");
    EXPECT_FALSE(m_manager->DownloadOneFile(1, 3, "x.ttf", "/files/x.ttf", "x.ttf", m_server->Host(), false, 0));
    EXPECT_TRUE(m_dialog->Errors().empty());
    EXPECT_THROW(m_manager->DownloadOneFile(1, 3, "x.dll", "/files/x.dll", "x.dll", m_server->Host(), false, 0),
                 TestSupport::FatalReport);
    EXPECT_EQ(m_dialog->FatalErrors(), std::vector<std::string>{Transfer::kConnectFailedText});
    EXPECT_EQ(m_server->Requests().size(), 0u);
}

}  // namespace
}  // namespace DownloadManagerTest
