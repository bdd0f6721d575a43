#include "support/test_http_server.h"

#include <ws2tcpip.h>

#include <algorithm>
#include <atomic>

#include "support/http_response_writer.h"

namespace TestSupport {

namespace {
constexpr int kAddressAttempts = 32;

bool WantsKeepAlive(const HttpRequest& request) {
    std::string connection = request.Header("Connection");
    if (request.version == "HTTP/1.0") return EqualsNoCase(connection, "keep-alive");
    return !EqualsNoCase(connection, "close");
}

bool HasDotDotComponent(const std::string& relative) {
    size_t start = 0;
    while (start <= relative.size()) {
        size_t end = relative.find_first_of("/\\", start);
        if (end == std::string::npos) end = relative.size();
        if (relative.compare(start, end - start, "..") == 0 && end - start == 2) return true;
        start = end + 1;
    }
    return false;
}
}  // namespace

std::string NextLoopbackAddress() {
    static std::atomic<unsigned> counter{0};
    unsigned n = counter++;
    unsigned mixed = static_cast<unsigned>(::GetCurrentProcessId()) * 2654435761u;
    return "127." + std::to_string(1 + (mixed >> 8) % 254) + "." +
           std::to_string((mixed >> 16) % 256) + "." + std::to_string(1 + n % 254);
}

TestHttpServer::TestHttpServer() : m_port(80), m_pickAddress(true) {}

TestHttpServer::TestHttpServer(const std::string& address, int port)
    : m_address(address), m_port(port), m_pickAddress(false) {}

TestHttpServer::~TestHttpServer() {
    Stop();
    if (m_winsockStarted) ::WSACleanup();
}

std::string TestHttpServer::Url(const std::string& path) const {
    std::string url = "http://" + m_address;
    if (m_port != 80) url += ":" + std::to_string(m_port);
    return url + path;
}

bool TestHttpServer::Bind(const std::string& address) {
    UniqueSocket listener(::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
    if (!listener) return false;
    sockaddr_in endpoint{};
    endpoint.sin_family = AF_INET;
    endpoint.sin_port = htons(static_cast<u_short>(m_port));
    if (::inet_pton(AF_INET, address.c_str(), &endpoint.sin_addr) != 1) return false;
    if (::bind(listener.Get(), reinterpret_cast<sockaddr*>(&endpoint), sizeof(endpoint)) != 0 ||
        ::listen(listener.Get(), SOMAXCONN) != 0)
        return false;
    m_listener = std::move(listener);
    m_address = address;
    return true;
}

bool TestHttpServer::Start() {
    if (m_acceptThread.joinable()) return true;
    if (m_stop.IsRaised()) return false;  // a stopped server stays stopped
    WSADATA data;
    if (!m_winsockStarted) m_winsockStarted = ::WSAStartup(MAKEWORD(2, 2), &data) == 0;
    if (!m_winsockStarted) return false;
    bool bound = false;
    for (int attempt = 0; !bound && attempt < (m_pickAddress ? kAddressAttempts : 1); ++attempt)
        bound = Bind(m_pickAddress ? NextLoopbackAddress() : m_address);
    if (!bound) return false;
    m_acceptThread = std::thread(&TestHttpServer::AcceptLoop, this);
    return true;
}

void TestHttpServer::Stop() {
    m_stop.Raise();
    if (m_acceptThread.joinable()) m_acceptThread.join();
    m_listener.Reset();
    std::vector<Connection> connections;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        connections.swap(m_connections);
    }
    // Threads notice the stop signal within one poll interval and close their sockets.
    for (auto& connection : connections) connection.thread.join();
}

void TestHttpServer::AcceptLoop() {
    while (WaitReadable(m_listener.Get(), m_stop)) {
        auto socket = std::make_shared<UniqueSocket>(::accept(m_listener.Get(), nullptr, nullptr));
        if (!*socket || !MakeNonBlocking(socket->Get())) continue;
        int sendBuffer = 4 * 1024 * 1024;  // fewer waits for room when serving large bodies
        ::setsockopt(socket->Get(), SOL_SOCKET, SO_SNDBUF,
                     reinterpret_cast<const char*>(&sendBuffer), sizeof(sendBuffer));
        BOOL noDelay = TRUE;
        ::setsockopt(socket->Get(), IPPROTO_TCP, TCP_NODELAY,
                     reinterpret_cast<const char*>(&noDelay), sizeof(noDelay));
        ReapFinishedConnections();
        auto finished = std::make_shared<std::atomic<bool>>(false);
        std::lock_guard<std::mutex> lock(m_mutex);
        ++m_connectionCount;
        m_connections.push_back(
            {std::thread(&TestHttpServer::ServeConnection, this, socket, finished), finished});
    }
}

void TestHttpServer::ReapFinishedConnections() {
    std::vector<Connection> finished;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        auto done = std::stable_partition(m_connections.begin(), m_connections.end(),
                                          [](const Connection& c) { return !*c.finished; });
        std::move(done, m_connections.end(), std::back_inserter(finished));
        m_connections.erase(done, m_connections.end());
    }
    for (auto& connection : finished) connection.thread.join();
}

