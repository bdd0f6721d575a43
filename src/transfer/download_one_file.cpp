// DownloadManager::DownloadOneFile: one attempt at one file, with the checks
// that follow the transfer. The body is received into a side file; the
// installed file is replaced only after every check passed.
#include <windows.h>

#include <algorithm>
#include <mutex>

#include "document/sha256_hasher.h"
#include "engine/files/decompress.h"
#include "engine/files/document_programs.h"
#include "engine/files/downloaded_size.h"
#include "engine/files/file_kinds.h"
#include "engine/files/file_version.h"
#include "engine/files/install_folders.h"
#include "transfer/download_manager.h"
#include "transfer/download_manager_listener.h"
#include "transfer/download_reports.h"
#include "transfer/file_downloader.h"
#include "utils/string/string_utils.h"

namespace {
constexpr DWORD kRetryPauseMs = 500;
constexpr char kAgentName[] = "DownloaderKel";
constexpr int kFirstFailingStatus = 400;
constexpr std::size_t kShortestShownLabel = 4;

std::string Lowered(std::string text) { return Utils::String::ToLower(text); }

void RemoveFile(const std::string& path) {
    if (!path.empty()) ::DeleteFileA(path.c_str());
}

bool IsAbsolute(const std::string& path) {
    return (path.size() > 1 && path[1] == ':') ||
           (!path.empty() && (path[0] == '\\' || path[0] == '/'));
}
}  // namespace

bool DownloadManager::DownloadOneFile(int kind, int attempt, const std::string& localPath,
                                      const std::string& urlPath, const std::string& label,
                                      const std::string& host, bool compressed, int index,
                                      const ExpectedHashes& hashes) {
    const bool listed = kind == kListedFile;
    ContentHash hash{Lowered(hashes.installed), Lowered(hashes.served), ""};
    if (attempt >= 1) ::Sleep(kRetryPauseMs);
    if (attempt >= kLastAttempt) {
        if (!Engine::IsFontFile(localPath))
            Transfer::Report(Transfer::kConnectFailedText, kFatalSeverity);
        return false;
    }
    Engine::CreateFolderTree(localPath);
    const Transfer::TransferPaths paths =
        ClaimTransferPaths(listed, localPath, urlPath, compressed);
    // Tool files and the service's own files are fetched one at a time by the
    // session, which moves the bar itself in between.
    if (index < 0 || index >= kToolIndexBase) m_progressDisplay.Forget();

    bool result = false;
    bool tooLarge = false;
    int status = -1;
    {
        // A compressed file is checked as received only against what was
        // served; as installed, it is checked once unpacked.
        FileDownloaderListener listener(*this, paths.received, paths.output, index,
                                        !hash.served.empty() ||
                                            (!hash.installed.empty() && !compressed));
        Utils::HTTP::FileDownloader downloader(&listener, host, false, -1, kAgentName);
        downloader.SetBodyLimit(BodyLimit(kind, localPath, index));
        downloader.SendRequest(urlPath, "", "", false);
        listener.SetExpected(downloader.GetContentLength());
        std::string statusLine = Engine::GetStatusLine(label, index);
        if (!statusLine.empty()) Transfer::ShowStatus(statusLine);
        downloader.Download(true);
        result = listener.IsOk();
        tooLarge = downloader.BodyLimitExceeded();
        status = downloader.GetStatusCode();
        hash.streamed = listener.ReceivedSha256();
    }
    m_progressDisplay.Flush();
    if (status >= kFirstFailingStatus) {
        result = false;
        RemoveFile(paths.received);
        if (listed) Transfer::Report(Transfer::kServerMaintenanceText + localPath, attempt);
    }
    std::string version;
    if (listed && tooLarge)
        result = RefuseSize(attempt, paths);
    else if (listed)
        result =
            CheckListedFile(result, attempt, localPath, label, paths, compressed, hash, version);
    else if (result)
        result = hash.BodyMatches(compressed);
    if (result) result = PlaceFile(localPath, paths, index);
    // The version belongs to the executable now in place, never to one that failed to get there.
    if (result && !version.empty()) Engine::RecordFileVersionText(version);
    if (!result) {
        RemoveFile(paths.received);
        RemoveFile(paths.side);
    }
    ReleaseTransferPaths(paths);
    return result;
}

// A listed file passes only at exactly its listed size, so a body longer than
// the largest size listed for its path can never pass; an entry without a Size
// reads as 0 and passes only empty, so nothing may arrive for it (a negative
// one never passes). Compressed files are listed with their size as served.
// The document and the newer updater have no listed size, only fixed limits.
std::int64_t DownloadManager::BodyLimit(int kind, const std::string& localPath, int index) const {
    if (kind != kListedFile)
        return index == kDocumentIndex ? UpdateDocument::kMaxFileBytes : kMaxUnsizedBodyBytes;
    const auto listed = m_listedSizes.find(localPath);
    if (listed == m_listedSizes.end() || listed->second.empty()) return kMaxUnsizedBodyBytes;
    const std::int64_t largest = *std::max_element(listed->second.begin(), listed->second.end());
    return std::max<std::int64_t>(largest, 0);
}

