// Cancelling a transfer and the asynchronous form of Download.
#include <gtest/gtest.h>

#include <thread>

#include "recording_listener.h"
#include "support/test_http_server.h"

using TestSupport::Fault;
using TestSupport::TestHttpServer;
using Utils::HTTP::FileDownloader;
using namespace TransferTest;

namespace {

constexpr size_t kSlowBodyBytes = 200 * 1000;

class FileDownloaderThreads : public ::testing::Test {
protected:
    void SetUp() override {
        // About 2 s to send in full. The cancellations below hold the transfer
        // in its first chunk instead of counting on it still being on the wire.
        server.Serve("/slow.bin", PatternBytes(kSlowBodyBytes));
        Fault trickle;
        trickle.trickleBytes = 1000;
        trickle.trickleDelayMs = 10;
        server.SetFault("/slow.bin", trickle);
        ASSERT_TRUE(server.Start());
    }
    // The first chunk's OnData sets firstData and then waits for cancelSent, so
    // that a cancel is in before the transfer can take its next step.
    void HoldFirstChunkUntilCancelled() {
        listener.onData = [this](const std::string&) {
            ::SetEvent(firstData.Get());
            ::WaitForSingleObject(cancelSent.Get(), 10000);
        };
    }

    TestHttpServer server;
    RecordingListener listener;
    Utils::UniqueKernelHandle firstData{::CreateEventA(nullptr, TRUE, FALSE, nullptr)};
    Utils::UniqueKernelHandle cancelSent{::CreateEventA(nullptr, TRUE, FALSE, nullptr)};
};

TEST_F(FileDownloaderThreads, CancelFromAnotherThreadEndsWithOnCancelled) {
    FileDownloader downloader(&listener, server.Host(), false, -1, "DownloaderKel");
    ASSERT_TRUE(downloader.SendRequest("/slow.bin", "", "", false));
    HoldFirstChunkUntilCancelled();
    std::thread canceller([&] {
        ::WaitForSingleObject(firstData.Get(), 10000);
        downloader.Cancel();
        ::SetEvent(cancelSent.Get());
    });
    downloader.Download(true);
    canceller.join();
    EXPECT_EQ(Ending::Cancelled, listener.ending);
    EXPECT_EQ(1, listener.endings);
    EXPECT_FALSE(listener.body.empty());
    EXPECT_LT(listener.body.size(), kSlowBodyBytes);
    EXPECT_EQ(PatternBytes(listener.body.size()), listener.body);
}

TEST_F(FileDownloaderThreads, CancelBeforeDownloadDeliversNothing) {
    FileDownloader downloader(&listener, server.Host(), false, -1, "DownloaderKel");
    ASSERT_TRUE(downloader.SendRequest("/slow.bin", "", "", false));
    downloader.Cancel();
    downloader.Download(true);
    EXPECT_EQ(Ending::Cancelled, listener.ending);
    EXPECT_TRUE(listener.chunkSizes.empty());
}

TEST_F(FileDownloaderThreads, ANewRequestClearsAnEarlierCancel) {
    server.Serve("/small", "abc");
    FileDownloader downloader(&listener, server.Host(), false, -1, "DownloaderKel");
    downloader.Cancel();
    ASSERT_TRUE(downloader.SendRequest("/small", "", "", false));
    downloader.Download(true);
    EXPECT_EQ(Ending::Complete, listener.ending);
    EXPECT_EQ("abc", listener.body);
}

TEST_F(FileDownloaderThreads, AsynchronousDownloadRunsOnItsOwnThreadAndReturnsAtOnce) {
    server.Serve("/async.bin", PatternBytes(100000));
    FileDownloader downloader(&listener, server.Host(), false, -1, "DownloaderKel");
    ASSERT_TRUE(downloader.SendRequest("/async.bin", "", "", false));
    downloader.Download(false);
    ASSERT_TRUE(downloader.WaitForDownload(10000));
    EXPECT_EQ(Ending::Complete, listener.ending);
    EXPECT_EQ(PatternBytes(100000), listener.body);
    EXPECT_NE(::GetCurrentThreadId(), listener.dataThread);
}

TEST_F(FileDownloaderThreads, AsynchronousDownloadCanBeCancelledAndWaitedFor) {
    FileDownloader downloader(&listener, server.Host(), false, -1, "DownloaderKel");
    ASSERT_TRUE(downloader.SendRequest("/slow.bin", "", "", false));
    HoldFirstChunkUntilCancelled();
    downloader.Download(false);
    ASSERT_EQ(WAIT_OBJECT_0, ::WaitForSingleObject(firstData.Get(), 10000));
    EXPECT_FALSE(downloader.WaitForDownload(0)) << "still running";
    downloader.Cancel();
    ::SetEvent(cancelSent.Get());
    ASSERT_TRUE(downloader.WaitForDownload(10000));
    EXPECT_EQ(Ending::Cancelled, listener.ending);
    EXPECT_EQ(1, listener.endings);
}

TEST_F(FileDownloaderThreads, DestroyingTheDownloaderStopsItsAsynchronousTransferFirst) {
    {
        FileDownloader downloader(&listener, server.Host(), false, -1, "DownloaderKel");
        ASSERT_TRUE(downloader.SendRequest("/slow.bin", "", "", false));
        downloader.Download(false);
    }
    // The listener must have been told before the downloader went away.
    EXPECT_EQ(Ending::Cancelled, listener.ending);
    EXPECT_EQ(1, listener.endings);
}

TEST_F(FileDownloaderThreads, ParallelDownloadersEachGetTheirOwnBody) {
    constexpr int kWorkers = 15;
    for (int i = 0; i < kWorkers; ++i)
        server.Serve("/p/" + std::to_string(i), PatternBytes(20000 + i));
    std::vector<RecordingListener> listeners(kWorkers);
    std::vector<std::thread> workers;
    for (int i = 0; i < kWorkers; ++i)
        workers.emplace_back(
            [&, i] { Get(listeners[i], server.Host(), "/p/" + std::to_string(i)); });
    for (auto& worker : workers) worker.join();
    for (int i = 0; i < kWorkers; ++i) {
        EXPECT_EQ(Ending::Complete, listeners[i].ending) << i;
        EXPECT_TRUE(listeners[i].body == PatternBytes(20000 + i)) << i;
    }
}

}  // namespace
