// publish verify: a signed release passes as written, and each way its tree
// can go wrong before it is served is named, with exit code 1.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "publish_fixture.h"
#include "signing_key_fixture.h"

namespace PublishTest {
namespace {

using TestSupport::ReadFile;
using TestSupport::WriteFile;

class PublishVerify : public PublishFixture {
protected:
    void SetUp() override {
        PublishFixture::SetUp();
        ASSERT_TRUE(WriteFile(root + "\\signer.key", kOpenSslPrivateKey));
        ASSERT_TRUE(WriteFile(publicKey, kOpenSslPublicKey));
        AddProductFile("readme.txt", std::string(5000, 'r'));  // packed
        AddProductFile("notes.txt", "plain notes");
        AddProductFile("My Docs\\read me 100%.txt", "served as My%20Docs/read%20me%20100%25.txt");
        const RunResult run =
            Release(tree, {"--key", root + "\\signer.key", "--release-number", "3"});
        ASSERT_EQ(run.exitCode, 0) << run.err;
    }
    RunResult Verify(const std::string& folder, const std::string& key) {
        std::vector<std::string> args = {"verify", "--tree", folder};
        if (!key.empty()) args.insert(args.end(), {"--public-key", key});
        return Run(args);
    }

    std::string tree = scratch / "tree";
    std::string publicKey = root + "\\signer.pub.pem";
};

TEST_F(PublishVerify, AReleaseAsWrittenPassesAndEachLaterChangeIsNamed) {
    const RunResult clean = Verify(tree, publicKey);
    EXPECT_EQ(clean.exitCode, 0) << clean.out << clean.err;
    for (const char* id : {"stable", "beta-1"})
        EXPECT_NE(clean.out.find(std::string("documents/") + id + ": signature good"),
                  std::string::npos)
            << clean.out;
    EXPECT_EQ(Verify(tree, "").exitCode, 0);  // no key: the signature goes unchecked

    const std::string stable = "documents\\stable";
    const struct {
        const char* name;
        std::function<void(const std::string& copy)> change;
        std::string expected;  // a line of the output
    } cases[] = {
        {"a served byte changed",
         [](const std::string& copy) { WriteFile(copy + "\\files\\notes.txt", "plain noteS"); },
         "notes.txt (/files/notes.txt): Sha256 does not match the served file"},
        {"a packed file cut short",
         [](const std::string& copy) {
             const std::string packed = copy + "\\files\\readme.txt.Kelz";
             const std::string bytes = ReadFile(packed);
             WriteFile(packed, bytes.substr(0, bytes.size() - 4));
         },
         "readme.txt (/files/readme.txt.Kelz): Size is "},
        {"a packed file swapped for other bytes of its size",
         [](const std::string& copy) {
             const std::string packed = copy + "\\files\\readme.txt.Kelz";
             WriteFile(packed, std::string(ReadFile(packed).size(), 'x'));
         },
         "readme.txt (/files/readme.txt.Kelz): ServedSha256 does not match the served file"},
        {"a document served for another id",
         [&](const std::string& copy) {
             WriteFile(copy + "\\documents\\beta-1", ReadFile(copy + "\\" + stable));
         },
         "documents/beta-1: names DownloadId \"stable\" but is served for beta-1"},
        {"a file missing",
         [](const std::string& copy) { std::filesystem::remove(copy + "\\files\\notes.txt"); },
         "notes.txt (/files/notes.txt): the tree holds no file /files/notes.txt"},
        {"a malformed Sha256",
         [&](const std::string& copy) {
             std::string text = ReadFile(copy + "\\documents\\beta-1");
             text.insert(text.find("Sha256=\"") + 8, "x");
             WriteFile(copy + "\\documents\\beta-1", text);
         },
         "Sha256 is not 64 hex digits"},
        {"a path out of the tree",
         [&](const std::string& copy) {
             std::string text = ReadFile(copy + "\\" + stable);
             const std::string path = "\"/files/notes.txt\"";
             text.replace(text.find(path), path.size(),
                          "\"/files/..\\..\\tree\\files\\notes.txt\"");
             WriteFile(copy + "\\" + stable, text);
         },
         "ServerRelativePath must start with / and stay in the tree"},
        {"the document changed",
         [&](const std::string& copy) {
             std::string text = ReadFile(copy + "\\" + stable);
             text.replace(text.find("ReleaseNumber=\"3\""), 17, "ReleaseNumber=\"4\"");
             WriteFile(copy + "\\" + stable, text);
         },
         "documents/stable: signature does not verify with " + publicKey},
    };
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string copy = scratch / ("case" + std::to_string(++n));
        std::filesystem::copy(tree, copy, std::filesystem::copy_options::recursive);
        c.change(copy);
        const RunResult run = Verify(copy, publicKey);
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_NE(run.out.find(c.expected), std::string::npos) << run.out;
    }

    // Another publisher's key refuses every document.
    ASSERT_EQ(Run({"keygen", "--out", root + "\\other"}).exitCode, 0);
    const RunResult foreign = Verify(tree, root + "\\other.pub.pem");
    EXPECT_EQ(foreign.exitCode, 1);
    EXPECT_NE(foreign.out.find("documents/beta-1: signature does not verify"), std::string::npos);
}

}  // namespace
}  // namespace PublishTest
