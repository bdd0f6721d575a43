// A transfer that brings too little within a window of time fails instead of
// being received to its end; one that keeps the pace goes on.
#include <windows.h>

#include <gtest/gtest.h>

#include "recording_listener.h"
#include "support/test_http_server.h"

using TestSupport::Fault;
using TestSupport::TestHttpServer;
using Utils::HTTP::FileDownloader;
using namespace TransferTest;

namespace {

// Fewer than 1000 bytes in 300 ms fail.
void GetPaced(RecordingListener& listener, const TestHttpServer& server, const char* path) {
    FileDownloader downloader(&listener, server.Host(), false, -1, "DownloaderKel");
    downloader.SetSlowTransferLimit(300, 1000);
    downloader.SendRequest(path, "", "", false);
    downloader.Download(true);
}

// Wine's synchronous InternetReadFile waits for a whole block, so a check
// made only between block reads would not run until this body was complete.
TEST(FileDownloaderPace, ATransferThatBringsTooLittlePerWindowFails) {
    TestHttpServer server;
    ASSERT_TRUE(server.Start());
    server.Serve("/trickle", PatternBytes(4000));  // 200 bytes a second: 20 s in full
    Fault trickle;
    trickle.trickleBytes = 10;
    trickle.trickleDelayMs = 50;
    server.SetFault("/trickle", trickle);
    server.Serve("/steady", PatternBytes(30000));  // about 50 KB a second, over two windows
    Fault steady;
    steady.trickleBytes = 500;
    steady.trickleDelayMs = 10;
    server.SetFault("/steady", steady);

    RecordingListener slow;
    GetPaced(slow, server, "/trickle");
    EXPECT_EQ(slow.ending, Ending::Error);
    EXPECT_EQ(slow.errorCode, ERROR_INTERNET_TIMEOUT);
    EXPECT_LT(slow.body.size(), 4000u);
    RecordingListener enough;
    GetPaced(enough, server, "/steady");
    EXPECT_EQ(enough.ending, Ending::Complete);
    EXPECT_EQ(enough.body, PatternBytes(30000));
}

}  // namespace
