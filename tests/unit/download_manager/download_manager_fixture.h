#pragma once
// A download manager wired to a test HTTP server, a scratch data folder (the
// current folder), a scratch product key and a recording main dialog.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "support/recording_dialog.h"
#include "support/sample_wav.h"
#include "support/scratch.h"
#include "support/test_http_server.h"
#include "transfer/download_manager.h"
#include "utils/reg/reg_manager.h"

namespace DownloadManagerTest {

// Windows path of a built decompressor program (given as a Linux path at build time).
std::string BuiltToolPath(const char* linuxPath);
// Packs content with a decompressor program's compressor mode; "" on failure.
std::string PackGeneral(const std::string& content, const std::string& workFolder);
std::string PackSound(const std::string& wav, const std::string& workFolder);
using TestSupport::MakeWav;
// Bytes that differ from call to call (by seed).
std::string SomeBytes(std::size_t size, unsigned seed);

class DownloadManagerFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Lists a file in the document and serves its bytes at "/files/" + serverName.
    // size < 0: the listed size is the served size.
    void ListFile(const std::string& clientPath, const std::string& serverName,
                  const std::string& served, bool compressed, long long size = -1);
    // Lists and queues a file for the parallel workers.
    void QueueFile(const std::string& clientPath, const std::string& serverName,
                   const std::string& served, bool compressed = false, long long size = -1);
    // Applies the listed files to the manager (document lists and total bytes).
    void CommitDocument();
    // Copies the decompressor programs into the data folder and names them in the document.
    void InstallTools();
    // One attempt at a listed file, as a worker makes it.
    bool FetchListed(const std::string& clientPath, const std::string& serverName, bool compressed,
                     int attempt = 0, int index = 0);

    std::string Path(const std::string& relative) const { return m_folder / relative; }
    std::string InstalledChecksum(const std::string& clientPath) const;
    // Files whose name contains ".part" anywhere below the data folder.
    int SideFileCount() const;

    TestSupport::ScratchFolder m_folder;
    TestSupport::ScratchRegistryKey m_key;
    std::unique_ptr<Utils::RegManager> m_productKey;
    Utils::RegManager* m_previousKey = nullptr;
    std::string m_previousFolder;
    std::unique_ptr<TestSupport::RecordingDialog> m_dialog;
    std::unique_ptr<TestSupport::TestHttpServer> m_server;
    std::unique_ptr<DownloadManager> m_manager;
    std::vector<UpdateFileEntry> m_listed;
    std::string m_generalTool, m_soundTool;
};

}  // namespace DownloadManagerTest
