// publish.exe itself, run as a publisher would run it.
#include <gtest/gtest.h>

#include "publish_fixture.h"
#include "support/updater_process.h"
#include "unix_shell.h"

namespace PublishTest {
namespace {

class PublishExe : public PublishFixture {
protected:
    DWORD Run(const std::string& arguments) {
        TestSupport::ChildProcess tool;
        const std::string exe = TestSupport::GetBuildFolder() + "\\tools\\publish\\publish.exe";
        if (!tool.Start(exe, arguments, scratch.Path())) return ~0u;
        return tool.WaitForExitCode(60000);
    }
};

TEST_F(PublishExe, PublishesAFolderAndRefusesWithoutLeavingOutput) {
    AddProductFile("readme.txt", std::string(10000, 'r'));
    EXPECT_EQ(Run("release --settings release.conf --files product --out tree"), 0u);
    UpdateDocument document;
    ASSERT_TRUE(LoadDocument(scratch / "tree", "stable", document));
    const auto entries = EntriesOf(document);
    ASSERT_EQ(entries.size(), 4u);
    EXPECT_TRUE(entries.at("readme.txt").isCompressed);
    EXPECT_EQ(UnpackKelz(ServedPath(scratch / "tree", entries.at("readme.txt").serverRelativePath),
                         scratch / "readme.out"),
              std::string(10000, 'r'));

    AddProductFile("sub\\old.Kelw", "refused");
    const std::vector<std::string> before = ScratchNames();
    EXPECT_EQ(Run("release --settings release.conf --files product --out second"), 1u);
    EXPECT_EQ(ScratchNames(), before);
    EXPECT_EQ(Run("release --files product"), 2u);
}

// publish.exe makes its keys and signatures with CNG; OpenSSL must agree.
TEST_F(PublishExe, SignsWithAKeyItMadeAndOpenSslVerifiesTheDocument) {
    ASSERT_EQ(Run("keygen --out release"), 0u);
    EXPECT_EQ(Run("keygen --out release"), 1u);
    ASSERT_EQ(Run("release --settings release.conf --files product --out tree --key release.key "
                  "--release-number 77"),
              0u);
    const std::string document = TestSupport::ReadFile(scratch / "tree\\documents\\beta-1");
    EXPECT_NE(document.find(" ReleaseNumber=\"77\">"), std::string::npos);
    const ShellResult verdict = OpenSslVerifyDocument(scratch.Path(), "release.pub.pem", document);
    EXPECT_EQ(verdict.exitCode, 0);
    EXPECT_EQ(verdict.output, "Verified OK\n");
}

}  // namespace
}  // namespace PublishTest
