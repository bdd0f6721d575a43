// The test HTTP server's own behaviour where it matters to the tests built on
// it: faults must really spoil the wire, and Stop must not hang.
#include <gtest/gtest.h>

#include <ws2tcpip.h>

#include <chrono>
#include <thread>

#include "support/scratch.h"
#include "support/socket_io.h"
#include "support/test_http_server.h"

using TestSupport::Fault;
using TestSupport::HttpRequest;
using TestSupport::TestHttpServer;
using TestSupport::UniqueSocket;

namespace {

// A bare TCP client, so that the server's bytes are seen exactly as sent.
class RawClient {
public:
    RawClient(const std::string& host, int port)
        : m_socket(::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP)) {
        sockaddr_in endpoint{};
        endpoint.sin_family = AF_INET;
        endpoint.sin_port = htons(static_cast<u_short>(port));
        ::inet_pton(AF_INET, host.c_str(), &endpoint.sin_addr);
        DWORD timeoutMs = 10000;
        ::setsockopt(m_socket.Get(), SOL_SOCKET, SO_RCVTIMEO,
                     reinterpret_cast<const char*>(&timeoutMs), sizeof(timeoutMs));
        connected = ::connect(m_socket.Get(), reinterpret_cast<sockaddr*>(&endpoint),
                              sizeof(endpoint)) == 0;
    }
    void Send(const std::string& text) {
        ::send(m_socket.Get(), text.data(), static_cast<int>(text.size()), 0);
    }
    // Reads until the server closes; reset tells whether it aborted the connection.
    std::string ReadToEnd(bool& reset) {
        std::string received;
        char buffer[4096];
        int count;
        while ((count = ::recv(m_socket.Get(), buffer, sizeof(buffer), 0)) > 0)
            received.append(buffer, count);
        reset = count < 0 && ::WSAGetLastError() == WSAECONNRESET;
        return received;
    }
    // Reads until the text arrived (or the connection ends).
    std::string ReadUntil(const std::string& text) {
        std::string received;
        char buffer[4096];
        int count;
        while (received.find(text) == std::string::npos &&
               (count = ::recv(m_socket.Get(), buffer, sizeof(buffer), 0)) > 0)
            received.append(buffer, count);
        return received;
    }
    bool connected = false;

private:
    UniqueSocket m_socket;
};

std::string BodyOf(const std::string& response) {
    size_t end = response.find("\r\n\r\n");
    return end == std::string::npos ? std::string() : response.substr(end + 4);
}

class TestHttpServerTest : public ::testing::Test {
protected:
    void SetUp() override {
        server.Serve("/data", std::string(10000, 'd'));
        ASSERT_TRUE(server.Start());
    }
    std::string RoundTrip(const std::string& request, bool& reset) {
        RawClient client(server.Host(), server.Port());
        EXPECT_TRUE(client.connected);
        client.Send(request);
        return client.ReadToEnd(reset);
    }
    TestHttpServer server;
};

