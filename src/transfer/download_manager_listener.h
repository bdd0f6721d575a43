#pragma once
// Writes one transfer's body to its file and reports the progress to the
// download manager. Lives for one attempt, on the thread that runs it.
#include <cstdint>
#include <memory>
#include <string>

#include "document/sha256_hasher.h"
#include "transfer/download_manager.h"
#include "transfer/file_downloader_listener.h"
#include "utils/unique_handle.h"

class DownloadManager::FileDownloaderListener : public Utils::HTTP::AbstractFileDownloaderListener {
public:
    // Creates (replacing) the file at path, after the folders on its way.
    // shownPath is the name that a file error names and that decides whether
    // the file is a font. A file that can't be created makes the first chunk fail.
    // With hashing, the body is hashed as it is written (see ReceivedSha256).
    FileDownloaderListener(DownloadManager& owner, const std::string& path,
                           const std::string& shownPath, int index, bool hashing = false);

    // The response's declared length, -1 when unknown.
    void SetExpected(std::int64_t expected) { m_expected = expected; }
    // True until anything failed; after the transfer: the file is complete and closed.
    // Chunks reach the file in blocks of 64 KB; the rest when the body is complete.
    bool IsOk() const { return m_ok; }
    std::int64_t GetReceived() const { return m_received; }
    // After a complete transfer with hashing: the SHA-256 of the bytes written,
    // 64 lower-case hex digits; "" without hashing or after any failure. Once.
    std::string ReceivedSha256();

    bool OnData(const std::string& chunk) override;
    void OnComplete() override;
    void OnCancelled() override;
    void OnError(int code) override;

private:
    static constexpr std::size_t kWriteBlockBytes = 64 * 1024;

    // Writes the collected chunks; on failure reports the write error (fatal).
    bool WritePending();
    // Closes and deletes a half-written file before a fatal report.
    void Discard();

    DownloadManager& m_owner;
    std::string m_path;
    std::string m_shownPath;
    int m_index;
    std::int64_t m_received = 0;
    std::int64_t m_expected = -1;
    bool m_ok = true;
    Utils::UniqueFileHandle m_file;
    std::string m_pending;  // written chunks not yet passed to the file, below 64 KB + 1 KB
    std::unique_ptr<Crypto::Sha256Hasher> m_hasher;  // null without hashing
};
