#pragma once
// The run's controller: build settings, the parsed update document, the file
// lists and the progress counters of one run, and the fetching of files with
// all checks that follow a transfer, by one caller or by a pool of workers.
#include <cstdint>
#include <mutex>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "document/update_document.h"
#include "document/update_file_entry.h"
#include "transfer/build_settings.h"
#include "transfer/progress_display.h"
#include "transfer/transfer_paths.h"
#include "utils/mt/threads.h"

// What a fetched file must hash to: SHA-256 as 64 hex digits, either case;
// "" for no check.
struct ExpectedHashes {
    std::string installed{};  // the file as installed: the body, or a packed body unpacked
    std::string served{};     // the body as received, checked before anything unpacks it
};

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
    // The longest body of a file that the document gives no size for, the
    // newer updater above all (an updater image takes 1 to 4 MB): any program
    // image fits, and an answer without end can't fill the temporary folder.
    static constexpr std::int64_t kMaxUnsizedBodyBytes = 256LL * 1024 * 1024;

    // Keeps the build settings of the run (raw slot texts).
    explicit DownloadManager(BuildSettings settings);
    ~DownloadManager() override;

    // Build settings and hosts (set before any transfer, then only read).
    const BuildSettings& GetSettings() const { return m_settings; }
    const std::string& GetBrand() const { return m_settings.brand; }
    const std::string& GetServerHost() const { return m_serverHost; }
    void SetServerHost(const std::string& host) { m_serverHost = host; }
    const std::string& GetFilesServer() const { return m_filesServer; }

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
    // data folder + "\" + product exe path: where the product is installed;
    // "" without a product exe name or a data folder.
    std::string GetInstalledProductPath() const;
    const std::string& GetProgramFolder() const { return m_programFolder; }
    void SetProgramFolder(const std::string& folder) { m_programFolder = folder; }
    const std::string& GetDataFolder() const { return m_dataFolder; }
    void SetDataFolder(const std::string& folder) { m_dataFolder = folder; }
    void SetDocumentFiles(const std::vector<UpdateFileEntry>& files);
    const StringList& GetDocumentClientPaths() const { return m_documentClientPaths; }

    // The files to fetch. Filled before the workers start, then only read.
    // A regular file goes to the parallel workers; a tool file is fetched by
    // the caller and only has a progress entry (returned: its progress index).
    void AddFetchFile(const UpdateFileEntry& file);
    int AddToolFile();
    int GetQueuedCount() const { return m_queued; }
    std::int64_t GetTotalBytes() const { return m_totalBytes; }
    void SetTotalBytes(std::int64_t bytes) { m_totalBytes = bytes; }

    // Up to four attempts of DownloadOneFile (numbers 0..3), stopping at the
    // first success. The last attempt gives up as DownloadOneFile says.
    bool DownloadWithRetries(int kind, const std::string& localPath, const std::string& urlPath,
                             const std::string& label, const std::string& host, bool compressed,
                             int index, const ExpectedHashes& hashes = ExpectedHashes());
    // Writes the "Installed" record clientPath := checkSum; a failed write is
    // reported as fatal. Any thread.
    void RecordInstalled(const std::string& clientPath, const std::string& checkSum);

    // One attempt at one file (kind: kServiceFile or kListedFile; attempt 0..3;
    // index: regular position, kToolIndexBase + tool position, kDocumentIndex
    // or kUpdaterIndex). True when the file is in place and passed every
    // check; a failed attempt leaves the installed copy as it was. A body
    // longer than BodyLimit allows stops arriving at once and fails the
    // attempt (a listed file's with the size error). At attempt
    // 3 it gives up: false for a font, a fatal report otherwise. Any thread.
    // The body must match hashes.served before a compressed file is unpacked,
    // and the file as installed (the body, or the unpacked output) must match
    // hashes.installed before it is moved into place.
    bool DownloadOneFile(int kind, int attempt, const std::string& localPath,
                         const std::string& urlPath, const std::string& label,
                         const std::string& host, bool compressed, int index,
                         const ExpectedHashes& hashes = ExpectedHashes());
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
    // For a run that ends while other transfers are still going (a fatal
    // report): deletes the side files of every attempt in flight, so that the
    // end of the process leaves none beside the installed files. A body still
    // being written goes when its handle closes. Best effort: a file that a
    // decompressor is writing at that moment may stay until a complete run sweeps it.
    void DiscardTransfersInFlight();

private:
    static int WorkerThread(void* manager);
    // The longest body that one attempt at the file may receive.
    std::int64_t BodyLimit(int kind, const std::string& localPath, int index) const;
    bool IsListedPath(const std::string& path) const;
    // What the received file must hash to (lower case; "" for no check), and
    // what its body hashed to while it was written.
    struct ContentHash {
        std::string installed;
        std::string served;
        std::string streamed;
        // The body hashes to what the document says was served, and, when it
        // is installed as received, to what it is installed as.
        bool BodyMatches(bool compressed) const {
            return (served.empty() || streamed == served) &&
                   (compressed || installed.empty() || streamed == installed);
        }
    };
    bool CheckListedFile(bool result, int attempt, const std::string& localPath,
                         const std::string& label, const Transfer::TransferPaths& paths,
                         bool compressed, const ContentHash& hash, std::string& version);
    // Reports a received file of the wrong size; false.
    bool RefuseSize(int attempt, const Transfer::TransferPaths& paths);
    // Reports a received file that does not hash as listed; false.
    bool RefuseContent(int attempt, const Transfer::TransferPaths& paths);
    bool Unpack(int attempt, const std::string& localPath, const std::string& label,
                const Transfer::TransferPaths& paths);
    bool CheckProductVersion(int attempt, const Transfer::TransferPaths& paths,
                             std::string& version);
    bool PlaceFile(const std::string& localPath, const Transfer::TransferPaths& paths, int index);
    // Side-file names in use by running attempts, lower case (manager lock):
    // two attempts never share one, even for targets differing only in case.
    Transfer::TransferPaths ClaimTransferPaths(bool listed, const std::string& localPath,
                                               const std::string& urlPath, bool compressed);
    void ReleaseTransferPaths(const Transfer::TransferPaths& paths);
    void FetchQueuedFile(int index);
    // A program that the document names, as a full path in the data folder; "" when absent.
    std::string DocumentProgram(const std::string& documentValue) const;

    const BuildSettings m_settings;
    std::string m_serverHost;
    std::string m_filesServer;
    UpdateDocument m_document;
    std::string m_productExePath, m_productExeFolder, m_productExeName;
    std::string m_programFolder, m_dataFolder;
    StringList m_documentClientPaths;
    // The listed sizes of each client path (exact text), looked up once per received file.
    std::unordered_map<std::string, std::vector<std::int64_t>> m_listedSizes;
    std::unordered_set<std::string> m_listedPathsLower;  // for side-file names
    std::unordered_set<std::string> m_claimedSideFiles;  // manager lock
    std::mutex m_placeLock;                              // one final move at a time

    StringList m_fetchServerPaths, m_fetchClientPaths, m_fetchCheckSums;
    std::vector<ExpectedHashes> m_fetchHashes;
    std::vector<bool> m_fetchCompressed;
    int m_remaining = 0;  // manager lock
    int m_queued = 0;
    std::int64_t m_totalBytes = 0;
    std::vector<std::int64_t> m_regularProgress;  // manager lock
    std::vector<std::int64_t> m_toolProgress;     // manager lock
    std::int64_t m_progressSum = 0;               // manager lock: sum of both lists
    Transfer::ProgressDisplay m_progressDisplay;
};
