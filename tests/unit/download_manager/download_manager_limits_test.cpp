// How much of an overlong body one attempt takes: a listed file no more than
// the largest size listed for its path, the document and the newer updater no
// more than their fixed limits. The server counts what it could send, which
// includes what socket buffers took beyond the client's reads.
#include <windows.h>

#include "document/update_document.h"
#include "download_manager_fixture.h"
#include "utils/unique_handle.h"

namespace DownloadManagerTest {
namespace {

constexpr long long kMiB = 1 << 20;
constexpr long long kSocketBuffers = 16 * kMiB;

class BodyLimitTest : public DownloadManagerFixture {
protected:
    // Answers path with size zero bytes from a file that takes no room.
    void ServeLong(const std::string& path, long long size, bool declared) {
        const std::string file = Path(TestSupport::UniqueName("long"));
        Utils::UniqueFileHandle handle(
            ::CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        LARGE_INTEGER end{};
        end.QuadPart = size;
        ASSERT_TRUE(handle && ::SetFilePointerEx(handle.Get(), end, nullptr, FILE_BEGIN) &&
                    ::SetEndOfFile(handle.Get()));
        m_server->Handle(path, [file](const TestSupport::HttpRequest&) {
            TestSupport::HttpResponse response;
            response.bodyFile = file;
            return response;
        });
        // A declared length is refused before the body is read, but under Wine
        // closing the request then reads what is at hand at once, 1 KB a time:
        // a server as slow as this one runs dry before that gets far.
        TestSupport::Fault fault;
        fault.noContentLength = !declared;
        fault.trickleBytes = declared ? 64 * 1024 : 0;
        fault.trickleDelayMs = declared ? 20 : 0;
        m_server->SetFault(path, fault);
    }
};

TEST_F(BodyLimitTest, AnOverlongBodyStopsArrivingPastItsLimit) {
    ListFile("listed.bin", "listed.bin", "", false, 300000);
    ListFile("unsized.bin", "unsized.bin", "", false, 0);  // as an entry without a Size reads
    CommitDocument();
    const struct {
        int kind, index;
        const char* name;
        long long served, limit;
        bool declared;  // a longer declared length is refused before any byte is read
    } cases[] = {
        {DownloadManager::kListedFile, 0, "listed.bin", 64 * kMiB, 300000, false},
        {DownloadManager::kListedFile, 0, "unsized.bin", 64 * kMiB, 0, false},
        {DownloadManager::kServiceFile, DownloadManager::kDocumentIndex, "doc.xml",
         2 * UpdateDocument::kMaxFileBytes, UpdateDocument::kMaxFileBytes, false},
        {DownloadManager::kServiceFile, DownloadManager::kUpdaterIndex, "new.exe",
         DownloadManager::kMaxUnsizedBodyBytes + 1, DownloadManager::kMaxUnsizedBodyBytes, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string url = std::string("/files/") + c.name;
        ServeLong(url, c.served, c.declared);
        EXPECT_FALSE(m_manager->DownloadOneFile(c.kind, 0, c.name, url, c.name, m_server->Host(),
                                                false, c.index));
        EXPECT_FALSE(TestSupport::FileExists(Path(c.name)));
    }
    m_server->Stop();  // every answer has ended and counted what it sent
    for (const auto& c : cases) {
        EXPECT_LT(m_server->BodyBytesSent(std::string("/files/") + c.name),
                  (c.declared ? 0 : c.limit) + kSocketBuffers)
            << c.name;
    }
    EXPECT_EQ(SideFileCount(), 0);
    // The listed files failed as a wrong size does.
    const auto errors = m_dialog->Errors();
    ASSERT_EQ(errors.size(), 2u);
    EXPECT_EQ(errors[0].first, "listed.bin - File size error, please try again");
    EXPECT_EQ(errors[1].first, "unsized.bin - File size error, please try again");
}

}  // namespace
}  // namespace DownloadManagerTest
