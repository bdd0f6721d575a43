// Releases the tool refuses, and what it leaves behind: nothing new, and an
// existing tree untouched.
#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <sstream>

#include "publish_command.h"
#include "publish_fixture.h"
#include "unix_shell.h"

namespace PublishTest {
namespace {

using TestSupport::ReadFile;

class PublishRefusal : public PublishFixture {};

TEST_F(PublishRefusal, RefusesUnsafeInputAndLeavesNoOutput) {
    const struct {
        const char* name;
        std::function<void(PublishRefusal&)> arrange;
        const char* message;
    } cases[] = {
        {"unknown key", [](PublishRefusal& t) { t.WriteSettings("colour = blue\n"); },
         "release.conf:7: unknown key 'colour'"},
        {"product-exe leaving the folder",
         [](PublishRefusal& t) {
             t.WriteSettings();
             TestSupport::WriteFile(t.settings, "product-exe = ..\\App.exe\n");
         },
         "release.conf:1: product-exe would make the updater refuse"},
        {"product-exe not in the folder",
         [](PublishRefusal& t) { t.WriteSettings("resource-update = bin\\Missing.exe\n"); },
         "release.conf:7: resource-update names bin\\Missing.exe, which is not in the product"},
        {"the updater's reserved name",
         [](PublishRefusal& t) { t.AddProductFile("FernWick.exe", "x"); },
         "marks the updater's own entry"},
        {"a packed file's ending", [](PublishRefusal& t) { t.AddProductFile("old.Kelz", "x"); },
         "ends in .Kelz or .Kelw"},
        {"a decompressor's name", [](PublishRefusal& t) { t.AddProductFile("UnKelz.exe", "x"); },
         "has the name of the decompressor"},
        {"a folder linked in (Wine shows a Linux link as Windows shows a junction)",
         [](PublishRefusal& t) { RunUnixShell(t.root, "ln -s .. product/shared"); },
         "shared: not a regular file (links"},
        {"a missing decompressor",
         [](PublishRefusal& t) { DeleteFileA((t.tools + "\\unkelw.exe").c_str()); },
         "unkelw.exe: the decompressor is missing"},
    };
    int number = 0;
    for (const auto& c : cases) {
        StartOver("case" + std::to_string(++number));
        c.arrange(*this);
        const std::vector<std::string> before = ScratchNames();
        const RunResult run = Release(root + "\\tree");
        EXPECT_EQ(run.exitCode, 1) << c.name;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << c.name << ": " << run.err;
        EXPECT_EQ(ScratchNames(), before) << c.name;
    }
}

TEST_F(PublishRefusal, RefusesATreeInsideTheProductFolder) {
    const RunResult run = Release(product + "\\release");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("lies inside the product folder"), std::string::npos) << run.err;
    EXPECT_FALSE(TestSupport::FileExists(product + "\\release"));
}

TEST_F(PublishRefusal, KeepsAnExistingTreeUnlessReplacingAndThenOnlyOnSuccess) {
    const std::string out = scratch / "tree";
    ASSERT_EQ(Release(out).exitCode, 0);
    const std::string document = ReadFile(out + "\\documents\\stable");
    const std::vector<std::string> names = ScratchNames();

    AddProductFile("extra.txt", "new");
    RunResult run = Release(out);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("give --replace"), std::string::npos) << run.err;

    AddProductFile("refused.Kelw", "refused");
    run = Release(out, {"--replace"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(ReadFile(out + "\\documents\\stable"), document);
    EXPECT_EQ(ScratchNames(), names);

    DeleteFileA((product + "\\refused.Kelw").c_str());
    run = Release(out, {"--replace"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(ReadFile(out + "\\documents\\stable").find("extra.txt"), std::string::npos);
    EXPECT_EQ(ScratchNames(), names);  // the old tree is gone, not left beside
}

// Windows deletes no read-only file, so a read-only copy in the tree would
// keep the next --replace from removing the tree it replaced.
TEST_F(PublishRefusal, ReplacesATreeWithoutLeavingItBesideWhenFilesWereReadOnly) {
    const std::string notes = product + "\\notes.txt", unkelz = tools + "\\unkelz.exe";
    AddProductFile("notes.txt", "served as it is");
    for (const std::string& file : {notes, unkelz})
        ASSERT_TRUE(SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_READONLY)) << file;
    const std::string out = scratch / "tree";
    ASSERT_EQ(Release(out).exitCode, 0);
    for (const char* served : {"\\files\\notes.txt", "\\files\\unkelz.exe"})
        EXPECT_FALSE(GetFileAttributesA((out + served).c_str()) & FILE_ATTRIBUTE_READONLY)
            << served;

    // A tree that an earlier version wrote holds read-only copies: it goes too.
    ASSERT_TRUE(SetFileAttributesA((out + "\\files\\notes.txt").c_str(), FILE_ATTRIBUTE_READONLY));
    const std::vector<std::string> names = ScratchNames();
    const RunResult run = Release(out, {"--replace"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.err.find("replaced tree"), std::string::npos) << run.err;
    EXPECT_EQ(ScratchNames(), names);
    for (const std::string& file : {notes, unkelz})
        SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(PublishRefusal, ReplacesOnlyAFolderThatHoldsNothingButATree) {
    const std::string out = scratch / "keys";
    ASSERT_TRUE(CreateDirectoryA(out.c_str(), nullptr));
    ASSERT_TRUE(TestSupport::WriteFile(out + "\\signer.key", "secret"));
    RunResult run = Release(out, {"--replace"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("is not a release tree (it holds signer.key)"), std::string::npos)
        << run.err;
    EXPECT_EQ(ReadFile(out + "\\signer.key"), "secret");

    const std::string file = scratch / "notes.txt";
    ASSERT_TRUE(TestSupport::WriteFile(file, "notes"));
    run = Release(file, {"--replace"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(ReadFile(file), "notes");

    DeleteFileA((out + "\\signer.key").c_str());  // an empty folder takes a first tree
    EXPECT_EQ(Release(out, {"--replace"}).exitCode, 0);
}

TEST_F(PublishRefusal, BadCommandLinesExitWithTwo) {
    const std::vector<std::vector<std::string>> lines = {
        {},
        {"publish-all"},
        {"release", "--settings", "a", "--files", "b"},
        {"release", "--settings", "a", "--files", "b", "--out", "c", "--level", "23"},
        {"release", "--settings", "a", "--settings", "a", "--files", "b", "--out", "c"},
        {"token"},
    };
    for (const auto& line : lines) {
        std::ostringstream out, err;
        EXPECT_EQ(Publish::RunPublish(line, out, err), 2) << err.str();
        EXPECT_NE(err.str().find("usage: publish release"), std::string::npos);
    }
    // cmd hands --files "D:\product\" --out D:\tree over as one argument.
    std::ostringstream out, err;
    EXPECT_EQ(
        Publish::RunPublish(
            {"release", "--settings", "a", "--files", "D:\\product\" --out D:\\tree"}, out, err),
        2);
    EXPECT_NE(err.str().find("holds a double quote"), std::string::npos) << err.str();
}

}  // namespace
}  // namespace PublishTest
