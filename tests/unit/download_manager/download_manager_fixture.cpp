#include "download_manager_fixture.h"

#include <windows.h>

#include <algorithm>
#include <vector>

#include "support/update_document_builder.h"
#include "support/updater_process.h"
#include "utils/unique_handle.h"

namespace DownloadManagerTest {
namespace {

std::string Pack(const std::string& command, const std::string& content, const std::string& work,
                 const char* extension) {
    std::string input = work + "\\" + TestSupport::UniqueName("plain");
    std::string packed = input + extension;
    if (!TestSupport::WriteFile(input, content) ||
        !TestSupport::RunToSuccess(command + " " + input + " " + packed))
        return "";
    return TestSupport::ReadFile(packed);
}

}  // namespace

std::string BuiltToolPath(const char* linuxPath) {
    std::string path = std::string("Z:") + linuxPath;
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

std::string PackGeneral(const std::string& content, const std::string& work) {
    return Pack(BuiltToolPath(UNKELZ_EXE) + " c", content, work, ".Kelz");
}

std::string PackSound(const std::string& wav, const std::string& work) {
    return Pack(BuiltToolPath(UNKELW_EXE) + " -c", wav, work, ".Kelw");
}

std::string SomeBytes(std::size_t size, unsigned seed) {
    std::string bytes(size, '\0');
    unsigned state = seed * 2654435761u + 1;
    for (char& c : bytes) {
        state = state * 1103515245u + 12345u;
        c = static_cast<char>(state >> 16);
    }
    return bytes;
}

void DownloadManagerFixture::SetUp() {
    char previous[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, previous);
    m_previousFolder = previous;
    ASSERT_TRUE(SetCurrentDirectoryA(m_folder.Path().c_str()));
    m_productKey = std::make_unique<Utils::RegManager>(true, m_key.Name());
    m_previousKey = Utils::g_productKeyManager;
    Utils::g_productKeyManager = m_productKey.get();
    m_dialog = std::make_unique<TestSupport::RecordingDialog>();
    m_server = std::make_unique<TestSupport::TestHttpServer>();
    ASSERT_TRUE(m_server->Start());
    m_manager = std::make_unique<DownloadManager>(BuildSettings{});
    m_manager->SetDataFolder(m_folder.Path());
}

void DownloadManagerFixture::TearDown() {
    m_manager.reset();
    if (m_server) m_server->Stop();
    m_dialog.reset();
    Utils::g_productKeyManager = m_previousKey;
    SetCurrentDirectoryA(m_previousFolder.c_str());
}

void DownloadManagerFixture::ListFile(const std::string& clientPath, const std::string& serverName,
                                      const std::string& served, bool compressed, long long size) {
    m_server->Serve("/files/" + serverName, served);
    UpdateFileEntry entry;
    entry.serverRelativePath = "/files/" + serverName;
    entry.clientRelativePath = clientPath;
    entry.checkSum = "sum-" + clientPath;
    entry.size = size < 0 ? static_cast<long long>(served.size()) : size;
    entry.isCompressed = compressed;
    m_listed.push_back(entry);
}

void DownloadManagerFixture::QueueFile(const std::string& clientPath, const std::string& serverName,
                                       const std::string& served, bool compressed, long long size) {
    ListFile(clientPath, serverName, served, compressed, size);
    m_manager->AddFetchFile(m_listed.back());
}

void DownloadManagerFixture::InstallTools() {
    CreateDirectoryA(Path("tools").c_str(), nullptr);
    ASSERT_TRUE(
        CopyFileA(BuiltToolPath(UNKELZ_EXE).c_str(), Path("tools\\unkelz.exe").c_str(), FALSE));
    ASSERT_TRUE(
        CopyFileA(BuiltToolPath(UNKELW_EXE).c_str(), Path("tools\\unkelw.exe").c_str(), FALSE));
    m_generalTool = "tools\\unkelz.exe";
    m_soundTool = "tools\\unkelw.exe";
}

void DownloadManagerFixture::CommitDocument() {
    TestSupport::UpdateDocumentBuilder builder;
    builder.Root("FilesServer", m_server->Host()).Root("ProductExePath", "bin\\product.exe");
    builder.Root("CompressFilePath", m_generalTool).Root("CompressWAVPath", m_soundTool);
    long long total = 0;
    for (const UpdateFileEntry& entry : m_listed) {
        builder.AddFile({entry.serverRelativePath, entry.clientRelativePath, entry.checkSum,
                         entry.size, entry.isCompressed});
        total += entry.size;
    }
    std::string documentPath = Path(TestSupport::UniqueName("document") + ".xml");
    ASSERT_TRUE(builder.WriteTo(documentPath));
    ASSERT_EQ(m_manager->GetDocument().Load(documentPath), UpdateDocument::LoadStatus::Loaded);
    DeleteFileA(documentPath.c_str());
    m_manager->TakeDocumentValues();
    m_manager->SetTotalBytes(total);
}

bool DownloadManagerFixture::FetchListed(const std::string& clientPath,
                                         const std::string& serverName, bool compressed,
                                         int attempt, int index) {
    return m_manager->DownloadOneFile(DownloadManager::kListedFile, attempt, clientPath,
                                      "/files/" + serverName, clientPath, m_server->Host(),
                                      compressed, index);
}

std::string DownloadManagerFixture::InstalledChecksum(const std::string& clientPath) const {
    return m_productKey->GetStringValue(clientPath, "Installed", "<none>");
}

int DownloadManagerFixture::SideFileCount() const {
    std::vector<std::string> pending{m_folder.Path()};
    int count = 0;
    while (!pending.empty()) {
        std::string folder = pending.back();
        pending.pop_back();
        WIN32_FIND_DATAA entry{};
        Utils::UniqueFindHandle find(FindFirstFileA((folder + "\\*").c_str(), &entry));
        if (!find) continue;
        do {
            std::string name = entry.cFileName;
            if (name == "." || name == "..") continue;
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                pending.push_back(folder + "\\" + name);
            else if (name.find(".part") != std::string::npos)
                ++count;
        } while (FindNextFileA(find.Get(), &entry));
    }
    return count;
}

}  // namespace DownloadManagerTest
