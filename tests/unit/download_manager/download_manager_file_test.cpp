// One attempt at one listed file: what lands on disk, what is reported, and
// that a failed attempt never damages the installed copy.
#include <windows.h>

#include <thread>

#include "download_manager_fixture.h"
#include "transfer/download_reports.h"

namespace DownloadManagerTest {
namespace {

using TestSupport::FileExists;
using TestSupport::ReadFile;

class DownloadOneFileTest : public DownloadManagerFixture {};

TEST_F(DownloadOneFileTest, PlainFileReplacesTheInstalledCopy) {
    ASSERT_TRUE(TestSupport::WriteFile(Path("data\\a.bin"), "old contents"));
    std::string fresh = SomeBytes(5000, 1);
    ListFile("data\\a.bin", "data/a.bin", fresh, false);
    CommitDocument();

    EXPECT_TRUE(FetchListed("data\\a.bin", "data/a.bin", false));
    EXPECT_EQ(ReadFile(Path("data\\a.bin")), fresh);
    EXPECT_EQ(SideFileCount(), 0);
    EXPECT_TRUE(m_dialog->Errors().empty());
    ASSERT_EQ(m_server->Requests().size(), 1u);
    EXPECT_EQ(m_server->Requests()[0].Header("User-Agent"), "DownloaderKel");
}

// A fatal report ends the process while other transfers are still going:
// their side files go (an open one once its transfer closes it), and the
// installed copy stays as it was.
TEST_F(DownloadOneFileTest, DiscardedTransferInFlightLeavesNoSideFile) {
    ASSERT_TRUE(TestSupport::WriteFile(Path("data\\a.bin"), "old contents"));
    ListFile("data\\a.bin", "data/a.bin", SomeBytes(40000, 7), false);
    CommitDocument();
    TestSupport::Fault slow;
    slow.trickleBytes = 4000;
    slow.trickleDelayMs = 50;
    m_server->SetFault("/files/data/a.bin", slow);

    bool placed = true;
    std::thread transfer([&] { placed = FetchListed("data\\a.bin", "data/a.bin", false); });
    for (int i = 0; i < 500 && SideFileCount() == 0; ++i) ::Sleep(10);
    EXPECT_EQ(SideFileCount(), 1);
    m_manager->DiscardTransfersInFlight();
    transfer.join();
    EXPECT_FALSE(placed);
    EXPECT_EQ(ReadFile(Path("data\\a.bin")), "old contents");
    EXPECT_EQ(SideFileCount(), 0);
}

// Every way an attempt can fail keeps the installed file byte for byte.
struct FailedAttempt {
    const char* name;
    TestSupport::Fault fault;
    long long listedSize;  // -1: the served size
    const char* report;    // expected severity-0 report, "" for none
};

class FailedAttemptTest : public DownloadManagerFixture,
                          public ::testing::WithParamInterface<FailedAttempt> {};

TEST_P(FailedAttemptTest, KeepsInstalledFileAndLeavesNoSideFile) {
    const FailedAttempt& c = GetParam();
    const std::string installed = SomeBytes(3000, 7);
    ASSERT_TRUE(TestSupport::WriteFile(Path("lib\\core.dll"), installed));
    ListFile("lib\\core.dll", "lib/core.dll", SomeBytes(200000, 8), false, c.listedSize);
    m_server->SetFault("/files/lib/core.dll", c.fault);
    CommitDocument();

    EXPECT_FALSE(FetchListed("lib\\core.dll", "lib/core.dll", false));
    EXPECT_EQ(ReadFile(Path("lib\\core.dll")), installed);
    EXPECT_EQ(SideFileCount(), 0);
    bool reported = false;
    for (const auto& [message, severity] : m_dialog->Errors()) {
        EXPECT_EQ(severity, 0) << message;
        reported = reported || message == c.report;
    }
    if (*c.report) {
        EXPECT_TRUE(reported) << c.report;
    }
}

TestSupport::Fault Status(int code) {
    TestSupport::Fault fault;
    fault.status = code;
    return fault;
}
TestSupport::Fault DropAt(long long bytes) {
    TestSupport::Fault fault;
    fault.dropBodyAt = bytes;
    return fault;
}
TestSupport::Fault CutAt(long long bytes) {
    TestSupport::Fault fault;
    fault.cutBodyAt = bytes;
    return fault;
}
TestSupport::Fault NoResponse() {
    TestSupport::Fault fault;
    fault.noResponse = true;
    return fault;
}

INSTANTIATE_TEST_SUITE_P(
    Faults, FailedAttemptTest,
    ::testing::Values(
        FailedAttempt{"NotFound", Status(404), -1, "Server maintenance - download failed: lib\\core.dll"},
        FailedAttempt{"ServerError", Status(503), -1, "Server maintenance - download failed: lib\\core.dll"},
        FailedAttempt{"DroppedMidBody", DropAt(70000), -1, "lib\\core.dll - File size error, please try again"},
        FailedAttempt{"CutMidBody", CutAt(100000), -1, "lib\\core.dll - File size error, please try again"},
        FailedAttempt{"NoResponse", NoResponse(), -1, "lib\\core.dll - File size error, please try again"},
        FailedAttempt{"WrongSize", TestSupport::Fault{}, 199999, "lib\\core.dll - File size error, please try again"}),
    [](const ::testing::TestParamInfo<FailedAttempt>& info) { return std::string(info.param.name); });

TEST_F(DownloadOneFileTest, CompressedFontIsReceivedCheckedUnpackedAndThePackedFileRemoved) {
    InstallTools();
    std::string font = SomeBytes(40000, 3);
    std::string packed = PackGeneral(font, m_folder.Path());
    ASSERT_FALSE(packed.empty());
    ListFile("fonts\\a.ttf", "fonts/a.ttf.Kelz", packed, true);
    CommitDocument();

    EXPECT_TRUE(FetchListed("fonts\\a.ttf", "fonts/a.ttf.Kelz", true));
    EXPECT_EQ(ReadFile(Path("fonts\\a.ttf")), font);
    EXPECT_FALSE(FileExists(Path("fonts\\a.ttf.Kelz")));
    EXPECT_EQ(SideFileCount(), 0);
    std::vector<std::string> status = m_dialog->StatusTexts();
    EXPECT_NE(std::find(status.begin(), status.end(), "Unzipping: fonts\\a.ttf"), status.end());
}

// The size check measures the ".Kelw" file that was received, not a ".Kelz" name.
TEST_F(DownloadOneFileTest, SoundFileRoundTrip) {
    InstallTools();
    std::string wav = MakeWav(6000);
    std::string packed = PackSound(wav, m_folder.Path());
    ASSERT_FALSE(packed.empty());
    ListFile("sounds\\ding.wav", "sounds/ding.wav.Kelw", packed, true);
    CommitDocument();

    EXPECT_TRUE(FetchListed("sounds\\ding.wav", "sounds/ding.wav.Kelw", true));
    EXPECT_EQ(ReadFile(Path("sounds\\ding.wav")), wav);
    EXPECT_EQ(SideFileCount(), 0);
    EXPECT_TRUE(m_dialog->Errors().empty());
}

TEST_F(DownloadOneFileTest, CorruptCompressedFileKeepsTheInstalledCopy) {
    InstallTools();
    ASSERT_TRUE(TestSupport::WriteFile(Path("data\\b.dat"), "installed"));
    ListFile("data\\b.dat", "data/b.dat.Kelz", "definitely not zstd data", true);
    CommitDocument();

    EXPECT_FALSE(FetchListed("data\\b.dat", "data/b.dat.Kelz", true));
    EXPECT_EQ(ReadFile(Path("data\\b.dat")), "installed");
    EXPECT_EQ(SideFileCount(), 0);
    auto errors = m_dialog->Errors();
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].first, "data\\b.dat.Kelz - Could not extract the file, please uninstall and try again");
}