void TestHttpServer::ServeConnection(std::shared_ptr<UniqueSocket> socket,
                                     std::shared_ptr<std::atomic<bool>> finished) {
    std::string pending;
    HttpRequest request;
    AfterResponse after = AfterResponse::Close;
    while (ReadRequest(socket->Get(), pending, request, m_stop)) {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_requests.push_back(request);
        }
        Fault fault = TakeFault(request);
        HttpResponse response = Answer(request);
        long long sent = 0;
        after = WriteResponse(socket->Get(), request, response, fault, WantsKeepAlive(request),
                              m_stop, sent);
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_bodyBytesSent[request.path] += sent;
        }
        if (after != AfterResponse::KeepOpen) break;
    }
    if (after == AfterResponse::Reset)
        ResetConnection(*socket);
    else
        CloseGracefully(*socket);
    *finished = true;
}

HttpResponse TestHttpServer::Answer(const HttpRequest& request) const {
    HttpHandler handler;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        auto route = m_routes.find(request.target);
        if (route == m_routes.end()) route = m_routes.find(request.path);
        if (route != m_routes.end()) handler = route->second;
    }
    if (handler) return handler(request);
    return AnswerFromFolder(request);
}

HttpResponse TestHttpServer::AnswerFromFolder(const HttpRequest& request) const {
    std::string prefix, folder;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        for (const auto& entry : m_folders) {  // the longest matching prefix wins
            const std::string& candidate = entry.first;
            bool matches = request.path.compare(0, candidate.size(), candidate) == 0 &&
                           (request.path.size() == candidate.size() || candidate.back() == '/' ||
                            request.path[candidate.size()] == '/');
            if (matches && (folder.empty() || candidate.size() > prefix.size())) {
                prefix = candidate;
                folder = entry.second;
            }
        }
    }
    std::string relative = request.path.substr(std::min(prefix.size(), request.path.size()));
    if (folder.empty() || HasDotDotComponent(relative)) return HttpResponse::Text(404, "Not found");
    std::replace(relative.begin(), relative.end(), '/', '\\');
    std::string file = folder + (relative.empty() || relative[0] == '\\' ? "" : "\\") + relative;
    DWORD attributes = ::GetFileAttributesA(file.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return HttpResponse::Text(404, "Not found");
    HttpResponse response;
    response.headers.emplace_back("Content-Type", "application/octet-stream");
    response.bodyFile = file;
    return response;
}

Fault TestHttpServer::TakeFault(const HttpRequest& request) {
    std::lock_guard<std::mutex> lock(m_mutex);
    auto entry = m_faults.find(request.target);
    if (entry == m_faults.end()) entry = m_faults.find(request.path);
    if (entry == m_faults.end()) return Fault();
    Fault fault = entry->second;
    if (entry->second.times > 0 && --entry->second.times == 0) m_faults.erase(entry);
    return fault;
}

void TestHttpServer::Serve(const std::string& path, std::string body, int status,
                           const std::string& contentType) {
    HttpResponse response;
    response.status = status;
    response.headers.emplace_back("Content-Type", contentType);
    response.body = std::make_shared<const std::string>(std::move(body));
    Handle(path, [response](const HttpRequest&) { return response; });
}

void TestHttpServer::ServeFolder(const std::string& prefix, const std::string& folder) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_folders[prefix] = folder;
}

void TestHttpServer::Handle(const std::string& path, HttpHandler handler) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_routes[path] = std::move(handler);
}

void TestHttpServer::SetFault(const std::string& path, const Fault& fault) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (fault.times == 0)
        m_faults.erase(path);
    else
        m_faults[path] = fault;
}

void TestHttpServer::ClearFaults() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_faults.clear();
}

std::vector<HttpRequest> TestHttpServer::Requests() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_requests;
}

int TestHttpServer::Hits(const std::string& pathOrTarget) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return static_cast<int>(std::count_if(
        m_requests.begin(), m_requests.end(),
        [&](const HttpRequest& r) { return r.path == pathOrTarget || r.target == pathOrTarget; }));
}

long long TestHttpServer::BodyBytesSent(const std::string& path) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto entry = m_bodyBytesSent.find(path);
    return entry == m_bodyBytesSent.end() ? 0 : entry->second;
}

int TestHttpServer::ConnectionCount() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_connectionCount;
}

}  // namespace TestSupport