Transfer::TransferPaths DownloadManager::ClaimTransferPaths(bool listed,
                                                            const std::string& localPath,
                                                            const std::string& urlPath,
                                                            bool compressed) {
    Utils::MT::ScopedLock lock(*this);
    Transfer::TransferPaths paths = Transfer::PlanTransferPaths(
        listed, localPath, urlPath, compressed, [this](const std::string& p) {
            return IsListedPath(p) || m_claimedSideFiles.count(Lowered(p)) != 0;
        });
    m_claimedSideFiles.insert(Lowered(paths.side));
    m_claimedSideFiles.insert(Lowered(paths.received));
    return paths;
}

void DownloadManager::DiscardTransfersInFlight() {
    Utils::MT::ScopedLock lock(*this);
    for (const std::string& path : m_claimedSideFiles) RemoveFile(path);
}

void DownloadManager::ReleaseTransferPaths(const Transfer::TransferPaths& paths) {
    Utils::MT::ScopedLock lock(*this);
    m_claimedSideFiles.erase(Lowered(paths.side));
    m_claimedSideFiles.erase(Lowered(paths.received));
}

// Size check (always), the body's hash, unpacking, the installed form's hash
// and the product's version check.
bool DownloadManager::CheckListedFile(bool result, int attempt, const std::string& localPath,
                                      const std::string& label,
                                      const Transfer::TransferPaths& paths, bool compressed,
                                      const ContentHash& hash, std::string& version) {
    const auto listed = m_listedSizes.find(localPath);
    if (listed != m_listedSizes.end() &&
        !Engine::CheckReceivedSize(paths.received, listed->second))
        result = RefuseSize(attempt, paths);
    // Checked before anything unpacks it: a decompressor never reads bytes
    // that the document does not vouch for.
    if (result && !hash.BodyMatches(compressed)) result = RefuseContent(attempt, paths);
    if (result && compressed) result = Unpack(attempt, localPath, label, paths);
    if (result && compressed && !hash.installed.empty() &&
        Crypto::Sha256OfFile(paths.side) != hash.installed)
        result = RefuseContent(attempt, paths);
    if (result && Utils::String::EqualsIgnoreCase(localPath, m_productExePath))
        result = CheckProductVersion(attempt, paths, version);
    return result;
}

bool DownloadManager::RefuseSize(int attempt, const Transfer::TransferPaths& paths) {
    Transfer::Report(paths.output + Transfer::kSizeErrorText, attempt);
    return false;
}

// A file that does not hash to the document's value is a failed attempt like
// a wrong size: it never reaches its place, and the caller tries again.
bool DownloadManager::RefuseContent(int attempt, const Transfer::TransferPaths& paths) {
    Transfer::Report(paths.output + Transfer::kContentHashErrorText, attempt);
    return false;
}

bool DownloadManager::Unpack(int attempt, const std::string& localPath, const std::string& label,
                             const Transfer::TransferPaths& paths) {
    if (label.size() >= kShortestShownLabel)
        Transfer::ShowStatus(Transfer::kUnzippingPrefix + label);
    std::string generalTool = DocumentProgram(m_document.GetCompressFilePath());
    std::string soundTool = DocumentProgram(m_document.GetCompressWavPath());
    if (!Engine::DecompressTo(paths.received, paths.side, generalTool, soundTool)) {
        if (!Engine::IsFontFile(localPath))
            Transfer::Report(paths.output + Transfer::kExtractErrorText, attempt);
        return false;
    }
    RemoveFile(paths.received);
    return true;
}

// The new product executable must carry a version; the caller records it
// once the file is in place.
bool DownloadManager::CheckProductVersion(int attempt, const Transfer::TransferPaths& paths,
                                          std::string& version) {
    std::string path = paths.side;
    if (!m_dataFolder.empty() && !IsAbsolute(path)) path = m_dataFolder + "\\" + path;
    version = Engine::ReadFileVersion(path);
    if (!version.empty()) return true;
    Engine::RecordFileVersionFailure();
    Transfer::Report(paths.output + Transfer::kVersionErrorText, attempt);
    return false;
}

// Moves the checked file over the installed one. A target that can't be
// replaced is reported like an output file that can't be created.
bool DownloadManager::PlaceFile(const std::string& localPath, const Transfer::TransferPaths& paths,
                                int index) {
    const std::string& finished = paths.side;
    // Two entries may name one target (in different letter case); replacing
    // it from two threads at once makes one of the renames fail.
    std::lock_guard<std::mutex> placing(m_placeLock);
    // Windows refuses to rename over a read-only file, and a product may mark
    // its files so: the mark would block every update of the file, packed or not.
    const DWORD attributes = ::GetFileAttributesA(paths.target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) &&
        !(attributes & FILE_ATTRIBUTE_DIRECTORY))
        ::SetFileAttributesA(paths.target.c_str(), FILE_ATTRIBUTE_NORMAL);
    // The side file is in the target's folder: the replacement is one rename,
    // so the installed file is either the old one or the new one, never half.
    if (::MoveFileExA(finished.c_str(), paths.target.c_str(), MOVEFILE_REPLACE_EXISTING))
        return true;
    RemoveFile(finished);  // the report below may not return
    if (!Engine::IsFontFile(localPath) && index != kUpdaterIndex)
        Transfer::Report(paths.target + Transfer::kFileErrorText, kFatalSeverity);
    return false;
}

std::string DownloadManager::DocumentProgram(const std::string& documentValue) const {
    return Engine::ResolveDocumentProgram(m_dataFolder, Transfer::CutAtExe(documentValue));
}