TEST_F(DownloadOneFileTest, CorruptCompressedFontFailsWithoutReport) {
    InstallTools();
    ListFile("fonts\\c.ttf", "fonts/c.ttf.Kelz", "garbage", true);
    CommitDocument();
    EXPECT_FALSE(FetchListed("fonts\\c.ttf", "fonts/c.ttf.Kelz", true));
    EXPECT_TRUE(m_dialog->Errors().empty());
}

// A folder standing where the installed file belongs: the body arrives, but
// it can't be put in place, which is as fatal as an output file that can't be created.
TEST_F(DownloadOneFileTest, UnwritableTargetIsFatal) {
    ASSERT_TRUE(CreateDirectoryA(Path("blocked.dat").c_str(), nullptr));
    ListFile("blocked.dat", "blocked.dat", "body", false);
    CommitDocument();
    try {
        FetchListed("blocked.dat", "blocked.dat", false);
        ADD_FAILURE() << "no fatal report";
    } catch (const TestSupport::FatalReport& report) {
        EXPECT_EQ(report.message, std::string("blocked.dat") + Transfer::kFileErrorText);
    }
    EXPECT_EQ(SideFileCount(), 0);
}

// A file standing where a folder of the path belongs: the output file can't be created.
TEST_F(DownloadOneFileTest, UncreatableOutputFileIsFatalExceptForFonts) {
    ASSERT_TRUE(TestSupport::WriteFile(Path("plain"), "a file, not a folder"));
    ListFile("plain\\x.dll", "x.dll", "body", false);
    ListFile("plain\\x.ttf", "x.ttf", "body", false);
    CommitDocument();
    try {
        FetchListed("plain\\x.dll", "x.dll", false);
        ADD_FAILURE() << "no fatal report";
    } catch (const TestSupport::FatalReport& report) {
        EXPECT_EQ(report.message, std::string("plain\\x.dll") + " File error \x96 please restart your computer and try again");
    }
    EXPECT_FALSE(FetchListed("plain\\x.ttf", "x.ttf", false));
    EXPECT_EQ(m_dialog->FatalErrors().size(), 1u);
}

