// The worker pool: retries, skipped fonts, the fatal end of a file that never
// arrives, the "Installed" record and the hand-out of file indexes.
#include <windows.h>

#include <atomic>
#include <set>
#include <thread>

#include "download_manager_fixture.h"
#include "support/recording_dialog.h"

namespace DownloadManagerTest {
namespace {

class DownloadWorkersTest : public DownloadManagerFixture {};


TEST_F(DownloadWorkersTest, FileThatIsNeverThereEndsTheRunAtTheFourthCall) {
    QueueFile("bin\\missing.dll", "missing.dll", "x");
    m_server->SetFault("/files/missing.dll", [] { TestSupport::Fault f; f.status = 404; return f; }());
    CommitDocument();

    DWORD start = GetTickCount();
    m_manager->RunParallelDownloads(1);  // the worker thread ends at the fatal report
    DWORD elapsed = GetTickCount() - start;

    EXPECT_EQ(m_server->Hits("/files/missing.dll"), 3);
    EXPECT_GE(elapsed, 1450u);  // three pauses of half a second before the second, third and fourth call
    std::vector<std::string> fatal = m_dialog->FatalErrors();
    ASSERT_EQ(fatal.size(), 1u);
    EXPECT_EQ(fatal[0], "Failed to connect to the update server, if the problem persists, please download again.");
    std::vector<int> maintenanceSeverities;
    for (const auto& [message, severity] : m_dialog->Errors())
        if (message == "Server maintenance - download failed: bin\\missing.dll") maintenanceSeverities.push_back(severity);
    EXPECT_EQ(maintenanceSeverities, (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(InstalledChecksum("bin\\missing.dll"), "<none>");
}

TEST_F(DownloadWorkersTest, FontThatIsNeverThereIsSkippedSilently) {
    QueueFile("fonts\\gone.ttf", "gone.ttf", "x");
    QueueFile("fonts\\there.otf", "there.otf", "font bytes");
    m_server->SetFault("/files/gone.ttf", [] { TestSupport::Fault f; f.status = 404; return f; }());
    CommitDocument();

    m_manager->RunParallelDownloads(1);

    EXPECT_EQ(m_server->Hits("/files/gone.ttf"), 3);
    EXPECT_TRUE(m_dialog->FatalErrors().empty());
    EXPECT_EQ(InstalledChecksum("fonts\\gone.ttf"), "<none>");
    EXPECT_EQ(InstalledChecksum("fonts\\there.otf"), "sum-fonts\\there.otf");
    EXPECT_EQ(TestSupport::ReadFile(Path("fonts\\there.otf")), "font bytes");
}

TEST_F(DownloadWorkersTest, RetryAfterABrokenTransferInstallsAndRecordsTheFile) {
    std::string body = SomeBytes(300000, 4);
    QueueFile("data\\big.bin", "big.bin", body);
    TestSupport::Fault drop;
    drop.dropBodyAt = 100000;
    drop.times = 1;
    m_server->SetFault("/files/big.bin", drop);
    CommitDocument();

    m_manager->RunParallelDownloads(15);

    EXPECT_EQ(m_server->Hits("/files/big.bin"), 2);
    EXPECT_EQ(TestSupport::ReadFile(Path("data\\big.bin")), body);
    EXPECT_EQ(InstalledChecksum("data\\big.bin"), "sum-data\\big.bin");
    EXPECT_TRUE(m_dialog->FatalErrors().empty());
}

TEST_F(DownloadWorkersTest, ManyWorkersFetchEveryFileExactlyOnce) {
    constexpr int kFiles = 120;
    for (int i = 0; i < kFiles; ++i) {
        std::string name = "f" + std::to_string(i) + ".bin";
        QueueFile("many\\" + name, name, SomeBytes(1000 + 37 * i, i));
    }
    CommitDocument();

    m_manager->RunParallelDownloads(40);

    for (int i = 0; i < kFiles; ++i) {
        std::string name = "f" + std::to_string(i) + ".bin";
        EXPECT_EQ(m_server->Hits("/files/" + name), 1) << name;
        EXPECT_EQ(TestSupport::ReadFile(Path("many\\" + name)), SomeBytes(1000 + 37 * i, i)) << name;
        EXPECT_EQ(InstalledChecksum("many\\" + name), "sum-many\\" + name);
    }
    EXPECT_EQ(m_manager->TakeNextFile(), -1);
    ASSERT_FALSE(m_dialog->ProgressPositions().empty());
    EXPECT_EQ(m_dialog->ProgressPositions().back().second, 100);
}

TEST_F(DownloadWorkersTest, ConcurrentTakersReceiveEveryIndexExactlyOnce) {
    constexpr int kFiles = 5000, kThreads = 16;
    for (int i = 0; i < kFiles; ++i) m_manager->AddFetchFile(UpdateFileEntry{});
    std::vector<std::vector<int>> taken(kThreads);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([&, t] {
            for (int index = m_manager->TakeNextFile(); index >= 0; index = m_manager->TakeNextFile())
                taken[t].push_back(index);
        });
    for (std::thread& thread : threads) thread.join();

    std::vector<int> all;
    for (const auto& list : taken) {
        EXPECT_TRUE(std::is_sorted(list.begin(), list.end()));  // list order within each taker
        all.insert(all.end(), list.begin(), list.end());
    }
    std::sort(all.begin(), all.end());
    ASSERT_EQ(all.size(), static_cast<size_t>(kFiles));
    for (int i = 0; i < kFiles; ++i) ASSERT_EQ(all[i], i);
}

TEST_F(DownloadWorkersTest, FailedInstalledRecordIsFatal) {
    QueueFile("a.bin", "a.bin", "abc");
    CommitDocument();
    Utils::g_productKeyManager = nullptr;  // no product key: the record can't be written
    m_manager->RunParallelDownloads(1);
    Utils::g_productKeyManager = m_productKey.get();
    EXPECT_EQ(m_dialog->FatalErrors(), std::vector<std::string>{"Failed to write to registry, restart and try again."});
}


// Entries whose targets differ only in letter case are fetched at the same
// time; each attempt has a side file of its own, so neither spoils or deletes
// the other's and the file in place is one whole body.
TEST_F(DownloadWorkersTest, TargetsDifferingInCaseNeverShareASideFile) {
    const std::string first = SomeBytes(200000, 7), second = SomeBytes(200000, 8);
    QueueFile("dup\\same.bin", "a.bin", first);
    QueueFile("DUP\\Same.bin", "b.bin", second);
    TestSupport::Fault slow;
    slow.trickleBytes = 50000;
    slow.trickleDelayMs = 50;
    m_server->SetFault("/files/a.bin", slow);
    m_server->SetFault("/files/b.bin", slow);
    CommitDocument();

    m_manager->RunParallelDownloads(2);

    EXPECT_EQ(m_dialog->FatalErrors(), std::vector<std::string>{});
    // Both records share one registry value name, which ignores case.
    const std::string recorded = InstalledChecksum("dup\\same.bin");
    EXPECT_TRUE(recorded == "sum-dup\\same.bin" || recorded == "sum-DUP\\Same.bin") << recorded;
    const std::string installed = TestSupport::ReadFile(Path("dup\\same.bin"));
    EXPECT_TRUE(installed == first || installed == second);
    EXPECT_EQ(SideFileCount(), 0);
}

}  // namespace
}  // namespace DownloadManagerTest
