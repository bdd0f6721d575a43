#include "transfer/download_manager_listener.h"

#include <windows.h>

#include "engine/file_kinds.h"
#include "engine/install_folders.h"
#include "transfer/download_reports.h"

DownloadManager::FileDownloaderListener::FileDownloaderListener(DownloadManager& owner,
                                                                const std::string& path,
                                                                const std::string& shownPath,
                                                                int index)
    : m_owner(owner), m_path(path), m_shownPath(shownPath), m_index(index) {
    Engine::CreateFolderTree(path);
    m_file.Reset(::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL | FILE_FLAG_RANDOM_ACCESS, nullptr));
    if (!m_file) m_ok = false;
}

bool DownloadManager::FileDownloaderListener::OnData(const std::string& chunk) {
    if (!m_file) {
        m_ok = false;
        if (!Engine::IsFontFile(m_shownPath) && m_index != kUpdaterIndex)
            Transfer::Report(m_shownPath + Transfer::kFileErrorText, Transfer::kFatalSeverity);
        return false;
    }
    DWORD written = 0;
    if (!::WriteFile(m_file.Get(), chunk.data(), static_cast<DWORD>(chunk.size()), &written,
                     nullptr) ||
        written != chunk.size()) {
        m_ok = false;
        Discard();  // the report below may not return
        Transfer::Report(Transfer::kWriteErrorText, Transfer::kFatalSeverity);
        return false;
    }
    m_received += static_cast<std::int64_t>(chunk.size());
    m_owner.ReportProgress(m_received, m_index, m_expected);
    return true;
}

void DownloadManager::FileDownloaderListener::OnComplete() {
    if (m_file && m_ok) {
        m_ok = ::CloseHandle(m_file.Release()) != FALSE;
        return;
    }
    m_file.Reset();
    m_ok = false;
}

void DownloadManager::FileDownloaderListener::Discard() {
    if (!m_file) return;
    m_file.Reset();
    ::DeleteFileA(m_path.c_str());
}

void DownloadManager::FileDownloaderListener::OnCancelled() {
    Discard();
    m_ok = false;
    Transfer::Report(Transfer::kCancelledText, Transfer::kFatalSeverity);
}

void DownloadManager::FileDownloaderListener::OnError(int) {
    m_file.Reset();
    m_ok = false;
}
