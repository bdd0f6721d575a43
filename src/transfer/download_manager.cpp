#include "transfer/download_manager.h"

#include <windows.h>

#include <algorithm>

#include "transfer/download_progress.h"
#include "transfer/download_reports.h"
#include "utils/exception.h"
#include "utils/reg/reg_manager.h"
#include "utils/string/string_utils.h"
#include "utils/unique_handle.h"

namespace {
constexpr char kInstalledSubkey[] = "Installed";

std::string Lowered(std::string text) { return Utils::String::ToLower(text); }
}  // namespace

DownloadManager::DownloadManager(BuildSettings settings) : m_settings(std::move(settings)) {}

DownloadManager::~DownloadManager() = default;

void DownloadManager::TakeDocumentValues() {
    m_filesServer = m_document.GetFilesServer();
    SetProductExePath(m_document.GetProductExePath());
    SetDocumentFiles(m_document.GetFileEntries());
}

void DownloadManager::SetProductExePath(const std::string& path) {
    m_productExePath = path;
    std::size_t slash = path.rfind('\\');
    m_productExeName = slash == std::string::npos ? path : path.substr(slash + 1);
    m_productExeFolder = slash == std::string::npos ? "" : path.substr(0, slash);
}

std::string DownloadManager::GetInstalledProductPath() const {
    if (m_productExeName.empty() || m_dataFolder.empty()) return "";
    return m_dataFolder + "\\" + m_productExePath;
}

void DownloadManager::SetDocumentFiles(const std::vector<UpdateFileEntry>& files) {
    m_documentClientPaths.clear();
    m_listedSizes.clear();
    m_listedPathsLower.clear();
    for (const UpdateFileEntry& file : files) {
        m_documentClientPaths.push_back(file.clientRelativePath);
        m_listedSizes[file.clientRelativePath].push_back(file.size);
        m_listedPathsLower.insert(Lowered(file.clientRelativePath));
    }
}

bool DownloadManager::IsListedPath(const std::string& path) const {
    return m_listedPathsLower.count(Lowered(path)) != 0;
}

void DownloadManager::AddFetchFile(const UpdateFileEntry& file) {
    Utils::MT::ScopedLock lock(*this);
    m_fetchServerPaths.push_back(file.serverRelativePath);
    m_fetchClientPaths.push_back(file.clientRelativePath);
    m_fetchCheckSums.push_back(file.checkSum);
    m_fetchHashes.push_back({file.sha256, file.servedSha256});
    m_fetchCompressed.push_back(file.isCompressed);
    m_regularProgress.push_back(0);
    ++m_queued;
    ++m_remaining;
}

int DownloadManager::AddToolFile() {
    Utils::MT::ScopedLock lock(*this);
    m_toolProgress.push_back(0);
    return kToolIndexBase + static_cast<int>(m_toolProgress.size()) - 1;
}

int DownloadManager::TakeNextFile() {
    Utils::MT::ScopedLock lock(*this);
    if (m_remaining <= 0) return -1;
    return m_queued - m_remaining--;
}

void DownloadManager::ReportProgress(std::int64_t received, int index, std::int64_t expected) {
    bool mustSend = false;
    {
        Utils::MT::ScopedLock lock(*this);
        if (index < 0) {
            mustSend =
                m_progressDisplay.Want(Transfer::TransferPosition(received, expected), false, 0);
        } else {
            std::vector<std::int64_t>& list =
                index >= kToolIndexBase ? m_toolProgress : m_regularProgress;
            std::size_t slot =
                static_cast<std::size_t>(index >= kToolIndexBase ? index - kToolIndexBase : index);
            if (slot >= list.size()) return;
            m_progressSum += received - list[slot];
            list[slot] = received;
            double value = Transfer::OverallProgress(m_progressSum, m_totalBytes);
            if (value >= 0)
                mustSend = m_progressDisplay.Want(Transfer::OverallPosition(value), true, value);
        }
    }
    // The dialog call happens outside the manager lock so no worker waits on window traffic.
    if (mustSend) m_progressDisplay.Send();
}

int DownloadManager::WorkerThread(void* manager) {
    static_cast<DownloadManager*>(manager)->DownloadWorker();
    return 0;
}

void DownloadManager::RunParallelDownloads(int workerCount) {
    workerCount = std::min(std::max(workerCount, 1), kMaxWorkers);
    m_progressDisplay.Forget();
    std::vector<Utils::UniqueKernelHandle> workers;
    for (int i = 0; i < workerCount; ++i) {
        Utils::UniqueKernelHandle worker(
            Utils::MT::StartThread(&DownloadManager::WorkerThread, this));
        if (worker) workers.push_back(std::move(worker));
    }
    // Without any worker thread the files would silently stay unfetched.
    if (workers.empty()) DownloadWorker();
    for (const Utils::UniqueKernelHandle& worker : workers)
        ::WaitForSingleObject(worker.Get(), INFINITE);
    m_progressDisplay.Flush();
}

bool DownloadManager::DownloadWithRetries(int kind, const std::string& localPath,
                                          const std::string& urlPath, const std::string& label,
                                          const std::string& host, bool compressed, int index,
                                          const ExpectedHashes& hashes) {
    for (int attempt = 0; attempt <= kLastAttempt; ++attempt) {
        if (DownloadOneFile(kind, attempt, localPath, urlPath, label, host, compressed, index,
                            hashes))
            return true;
    }
    return false;
}

void DownloadManager::DownloadWorker() {
    for (int index = TakeNextFile(); index >= 0; index = TakeNextFile()) FetchQueuedFile(index);
}

// A failure that escapes a transfer must not pass as a fetched file: it ends
// the run with the file's error, as a file that can't be written does.
void DownloadManager::FetchQueuedFile(int index) {
    const std::string& clientPath = m_fetchClientPaths[index];
    bool escaped = false;
    try {
        if (DownloadWithRetries(kListedFile, clientPath, m_fetchServerPaths[index], clientPath,
                                m_filesServer, m_fetchCompressed[index], index,
                                m_fetchHashes[index]))
            RecordInstalled(clientPath, m_fetchCheckSums[index]);
    } catch (Utils::Exception* error) {
        delete error;
        escaped = true;
    } catch (...) {
        escaped = true;
    }
    if (escaped) Transfer::Report(clientPath + Transfer::kFileErrorText, kFatalSeverity);
}

void DownloadManager::RecordInstalled(const std::string& clientPath, const std::string& checkSum) {
    Utils::RegManager* key = Utils::g_productKeyManager;
    if (!key || !key->SetStringValue(clientPath, checkSum, true, kInstalledSubkey))
        Transfer::Report(kRegistryWriteFailedText, kFatalSeverity);
}
