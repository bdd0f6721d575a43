#include "transfer/download_manager_listener.h"

#include <windows.h>

#include "engine/files/file_kinds.h"
#include "engine/files/install_folders.h"
#include "transfer/download_reports.h"

DownloadManager::FileDownloaderListener::FileDownloaderListener(DownloadManager& owner,
                                                                const std::string& path,
                                                                const std::string& shownPath,
                                                                int index, bool hashing)
    : m_owner(owner), m_path(path), m_shownPath(shownPath), m_index(index) {
    if (hashing) m_hasher.reset(new Crypto::Sha256Hasher());
    m_pending.reserve(kWriteBlockBytes + 1024);
    Engine::CreateFolderTree(path);
    // Shared for deletion only: a run that ends during the transfer deletes it
    // (DiscardTransfersInFlight), and it goes once this handle closes.
    m_file.Reset(::CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_DELETE, nullptr,
                               CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_RANDOM_ACCESS,
                               nullptr));
    if (!m_file) m_ok = false;
}

bool DownloadManager::FileDownloaderListener::OnData(const std::string& chunk) {
    if (!m_file) {
        m_ok = false;
        if (!Engine::IsFontFile(m_shownPath) && m_index != kUpdaterIndex)
            Transfer::Report(m_shownPath + Transfer::kFileErrorText, kFatalSeverity);
        return false;
    }
    m_pending.append(chunk);
    if (m_pending.size() >= kWriteBlockBytes && !WritePending()) return false;
    m_received += static_cast<std::int64_t>(chunk.size());
    m_owner.ReportProgress(m_received, m_index, m_expected);
    return true;
}

// Chunks are collected into larger blocks: one system call per 1 KB chunk
// costs more than the transfer itself. The same blocks feed the hash, so the
// file is never read back for it.
bool DownloadManager::FileDownloaderListener::WritePending() {
    if (m_hasher) m_hasher->Update(m_pending.data(), m_pending.size());
    DWORD written = 0;
    bool ok = m_pending.empty() ||
              (::WriteFile(m_file.Get(), m_pending.data(), static_cast<DWORD>(m_pending.size()),
                           &written, nullptr) &&
               written == m_pending.size());
    m_pending.clear();
    if (ok) return true;
    m_ok = false;
    Discard();  // the report below may not return
    Transfer::Report(Transfer::kWriteErrorText, kFatalSeverity);
    return false;
}

void DownloadManager::FileDownloaderListener::OnComplete() {
    if (m_file && m_ok && WritePending()) {
        m_ok = ::CloseHandle(m_file.Release()) != FALSE;
        return;
    }
    m_file.Reset();
    m_ok = false;
}

std::string DownloadManager::FileDownloaderListener::ReceivedSha256() {
    if (!m_hasher || !m_ok) return "";
    return m_hasher->FinishHex();
}

void DownloadManager::FileDownloaderListener::Discard() {
    m_pending.clear();
    if (!m_file) return;
    m_file.Reset();
    ::DeleteFileA(m_path.c_str());
}

void DownloadManager::FileDownloaderListener::OnCancelled() {
    Discard();
    m_ok = false;
    Transfer::Report(Transfer::kCancelledText, kFatalSeverity);
}

void DownloadManager::FileDownloaderListener::OnError(int) {
    m_pending.clear();
    m_file.Reset();
    m_ok = false;
}
