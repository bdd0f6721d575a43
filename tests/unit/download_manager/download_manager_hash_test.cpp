// The content hash that the document gives for a file: a received file that
// does not match it never replaces the installed copy.
#include <windows.h>

#include "download_manager_fixture.h"
#include "support/test_signing.h"

namespace DownloadManagerTest {
namespace {

using TestSupport::ReadFile;
using TestSupport::Sha256Hex;

class ContentHashTest : public DownloadManagerFixture {
protected:
    // One attempt at data\f.bin; installed holds "installed" before it.
    bool Fetch(const std::string& served, bool compressed,
               const ExpectedHashes& hashes) {
        EXPECT_TRUE(TestSupport::WriteFile(Path("data\\f.bin"), "installed"));
        const std::string serverName = compressed ? "data/f.bin.Kelz" : "data/f.bin";
        m_listed.clear();
        ListFile("data\\f.bin", serverName, served, compressed);
        CommitDocument();
        return m_manager->DownloadOneFile(DownloadManager::kListedFile, 0, "data\\f.bin",
                                          "/files/" + serverName, "data\\f.bin", m_server->Host(),
                                          compressed, 0, hashes);
    }
};

TEST_F(ContentHashTest, PlainFileIsPlacedOnlyWhenItsStreamMatches) {
    const std::string fresh = SomeBytes(300000, 4);  // several write blocks
    const std::string lower = [&] {
        std::string hex = Sha256Hex(fresh);
        for (char& c : hex) c = static_cast<char>(::tolower(static_cast<unsigned char>(c)));
        return hex;
    }();

    EXPECT_FALSE(Fetch(fresh, false, {Sha256Hex(fresh + "x")}));
    EXPECT_EQ(ReadFile(Path("data\\f.bin")), "installed");
    EXPECT_EQ(SideFileCount(), 0);
    ASSERT_EQ(m_dialog->Errors().size(), 1u);
    EXPECT_EQ(m_dialog->Errors()[0].first, "data\\f.bin - File content error, please try again");
    EXPECT_EQ(m_dialog->Errors()[0].second, 0);

    EXPECT_TRUE(Fetch(fresh, false, {Sha256Hex(fresh)}));  // upper case
    EXPECT_EQ(ReadFile(Path("data\\f.bin")), fresh);
    EXPECT_TRUE(Fetch(fresh, false, {lower}));
    EXPECT_TRUE(Fetch(fresh, false, {""}));  // no hash: not checked
    // A ServedSha256 binds the body too, whatever the Sha256 says.
    EXPECT_FALSE(Fetch(fresh, false, {Sha256Hex(fresh), Sha256Hex(fresh + "x")}));
    EXPECT_TRUE(Fetch(fresh, false, {"", Sha256Hex(fresh)}));
}

TEST_F(ContentHashTest, CompressedFileIsCheckedInItsUnpackedForm) {
    InstallTools();
    const std::string content = SomeBytes(50000, 5);
    const std::string packed = PackGeneral(content, m_folder.Path());
    ASSERT_FALSE(packed.empty());

    EXPECT_FALSE(Fetch(packed, true, {Sha256Hex(packed)}));  // the hash of what was sent
    EXPECT_EQ(ReadFile(Path("data\\f.bin")), "installed");
    EXPECT_EQ(SideFileCount(), 0);
    EXPECT_FALSE(TestSupport::FileExists(Path("data\\f.bin.Kelz")));

    EXPECT_TRUE(Fetch(packed, true, {Sha256Hex(content)}));
    EXPECT_EQ(ReadFile(Path("data\\f.bin")), content);
    EXPECT_EQ(SideFileCount(), 0);
}

// With a ServedSha256, bytes that were not served as listed never reach a
// decompressor: the attempt fails on the hash, not on unpacking.
TEST_F(ContentHashTest, PackedBodyIsCheckedBeforeItIsUnpacked) {
    InstallTools();
    const std::string content = SomeBytes(50000, 7);
    const std::string packed = PackGeneral(content, m_folder.Path());
    ASSERT_FALSE(packed.empty());
    const ExpectedHashes listed{Sha256Hex(content), Sha256Hex(packed)};

    EXPECT_FALSE(Fetch(SomeBytes(packed.size(), 8), true, listed));  // not a packed file at all
    EXPECT_EQ(ReadFile(Path("data\\f.bin")), "installed");
    EXPECT_EQ(SideFileCount(), 0);
    EXPECT_FALSE(TestSupport::FileExists(Path("data\\f.bin.Kelz")));
    ASSERT_EQ(m_dialog->Errors().size(), 1u);
    EXPECT_EQ(m_dialog->Errors()[0].first,
              "data\\f.bin.Kelz - File content error, please try again");

    EXPECT_TRUE(Fetch(packed, true, listed));
    EXPECT_EQ(ReadFile(Path("data\\f.bin")), content);
    EXPECT_TRUE(Fetch(packed, true, {"", Sha256Hex(packed)}));
}

// The updater's own fetch (a service file, one attempt) is checked the same way.
TEST_F(ContentHashTest, ServiceFileThatDoesNotMatchIsNotCreated) {
    const std::string image = SomeBytes(70000, 6);
    m_server->Serve("/svc/updater", image);
    const std::string target = Path("Install.exe");
    EXPECT_FALSE(m_manager->DownloadOneFile(
        DownloadManager::kServiceFile, 0, target, "/svc/updater", "", m_server->Host(), false,
        DownloadManager::kUpdaterIndex, {Sha256Hex("another image")}));
    EXPECT_FALSE(TestSupport::FileExists(target));
    EXPECT_EQ(SideFileCount(), 0);
    EXPECT_TRUE(m_manager->DownloadOneFile(DownloadManager::kServiceFile, 0, target, "/svc/updater",
                                           "", m_server->Host(), false,
                                           DownloadManager::kUpdaterIndex, {Sha256Hex(image)}));
    EXPECT_EQ(ReadFile(target), image);
}

}  // namespace
}  // namespace DownloadManagerTest
