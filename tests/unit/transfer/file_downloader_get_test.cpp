// GET transfers through FileDownloader against the in-process test server.
#include <windows.h>
// wininet.h needs windows.h first.
#include <wininet.h>

#include <gtest/gtest.h>

#include <cstdio>

#include "recording_listener.h"
#include "support/test_http_server.h"

using TestSupport::Fault;
using TestSupport::TestHttpServer;
using Utils::HTTP::FileDownloader;
using namespace TransferTest;

namespace {

class FileDownloaderGet : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(server.Start()); }
    TestHttpServer server;
    RecordingListener listener;
};

struct StatusCase {
    int status;
    std::string body;
};

TEST_F(FileDownloaderGet, ReportsStatusAndPassesTheBodyWhateverTheStatus) {
    const StatusCase cases[] = {{200, "hello"},
                                {204, ""},
                                {301, "moved, but where?"},
                                {404, "no such file"},
                                {500, "broken"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.status);
        std::string path = "/status/" + std::to_string(c.status);
        server.Serve(path, c.body, c.status);
        RecordingListener listener;
        Fetch fetch = Get(listener, server.Host(), path);
        EXPECT_TRUE(fetch.sent);
        EXPECT_EQ(c.status, fetch.status);
        EXPECT_EQ(static_cast<long long>(c.body.size()), fetch.length);
        EXPECT_EQ(c.body, listener.body);
        EXPECT_EQ(Ending::Complete, listener.ending);
        EXPECT_EQ(1, listener.endings);
    }
}

TEST_F(FileDownloaderGet, CutsTheBodyIntoFull1024ByteChunksInOrder) {
    struct SizeCase {
        size_t size;
        std::vector<size_t> chunks;
    };
    const SizeCase cases[] = {
        {0, {}}, {1, {1}}, {1024, {1024}}, {1025, {1024, 1}}, {3000, {1024, 1024, 952}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.size);
        std::string path = "/size/" + std::to_string(c.size);
        server.Serve(path, PatternBytes(c.size));
        RecordingListener listener;
        Get(listener, server.Host(), path);
        EXPECT_EQ(c.chunks, listener.chunkSizes);
        EXPECT_EQ(PatternBytes(c.size), listener.body);
        EXPECT_EQ(Ending::Complete, listener.ending);
        EXPECT_EQ(1, listener.endings);
    }
}

TEST_F(FileDownloaderGet, DeliversALargeBodyIntactWhateverTheArrivalPattern) {
    const std::string bytes = PatternBytes(700 * 1000 + 17);
    server.Serve("/big.bin", bytes);
    server.Serve("/trickle.bin", PatternBytes(5000));
    Fault trickle;
    trickle.trickleBytes = 700;
    trickle.trickleDelayMs = 5;
    server.SetFault("/trickle.bin", trickle);
    Fault unframed;
    unframed.noContentLength = true;
    server.Serve("/unframed.bin", bytes);
    server.SetFault("/unframed.bin", unframed);

    for (const std::string path : {"/big.bin", "/trickle.bin", "/unframed.bin"}) {
        SCOPED_TRACE(path);
        RecordingListener listener;
        Fetch fetch = Get(listener, server.Host(), path);
        std::string expected = path == "/trickle.bin" ? PatternBytes(5000) : bytes;
        EXPECT_EQ(path == "/unframed.bin" ? -1 : static_cast<long long>(expected.size()),
                  fetch.length);
        EXPECT_TRUE(listener.body == expected) << listener.body.size() << " bytes received";
        for (size_t i = 0; i + 1 < listener.chunkSizes.size(); ++i)
            ASSERT_EQ(1024u, listener.chunkSizes[i]);
        EXPECT_EQ(Ending::Complete, listener.ending);
    }
}

TEST_F(FileDownloaderGet, ABodyThatStopsShortOfItsLengthIsAnError) {
    server.Serve("/cut.bin", PatternBytes(50000));
    server.Serve("/dropped.bin", PatternBytes(50000));
    Fault cut;
    cut.cutBodyAt = 20000;
    server.SetFault("/cut.bin", cut);
    Fault drop;
    drop.dropBodyAt = 20000;
    server.SetFault("/dropped.bin", drop);

    for (const std::string path : {"/cut.bin", "/dropped.bin"}) {
        SCOPED_TRACE(path);
        RecordingListener listener;
        Fetch fetch = Get(listener, server.Host(), path);
        EXPECT_EQ(50000, fetch.length);
        EXPECT_EQ(Ending::Error, listener.ending);
        EXPECT_EQ(1, listener.endings);
        EXPECT_GT(listener.errorCode, 0) << "the system's error number";
        EXPECT_LE(listener.body.size(), 20000u);
        EXPECT_EQ(PatternBytes(listener.body.size()), listener.body);
    }
}

