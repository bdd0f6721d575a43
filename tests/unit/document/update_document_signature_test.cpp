// Loading signed documents: with a key only a validly signed document that
// carries a release number loads; without one the signature is ignored.
#include <gtest/gtest.h>

#include <string>

#include "document/document_values.h"
#include "document/sha256_hasher.h"
#include "document_test_fixture.h"
#include "support/test_signing.h"

namespace {

using Status = UpdateDocument::LoadStatus;

class SignedLoadTest : public DocumentTest {
protected:
    // CR LF line ends: the signature covers the bytes as stored.
    static std::string Release(const std::string& releaseNumber) {
        TestSupport::UpdateDocumentBuilder builder;
        if (!releaseNumber.empty()) builder.Root("ReleaseNumber", releaseNumber);
        builder.Root("ProductExePath", "bin\\app.exe");
        builder.AddFile(
            {"/f/app.exe", "bin\\app.exe", "0123456789ABCDEF0123456789ABCDEF", 10, false},
            std::string(64, 'A'));
        std::string text = builder.Build();
        std::string crlf;
        for (char c : text) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
        return crlf;
    }
    Status LoadWithKey(const std::string& text) {
        return m_document.Load(WriteDocument(text), m_key.PublicKey());
    }

    TestSupport::SigningKey m_key;
};

TEST_F(SignedLoadTest, SignedReleaseLoadsWithAndWithoutAKey) {
    ASSERT_TRUE(m_key.IsValid());
    const std::string signedText = m_key.SignDocument(Release("42"));
    for (bool withKey : {false, true}) {
        SCOPED_TRACE(withKey ? "with key" : "without key");
        EXPECT_EQ(withKey ? LoadWithKey(signedText) : LoadText(signedText), Status::Loaded);
        EXPECT_EQ(m_document.GetProductExeName(), "app.exe");
        const std::vector<UpdateFileEntry> files = m_document.GetFileEntries();
        ASSERT_EQ(files.size(), 1u);
        EXPECT_EQ(files[0].sha256, std::string(64, 'a'));
        uint64_t release = 0;
        EXPECT_TRUE(m_document.GetReleaseNumber(release));
        EXPECT_EQ(release, 42u);
    }
    EXPECT_EQ(LoadWithKey(m_key.SignDocument(Release("9223372036854775807"))), Status::Loaded);
}

TEST_F(SignedLoadTest, KeyRefusesEverythingButAValidSignedRelease) {
    TestSupport::SigningKey otherKey;
    const std::string text = Release("7");
    std::string changedByte = m_key.SignDocument(text);
    changedByte[changedByte.find("Size=\"10\"") + 7] = '9';
    std::string changedSignature = m_key.SignDocument(text);
    const std::size_t digit = changedSignature.rfind("-->") - 1;
    changedSignature[digit] = changedSignature[digit] == '0' ? '1' : '0';
    const struct {
        const char* name;
        std::string file;
    } cases[] = {
        {"unsigned", text},
        {"one byte changed", changedByte},
        {"signature changed", changedSignature},
        {"signed with another key", otherKey.SignDocument(text)},
        {"signature of other bytes", text + TestSupport::SignatureComment(m_key.Sign(text + " "))},
        {"no release number", m_key.SignDocument(Release(""))},
        {"negative release number", m_key.SignDocument(Release("-1"))},
        {"release number too large", m_key.SignDocument(Release("9223372036854775808"))},
        {"release number with text", m_key.SignDocument(Release("12x"))},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(LoadWithKey(c.file), Status::WrongContents);
        EXPECT_EQ(m_document.GetProductExePath(), "");  // nothing of it is readable
    }
    // Without a key neither the signature nor the release number matters.
    EXPECT_EQ(LoadText(changedByte), Status::Loaded);
    EXPECT_EQ(LoadText(m_key.SignDocument(Release(""))), Status::Loaded);
}

// During a change of key the new key signs the text and the old key signs
// over that: updaters with either key load it, others refuse it.
TEST_F(SignedLoadTest, KeyChangeDocumentLoadsWithTheOldKeyAndTheNew) {
    TestSupport::SigningKey oldKey, otherKey;
    const std::string text = Release("8");
    const std::string both = oldKey.SignDocument(m_key.SignDocument(text));
    EXPECT_EQ(LoadWithKey(both), Status::Loaded);
    EXPECT_EQ(m_document.Load(WriteDocument(both), oldKey.PublicKey()), Status::Loaded);
    EXPECT_EQ(m_document.Load(WriteDocument(both), otherKey.PublicKey()), Status::WrongContents);

    std::string changed = both;
    changed[changed.find("Size=\"10\"") + 7] = '9';
    EXPECT_EQ(LoadWithKey(changed), Status::WrongContents);
    // A signature only covers what comes before it: one over other text, or
    // a third comment that pushes the new key's out of reach, is refused.
    const std::string otherBytes =
        oldKey.SignDocument(text + TestSupport::SignatureComment(m_key.Sign(text + " ")));
    EXPECT_EQ(LoadWithKey(otherBytes), Status::WrongContents);
    EXPECT_EQ(LoadWithKey(otherKey.SignDocument(oldKey.SignDocument(m_key.SignDocument(text)))),
              Status::WrongContents);
}

TEST_F(DocumentTest, HashesAreReadInLowerCaseAndMalformedOnesMakeTheDocumentWrong) {
    const std::string good(64, 'f');
    const struct {
        std::string value;
        Status status;
    } cases[] = {
        {good, Status::Loaded},
        {"ABCDEF" + good.substr(6), Status::Loaded},
        {"", Status::WrongContents},
        {good.substr(1), Status::WrongContents},
        {good + "0", Status::WrongContents},
        {good.substr(1) + "g", Status::WrongContents},
        {" " + good.substr(1), Status::WrongContents},
    };
    for (const char* attribute : {"Sha256", "ServedSha256"}) {
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(attribute) + "=" + c.value);
            const std::string file = "<UpdateFile ClientRelativePath=\"a.txt\" " +
                                     std::string(attribute) + "=\"" + c.value +
                                     "\"/><UpdateFile ClientRelativePath=\"b.txt\"/>";
            EXPECT_EQ(LoadText(Wrap("<UpdateFiles>" + file + "</UpdateFiles>")), c.status);
        }
    }
    ASSERT_EQ(LoadText(Wrap("<UpdateFiles><UpdateFile ClientRelativePath=\"b.txt\"/>"
                            "<UpdateFile ClientRelativePath=\"c.txt\" Sha256=\"" +
                            good.substr(1) + "A\" ServedSha256=\"ABC" + good.substr(3) +
                            "\"/></UpdateFiles>")),
              Status::Loaded);
    const std::vector<UpdateFileEntry> entries = m_document.GetFileEntries();
    EXPECT_EQ(entries[0].sha256, "");
    EXPECT_EQ(entries[0].servedSha256, "");
    EXPECT_EQ(entries[1].sha256, good.substr(1) + "a");  // lower case
    EXPECT_EQ(entries[1].servedSha256, "abc" + good.substr(3));
}

TEST(Sha256Hasher, KnownDigestsAndFiles) {
    EXPECT_EQ(Crypto::ToHex(Crypto::Sha256("abc")),
              "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    Crypto::Sha256Hasher pieces;
    const std::string text = std::string(100000, 'q') + "tail";
    for (std::size_t at = 0; at < text.size(); at += 4093)
        pieces.Update(text.data() + at, std::min<std::size_t>(4093, text.size() - at));
    const std::string expected = Crypto::ToHex(Crypto::Sha256(text));
    EXPECT_EQ(pieces.FinishHex(), expected);
    TestSupport::ScratchFolder folder;
    ASSERT_TRUE(TestSupport::WriteFile(folder / "f.bin", text));
    EXPECT_EQ(Crypto::Sha256OfFile(folder / "f.bin"), expected);
    EXPECT_EQ(Crypto::Sha256OfFile(folder / "missing.bin"), "");
}

}  // namespace
