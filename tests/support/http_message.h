#pragma once
// Requests, responses and fault descriptions of the test HTTP server, and the
// small parsing helpers it uses.
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace TestSupport {

using HeaderList = std::vector<std::pair<std::string, std::string>>;

// One request as the server received it.
struct HttpRequest {
    std::string method;   // "GET", "POST", ...
    std::string target;   // path with query, exactly as sent
    std::string path;     // target without the query, percent-decoded
    std::string query;    // text after "?", empty when none
    std::string version;  // "HTTP/1.1"
    HeaderList headers;
    std::string body;

    // The first header of that name (ignoring case); empty when absent.
    std::string Header(const std::string& name) const;
    bool HasHeader(const std::string& name) const;
};

// What a route answers. The body comes from memory or, when bodyFile is set,
// is streamed from that file.
struct HttpResponse {
    int status = 200;
    HeaderList headers;  // Content-Length and Connection are added by the server
    std::shared_ptr<const std::string> body = std::make_shared<const std::string>();
    std::string bodyFile;

    static HttpResponse Text(int status, std::string body);
};

using HttpHandler = std::function<HttpResponse(const HttpRequest&)>;

// A misbehaviour injected into the answers for one path.
struct Fault {
    int status = 0;                  // non-zero: answer with this status, same body
    DWORD delayBeforeHeadersMs = 0;  // pause before the status line
    long long cutBodyAt = -1;        // send only this many body bytes, then close cleanly
    long long dropBodyAt = -1;       // send this many body bytes, then reset the connection (RST;
                                     // a Winsock client under Wine may see a plain close)
    bool noContentLength = false;    // no length: the body ends when the connection closes
    bool noResponse = false;         // close the connection without answering
    size_t trickleBytes = 0;         // send the body in pieces of this size ...
    DWORD trickleDelayMs = 0;        // ... with this pause after each piece
    HeaderList extraHeaders;         // added to (or replacing) the route's headers
    int times = -1;                  // applies to this many requests, then expires; -1: always
};

// Parses the request line and header lines (the text before the blank line).
bool ParseRequestHead(const std::string& head, HttpRequest& request);
// "%41" -> "A"; malformed escapes are kept as they are.
std::string PercentDecode(const std::string& text);
// "OK", "Not Found", ...; "Status" for codes it doesn't know.
const char* ReasonPhrase(int status);
bool EqualsNoCase(const std::string& a, const std::string& b);

}  // namespace TestSupport
