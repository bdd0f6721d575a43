#include <gtest/gtest.h>

#include "current_folder.h"
#include "support/scratch.h"
#include "utils/file/file_utils.h"
#include "utils/string/string_utils.h"

namespace {

using Utils::File::NormalizePath;

using UtilsTest::CurrentFolder;

TEST(NormalizePath, AbsoluteAndRelativePaths) {
    struct Case {
        std::string path, base, expected;
    };
    const Case cases[] = {
        {"sub/dir//x\\..\\y", "C:\\Base", "c:\\base\\sub\\dir\\y"},
        {"C:\\A\\.\\B\\", "", "c:\\a\\.\\b"},
        {"C:\\A\\B\\..\\..\\C", "", "c:\\c"},
        {"C:\\A\\B\\C\\..\\..", "", "c:\\a"},
        {"c:/x//y///z/", "", "c:\\x\\y\\z"},
        {"D:\\Only", "C:\\Ignored", "d:\\only"},
        {"file.TXT", "C:\\Base\\", "c:\\base\\file.txt"},
        {"..\\up", "C:\\Base\\Sub", "c:\\base\\up"},
        {"", "C:\\Base", "c:\\base"},
        {"C:\\", "", "c:"},
        {"C:", "", "c:"},
        {"C:\\..\\x", "", "c:\\x"},
        {"C:\\a\\..\\..\\..\\x", "", "c:\\x"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(NormalizePath(c.path, c.base), c.expected) << c.path << " | " << c.base;
    }
}

TEST(NormalizePath, EmptyBaseUsesTheCurrentFolder) {
    TestSupport::ScratchFolder scratch;
    CreateDirectoryA((scratch / "Inner").c_str(), nullptr);
    CurrentFolder current(scratch / "Inner");
    std::string expected = scratch.Path() + "\\x";
    Utils::String::ToLower(expected);
    EXPECT_EQ(NormalizePath("..\\x", ""), expected);
    EXPECT_EQ(NormalizePath("..\\Inner\\.\\", ""), NormalizePath(scratch / "inner\\.", ""));
}

TEST(NormalizePath, TerminatesWhenNoDriveLetterCanBeFound) {
    // The base has no drive either: the result stays without one, once.
    EXPECT_EQ(NormalizePath("x\\y", "\\\\Server\\Share"), "server\\share\\x\\y");
    EXPECT_EQ(NormalizePath("..\\..\\..\\x", "rel"), "x");
    // A current folder without a drive letter must not make it loop forever.
    // Wine lets a process stand in a Unix folder through its "\\?\unix" names.
    CurrentFolder current("\\\\?\\unix\\tmp");
    if (!current.Changed()) GTEST_SKIP() << "no folder without a drive letter to stand in";
    char folder[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, folder);
    if (folder[1] == ':') GTEST_SKIP() << "current folder has a drive: " << folder;
    const std::string result = NormalizePath("File", "");
    EXPECT_NE(result[1], ':') << result;
    ASSERT_GE(result.size(), 8u) << folder;
    EXPECT_EQ(result.substr(result.size() - 8), "tmp\\file") << folder;
}

TEST(FileTests, AttributesExtensionsMovesAndDeletes) {
    TestSupport::ScratchFolder scratch;
    const std::string file = scratch / "a.b.TXT";
    ASSERT_TRUE(TestSupport::WriteFile(file, "data"));
    EXPECT_TRUE(Utils::File::Exists(file));
    EXPECT_TRUE(Utils::File::IsFile(file));
    EXPECT_FALSE(Utils::File::IsDirectory(file));
    EXPECT_TRUE(Utils::File::IsDirectory(scratch.Path()));
    EXPECT_FALSE(Utils::File::IsFile(scratch.Path()));
    EXPECT_EQ(Utils::File::GetAttributes(scratch / "none"), INVALID_FILE_ATTRIBUTES);
    EXPECT_FALSE(Utils::File::Exists(scratch / "none"));

    EXPECT_EQ(Utils::File::GetExtension(file), ".TXT");
    EXPECT_EQ(Utils::File::GetExtension("c:\\noext"), "");
    std::string stripped = "c:\\a.b.txt";
    EXPECT_EQ(Utils::File::StripExtension(stripped), "c:\\a.b");
    std::string noDot = "c:\\x";
    EXPECT_EQ(Utils::File::StripExtension(noDot), "c:\\x");

    EXPECT_FALSE(Utils::File::Move("", scratch / "b"));
    EXPECT_FALSE(Utils::File::Move(file, ""));
    EXPECT_TRUE(Utils::File::Move(file, scratch / "moved.txt"));
    EXPECT_FALSE(Utils::File::Exists(file));
    EXPECT_TRUE(Utils::File::Delete(""));
    EXPECT_TRUE(Utils::File::Delete(scratch / "moved.txt"));
    EXPECT_FALSE(Utils::File::Delete(scratch / "moved.txt"));
}

TEST(FileTests, CreateFolderMakesTheLastLevelOnly) {
    TestSupport::ScratchFolder scratch;
    Utils::File::CreateFolder(scratch / "One");
    EXPECT_TRUE(Utils::File::IsDirectory(scratch / "one"));
    Utils::File::CreateFolder(scratch / "One");  // already there: no harm
    EXPECT_TRUE(Utils::File::IsDirectory(scratch / "one"));
    Utils::File::CreateFolder(scratch / "Two\\Three");
    EXPECT_FALSE(Utils::File::Exists(scratch / "Two"));
}

}  // namespace