// Some servers send a Content-Length beside a chunked body (here the length of
// the encoded body); the chunks, not the length, say where the body ends.
TEST_F(FileDownloaderGet, AChunkedBodyEndsWhereItsChunksEndWhateverLengthComesWithIt) {
    server.Serve("/both", "5\r\nhello\r\n6\r\n world\r\n0\r\n\r\n");
    Fault chunked;
    chunked.extraHeaders = {{"Transfer-Encoding", "chunked"}};
    server.SetFault("/both", chunked);
    Get(listener, server.Host(), "/both");
    EXPECT_EQ("hello world", listener.body);
    EXPECT_EQ(Ending::Complete, listener.ending);
}

TEST_F(FileDownloaderGet, AListenerThatRefusesDataStopsTheTransfer) {
    server.Serve("/refused.bin", PatternBytes(10000));
    listener.refuseAfterChunks = 2;
    Get(listener, server.Host(), "/refused.bin");
    EXPECT_EQ((std::vector<size_t>{1024, 1024}), listener.chunkSizes);
    EXPECT_EQ(Ending::Error, listener.ending);
    EXPECT_EQ(-1, listener.errorCode);
    EXPECT_EQ(1, listener.endings);
}

TEST_F(FileDownloaderGet, SendsTheAgentNameAndNoCacheRequest) {
    server.Serve("/agent", "x");
    Get(listener, server.Host(), "/agent?id=7");
    auto requests = server.Requests();
    ASSERT_EQ(1u, requests.size());
    EXPECT_EQ("GET", requests[0].method);
    EXPECT_EQ("/agent?id=7", requests[0].target);
    EXPECT_EQ("DownloaderKel", requests[0].Header("User-Agent"));
    EXPECT_EQ("*/*", requests[0].Header("Accept"));
}

// Files need no cookies; and Wine's WinINet keeps a cookie container for every
// path it is asked about, searched on each request, so runs of thousands of
// files slowed down with every file.
TEST_F(FileDownloaderGet, NeitherKeepsNorSendsCookies) {
    server.Serve("/jar", "x");
    Fault setsCookie;
    setsCookie.extraHeaders = {{"Set-Cookie", "jar=1; Path=/"}};
    server.SetFault("/jar", setsCookie);
    const std::string url = "http://" + server.Host() + "/jar";
    ASSERT_TRUE(::InternetSetCookieA(url.c_str(), "stored", "2"));
    Get(listener, server.Host(), "/jar");
    Get(listener, server.Host(), "/jar");
    const auto requests = server.Requests();
    ASSERT_EQ(2u, requests.size());
    for (const auto& request : requests) EXPECT_EQ("", request.Header("Cookie"));
}

TEST_F(FileDownloaderGet, FailsWithoutAServerAndStillEndsTheDownloadOnce) {
    std::string nobody = TestSupport::NextLoopbackAddress();
    for (int port : {-1, 8123}) {
        SCOPED_TRACE(port);
        RecordingListener listener;
        Fetch fetch = Get(listener, nobody, "/anything", port);
        EXPECT_FALSE(fetch.sent);
        EXPECT_EQ(-1, fetch.status);
        EXPECT_EQ(-1, fetch.length);
        EXPECT_EQ(Ending::Error, listener.ending);
        EXPECT_EQ(1, listener.endings);
        EXPECT_TRUE(listener.body.empty());
    }
}

TEST(FileDownloaderPorts, PortMinusOneMeansTheSchemesDefaultPort) {
    // The constructor's secure flag only picks the default port; a plain
    // request (SendRequest with secure = false) then shows which port was used.
    struct PortCase {
        bool secure;
        int port;
        int listening;
        const char* hostTail;  // a server name of the form "host:port" names its port
    };
    const PortCase cases[] = {{false, -1, 80, ""},
                              {true, -1, 443, ""},
                              {false, 8081, 8081, ""},
                              {false, -1, 8082, ":8082"},
                              {true, -1, 8083, ":8083"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.listening);
        TestHttpServer server(TestSupport::NextLoopbackAddress(), c.listening);
        server.Serve("/where", "here");
        ASSERT_TRUE(server.Start());
        RecordingListener listener;
        FileDownloader downloader(&listener, server.Host() + c.hostTail, c.secure, c.port,
                                  "DownloaderKel");
        ASSERT_TRUE(downloader.SendRequest("/where", "", "", false));
        downloader.Download(true);
        EXPECT_EQ("here", listener.body);
    }
}

