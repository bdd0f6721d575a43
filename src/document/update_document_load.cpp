// Loading and checking the update document.
#include <windows.h>

#include <tinyxml.h>

#include <algorithm>
#include <new>
#include <string>
#include <string_view>

#include "document/character_references.h"
#include "document/code_page_text.h"
#include "document/document_path_rules.h"
#include "document/signature_check.h"
#include "document/signed_document.h"
#include "document/update_document.h"
#include "document/xml_nesting_depth.h"
#include "utils/unique_handle.h"

namespace {

// NUL bytes that ParseText appends to the text it parses.
constexpr std::size_t kSpareTerminators = 4;

// The file's bytes, read into one buffer of the file's size with room for the
// parser's terminators (a buffer grown step by step holds up to twice as much
// for a while). False when the file can't be read, holds more than maxBytes,
// or changes size while read.
bool ReadWholeFile(const std::string& path, std::size_t maxBytes, std::string& text) {
    Utils::UniqueFileHandle file(::CreateFileA(path.c_str(), GENERIC_READ,
                                               FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                               OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    LARGE_INTEGER size{};
    if (!file || !::GetFileSizeEx(file.Get(), &size) ||
        static_cast<unsigned long long>(size.QuadPart) > maxBytes)
        return false;
    const std::size_t length = static_cast<std::size_t>(size.QuadPart);
    text.reserve(length + 1 + kSpareTerminators);
    text.resize(length + 1);  // room for one byte more shows a file that grew
    std::size_t filled = 0;
    DWORD got = 0;
    do {
        const DWORD wanted =
            static_cast<DWORD>(std::min<std::size_t>(text.size() - filled, 1 << 20));
        if (!::ReadFile(file.Get(), &text[filled], wanted, &got, nullptr)) return false;
        filled += got;
    } while (got > 0 && filled < text.size());
    text.resize(filled);
    return filled == length;
}

// What the parser's own file loading does before parsing: the text ends at
// the first NUL byte, and CR LF and lone CR become LF.
void NormalizeLineEnds(std::string& text) {
    text.resize(std::char_traits<char>::length(text.c_str()));
    size_t out = 0;
    for (size_t in = 0; in < text.size(); ++in) {
        if (text[in] == '\r') {
            text[out++] = '\n';
            if (in + 1 < text.size() && text[in + 1] == '\n') ++in;
        } else {
            text[out++] = text[in];
        }
    }
    text.resize(out);
}

// Either of a key change's two signatures will do: the comment after the one
// that verifies holds no markup, only the old key's signature.
bool IsSignedBy(std::string_view file, const std::string& publicKey) {
    for (const SignedDocument::Parts& parts : SignedDocument::Signatures(file)) {
        if (Crypto::VerifyP256Sha256(publicKey, file.substr(0, parts.signedLength),
                                     parts.signature))
            return true;
    }
    return false;
}

// Root attributes that name files below the product's folders.
const char* const kRootPathAttributes[] = {"ProductExePath", "CompressFilePath", "CompressWAVPath",
                                           "UninstallIconPath", "UpdateResourceExePath"};

}  // namespace

std::string UpdateDocument::FailureText(LoadStatus status) {
    switch (status) {
        case LoadStatus::Loaded:
            return std::string();
        case LoadStatus::Unreadable:
            return "Check your internet connection and try again.";
        case LoadStatus::WrongContents:
            return "Wrong update file contents, please try again later.";
    }
    return std::string();
}

UpdateDocument::LoadStatus UpdateDocument::Load(const std::string& path,
                                                const std::string& publicKey) {
    LoadStatus status = LoadStatus::Unreadable;
    try {
        status = Parse(path, publicKey);
        if (status == LoadStatus::Loaded) status = Validate(!publicKey.empty());
    } catch (const std::bad_alloc&) {
        status = LoadStatus::Unreadable;
    }
    // A refused document must not be read by accident.
    if (status != LoadStatus::Loaded) m_document.reset(new TiXmlDocument());
    return status;
}

UpdateDocument::LoadStatus UpdateDocument::Parse(const std::string& path,
                                                 const std::string& publicKey) {
    m_document.reset(new TiXmlDocument());
    std::string text;
    if (!ReadWholeFile(path, kMaxFileBytes, text)) return LoadStatus::Unreadable;
    // The bytes checked are the bytes parsed: the file is read only once.
    if (!publicKey.empty() && !IsSignedBy(text, publicKey)) return LoadStatus::WrongContents;
    NormalizeLineEnds(text);
    // The parser recurses once per nesting level: measure before parsing.
    if (XmlNestingDepth::Measure(text) > kMaxNestingDepth) return LoadStatus::Unreadable;
    if (!ParseText(text)) return LoadStatus::Unreadable;
    const bool utf8 = CodePageText::IsUtf8Text(text, *m_document);
    // Read byte by byte, the parser keeps only the low byte of a character
    // reference: such references are written out first.
    if (!CodePageText::ParserReadsUtf8(text, *m_document)) {
        std::string expanded = CharacterReferences::Expand(text, utf8);
        if (expanded != text && !ParseText(expanded)) return LoadStatus::Unreadable;
    }
    if (utf8) CodePageText::ConvertAttributeValues(*m_document);
    return LoadStatus::Loaded;
}

bool UpdateDocument::ParseText(std::string& text) {
    // In UTF-8 mode the parser steps over a multi-byte character's full
    // length even where the text ends inside it; spare terminators keep it
    // within the buffer. They are appended in place: a copy of a large
    // document would double what the load holds.
    const std::size_t length = text.size();
    text.append(kSpareTerminators, '\0');
    m_document.reset(new TiXmlDocument());
    m_document->Parse(text.c_str(), nullptr, TIXML_DEFAULT_ENCODING);
    text.resize(length);
    return !m_document->Error();
}

UpdateDocument::LoadStatus UpdateDocument::Validate(bool signedRelease) const {
    if (!Root()) return LoadStatus::WrongContents;
    if (RootAttribute("IsSucceed") == "false") return LoadStatus::WrongContents;
    if (!PathsStayInside() || !HashesWellFormed()) return LoadStatus::WrongContents;
    // Without a release number an old signed document could not be told from a new one.
    uint64_t release = 0;
    if (signedRelease && !GetReleaseNumber(release)) return LoadStatus::WrongContents;
    return LoadStatus::Loaded;
}

bool UpdateDocument::PathsStayInside() const {
    for (const char* name : kRootPathAttributes) {
        if (!DocumentPathRules::IsContainedRelativePath(RootAttribute(name))) return false;
    }
    for (const std::string& path : GetClientRelativePaths()) {
        if (!DocumentPathRules::IsContainedRelativePath(path)) return false;
    }
    return true;
}
