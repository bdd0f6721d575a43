#pragma once
// A downloader listener that records what it receives, for the transfer tests.
#include <windows.h>

#include <atomic>
#include <functional>
#include <string>
#include <vector>

#include "transfer/file_downloader.h"
#include "transfer/file_downloader_listener.h"
#include "utils/unique_handle.h"

namespace TransferTest {

enum class Ending { None, Complete, Cancelled, Error };

class RecordingListener : public Utils::HTTP::AbstractFileDownloaderListener {
public:
    RecordingListener() : m_ended(::CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}

    bool OnData(const std::string& chunk) override {
        dataThread = ::GetCurrentThreadId();
        chunkSizes.push_back(chunk.size());
        body += chunk;
        if (onData) onData(chunk);
        return refuseAfterChunks < 0 || static_cast<int>(chunkSizes.size()) < refuseAfterChunks;
    }
    void OnComplete() override { End(Ending::Complete, 0); }
    void OnCancelled() override { End(Ending::Cancelled, 0); }
    void OnError(int code) override { End(Ending::Error, code); }

    bool WaitForEnd(DWORD ms) { return ::WaitForSingleObject(m_ended.Get(), ms) == WAIT_OBJECT_0; }

    std::string body;
    std::vector<size_t> chunkSizes;
    int refuseAfterChunks = -1;                      // OnData returns false on this chunk
    std::function<void(const std::string&)> onData;  // runs inside OnData
    Ending ending = Ending::None;
    int endings = 0;  // must end up exactly 1
    int errorCode = 0;
    DWORD dataThread = 0;

private:
    void End(Ending how, int code) {
        ending = how;
        errorCode = code;
        ++endings;
        ::SetEvent(m_ended.Get());
    }
    Utils::UniqueKernelHandle m_ended;
};

// What one GET through FileDownloader gave.
struct Fetch {
    bool sent = false;
    int status = -1;
    long long length = -1;
};

inline Fetch Get(RecordingListener& listener, const std::string& host, const std::string& path,
                 int port = -1) {
    Utils::HTTP::FileDownloader downloader(&listener, host, false, port, "DownloaderKel");
    Fetch fetch;
    fetch.sent = downloader.SendRequest(path, "", "", false);
    fetch.length = downloader.GetContentLength();
    downloader.Download(true);
    fetch.status = downloader.GetStatusCode();
    return fetch;
}

// Bytes 0..255 repeated, so a misplaced chunk shows.
inline std::string PatternBytes(size_t size) {
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 7 + i / 251) & 0xFF);
    return bytes;
}

}  // namespace TransferTest
