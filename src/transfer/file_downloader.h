#pragma once
// One HTTP request against one server over WinINet, with the response body
// streamed to a listener in chunks of up to 1024 bytes.
#include <windows.h>

#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "transfer/file_downloader_listener.h"
#include "utils/unique_handle.h"

namespace Utils {
namespace HTTP {

// Calling order for one transfer: construct, SendRequest, Download, destroy.
// One thread uses an object at a time, except Cancel, which any thread may call.
class FileDownloader {
public:
    // listener may be null (a discarding listener is used); it is not owned and
    // must outlive the transfer. port -1 means the port that a serverName of the
    // form "host:port" names, else 443 when secure, else 80.
    // Connection failures are not reported here: SendRequest fails later.
    FileDownloader(AbstractFileDownloaderListener* listener, const std::string& serverName,
                   bool secure, int port, const std::string& agentName);
    // Cancels and waits for a running asynchronous Download, then closes the
    // request, the connection and the session.
    virtual ~FileDownloader();
    FileDownloader(const FileDownloader&) = delete;
    FileDownloader& operator=(const FileDownloader&) = delete;

    // Opens the session and the connection; a failure leaves the handle null.
    void OpenConnection(const std::string& serverName, bool secure, int port,
                        const std::string& agentName);
    // Sends a GET of path, or, with a non-empty uploadFile, a multipart POST of
    // that file announced as uploadName (uploadFile itself when empty). False
    // when there is no connection, the request can't be opened or sent, or
    // the upload file can't be read. A GET follows redirects, 308 included.
    bool SendRequest(const std::string& path, const std::string& uploadFile,
                     const std::string& uploadName, bool secure);
    // The response's status code; -1 before a successful send or when unknown.
    int GetStatusCode() const;
    // The declared body length; -1 when none is declared or it can't be queried.
    long long GetContentLength() const;
    // Reads the body to the listener: on this thread (synchronous), or on a
    // thread of its own, returning at once. A failure to start that thread is
    // reported through OnError.
    void Download(bool synchronous);
    // Waits for an asynchronous Download to end; true when none is running.
    bool WaitForDownload(DWORD timeoutMs = INFINITE);
    // Makes the running Download stop before its next step with OnCancelled.
    void Cancel();
    // How long a request may wait for the server to take or send a byte before
    // it fails (Wine's WinINet would otherwise wait forever on a server that
    // stalls); applies to requests sent after the call.
    void SetStallTimeout(DWORD ms) { m_stallTimeoutMs = ms; }
    static constexpr DWORD kDefaultStallTimeoutMs = 60000;
    // The longest body a Download accepts (-1: any). A longer one fails with
    // OnError(ERROR_FILE_TOO_LARGE): at once when its declared length is
    // longer, else as soon as more has arrived, and nothing beyond the limit
    // reaches the listener. Applies to Downloads started after the call.
    void SetBodyLimit(long long maxBytes) { m_bodyLimit = maxBytes; }
    // After a Download: it failed because its body was longer than the limit.
    bool BodyLimitExceeded() const { return m_bodyLimitExceeded; }
    // A Download in which fewer than minBytes arrive within windowMs fails
    // with OnError(ERROR_INTERNET_TIMEOUT), at the latest one stall timeout
    // after the window ended (see ReadArrived); a body that keeps the pace
    // ends with its length or its limit. Applies to Downloads started after
    // the call. The headers are not paced: SendRequest reads them, and under
    // Wine it reads header lines for as long as they keep coming.
    void SetSlowTransferLimit(DWORD windowMs, long long minBytes) {
        m_slowWindowMs = windowMs;
        m_slowWindowMinBytes = minBytes;
    }
    // 16 KiB in 2 minutes is about 1.1 kbit/s: far below any real link (a
    // dial-up modem or GPRS carries 30 times as much or more), while a server
    // that trickles a byte now and then to hold the run open is stopped.
    static constexpr DWORD kDefaultSlowWindowMs = 120000;
    static constexpr long long kDefaultSlowWindowMinBytes = 16 * 1024;

private:
    static int DownloadThread(void* self);
    void RunDownloadLoop();
    bool ReadBody(std::string& pending, long long& received, int& errorCode);
    bool ReadArrived(std::vector<char>& block, DWORD& read, int& errorCode);
    bool DeliverFullChunks(std::string& pending, bool flushAll);
    void StopAsyncDownload();
    bool OpenRequest(const std::string& path, const char* verb, bool secure);
    bool SendWithCertificateRetry(const std::string& body);
    bool FollowPermanentRedirects(std::string path, bool secure);
    bool Retarget(const std::string& location, std::string& path, bool& secure);

    std::unique_ptr<NullFileDownloaderListener> m_nullListener;
    AbstractFileDownloaderListener* m_listener;
    // Declared outermost first, so that they close request, connections, session.
    UniqueInternetHandle mh_internet_session;
    UniqueInternetHandle mh_http_connection;
    UniqueInternetHandle mh_redirect_connection;  // to the server a 308 names, while needed
    UniqueInternetHandle mh_http_file;
    DWORD m_stallTimeoutMs = kDefaultStallTimeoutMs;
    long long m_bodyLimit = -1;
    bool m_bodyLimitExceeded = false;
    DWORD m_slowWindowMs = kDefaultSlowWindowMs;
    long long m_slowWindowMinBytes = kDefaultSlowWindowMinBytes;
    std::atomic<bool> m_abort{false};
    UniqueKernelHandle m_downloadThread;
};

}  // namespace HTTP
}  // namespace Utils
