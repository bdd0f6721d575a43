#pragma once
// An HTTP/1.1 server for tests and benchmarks, running inside the calling
// process on port 80 of its own loopback address. It serves documents from
// memory, files from folders or answers from handlers, records every request
// and injects faults on request.
//
//   TestSupport::TestHttpServer server;           // picks a free 127.x.y.z
//   server.Serve("/files/a.bin", bytes);
//   server.SetFault("/files/a.bin", Fault{404});  // or cut, drop, delay, trickle ...
//   ASSERT_TRUE(server.Start());
//   ... fetch http://<server.Host()>/files/a.bin ...
//   server.Requests(), server.Hits("/files/a.bin")
//
// All members may be called from any thread, also while the server runs.
#include <windows.h>
#include <winsock2.h>

#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "support/http_message.h"
#include "support/socket_io.h"

namespace TestSupport {

// A loopback address that no other server of this process has used, varying
// with the process id so that test processes running side by side differ.
std::string NextLoopbackAddress();

class TestHttpServer {
public:
    // Port 80 of an address from NextLoopbackAddress(); Start() moves on to
    // the next address when one is taken.
    TestHttpServer();
    // Exactly this address and port.
    TestHttpServer(const std::string& address, int port);
    ~TestHttpServer();
    TestHttpServer(const TestHttpServer&) = delete;
    TestHttpServer& operator=(const TestHttpServer&) = delete;

    // Binds and starts accepting; false when no address could be bound or
    // the server was stopped before (a server runs once).
    bool Start();
    // Closes every connection and joins every thread. Safe to call twice.
    void Stop();

    const std::string& Host() const { return m_address; }
    int Port() const { return m_port; }
    // "http://host" (plus ":port" when not 80) followed by path.
    std::string Url(const std::string& path) const;

    // Answers GET/HEAD of path (or of the full target with its query).
    void Serve(const std::string& path, std::string body, int status = 200,
               const std::string& contentType = "application/octet-stream");
    // Answers prefix + "/a/b.txt" with the file folder\a\b.txt; paths with ".." are refused.
    void ServeFolder(const std::string& prefix, const std::string& folder);
    // Answers every request of path with whatever the handler returns (runs on a connection
    // thread).
    void Handle(const std::string& path, HttpHandler handler);
    // Spoils the answers to path (or the full target); replaces an earlier fault.
    void SetFault(const std::string& path, const Fault& fault);
    void ClearFaults();

    // Every request received so far, in arrival order.
    std::vector<HttpRequest> Requests() const;
    // Requests whose path or full target equals pathOrTarget.
    int Hits(const std::string& pathOrTarget) const;
    // Connections accepted so far.
    int ConnectionCount() const;
    // Body bytes that connections took for requests of path (without query) so
    // far, counted once each answer is over; what sits in socket buffers counts.
    long long BodyBytesSent(const std::string& path) const;

private:
    struct Connection {
        std::thread thread;
        std::shared_ptr<std::atomic<bool>> finished;
    };

    bool Bind(const std::string& address);
    void AcceptLoop();
    void ReapFinishedConnections();
    void ServeConnection(std::shared_ptr<UniqueSocket> socket,
                         std::shared_ptr<std::atomic<bool>> finished);
    HttpResponse Answer(const HttpRequest& request) const;
    HttpResponse AnswerFromFolder(const HttpRequest& request) const;
    Fault TakeFault(const HttpRequest& request);

    std::string m_address;
    int m_port;
    bool m_pickAddress;
    bool m_winsockStarted = false;
    UniqueSocket m_listener;
    StopSignal m_stop;
    std::thread m_acceptThread;

    mutable std::mutex m_mutex;  // guards everything below
    std::map<std::string, HttpHandler> m_routes;
    std::map<std::string, std::string> m_folders;  // prefix -> folder
    std::map<std::string, Fault> m_faults;
    std::vector<HttpRequest> m_requests;
    std::map<std::string, long long> m_bodyBytesSent;  // by request path
    std::vector<Connection> m_connections;
    int m_connectionCount = 0;
};

}  // namespace TestSupport
