#include <gtest/gtest.h>

#include <algorithm>

#include "current_folder.h"
#include "support/scratch.h"
#include "utils/file/file_utils.h"
#include "utils/string/string_utils.h"

namespace {

using Utils::File::FindFiles;

std::string Lower(std::string text) { return Utils::String::ToLower(text); }

// root\A.txt, root\Sub\b.txt, root\Sub\Deeper\c.txt, root\Empty\.
void MakeTree(const std::string& root) {
    TestSupport::WriteFile(root + "\\A.txt", "a");
    TestSupport::WriteFile(root + "\\Sub\\b.txt", "b");
    TestSupport::WriteFile(root + "\\Sub\\Deeper\\c.txt", "c");
    CreateDirectoryA((root + "\\Empty").c_str(), nullptr);
}

std::size_t IndexOf(const std::vector<std::string>& list, const std::string& item) {
    return static_cast<std::size_t>(std::find(list.begin(), list.end(), item) - list.begin());
}

TEST(FindFiles, ListsEveryFolderBeforeItsContents) {
    TestSupport::ScratchFolder scratch;
    MakeTree(scratch.Path());
    const std::string root = Lower(scratch.Path());
    std::vector<std::string> list = {"stale"};
    FindFiles(list, scratch.Path() + "\\", true, true, true);

    std::vector<std::string> sorted = list;
    std::sort(sorted.begin(), sorted.end());
    const std::vector<std::string> expected = {
        root + "\\a.txt",      root + "\\empty",       root + "\\sub",
        root + "\\sub\\b.txt", root + "\\sub\\deeper", root + "\\sub\\deeper\\c.txt"};
    EXPECT_EQ(sorted, expected);
    EXPECT_LT(IndexOf(list, root + "\\sub"), IndexOf(list, root + "\\sub\\b.txt"));
    EXPECT_LT(IndexOf(list, root + "\\sub"), IndexOf(list, root + "\\sub\\deeper"));
    EXPECT_LT(IndexOf(list, root + "\\sub\\deeper"), IndexOf(list, root + "\\sub\\deeper\\c.txt"));
}

TEST(FindFiles, FlagsSelectWhatIsListed) {
    TestSupport::ScratchFolder scratch;
    MakeTree(scratch.Path());
    const std::string root = Lower(scratch.Path());
    struct Case {
        bool recurse, includeFolders;
        std::size_t count;
    };
    const Case cases[] = {{false, false, 1}, {false, true, 3}, {true, false, 3}, {true, true, 6}};
    for (const Case& c : cases) {
        std::vector<std::string> list;
        FindFiles(list, scratch.Path(), c.recurse, c.includeFolders, true);
        EXPECT_EQ(list.size(), c.count) << c.recurse << c.includeFolders;
    }
    std::vector<std::string> list = {"kept"};
    FindFiles(list, scratch.Path(), false, false, false);
    EXPECT_EQ(list, (std::vector<std::string>{"kept", root + "\\a.txt"}));
    FindFiles(list, scratch / "missing", true, true, false);
    EXPECT_EQ(list.size(), 2u);
}

TEST(DeleteTree, RemovesAWholeTree) {
    TestSupport::ScratchFolder scratch;
    const std::string tree = scratch / "Tree";
    MakeTree(tree);
    SetFileAttributesA((tree + "\\Sub\\b.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    TestSupport::WriteFile(scratch / "Tree2\\keep.txt", "k");
    Utils::File::DeleteTree(tree);
    EXPECT_FALSE(Utils::File::Exists(tree));
    EXPECT_TRUE(Utils::File::Exists(scratch / "Tree2\\keep.txt")) << "a sibling with a longer name";
    Utils::File::DeleteTree(scratch / "missing");  // nothing to do, nothing happens
    EXPECT_TRUE(Utils::File::IsDirectory(scratch.Path()));
}

TEST(DeleteTree, RelativePathsFollowTheCurrentFolder) {
    TestSupport::ScratchFolder scratch;
    MakeTree(scratch / "Rel");
    UtilsTest::CurrentFolder current(scratch.Path());
    Utils::File::DeleteTree("rel/sub");
    EXPECT_FALSE(Utils::File::Exists(scratch / "Rel\\Sub"));
    EXPECT_TRUE(Utils::File::Exists(scratch / "Rel\\A.txt"));
}

// Refusals are checked by the predicate for drive roots (deleting a real root
// in a test is not an option) and for real on the current folder.
TEST(DeleteTree, RefusesEmptyPathsAndDriveRoots) {
    struct Case {
        const char* path;
        bool allowed;
    };
    const Case cases[] = {
        {"", false},
        {"\\", false},
        {"/", false},
        {"\\\\", false},
        {" ", false},
        {"C:", false},
        {"C:\\", false},
        {"c:/", false},
        {"C:\\.", false},
        {"C:\\\\", false},
        {"c:\\sub\\..", false},
        {"C:\\..\\..", false},
        {"c:\\.\\.", false},
        {"C:\\Folder", true},
        {"c:/a/b/", true},
        {"C:\\a\\..\\b", true},
        // Rooted without a drive, shares and device paths would land below the current folder.
        {"\\x", false},
        {"/x", false},
        {" \\x", false},
        {"\\\\server\\share\\x", false},
        {"//server/share/x", false},
        {"\\\\?\\C:\\x", false},
        {"//?/c:/x", false},
        {"\\\\.\\C:\\x", false},
        {"//./C:/x", false},
        {"1:\\x", false},
        {"rel\\x", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Utils::File::CanDeleteTree(c.path), c.allowed) << "'" << c.path << "'";

    TestSupport::ScratchFolder scratch;
    const std::string canary = scratch / "canary.txt";
    ASSERT_TRUE(TestSupport::WriteFile(canary, "alive"));
    UtilsTest::CurrentFolder current(scratch.Path());
    for (const char* path : {"", "\\", "/", " "}) {
        Utils::File::DeleteTree(path);
        ASSERT_TRUE(TestSupport::FileExists(canary)) << "'" << path << "'";
    }
}

TEST(DeleteTree, RootedPathsWithoutADriveAreNotMovedBelowTheCurrentFolder) {
    TestSupport::ScratchFolder scratch;
    const std::string rooted = scratch / "x\\canary.txt";
    const std::string share = scratch / "server\\share\\x\\canary.txt";
    ASSERT_TRUE(TestSupport::WriteFile(rooted, "alive"));
    ASSERT_TRUE(TestSupport::WriteFile(share, "alive"));
    UtilsTest::CurrentFolder current(scratch.Path());
    ASSERT_TRUE(current.Changed());
    for (const char* path : {"\\x", "/x", "\\\\server\\share\\x", "//server/share/x"}) {
        Utils::File::DeleteTree(path);
        EXPECT_TRUE(TestSupport::FileExists(rooted)) << path;
        EXPECT_TRUE(TestSupport::FileExists(share)) << path;
    }
}

}  // namespace