TEST_F(FileDownloaderGet, WaitsForAServerThatIsSlowToAnswer) {
    server.Serve("/late", "late answer");
    Fault late;
    late.delayBeforeHeadersMs = 400;
    server.SetFault("/late", late);
    Fetch fetch = Get(listener, server.Host(), "/late");
    EXPECT_TRUE(fetch.sent);
    EXPECT_EQ(11, fetch.length);
    EXPECT_EQ("late answer", listener.body);
}

TEST_F(FileDownloaderGet, AServerThatStallsFailsTheTransferAfterTheStallTimeout) {
    server.Serve("/silent", "never sent");
    server.Serve("/stalled", PatternBytes(4000));
    Fault silent;
    silent.delayBeforeHeadersMs = 60000;
    server.SetFault("/silent", silent);
    Fault stalled;
    stalled.trickleBytes = 1500;
    stalled.trickleDelayMs = 60000;
    server.SetFault("/stalled", stalled);
    for (const std::string path : {"/silent", "/stalled"}) {
        SCOPED_TRACE(path);
        RecordingListener listener;
        FileDownloader downloader(&listener, server.Host(), false, -1, "DownloaderKel");
        downloader.SetStallTimeout(1000);
        const DWORD start = ::GetTickCount();
        downloader.SendRequest(path, "", "", false);
        downloader.Download(true);
        EXPECT_LT(::GetTickCount() - start, 10000u);
        EXPECT_NE(Ending::Complete, listener.ending);
        EXPECT_LE(listener.body.size(), 1500u);
    }
}

TEST_F(FileDownloaderGet, AnImpossiblePortIsRefusedInsteadOfWrappingToAnotherPort) {
    server.Serve("/wrapped", "should not be reached");
    RecordingListener listener;
    Fetch fetch = Get(listener, server.Host(), "/wrapped", 65536 + 80);
    EXPECT_FALSE(fetch.sent);
    EXPECT_EQ(0, server.Hits("/wrapped"));
}

TEST_F(FileDownloaderGet, ANullListenerDiscardsTheBody) {
    server.Serve("/discard", PatternBytes(4000));
    FileDownloader downloader(nullptr, server.Host(), false, -1, "DownloaderKel");
    ASSERT_TRUE(downloader.SendRequest("/discard", "", "", false));
    downloader.Download(true);
    EXPECT_EQ(200, downloader.GetStatusCode());
    EXPECT_EQ(1, server.Hits("/discard"));
}

TEST_F(FileDownloaderGet, ReusesTheConnectionForRequestsInARow) {
    server.Serve("/one", "1");
    server.Serve("/two", "22");
    FileDownloader downloader(&listener, server.Host(), false, -1, "DownloaderKel");
    for (const char* path : {"/one", "/two", "/one"}) {
        ASSERT_TRUE(downloader.SendRequest(path, "", "", false));
        downloader.Download(true);
    }
    EXPECT_EQ("1221", listener.body);
    EXPECT_EQ(3, listener.endings);
    EXPECT_EQ(1, server.ConnectionCount());
}

// WinINet follows 301, 302, 303 and 307 on its own; a 308 must lead to the
// file as well, whether it names a path, a relative name or another server.
TEST_F(FileDownloaderGet, FollowsPermanentRedirectsLikeTheOtherRedirects) {
    TestHttpServer other;
    ASSERT_TRUE(other.Start());
    other.Serve("/elsewhere/c.bin", "third");
    server.Serve("/files/a.bin", "first");
    server.Serve("/files/b.bin", "second");
    const std::pair<std::string, std::string> moves[] = {
        {"/old/a.bin", "/files/a.bin#top"},
        {"/files/old-b", "b.bin?v=2"},
        {"/old/c.bin", other.Url("/elsewhere/c.bin")},
        {"/loop", "/loop"}};
    for (const auto& move : moves) {
        server.Serve(move.first, "moved", 308);
        Fault redirect;
        redirect.extraHeaders = {{"Location", move.second}};
        server.SetFault(move.first, redirect);
    }
    const std::pair<std::string, std::string> fetches[] = {
        {"/old/a.bin", "first"}, {"/files/old-b", "second"}, {"/old/c.bin", "third"}};
    for (const auto& fetch : fetches) {
        SCOPED_TRACE(fetch.first);
        RecordingListener listener;
        Fetch result = Get(listener, server.Host(), fetch.first);
        EXPECT_TRUE(result.sent);
        EXPECT_EQ(200, result.status);
        EXPECT_EQ(fetch.second, listener.body);
        EXPECT_EQ(Ending::Complete, listener.ending);
    }
    // A redirect to itself ends after a few hops with the 308 as the answer.
    Fetch loop = Get(listener, server.Host(), "/loop");
    EXPECT_EQ(308, loop.status);
    EXPECT_LE(server.Hits("/loop"), 11);
}

}  // namespace
