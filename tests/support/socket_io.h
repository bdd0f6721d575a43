#pragma once
// Winsock plumbing of the test HTTP server: an owner for sockets, a stop
// signal that interrupts waits, and blocking send/receive helpers that give
// up when the server stops.
#include <windows.h>
#include <winsock2.h>

#include <condition_variable>
#include <mutex>
#include <string>

#include "support/http_message.h"
#include "utils/unique_handle.h"

namespace TestSupport {

struct SocketTraits {
    using Handle = SOCKET;
    static Handle Invalid() noexcept { return INVALID_SOCKET; }
    static void Close(Handle s) noexcept { ::closesocket(s); }
};
using UniqueSocket = Utils::UniqueHandle<SocketTraits>;

// Set once when the server stops; every wait of the server's threads ends then.
class StopSignal {
public:
    void Raise();
    bool IsRaised() const;
    // Sleeps for ms milliseconds; false when the signal was raised meanwhile.
    bool Sleep(DWORD ms);

private:
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_raised = false;
};

// Sends and receives then never block, so that a client that stops reading
// cannot hold up Stop.
bool MakeNonBlocking(SOCKET s);
// Waits until the socket has data (or a pending connection); false on stop or error.
bool WaitReadable(SOCKET s, const StopSignal& stop);
// Sends every byte; false when the peer is gone or the server stops.
bool SendAll(SOCKET s, const char* data, size_t size, const StopSignal& stop);
// Reads the next request from the connection. Bytes after it stay in pending
// for the next call (clients may pipeline). False when the connection ended
// or the request is malformed.
bool ReadRequest(SOCKET s, std::string& pending, HttpRequest& request, const StopSignal& stop);
// Closes after sending what was written (FIN), or aborts the connection (RST).
void CloseGracefully(UniqueSocket& s);
void ResetConnection(UniqueSocket& s);

}  // namespace TestSupport
