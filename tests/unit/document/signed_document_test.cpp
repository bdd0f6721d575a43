// Where the signature comment of a signed document starts and what it covers.
#include <gtest/gtest.h>

#include <string>

#include "document/signed_document.h"

namespace {

const std::string kDocument =
    "<?xml version=\"1.0\" ?>\r\n<UpdateDocument IsSucceed=\"true\"/>\r\n";
const std::string kHex = [] {
    std::string hex;
    for (int i = 0; i < 64; ++i)
        hex += "0123456789abcdef"[i % 16], hex += "fedcba9876543210"[i % 16];
    return hex;
}();
const std::string kComment = "<!--nimbra-signature ecdsa-p256-sha256 " + kHex + "-->";

TEST(SignedDocumentSplit, FindsTheTrailingSignatureComment) {
    const struct {
        const char* name;
        std::string file;
        std::size_t signedLength;
    } cases[] = {
        {"right after the root", kDocument + kComment, kDocument.size()},
        {"white space after it", kDocument + kComment + "\r\n \t\n", kDocument.size()},
        {"no line end before it", "<UpdateDocument/>" + kComment, 17},
        // An earlier comment, even one of the same form, is signed content.
        {"a comment before it", kDocument + "<!--note-->" + kComment, kDocument.size() + 11},
        {"two signature comments", kDocument + kComment + "\n" + kComment,
         kDocument.size() + kComment.size() + 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const SignedDocument::Parts parts = SignedDocument::Split(c.file);
        ASSERT_TRUE(parts.signedForm);
        EXPECT_EQ(parts.signedLength, c.signedLength);
        ASSERT_EQ(parts.signature.size(), 64u);
        EXPECT_EQ(static_cast<unsigned char>(parts.signature[0]), 0x0f);
        EXPECT_EQ(static_cast<unsigned char>(parts.signature[63]), 0xf0);
    }
    std::string upper = kComment;
    for (char& c : upper) c = (c >= 'a' && c <= 'f') ? static_cast<char>(c - 32) : c;
    upper.replace(0, 39, kComment.substr(0, 39));  // the fixed text keeps its case
    EXPECT_TRUE(SignedDocument::Split(kDocument + upper).signedForm);
}

TEST(SignedDocumentSplit, AKeyChangeCarriesTwoSignaturesLastFirst) {
    const std::string once = kDocument + kComment + "\r\n";
    const auto both = SignedDocument::Signatures(once + kComment + "\r\n");
    ASSERT_EQ(both.size(), 2u);
    EXPECT_EQ(both[0].signedLength, once.size());
    EXPECT_EQ(both[1].signedLength, kDocument.size());
    EXPECT_EQ(SignedDocument::Signatures(once).size(), 1u);
    EXPECT_EQ(SignedDocument::Signatures(kDocument).size(), 0u);
}

TEST(SignedDocumentSplit, AnythingElseIsUnsigned) {
    const std::string commentBody = kComment.substr(4, kComment.size() - 7);
    const struct {
        const char* name;
        std::string file;
    } cases[] = {
        {"no comment", kDocument},
        {"empty file", ""},
        {"only the comment's end", "-->"},
        {"comment inside the root", "<UpdateDocument>" + kComment + "</UpdateDocument>"},
        {"another comment after it", kDocument + kComment + "<!--x-->"},
        {"text after it", kDocument + kComment + "x"},
        {"vertical tab after it", kDocument + kComment + "\v"},
        {"one digit short",
         kDocument + "<!--" + commentBody.substr(0, commentBody.size() - 1) + "-->"},
        {"one digit more", kDocument + "<!--" + commentBody + "0-->"},
        {"not a hex digit",
         kDocument + "<!--" + commentBody.substr(0, commentBody.size() - 1) + "g-->"},
        {"other algorithm", kDocument + "<!--nimbra-signature ecdsa-p384-sha384 " + kHex + "-->"},
        {"blank before the end", kDocument + "<!--" + commentBody + " -->"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const SignedDocument::Parts parts = SignedDocument::Split(c.file);
        EXPECT_FALSE(parts.signedForm);
        EXPECT_TRUE(parts.signature.empty());
    }
}

}  // namespace
