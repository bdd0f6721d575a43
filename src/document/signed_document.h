#pragma once
// The signed form of the update document: the XML text, then one trailing
// comment as the last thing in the file, optionally followed by white space
// (CR, LF, blank, tab):
//
//   <!--nimbra-signature ecdsa-p256-sha256 <128 hex digits: r || s>-->
//
// The signature covers exactly the bytes before the "<!--" of that comment.
// The comment is legal XML after the root element, so an updater that checks
// nothing reads the same document.
//
// During a change of signing key a document carries two such comments: the
// one of the new key over the text, then the one of the old key over the text
// and the first comment. Updaters that still carry the old key check the last
// comment, as always; those with the new key find theirs before it. Pure
// functions; safe on any thread.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace SignedDocument {

constexpr char kCommentStart[] = "<!--nimbra-signature ecdsa-p256-sha256 ";
constexpr char kCommentEnd[] = "-->";
constexpr std::size_t kSignatureHexDigits = 128;

struct Parts {
    bool signedForm = false;       // the file ends with a well-formed signature comment
    std::size_t signedLength = 0;  // bytes covered: everything before the comment
    std::string signature;         // r || s, 64 bytes
};

// Splits the file's bytes. signedForm is false when the file does not end
// (before trailing white space) with the comment in exactly the form above:
// a missing or foreign last comment, a signature comment followed by anything
// but white space, a wrong number of hex digits or a non-hex digit.
Parts Split(std::string_view file);

// The signatures a key may match, last comment first: Split(file), and when
// the bytes it covers end with a signature comment too, that one. Empty for
// a file that is not in the signed form.
std::vector<Parts> Signatures(std::string_view file);

}  // namespace SignedDocument
