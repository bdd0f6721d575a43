#include "document/signed_document.h"

namespace SignedDocument {
namespace {

bool IsTrailingSpace(char c) { return c == '\r' || c == '\n' || c == ' ' || c == '\t'; }

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Raw bytes of an even run of hex digits; false at the first non-digit.
bool DecodeHex(std::string_view hex, std::string& bytes) {
    bytes.clear();
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
        const int high = HexValue(hex[i]);
        const int low = HexValue(hex[i + 1]);
        if (high < 0 || low < 0) return false;
        bytes.push_back(static_cast<char>(high * 16 + low));
    }
    return hex.size() % 2 == 0;
}

constexpr std::size_t Length(const char* text) { return *text ? 1 + Length(text + 1) : 0; }

}  // namespace

Parts Split(std::string_view file) {
    Parts parts;
    std::size_t end = file.size();
    while (end > 0 && IsTrailingSpace(file[end - 1])) --end;
    constexpr std::size_t kStart = Length(kCommentStart);
    constexpr std::size_t kEnd = Length(kCommentEnd);
    constexpr std::size_t kComment = kStart + kSignatureHexDigits + kEnd;
    if (end < kComment) return parts;
    const std::size_t begin = end - kComment;
    if (file.compare(begin, kStart, kCommentStart) != 0 ||
        file.compare(end - kEnd, kEnd, kCommentEnd) != 0)
        return parts;
    if (!DecodeHex(file.substr(begin + kStart, kSignatureHexDigits), parts.signature)) {
        parts.signature.clear();
        return parts;
    }
    parts.signedForm = true;
    parts.signedLength = begin;
    return parts;
}

std::vector<Parts> Signatures(std::string_view file) {
    std::vector<Parts> signatures;
    const Parts last = Split(file);
    if (!last.signedForm) return signatures;
    signatures.push_back(last);
    const Parts before = Split(file.substr(0, last.signedLength));
    if (before.signedForm) signatures.push_back(before);
    return signatures;
}

}  // namespace SignedDocument
