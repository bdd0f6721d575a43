#pragma once
// Writes one response of the test HTTP server to a connection, with a fault
// applied.
#include "support/http_message.h"
#include "support/socket_io.h"

namespace TestSupport {

// What the connection does after the response.
enum class AfterResponse { KeepOpen, Close, Reset };

// Sends the status line, headers and body (none for HEAD, 204 and 304).
// keepAlive says whether the client wants the connection kept; a fault that
// spoils the body always ends it. Returns Close when sending failed. Adds the
// body bytes that the connection took to bodyBytesSent.
AfterResponse WriteResponse(SOCKET s, const HttpRequest& request, const HttpResponse& response,
                            const Fault& fault, bool keepAlive, StopSignal& stop,
                            long long& bodyBytesSent);

}  // namespace TestSupport
