// Progress arithmetic, what reaches the dialog, and the names one attempt uses.
#include <atomic>
#include <cmath>
#include <cstdint>
#include <thread>

#include "download_manager_fixture.h"
#include "transfer/download_progress.h"
#include "transfer/transfer_paths.h"

namespace DownloadManagerTest {
namespace {

using Transfer::kNoPosition;

TEST(DownloadProgressArithmetic, SingleTransferPosition) {
    struct Case { std::int64_t received, expected; int position; };
    const Case cases[] = {
        {0, 1000, 0},       {999, 1000, 99},       {1000, 1000, 100},
        {1500, 1000, 100},  // more than declared: the bar stays full
        {10, -1, kNoPosition}, {10, 0, kNoPosition},  // no length declared
        {3000000000LL, 4000000000LL, 75},               // beyond 32 bits
        {50000000LL, 60000000LL, 83},                   // received * 100 beyond 32 bits
    };
    for (const Case& c : cases)
        EXPECT_EQ(Transfer::TransferPosition(c.received, c.expected), c.position) << c.received << "/" << c.expected;
}

TEST(DownloadProgressArithmetic, OverallValueFollowsTheSquareRoot) {
    struct Case { std::int64_t sum, total; double value; };
    const Case cases[] = {
        {250, 1000, 50.0}, {1000, 1000, 100.0}, {0, 1000, 0.0}, {10, 1000, 10.0},
        {2000, 1000, 100.0},                               // sizes too small in the document
        {5000000000LL, 20000000000LL, 50.0},               // totals beyond 32 bits
    };
    for (const Case& c : cases) {
        EXPECT_DOUBLE_EQ(Transfer::OverallProgress(c.sum, c.total), c.value) << c.sum << "/" << c.total;
        EXPECT_EQ(Transfer::OverallPosition(c.value), static_cast<int>(c.value));
    }
    EXPECT_LT(Transfer::OverallProgress(5, 0), 0.0);  // nothing to show, no division by zero
    EXPECT_EQ(Transfer::OverallPosition(Transfer::OverallProgress(249, 1000)), 49);
}

TEST(TransferPathPlan, NamesForEachKindOfFile) {
    struct Case { bool listed; const char* local; const char* url; bool compressed;
                  const char* output; const char* target; const char* received; };
    const Case cases[] = {
        {true, "fonts\\a.ttf", "fonts/a.ttf.Kelz", true, "fonts\\a.ttf.Kelz", "fonts\\a.ttf", "fonts\\a.ttf.part.Kelz"},
        {true, "s\\d.wav", "/s/d.wav.Kelw", true, "s\\d.wav.Kelw", "s\\d.wav", "s\\d.wav.part.Kelw"},
        {true, "bin\\x.dll", "/bin/x.dll", false, "bin\\x.dll", "bin\\x.dll", "bin\\x.dll.part"},
        {true, "bin\\x.dat", "/bin/x.bin", false, "bin\\x.dat.bin", "bin\\x.dat", "bin\\x.dat.part"},
        {true, "noext", "/v1.2/noext", false, "noext", "noext", "noext.part"},  // dots in folders don't count
        // A query is no part of the received name; a "?" can't be in a file name.
        {true, "fonts\\q.ttf", "fonts/q.ttf.Kelz?v=3", true, "fonts\\q.ttf.Kelz", "fonts\\q.ttf", "fonts\\q.ttf.part.Kelz"},
        {true, "bin\\q.dll", "/get.php?f=bin/q.dll", false, "bin\\q.dll", "bin\\q.dll", "bin\\q.dll.part"},
        // A dot in the query doesn't hide the compressed extension ending the path.
        {true, "q.txt", "/q.txt.Kelz?v=2.5.1", true, "q.txt.Kelz", "q.txt", "q.txt.part.Kelz"},
        {true, "s\\q.wav", "/s/q.wav.Kelw?t=1.5&x", true, "s\\q.wav.Kelw", "s\\q.wav", "s\\q.wav.part.Kelw"},
        {true, "q.ttf", "/get.php?f=q.ttf.Kelz", true, "q.ttf.Kelz", "q.ttf", "q.ttf.part.Kelz"},
        {false, "C:\\t\\doc.xml", "/svc/get?id=7", false, "C:\\t\\doc.xml", "C:\\t\\doc.xml", "C:\\t\\doc.xml.part"},
    };
    for (const Case& c : cases) {
        Transfer::TransferPaths p = Transfer::PlanTransferPaths(c.listed, c.local, c.url, c.compressed, nullptr);
        EXPECT_EQ(p.output, c.output) << c.local;
        EXPECT_EQ(p.target, c.target) << c.local;
        EXPECT_EQ(p.received, c.received) << c.local;
    }
}

TEST(TransferPathPlan, SideNameAvoidsListedFiles) {
    auto listed = [](const std::string& path) { return path == "a.bin.part" || path == "b.txt.part.Kelz" || path == "b.txt.part2"; };
    EXPECT_EQ(Transfer::PlanTransferPaths(true, "a.bin", "a.bin", false, listed).side, "a.bin.part2");
    Transfer::TransferPaths b = Transfer::PlanTransferPaths(true, "b.txt", "b.txt.Kelz", true, listed);
    EXPECT_EQ(b.received, "b.txt.part3.Kelz");
    EXPECT_EQ(b.side, "b.txt.part3");
}

class ProgressReportTest : public DownloadManagerFixture {};

TEST_F(ProgressReportTest, QuarterOfTheBytesShowsFifty) {
    for (int i = 0; i < 3; ++i) m_manager->AddFetchFile(UpdateFileEntry{});
    int tool = m_manager->AddToolFile();
    m_manager->SetTotalBytes(1000);
    m_manager->ReportProgress(100, 0, 400);
    m_manager->ReportProgress(100, 2, 400);
    m_manager->ReportProgress(50, tool, 200);
    EXPECT_EQ(m_dialog->ProgressPositions().back(), std::make_pair(1007, 50));
    EXPECT_DOUBLE_EQ(m_dialog->ProgressTexts().back(), 50.0);
    m_manager->ReportProgress(200, 2, 400);  // a file's later count replaces its earlier one
    EXPECT_DOUBLE_EQ(m_dialog->ProgressTexts().back(), 10.0 * std::sqrt(35.0));
}

TEST_F(ProgressReportTest, UnchangedValuesReachNoDialogCall) {
    m_manager->AddFetchFile(UpdateFileEntry{});
    m_manager->SetTotalBytes(10000000000LL);
    for (int received = 1; received <= 100; ++received) m_manager->ReportProgress(received, 0, -1);
    EXPECT_EQ(m_dialog->ProgressPositions().size(), 1u);  // 0 throughout
    EXPECT_LE(m_dialog->ProgressTexts().size(), 2u);  // 0.00, 0.01
}

TEST_F(ProgressReportTest, SingleTransferWithoutLengthLeavesTheBarAlone) {
    m_manager->ReportProgress(5000, DownloadManager::kDocumentIndex, -1);
    m_manager->ReportProgress(5000, DownloadManager::kUpdaterIndex, 0);
    EXPECT_TRUE(m_dialog->ProgressPositions().empty());
    m_manager->ReportProgress(500, DownloadManager::kDocumentIndex, 1000);
    EXPECT_EQ(m_dialog->ProgressPositions(), (std::vector<std::pair<int, int>>{{1007, 50}}));
    EXPECT_TRUE(m_dialog->ProgressTexts().empty());
}

// Text-only changes are paced, but the end of a transfer shows its last value.
TEST_F(ProgressReportTest, LastValueOfATransferIsShown) {
    std::string body = SomeBytes(400000, 9);
    QueueFile("half.bin", "half.bin", body);
    CommitDocument();
    m_manager->SetTotalBytes(2 * static_cast<std::int64_t>(body.size()));
    ASSERT_TRUE(FetchListed("half.bin", "half.bin", false));
    ASSERT_FALSE(m_dialog->ProgressTexts().empty());
    EXPECT_DOUBLE_EQ(m_dialog->ProgressTexts().back(), 10.0 * std::sqrt(50.0));
    EXPECT_EQ(m_dialog->ProgressPositions().back().second, 70);
}

// Many threads report growing counts: the dialog sees values in order, never
// a stale one after a newer one, and ends on the final value.
TEST_F(ProgressReportTest, ConcurrentReportsReachTheDialogInOrder) {
    constexpr int kThreads = 12, kSteps = 2000, kChunk = 7;
    for (int i = 0; i < kThreads; ++i) m_manager->AddFetchFile(UpdateFileEntry{});
    m_manager->SetTotalBytes(static_cast<std::int64_t>(kThreads) * kSteps * kChunk);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([&, t] {
            for (int step = 1; step <= kSteps; ++step) m_manager->ReportProgress(step * kChunk, t, -1);
        });
    for (std::thread& thread : threads) thread.join();

    std::vector<double> texts = m_dialog->ProgressTexts();
    std::vector<std::pair<int, int>> positions = m_dialog->ProgressPositions();
    ASSERT_FALSE(texts.empty());
    EXPECT_TRUE(std::is_sorted(texts.begin(), texts.end()));
    EXPECT_TRUE(std::adjacent_find(texts.begin(), texts.end()) == texts.end());  // no repeated value
    EXPECT_EQ(Transfer::VisibleHundredths(texts.back()), 10000);  // shows "100.00"
    EXPECT_TRUE(std::is_sorted(positions.begin(), positions.end()));
    EXPECT_EQ(positions.back().second, 100);
    EXPECT_LE(positions.size(), 101u);
}

}  // namespace
}  // namespace DownloadManagerTest
