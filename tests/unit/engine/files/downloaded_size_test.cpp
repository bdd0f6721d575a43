#include <gtest/gtest.h>

#include "engine/files/downloaded_size.h"
#include "files_test_helpers.h"
#include "support/scratch.h"

namespace {

using Paths = std::vector<std::string>;
using Sizes = std::vector<std::int64_t>;

class DownloadedSize : public ::testing::Test {
protected:
    TestSupport::ScratchFolder folder;
    FilesTest::CurrentFolderScope current{folder.Path()};
};

TEST_F(DownloadedSize, FileLengthOfExistingAndMissingFiles) {
    ASSERT_TRUE(TestSupport::WriteFile(folder / "five.bin", "12345"));
    EXPECT_EQ(Engine::GetFileLength("five.bin"), 5);
    EXPECT_EQ(Engine::GetFileLength(folder / "five.bin"), 5);
    EXPECT_EQ(Engine::GetFileLength("missing.bin"), 0);
    std::int64_t length = -1;
    EXPECT_FALSE(Engine::QueryFileLength("missing.bin", length));
    EXPECT_FALSE(Engine::QueryFileLength(folder.Path(), length)) << "a folder is not a file";
}

TEST_F(DownloadedSize, ComparesEveryEntryOfTheClientPath) {
    ASSERT_TRUE(TestSupport::WriteFile(folder / "a\\b.dat", std::string(10, 'x')));
    const Paths paths = {"other.dat", "a\\b.dat", "x.dat", "a\\b.dat"};
    const struct {
        const char* name;
        Sizes sizes;
        bool ok;
    } cases[] = {
        {"all listed sizes match", {3, 10, 7, 10}, true},
        {"first listing differs", {3, 9, 7, 10}, false},
        {"second listing differs", {3, 10, 7, 11}, false},
        {"size list too short", {3, 10, 7}, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Engine::CheckDownloadedSize("a\\b.dat", "a\\b.dat", paths, c.sizes), c.ok)
            << c.name;
}

TEST_F(DownloadedSize, UnlistedFilesPassAndCaseMatters) {
    ASSERT_TRUE(TestSupport::WriteFile(folder / "a.dat", "abc"));
    EXPECT_TRUE(Engine::CheckDownloadedSize("a.dat", "a.dat", {"b.dat"}, {99}));
    EXPECT_TRUE(Engine::CheckDownloadedSize("a.dat", "a.dat", {"A.DAT"}, {99}));
}

TEST_F(DownloadedSize, MeasuresTheNameTheFileWasReceivedUnder) {
    // A sound file arrives as ".Kelw"; a ".Kelz" name next to it must not be measured.
    ASSERT_TRUE(TestSupport::WriteFile(folder / "s.wav.Kelw", std::string(40, 'w')));
    ASSERT_TRUE(TestSupport::WriteFile(folder / "s.wav", std::string(1000, 'o')));
    EXPECT_TRUE(Engine::CheckDownloadedSize("s.wav", "s.wav.Kelw", {"s.wav"}, {40}));
    EXPECT_FALSE(Engine::CheckDownloadedSize("s.wav", "s.wav.Kelz", {"s.wav"}, {40}));
}

TEST_F(DownloadedSize, MissingFileFailsEvenWhenListedAsEmpty) {
    EXPECT_FALSE(Engine::CheckDownloadedSize("gone.txt", "gone.txt", {"gone.txt"}, {0}));
    ASSERT_TRUE(TestSupport::WriteFile(folder / "empty.txt", ""));
    EXPECT_TRUE(Engine::CheckDownloadedSize("empty.txt", "empty.txt", {"empty.txt"}, {0}));
}

}  // namespace