TEST_F(TestHttpServerTest, FaultsSpoilTheResponseOnTheWire) {
    struct Case {
        const char* name;
        Fault fault;
        bool lengthDeclared;
        size_t bodyBytes;
        bool mayReset;
    };
    Fault cut, drop, unframed, silent;
    cut.cutBodyAt = 3000;
    drop.dropBodyAt = 2000;
    unframed.noContentLength = true;
    silent.noResponse = true;
    const Case cases[] = {{"cut", cut, true, 3000, false},
                          {"drop", drop, true, 2000, true},
                          {"no length", unframed, false, 10000, false},
                          {"no response", silent, false, 0, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        server.SetFault("/data", c.fault);
        bool reset = false;
        std::string response = RoundTrip("GET /data HTTP/1.1\r\nHost: x\r\n\r\n", reset);
        EXPECT_EQ(c.lengthDeclared,
                  response.find("Content-Length: 10000\r\n") != std::string::npos);
        EXPECT_EQ(c.bodyBytes, BodyOf(response).size());
        // The reset is on the wire, but Wine's socket layer sometimes reports it to
        // a reading client as a plain end of stream; only a clean close is certain.
        if (!c.mayReset) {
            EXPECT_FALSE(reset);
        }
    }
}

TEST_F(TestHttpServerTest, AFaultForTheFirstRequestsOnlyThenExpires) {
    Fault failing;
    failing.status = 503;
    failing.times = 2;
    server.SetFault("/data", failing);
    std::vector<std::string> statusLines;
    for (int i = 0; i < 3; ++i) {
        bool reset = false;
        std::string response =
            RoundTrip("GET /data HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n", reset);
        statusLines.push_back(response.substr(0, response.find("\r\n")));
    }
    EXPECT_EQ((std::vector<std::string>{"HTTP/1.1 503 Service Unavailable",
                                        "HTTP/1.1 503 Service Unavailable", "HTTP/1.1 200 OK"}),
              statusLines);
    EXPECT_EQ(3, server.Hits("/data"));
}

TEST_F(TestHttpServerTest, KeepsTheConnectionAliveAndRecordsEveryRequest) {
    RawClient client(server.Host(), server.Port());
    ASSERT_TRUE(client.connected);
    client.Send(
        "GET /data?x=1 HTTP/1.1\r\nHost: x\r\n\r\nPOST /missing HTTP/1.1\r\nHost: x\r\n"
        "Content-Length: 5\r\nX-Test: yes\r\n\r\nhello");
    std::string both = client.ReadUntil("Not found");
    EXPECT_NE(std::string::npos, both.find("HTTP/1.1 200 OK"));
    EXPECT_NE(std::string::npos, both.find("HTTP/1.1 404 Not Found"));
    EXPECT_EQ(1, server.ConnectionCount());
    auto requests = server.Requests();
    ASSERT_EQ(2u, requests.size());
    EXPECT_EQ("/data?x=1", requests[0].target);
    EXPECT_EQ("/data", requests[0].path);
    EXPECT_EQ("x=1", requests[0].query);
    EXPECT_EQ("POST", requests[1].method);
    EXPECT_EQ("hello", requests[1].body);
    EXPECT_EQ("yes", requests[1].Header("x-test"));
}

TEST_F(TestHttpServerTest, ServesFoldersButNothingOutsideThem) {
    TestSupport::ScratchFolder folder;
    ASSERT_TRUE(TestSupport::WriteFile(folder / "pub\\sub\\a.txt", "in a"));
    ASSERT_TRUE(TestSupport::WriteFile(folder / "secret.txt", "secret"));
    server.ServeFolder("/files", folder / "pub");
    const std::pair<const char*, const char*> cases[] = {
        {"/files/sub/a.txt", "HTTP/1.1 200"},
        {"/files/sub/b.txt", "HTTP/1.1 404"},
        {"/files/../secret.txt", "HTTP/1.1 404"},
        {"/files/sub/%2E%2E/%2E%2E/secret.txt", "HTTP/1.1 404"},
        {"/filesX/sub/a.txt", "HTTP/1.1 404"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.first);
        bool reset = false;
        std::string response = RoundTrip(
            std::string("GET ") + c.first + " HTTP/1.1\r\nConnection: close\r\n\r\n", reset);
        EXPECT_EQ(0u, response.find(c.second));
        EXPECT_EQ(std::string::npos, response.find("secret"));
    }
}

TEST_F(TestHttpServerTest, StopEndsStalledIdleAndBlockedConnectionsPromptly) {
    Fault stalled;
    stalled.delayBeforeHeadersMs = 60000;
    server.SetFault("/data", stalled);
    RawClient waiting(server.Host(), server.Port());
    waiting.Send("GET /data HTTP/1.1\r\n\r\n");
    RawClient idle(server.Host(), server.Port());
    server.Serve("/huge", std::string(20 * 1000 * 1000, 'h'));
    RawClient notReading(server.Host(), server.Port());
    notReading.Send("GET /huge HTTP/1.1\r\n\r\n");
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    auto start = std::chrono::steady_clock::now();
    server.Stop();
    auto took = std::chrono::steady_clock::now() - start;
    EXPECT_LT(took, std::chrono::seconds(5));
}

TEST(TestHttpServerAddresses, DistinctServersGetDistinctLoopbackAddresses) {
    TestHttpServer first, second;
    ASSERT_TRUE(first.Start());
    ASSERT_TRUE(second.Start());
    EXPECT_NE(first.Host(), second.Host());
    EXPECT_EQ(0u, first.Host().find("127."));
    EXPECT_EQ("http://" + first.Host() + "/a", first.Url("/a"));
}

}  // namespace
