#include "transfer/file_downloader.h"

#include <wininet.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "transfer/multipart_form.h"
#include "transfer/transfer_pace.h"
#include "utils/mt/threads.h"
#include "utils/os/os_info.h"
#include "utils/string/string_utils.h"

namespace Utils {
namespace HTTP {

namespace {
// The most that one read takes (see ReadArrived); the listener still gets 1024-byte chunks.
constexpr DWORD kReadBlockBytes = 256 * 1024;
// What WinINet reports as arrived when its own read buffer is full (Wine's
// holds 8 KB): the body is arriving faster than it is read.
constexpr DWORD kFullReadBufferBytes = 8 * 1024;
constexpr size_t kChunkBytes = 1024;
// No cookies: files need none, and Wine's WinINet adds a cookie container for
// every path it is asked about and searches them all on each request, so a
// run of 15,000 files took 134 s instead of 20 s and held 78 MB more.
constexpr DWORD kRequestFlags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE |
                                INTERNET_FLAG_KEEP_CONNECTION | INTERNET_FLAG_NO_COOKIES;
constexpr DWORD kSecureFlags = INTERNET_FLAG_SECURE | INTERNET_FLAG_IGNORE_CERT_DATE_INVALID |
                               INTERNET_FLAG_IGNORE_CERT_CN_INVALID;
constexpr DWORD kRelaxedCertificateFlags =
    SECURITY_FLAG_IGNORE_UNKNOWN_CA | SECURITY_FLAG_IGNORE_CERT_DATE_INVALID;
// WinINet follows 301, 302, 303 and 307 itself, but Wine's (like that of older
// Windows) hands a 308 back as if it were the answer.
constexpr int kPermanentRedirect = 308;
constexpr int kMaxRedirects = 10;

enum class Delivery { Delivered, Cancelled, Refused };

// Diagnostic lines for whoever watches standard output; a windowed process drops them.
void WriteDiagnostic(const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    std::vprintf(format, arguments);
    va_end(arguments);
    std::fflush(stdout);
}

// A header value as a decimal number; -1 when the query fails or the text isn't one.
long long QueryNumber(HINTERNET request, DWORD level) {
    if (!request) return -1;
    char text[32] = {};
    DWORD size = sizeof(text);
    if (!::HttpQueryInfoA(request, level, text, &size, nullptr)) return -1;
    char* end = nullptr;
    long long value = std::strtoll(text, &end, 10);
    if (end == text || *end != '\0' || value < 0) return -1;
    return value;
}

// A header's whole text; "" when the response has none.
std::string QueryText(HINTERNET request, DWORD level) {
    DWORD size = 0;
    ::HttpQueryInfoA(request, level, nullptr, &size, nullptr);
    if (size == 0) return std::string();
    std::vector<char> text(size + 1, '\0');
    if (!::HttpQueryInfoA(request, level, text.data(), &size, nullptr)) return std::string();
    return std::string(text.data(), size);
}

bool IsChunked(HINTERNET request) {
    std::string coding = QueryText(request, HTTP_QUERY_TRANSFER_ENCODING);
    return Utils::String::ToLower(coding).find("chunked") != std::string::npos;
}

bool StartsWithNoCase(const std::string& text, const std::string& prefix) {
    return Utils::String::EqualsIgnoreCase(text.substr(0, prefix.size()), prefix);
}

std::string UrlPart(const char* text, DWORD length) {
    return text ? std::string(text, length) : std::string();
}

// A server given as "host:port" (a host name never holds ':', so no plain
// name is changed) loses its port to the result; -1 when it names none.
// Publishers who serve from another port than 80 write it this way.
int TakeExplicitPort(std::string& host) {
    const std::size_t colon = host.find(':');
    if (colon == std::string::npos || colon == 0 || host.find(':', colon + 1) != std::string::npos)
        return -1;
    const std::string digits = host.substr(colon + 1);
    if (digits.empty() || digits.size() > 5 ||
        digits.find_first_not_of("0123456789") != std::string::npos)
        return -1;
    const int port = std::stoi(digits);
    if (port == 0 || port > 65535) return -1;
    host.erase(colon);
    return port;
}
}  // namespace

FileDownloader::FileDownloader(AbstractFileDownloaderListener* listener,
                               const std::string& serverName, bool secure, int port,
                               const std::string& agentName)
    : m_listener(listener) {
    if (!m_listener) {
        m_nullListener.reset(new NullFileDownloaderListener());
        m_listener = m_nullListener.get();
    }
    OpenConnection(serverName, secure, port, agentName);
}

FileDownloader::~FileDownloader() { StopAsyncDownload(); }

void FileDownloader::OpenConnection(const std::string& serverName, bool secure, int port,
                                    const std::string& agentName) {
    mh_http_file.Reset();
    mh_redirect_connection.Reset();
    mh_http_connection.Reset();
    mh_internet_session.Reset(
        ::InternetOpenA(agentName.c_str(), INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    if (!mh_internet_session) {
        WriteDiagnostic("Error in OpenConnection - mh_internet_session == NULL\n");
        return;
    }
    std::string host = serverName;
    if (port == -1) port = TakeExplicitPort(host);
    if (port == -1) port = secure ? INTERNET_DEFAULT_HTTPS_PORT : INTERNET_DEFAULT_HTTP_PORT;
    WriteDiagnostic("Utils::HTTP::FileDownloader: port=%d\n", port);
    // A port outside 0..65535 would be truncated to some other port: refuse it.
    if (port >= 0 && port <= 65535) {
        mh_http_connection.Reset(::InternetConnectA(mh_internet_session.Get(), host.c_str(),
                                                    static_cast<INTERNET_PORT>(port), nullptr,
                                                    nullptr, INTERNET_SERVICE_HTTP, 0, 0));
    }
    if (!mh_http_connection)
        WriteDiagnostic("Error in OpenConnection - mh_http_connection == NULL\n");
}

bool FileDownloader::OpenRequest(const std::string& path, const char* verb, bool secure) {
    DWORD flags = kRequestFlags;
    if (secure) {
        if (Utils::OS::GetOSDescription(false) == "Windows 98")
            flags |= INTERNET_FLAG_PRAGMA_NOCACHE;
        flags |= kSecureFlags;
    }
    const char* acceptTypes[] = {"*/*", nullptr};
    // A redirect to another server is requested over a connection of its own.
    HINTERNET connection =
        mh_redirect_connection ? mh_redirect_connection.Get() : mh_http_connection.Get();
    if (connection) {
        mh_http_file.Reset(::HttpOpenRequestA(connection, verb, path.c_str(), nullptr, nullptr,
                                              acceptTypes, flags, 0));
    }
    if (!mh_http_file) {
        WriteDiagnostic("Error in OpenConnection - mh_http_file == NULL\n");
        return false;
    }
    for (DWORD option : {INTERNET_OPTION_SEND_TIMEOUT, INTERNET_OPTION_RECEIVE_TIMEOUT}) {
        ::InternetSetOptionA(mh_http_file.Get(), option, &m_stallTimeoutMs,
                             sizeof(m_stallTimeoutMs));
    }
    return true;
}

bool FileDownloader::SendWithCertificateRetry(const std::string& body) {
    void* data = body.empty() ? nullptr : const_cast<char*>(body.data());
    DWORD size = static_cast<DWORD>(body.size());
    if (::HttpSendRequestA(mh_http_file.Get(), nullptr, 0, data, size)) return true;
    if (::GetLastError() != ERROR_INTERNET_INVALID_CA) return false;
    DWORD securityFlags = 0;
    DWORD length = sizeof(securityFlags);
    ::InternetQueryOptionA(mh_http_file.Get(), INTERNET_OPTION_SECURITY_FLAGS, &securityFlags,
                           &length);
    securityFlags |= kRelaxedCertificateFlags;
    ::InternetSetOptionA(mh_http_file.Get(), INTERNET_OPTION_SECURITY_FLAGS, &securityFlags,
                         sizeof(securityFlags));
    return ::HttpSendRequestA(mh_http_file.Get(), nullptr, 0, data, size) != FALSE;
}

bool FileDownloader::SendRequest(const std::string& path, const std::string& uploadFile,
                                 const std::string& uploadName, bool secure) {
    StopAsyncDownload();
    m_abort = false;
    mh_http_file.Reset();
    mh_redirect_connection.Reset();
    bool post = !uploadFile.empty();
    if (!OpenRequest(path, post ? "POST" : "GET", secure)) return false;
    std::string body;
    bool bodyReady = true;
    if (post) {
        std::string content;
        // A missing or unreadable upload file fails the request instead of posting an empty part.
        bodyReady = ReadWholeFile(uploadFile, content);
        std::string boundary = MakeBoundaryFor(content);
        std::string header = "Content-Type: multipart/form-data; boundary=" + boundary;
        ::HttpAddRequestHeadersA(mh_http_file.Get(), header.c_str(), static_cast<DWORD>(-1),
                                 HTTP_ADDREQ_FLAG_ADD);
        body = BuildMultipartBody(boundary, uploadName.empty() ? uploadFile : uploadName, content);
    }
    if (!bodyReady || !SendWithCertificateRetry(body)) {
        WriteDiagnostic("Error in OpenConnection - bSend == false\n");
        mh_http_file.Reset();
        return false;
    }
    return post || FollowPermanentRedirects(path, secure);
}

// Sends the GET again wherever a 308 points, as WinINet does for the other
// redirects. A 308 without a target is the answer; after kMaxRedirects hops
// the last answer stands. False when a target can't be requested.
bool FileDownloader::FollowPermanentRedirects(std::string path, bool secure) {
    for (int hop = 0; hop < kMaxRedirects && GetStatusCode() == kPermanentRedirect; ++hop) {
        const std::string location = QueryText(mh_http_file.Get(), HTTP_QUERY_LOCATION);
        if (location.empty()) return true;
        if (!Retarget(location, path, secure) || !OpenRequest(path, "GET", secure) ||
            !SendWithCertificateRetry(std::string())) {
            WriteDiagnostic("Error in OpenConnection - bSend == false\n");
            mh_http_file.Reset();
            return false;
        }
    }
    return true;
}

// Turns a Location into the next request's path; an absolute URL also gets
// its own connection (host, port and scheme as the URL gives them).
bool FileDownloader::Retarget(const std::string& location, std::string& path, bool& secure) {
    std::string url = location.substr(0, location.find('#'));  // a fragment is never sent
    if (url.empty()) return false;
    if (url.compare(0, 2, "//") == 0) url = (secure ? "https:" : "http:") + url;
    if (!StartsWithNoCase(url, "http://") && !StartsWithNoCase(url, "https://")) {
        if (url[0] != '/') {
            const std::string current = path.substr(0, path.find('?'));
            url = current.substr(0, current.rfind('/') + 1) + url;
        }
        path = url;
        return true;
    }
    URL_COMPONENTSA parts = {};
    parts.dwStructSize = sizeof(parts);
    parts.dwHostNameLength = parts.dwUrlPathLength = parts.dwExtraInfoLength = 1;
    if (!::InternetCrackUrlA(url.c_str(), 0, 0, &parts) || !parts.lpszHostName ||
        parts.dwHostNameLength == 0)
        return false;
    const std::string host = UrlPart(parts.lpszHostName, parts.dwHostNameLength);
    path = UrlPart(parts.lpszUrlPath, parts.dwUrlPathLength) +
           UrlPart(parts.lpszExtraInfo, parts.dwExtraInfoLength);
    if (path.empty()) path = "/";
    secure = parts.nScheme == INTERNET_SCHEME_HTTPS;
    mh_http_file.Reset();
    mh_redirect_connection.Reset(::InternetConnectA(mh_internet_session.Get(), host.c_str(),
                                                    parts.nPort, nullptr, nullptr,
                                                    INTERNET_SERVICE_HTTP, 0, 0));
    return static_cast<bool>(mh_redirect_connection);
}

int FileDownloader::GetStatusCode() const {
    return static_cast<int>(QueryNumber(mh_http_file.Get(), HTTP_QUERY_STATUS_CODE));
}

long long FileDownloader::GetContentLength() const {
    return QueryNumber(mh_http_file.Get(), HTTP_QUERY_CONTENT_LENGTH);
}

void FileDownloader::Download(bool synchronous) {
    StopAsyncDownload();
    if (synchronous) {
        RunDownloadLoop();
        return;
    }
    m_downloadThread.Reset(Utils::MT::StartThread(&FileDownloader::DownloadThread, this));
    if (!m_downloadThread) m_listener->OnError(static_cast<int>(::GetLastError()));
}

int FileDownloader::DownloadThread(void* self) {
    static_cast<FileDownloader*>(self)->RunDownloadLoop();
    return 0;
}

bool FileDownloader::WaitForDownload(DWORD timeoutMs) {
    if (!m_downloadThread) return true;
    return ::WaitForSingleObject(m_downloadThread.Get(), timeoutMs) == WAIT_OBJECT_0;
}

void FileDownloader::Cancel() { m_abort = true; }

void FileDownloader::StopAsyncDownload() {
    if (!m_downloadThread) return;
    m_abort = true;
    ::WaitForSingleObject(m_downloadThread.Get(), INFINITE);
    m_downloadThread.Reset();
}

void FileDownloader::RunDownloadLoop() {
    m_bodyLimitExceeded = false;
    if (!mh_http_file) {
        m_listener->OnError(ERROR_INVALID_HANDLE);
        return;
    }
    // A chunked body carries its own end, and a length sent beside it counts for nothing.
    const long long declared = IsChunked(mh_http_file.Get()) ? -1 : GetContentLength();
    // Refused unread. Closing the request under Wine still reads and drops
    // what the server has sent, for as long as more is at hand at once (1 KB
    // at a time: 256 MiB served over loopback took 19 s), so only a server
    // that outpaces that can hold the attempt in its close.
    if (m_bodyLimit >= 0 && declared > m_bodyLimit) {
        m_bodyLimitExceeded = true;
        m_listener->OnError(ERROR_FILE_TOO_LARGE);
        return;
    }
    std::string pending;
    long long received = 0;
    int errorCode = 0;
    if (!ReadBody(pending, received, errorCode)) {
        if (errorCode == 0) return;  // the listener has been told already
        m_listener->OnError(errorCode);
        return;
    }
    // A connection that closes before the declared length arrived is a failed transfer, not a short
    // file.
    if (declared >= 0 && received < declared) {
        m_listener->OnError(ERROR_INTERNET_CONNECTION_ABORTED);
        return;
    }
    if (DeliverFullChunks(pending, true)) m_listener->OnComplete();
}

// Reads until the end of the body. False when the transfer ended early: with
// errorCode set for a read failure, a body over the limit or one too slow, or
// 0 when the listener was told already.
bool FileDownloader::ReadBody(std::string& pending, long long& received, int& errorCode) {
    std::vector<char> block(kReadBlockBytes);
    TransferPace pace(m_slowWindowMs, m_slowWindowMinBytes, ::GetTickCount());
    for (;;) {
        if (m_abort) {
            m_listener->OnCancelled();
            return false;
        }
        DWORD read = 0;
        if (!ReadArrived(block, read, errorCode)) return false;
        if (read == 0) return true;
        if (!pace.Arrived(read, ::GetTickCount())) {
            errorCode = ERROR_INTERNET_TIMEOUT;
            return false;
        }
        if (m_bodyLimit >= 0 && received + read > m_bodyLimit) {
            m_bodyLimitExceeded = true;
            errorCode = ERROR_FILE_TOO_LARGE;
            return false;
        }
        received += read;
        pending.append(block.data(), read);
        if (!DeliverFullChunks(pending, false)) return false;
    }
}

// Reads what has arrived, waiting only until something has (or the body
// ended); read is 0 at the end of the body. Under Wine 8 a synchronous
// InternetReadFile returns only once its whole buffer is filled or the body
// ends (a body trickled at 200 bytes a second came back as one read after
// 20 s), so a server that sends a byte every 45 s, inside the stall timeout,
// held one 256 KB read for months; neither closing the request handle nor
// lowering its receive timeout from another thread ends such a read there
// (it went on as long as bytes came). InternetQueryDataAvailable waits only
// for the first bytes, at most the stall timeout, and a body arriving slower
// than it is read is taken as it comes, so the pace is checked at least that
// often. Wine reports at most 8 KB (its read buffer) at a time: a body that
// fills it arrives fast, and is read in whole blocks, since 8 KB reads cut one
// transfer over loopback from 490-740 MB/s to about 95 MB/s and made a first
// install of 400 MB half as slow again. A body that fills the buffer and then
// slows to a trickle can still hold one block's read.
bool FileDownloader::ReadArrived(std::vector<char>& block, DWORD& read, int& errorCode) {
    DWORD available = 0;
    // Asking for one byte when none is reported ends cleanly at the end of the body.
    if (::InternetQueryDataAvailable(mh_http_file.Get(), &available, 0, 0)) {
        const DWORD size = static_cast<DWORD>(block.size());
        const DWORD wanted =
            available >= kFullReadBufferBytes ? size : std::min(std::max<DWORD>(available, 1), size);
        if (::InternetReadFile(mh_http_file.Get(), block.data(), wanted, &read)) return true;
    }
    errorCode = static_cast<int>(::GetLastError());
    if (errorCode == 0) errorCode = ERROR_INTERNET_CONNECTION_ABORTED;
    return false;
}

// Passes the full 1024-byte chunks of pending (and with flushAll the rest) to
// the listener. False when the transfer ended: cancelled or refused.
bool FileDownloader::DeliverFullChunks(std::string& pending, bool flushAll) {
    std::string chunk;
    size_t offset = 0;
    Delivery outcome = Delivery::Delivered;
    while (outcome == Delivery::Delivered && offset < pending.size()) {
        size_t size = std::min(kChunkBytes, pending.size() - offset);
        if (size < kChunkBytes && !flushAll) break;
        if (offset > 0 && m_abort) {
            outcome = Delivery::Cancelled;
            break;
        }
        chunk.assign(pending, offset, size);
        offset += size;
        if (!m_listener->OnData(chunk)) outcome = Delivery::Refused;
    }
    pending.erase(0, offset);
    if (outcome == Delivery::Cancelled) m_listener->OnCancelled();
    if (outcome == Delivery::Refused) m_listener->OnError(-1);
    return outcome == Delivery::Delivered;
}

}  // namespace HTTP
}  // namespace Utils