TEST_F(DownloadOneFileTest, NotFoundDeletesOnlyTheSideFileForServiceFiles) {
    ASSERT_TRUE(TestSupport::WriteFile(Path("update.xml"), "previous document"));
    m_server->Serve("/service/doc", "gone", 404);
    EXPECT_FALSE(m_manager->DownloadOneFile(DownloadManager::kServiceFile, 0, Path("update.xml"),
                                            "/service/doc", " Checking for software updates",
                                            m_server->Host(), false, DownloadManager::kDocumentIndex));
    EXPECT_EQ(ReadFile(Path("update.xml")), "previous document");
    EXPECT_TRUE(m_dialog->Errors().empty());  // service files report nothing at 400 and above
    EXPECT_EQ(SideFileCount(), 0);
}

TEST_F(DownloadOneFileTest, ProductExecutableVersionIsRecorded) {
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    ListFile("bin\\product.exe", "bin/product.exe", ReadFile(self), false);
    CommitDocument();
    EXPECT_TRUE(FetchListed("BIN\\Product.EXE", "bin/product.exe", false));
    EXPECT_EQ(m_productKey->GetStringValue("FileVersion"), "3.1.4.15");
}

TEST_F(DownloadOneFileTest, ProductExecutableWithoutVersionFailsAndRecordsFailed) {
    ASSERT_TRUE(TestSupport::WriteFile(Path("bin\\product.exe"), "installed exe"));
    ListFile("bin\\product.exe", "bin/product.exe", "MZ but no version", false);
    CommitDocument();
    EXPECT_FALSE(FetchListed("bin\\product.exe", "bin/product.exe", false, 1));
    EXPECT_EQ(m_productKey->GetStringValue("FileVersion"), "FAILED");
    EXPECT_EQ(ReadFile(Path("bin\\product.exe")), "installed exe");
    auto errors = m_dialog->Errors();
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0], std::make_pair(std::string("bin\\product.exe - File version error, please try again"), 1));
}

// A side name that a listed file uses is never written over.
TEST_F(DownloadOneFileTest, ListedFileNamedLikeASideFileIsLeftAlone) {
    ASSERT_TRUE(TestSupport::WriteFile(Path("x.bin.part"), "listed file"));
    ListFile("x.bin", "x.bin", "new", false);
    ListFile("x.bin.part", "x.bin.part", "listed file", false);
    CommitDocument();
    EXPECT_TRUE(FetchListed("x.bin", "x.bin", false));
    EXPECT_EQ(ReadFile(Path("x.bin")), "new");
    EXPECT_EQ(ReadFile(Path("x.bin.part")), "listed file");
}

}  // namespace
}  // namespace DownloadManagerTest
