#include "support/http_response_writer.h"

#include <algorithm>
#include <vector>

#include "utils/unique_handle.h"

namespace TestSupport {

namespace {
constexpr size_t kPieceBytes = 1024 * 1024;

// The body bytes of a response, from memory or read from a file piece by piece.
class BodySource {
public:
    explicit BodySource(const HttpResponse& response) : m_memory(response.body) {
        if (response.bodyFile.empty()) return;
        m_file.Reset(::CreateFileA(response.bodyFile.c_str(), GENERIC_READ, FILE_SHARE_READ,
                                   nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
        LARGE_INTEGER size{};
        if (m_file && ::GetFileSizeEx(m_file.Get(), &size)) m_fileSize = size.QuadPart;
    }
    long long Size() const {
        return m_file ? m_fileSize : static_cast<long long>(m_memory->size());
    }
    // Copies up to max bytes at the current offset; the count, 0 at the end or on error.
    size_t Read(char* target, size_t max) {
        if (m_file) {
            DWORD read = 0;
            if (!::ReadFile(m_file.Get(), target, static_cast<DWORD>(max), &read, nullptr))
                return 0;
            return read;
        }
        size_t count = std::min(max, m_memory->size() - static_cast<size_t>(m_offset));
        std::copy_n(m_memory->data() + m_offset, count, target);
        m_offset += static_cast<long long>(count);
        return count;
    }

private:
    std::shared_ptr<const std::string> m_memory;
    Utils::UniqueFileHandle m_file;
    long long m_fileSize = 0;
    long long m_offset = 0;
};

HeaderList MergeHeaders(const HeaderList& base, const HeaderList& overrides) {
    HeaderList merged;
    for (const auto& header : base) {
        bool replaced = std::any_of(overrides.begin(), overrides.end(), [&](const auto& o) {
            return EqualsNoCase(o.first, header.first);
        });
        if (!replaced) merged.push_back(header);
    }
    merged.insert(merged.end(), overrides.begin(), overrides.end());
    return merged;
}

std::string BuildHead(int status, const HeaderList& headers, long long length, bool closeAfter) {
    std::string head = "HTTP/1.1 " + std::to_string(status) + " " + ReasonPhrase(status) + "\r\n";
    for (const auto& header : headers) head += header.first + ": " + header.second + "\r\n";
    if (length >= 0) head += "Content-Length: " + std::to_string(length) + "\r\n";
    if (closeAfter) head += "Connection: close\r\n";
    return head + "\r\n";
}

// Sends up to limit body bytes, in trickle pieces when the fault asks for them.
bool SendBody(SOCKET s, BodySource& body, long long limit, const Fault& fault, StopSignal& stop,
              long long& sent) {
    size_t pieceSize = fault.trickleBytes > 0 ? fault.trickleBytes : kPieceBytes;
    std::vector<char> piece(pieceSize);
    while (limit > 0) {
        size_t wanted =
            static_cast<size_t>(std::min<long long>(limit, static_cast<long long>(pieceSize)));
        size_t count = body.Read(piece.data(), wanted);
        if (count == 0 || !SendAll(s, piece.data(), count, stop)) return false;
        sent += static_cast<long long>(count);
        limit -= static_cast<long long>(count);
        if (fault.trickleDelayMs > 0 && limit > 0 && !stop.Sleep(fault.trickleDelayMs))
            return false;
    }
    return true;
}
}  // namespace

AfterResponse WriteResponse(SOCKET s, const HttpRequest& request, const HttpResponse& response,
                            const Fault& fault, bool keepAlive, StopSignal& stop,
                            long long& bodyBytesSent) {
    if (fault.noResponse) return AfterResponse::Close;
    if (fault.delayBeforeHeadersMs > 0 && !stop.Sleep(fault.delayBeforeHeadersMs))
        return AfterResponse::Close;
    int status = fault.status != 0 ? fault.status : response.status;
    BodySource body(response);
    bool bodyless = request.method == "HEAD" || status == 204 || status == 304;
    long long size = status == 204 || status == 304 ? 0 : body.Size();
    bool spoiled = fault.cutBodyAt >= 0 || fault.dropBodyAt >= 0 || fault.noContentLength;
    bool closeAfter = !keepAlive || spoiled;
    std::string head = BuildHead(status, MergeHeaders(response.headers, fault.extraHeaders),
                                 fault.noContentLength ? -1 : size, closeAfter);
    if (!SendAll(s, head.data(), head.size(), stop)) return AfterResponse::Close;
    long long limit = bodyless ? 0 : size;
    if (fault.cutBodyAt >= 0) limit = std::min(limit, fault.cutBodyAt);
    if (fault.dropBodyAt >= 0) limit = std::min(limit, fault.dropBodyAt);
    if (!SendBody(s, body, limit, fault, stop, bodyBytesSent)) return AfterResponse::Close;
    if (fault.dropBodyAt >= 0) return AfterResponse::Reset;
    return closeAfter ? AfterResponse::Close : AfterResponse::KeepOpen;
}

}  // namespace TestSupport
