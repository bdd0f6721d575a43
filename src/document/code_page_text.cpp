#include "document/code_page_text.h"

#include <windows.h>

#include <tinyxml.h>

namespace CodePageText {
namespace {

bool StartsWithIgnoringCase(const char* text, const char* start) {
    for (; *start; ++text, ++start) {
        if (::tolower(static_cast<unsigned char>(*text)) != *start) return false;
    }
    return true;
}

bool IsAscii(const std::string& text) {
    for (char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    }
    return true;
}

// The value in the system code page, or the value itself when it is not
// valid UTF-8 or has a character that the code page lacks.
std::string ToCodePage(const std::string& value) {
    if (IsAscii(value)) return value;
    const int length = static_cast<int>(value.size());
    const int wideLength =
        ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, value.data(), length, nullptr, 0);
    if (wideLength <= 0) return value;
    std::wstring wide(static_cast<size_t>(wideLength), L'\0');
    ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, value.data(), length, &wide[0],
                          wideLength);
    BOOL usedDefault = FALSE;
    const int narrowLength = ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(),
                                                   wideLength, nullptr, 0, nullptr, &usedDefault);
    if (narrowLength <= 0 || usedDefault) return value;
    std::string narrow(static_cast<size_t>(narrowLength), '\0');
    ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), wideLength, &narrow[0],
                          narrowLength, nullptr, nullptr);
    return narrow;
}

// The node after this one in document order, without recursion (documents
// may nest deeply).
TiXmlNode* NextNode(TiXmlNode* node, const TiXmlNode* top) {
    if (node->FirstChild()) return node->FirstChild();
    for (; node && node != top; node = node->Parent()) {
        if (node->NextSibling()) return node->NextSibling();
    }
    return nullptr;
}

// The encoding that the first declaration names, which settles it; null
// without a declaration.
const char* DeclaredEncoding(const TiXmlDocument& document) {
    for (const TiXmlNode* node = document.FirstChild(); node; node = node->NextSibling()) {
        if (const TiXmlDeclaration* declaration = node->ToDeclaration())
            return declaration->Encoding();
    }
    return nullptr;
}

bool NamesUtf8(const char* encoding) {
    return !*encoding || StartsWithIgnoringCase(encoding, "utf-8") ||
           StartsWithIgnoringCase(encoding, "utf8");
}

bool HasByteOrderMark(const std::string& text) { return text.compare(0, 3, "\xEF\xBB\xBF") == 0; }

}  // namespace

bool IsUtf8Text(const std::string& text, const TiXmlDocument& document) {
    if (HasByteOrderMark(text)) return true;
    const char* encoding = DeclaredEncoding(document);
    // Without a declaration XML text is UTF-8. The parser then reads bytes,
    // and code page text (which is almost never valid UTF-8) keeps them.
    if (!encoding) return true;
    // A text that parsed byte by byte is not UTF-16, whatever it declares:
    // services that write the document as a UTF-16 string and send it as
    // UTF-8 declare "utf-16".
    return NamesUtf8(encoding) || StartsWithIgnoringCase(encoding, "utf-16") ||
           StartsWithIgnoringCase(encoding, "utf16");
}

bool ParserReadsUtf8(const std::string& text, const TiXmlDocument& document) {
    const char* encoding = DeclaredEncoding(document);
    return HasByteOrderMark(text) || (encoding && NamesUtf8(encoding));
}

void ConvertAttributeValues(TiXmlDocument& document) {
    for (TiXmlNode* node = document.FirstChild(); node; node = NextNode(node, &document)) {
        TiXmlElement* element = node->ToElement();
        if (!element) continue;
        for (TiXmlAttribute* attribute = element->FirstAttribute(); attribute;
             attribute = attribute->Next()) {
            const std::string value = attribute->ValueStr();
            const std::string converted = ToCodePage(value);
            if (converted != value) attribute->SetValue(converted.c_str());
        }
    }
}

}  // namespace CodePageText
