#include "support/socket_io.h"

#include <chrono>
#include <cstdlib>

namespace TestSupport {

namespace {
constexpr long kPollMicroseconds = 50 * 1000;
constexpr size_t kMaxHeadBytes = 64 * 1024;

bool ReceiveMore(SOCKET s, std::string& pending, const StopSignal& stop) {
    char buffer[16 * 1024];
    for (;;) {
        if (!WaitReadable(s, stop)) return false;
        int received = ::recv(s, buffer, sizeof(buffer), 0);
        if (received > 0) {
            pending.append(buffer, static_cast<size_t>(received));
            return true;
        }
        if (received == 0 || ::WSAGetLastError() != WSAEWOULDBLOCK) return false;
    }
}

// Waits for room in the send buffer; false on stop or error.
bool WaitWritable(SOCKET s, const StopSignal& stop) {
    while (!stop.IsRaised()) {
        fd_set writable;
        FD_ZERO(&writable);
        FD_SET(s, &writable);
        timeval timeout{0, kPollMicroseconds};
        int ready = ::select(0, nullptr, &writable, nullptr, &timeout);
        if (ready < 0) return false;
        if (ready > 0) return true;
    }
    return false;
}
}  // namespace

void StopSignal::Raise() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_raised = true;
    }
    m_changed.notify_all();
}

bool StopSignal::IsRaised() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_raised;
}

bool StopSignal::Sleep(DWORD ms) {
    std::unique_lock<std::mutex> lock(m_mutex);
    return !m_changed.wait_for(lock, std::chrono::milliseconds(ms), [this] { return m_raised; });
}

bool WaitReadable(SOCKET s, const StopSignal& stop) {
    while (!stop.IsRaised()) {
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(s, &readable);
        timeval timeout{0, kPollMicroseconds};
        int ready = ::select(0, &readable, nullptr, nullptr, &timeout);
        if (ready < 0) return false;
        if (ready > 0) return true;
    }
    return false;
}

bool SendAll(SOCKET s, const char* data, size_t size, const StopSignal& stop) {
    while (size > 0) {
        if (stop.IsRaised()) return false;
        int piece = static_cast<int>(size < (1u << 20) ? size : (1u << 20));
        int sent = ::send(s, data, piece, 0);
        if (sent == SOCKET_ERROR && ::WSAGetLastError() == WSAEWOULDBLOCK) {
            if (!WaitWritable(s, stop)) return false;
            continue;
        }
        if (sent <= 0) return false;
        data += sent;
        size -= static_cast<size_t>(sent);
    }
    return true;
}

bool ReadRequest(SOCKET s, std::string& pending, HttpRequest& request, const StopSignal& stop) {
    size_t headEnd;
    while ((headEnd = pending.find("\r\n\r\n")) == std::string::npos) {
        if (pending.size() > kMaxHeadBytes || !ReceiveMore(s, pending, stop)) return false;
    }
    request = HttpRequest();
    if (!ParseRequestHead(pending.substr(0, headEnd), request)) return false;
    pending.erase(0, headEnd + 4);
    long long length = std::atoll(request.Header("Content-Length").c_str());
    if (length < 0) return false;
    while (pending.size() < static_cast<size_t>(length)) {
        if (!ReceiveMore(s, pending, stop)) return false;
    }
    request.body = pending.substr(0, static_cast<size_t>(length));
    pending.erase(0, static_cast<size_t>(length));
    return true;
}

bool MakeNonBlocking(SOCKET s) {
    u_long nonBlocking = 1;
    return ::ioctlsocket(s, FIONBIO, &nonBlocking) == 0;
}

void CloseGracefully(UniqueSocket& s) {
    if (!s) return;
    ::shutdown(s.Get(), SD_SEND);
    s.Reset();
}

void ResetConnection(UniqueSocket& s) {
    if (!s) return;
    linger abort{1, 0};
    ::setsockopt(s.Get(), SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&abort),
                 sizeof(abort));
    s.Reset();
}

}  // namespace TestSupport
