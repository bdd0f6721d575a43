#pragma once
// The run's controller: build settings, the parsed update document, the file
// lists and the progress counters of one run, and the fetching of files with
// all checks that follow a transfer, by one caller or by a pool of workers.
#include <cstdint>
#include <string>
#include <unordered_set>
#include <vector>

#include "document/update_document.h"
#include "document/update_file_entry.h"
#include "transfer/progress_display.h"
#include "transfer/transfer_paths.h"
#include "utils/mt/threads.h"

class DownloadManager : public Utils::MT::AbstractThreadSafeClass {
public:
    class FileDownloaderListener;
    using StringList = std::vector<std::string>;

    static constexpr int kServiceFile = 0;  // DownloadOneFile kinds
    static constexpr int kListedFile = 1;
    static constexpr int kLastAttempt = 3;
    static constexpr int kDocumentIndex = -1;  // progress indexes
    static constexpr int kUpdaterIndex = -10;
    static constexpr int kToolIndexBase = 10000;
    static constexpr int kMaxWorkers = 100;

    // Copies the brand and updater checksum slots of the build settings and
    // makes this object the process-wide download manager.
    DownloadManager();
    ~DownloadManager() override;

    // Build settings and hosts (set before any transfer, then only read).
    const std::string& GetBrand() const { return m_brand; }
    const std::string& GetUpdaterChecksum() const { return m_updaterChecksum; }
    const std::string& GetServerHost() const { return m_serverHost; }
    void SetServerHost(const std::string& host) { m_serverHost = host; }
    const std::string& GetFilesServer() const { return m_filesServer; }
    void SetFilesServer(const std::string& host) { m_filesServer = host; }

    // The update document and the values taken from it.
    UpdateDocument& GetDocument() { return m_document; }
    const UpdateDocument& GetDocument() const { return m_document; }
    // Copies the files server, the product exe path (with its folder and
    // name) and the document's file lists from the loaded document.
    void TakeDocumentValues();
    void SetProductExePath(const std::string& path);
    const std::string& GetProductExePath() const { return m_productExePath; }
    const std::string& GetProductExeFolder() const { return m_productExeFolder; }
    const std::string& GetProductExeName() const { return m_productExeName; }
    const std::string& GetProgramFolder() const { return m_programFolder; }
    void SetProgramFolder(const std::string& folder) { m_programFolder = folder; }
    const std::string& GetDataFolder() const { return m_dataFolder; }
    void SetDataFolder(const std::string& folder) { m_dataFolder = folder; }
    void SetDocumentFiles(const std::vector<UpdateFileEntry>& files);
    const StringList& GetDocumentServerPaths() const { return m_documentServerPaths; }
    const StringList& GetDocumentClientPaths() const { return m_documentClientPaths; }
    const StringList& GetDocumentCheckSums() const { return m_documentCheckSums; }
    const std::vector<std::int64_t>& GetDocumentSizes() const { return m_documentSizes; }

    // The files to fetch. Filled before the workers start, then only read.
    // A regular file goes to the parallel workers; a tool file is fetched by
    // the caller and only has a progress entry (returned: its progress index).
    void AddFetchFile(const UpdateFileEntry& file);
    int AddToolFile();
    const StringList& GetFetchServerPaths() const { return m_fetchServerPaths; }
    const StringList& GetFetchClientPaths() const { return m_fetchClientPaths; }
    const StringList& GetFetchCheckSums() const { return m_fetchCheckSums; }
    const std::vector<bool>& GetFetchCompressedFlags() const { return m_fetchCompressed; }
    int GetQueuedCount() const { return m_queued; }
    std::int64_t GetTotalBytes() const { return m_totalBytes; }
    void SetTotalBytes(std::int64_t bytes) { m_totalBytes = bytes; }

    // One attempt at one file (kind: kServiceFile or kListedFile; attempt 0..3;
    // index: regular position, kToolIndexBase + tool position, kDocumentIndex
    // or kUpdaterIndex). True when the file is in place and passed every
    // check; a failed attempt leaves the installed copy as it was. At attempt
    // 3 it gives up: false for a font, a fatal report otherwise. Any thread.
    bool DownloadOneFile(int kind, int attempt, const std::string& localPath,
                         const std::string& urlPath, const std::string& label,
                         const std::string& host, bool compressed, int index);
    // Fetches every regular file with workerCount workers (1..kMaxWorkers)
    // and returns when all of them have ended.
    void RunParallelDownloads(int workerCount);
    // The next regular file's index, each exactly once, in list order; -1 when none is left.
    int TakeNextFile();
    // A worker's loop: takes files until none is left; records each fetched file as installed.
    void DownloadWorker();
    // Progress of one transfer after each written chunk (any thread).
    void ReportProgress(std::int64_t received, int index, std::int64_t expected);
    // For callers that move the progress bar themselves.
    void ForgetShownProgress() { m_progressDisplay.Forget(); }

private:
    static int WorkerThread(void* manager);
    bool IsListedPath(const std::string& path) const;
    bool CheckListedFile(bool result, int attempt, const std::string& localPath, const std::string& label,
                         const Transfer::TransferPaths& paths, bool compressed);
    bool Unpack(int attempt, const std::string& localPath, const std::string& label,
                const Transfer::TransferPaths& paths);
    bool CheckProductVersion(int attempt, const Transfer::TransferPaths& paths);
    bool PlaceFile(const std::string& localPath, const Transfer::TransferPaths& paths,
                   bool compressed, int index);
    void RecordInstalled(int index);

    std::string m_brand;
    std::string m_updaterChecksum;
    std::string m_serverHost;
    std::string m_filesServer;
    UpdateDocument m_document;
    std::string m_productExePath, m_productExeFolder, m_productExeName;
    std::string m_programFolder, m_dataFolder;
    StringList m_documentServerPaths, m_documentClientPaths, m_documentCheckSums;
    std::vector<std::int64_t> m_documentSizes;
    std::unordered_set<std::string> m_listedPathsLower;  // for side-file names

    StringList m_fetchServerPaths, m_fetchClientPaths, m_fetchCheckSums;
    std::vector<bool> m_fetchCompressed;
    int m_remaining = 0;  // manager lock
    int m_queued = 0;
    std::int64_t m_totalBytes = 0;
    std::vector<std::int64_t> m_regularProgress;  // manager lock
    std::vector<std::int64_t> m_toolProgress;     // manager lock
    std::int64_t m_progressSum = 0;               // manager lock: sum of both lists
    Transfer::ProgressDisplay m_progressDisplay;
};

// The process-wide download manager (the dialog's member); listeners report progress to it.
extern DownloadManager* g_downloadManager;
