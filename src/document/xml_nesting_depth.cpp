#include "document/xml_nesting_depth.h"

#include <algorithm>
#include <cctype>

namespace XmlNestingDepth {
namespace {

bool StartsWith(const std::string& text, size_t pos, const char* prefix) {
    return text.compare(pos, std::char_traits<char>::length(prefix), prefix) == 0;
}

bool StartsWithIgnoreCase(const std::string& text, size_t pos, const char* prefix) {
    for (; *prefix; ++prefix, ++pos) {
        if (pos >= text.size() || std::tolower(static_cast<unsigned char>(text[pos])) !=
                                      std::tolower(static_cast<unsigned char>(*prefix))) {
            return false;
        }
    }
    return true;
}

// Position just after the terminator, or the end of the text.
size_t SkipPast(const std::string& text, size_t pos, const char* terminator) {
    const size_t found = text.find(terminator, pos);
    return found == std::string::npos ? text.size()
                                      : found + std::char_traits<char>::length(terminator);
}

bool IsSpace(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }

size_t SkipSpaces(const std::string& text, size_t pos) {
    while (pos < text.size() && IsSpace(text[pos])) ++pos;
    return pos;
}

// The parser's test for the first character of a name: any byte from 127 up
// counts as a letter.
bool StartsName(unsigned char c) { return c == '_' || c >= 127 || std::isalpha(c); }

// From a value's first character: past a quoted value, or unchanged.
size_t SkipQuotedValue(const std::string& text, size_t pos) {
    if (pos >= text.size() || (text[pos] != '"' && text[pos] != '\'')) return pos;
    const size_t close = text.find(text[pos], pos + 1);
    return close == std::string::npos ? text.size() : close + 1;
}

// An element's start tag, from just after '<' to just after its '>'. A quote
// counts only where an attribute value starts, after '=' and white space.
size_t SkipElementTag(const std::string& text, size_t pos, bool& selfClosing) {
    selfClosing = false;
    while (pos < text.size()) {
        const char c = text[pos++];
        if (c == '>') {
            selfClosing = text[pos - 2] == '/';
            return pos;
        }
        if (c == '=') pos = SkipQuotedValue(text, SkipSpaces(text, pos));
    }
    return pos;
}

// "<?xml ...>" from just after "<?xml": the parser reads version, encoding
// and standalone as attributes (quoted values may hold '>') and steps over
// anything else up to white space or '>'.
size_t SkipDeclaration(const std::string& text, size_t pos) {
    while (pos < text.size()) {
        if (text[pos] == '>') return pos + 1;
        pos = SkipSpaces(text, pos);
        if (StartsWithIgnoreCase(text, pos, "version") ||
            StartsWithIgnoreCase(text, pos, "encoding") ||
            StartsWithIgnoreCase(text, pos, "standalone")) {
            while (pos < text.size() && !IsSpace(text[pos]) && text[pos] != '=') ++pos;
            pos = SkipSpaces(text, pos);
            if (pos < text.size() && text[pos] == '=') ++pos;
            pos = SkipQuotedValue(text, SkipSpaces(text, pos));
            continue;
        }
        while (pos < text.size() && text[pos] != '>' && !IsSpace(text[pos])) ++pos;
    }
    return pos;
}

}  // namespace

namespace {

// The declared encoding of the declaration at pos, empty when none is declared.
std::string DeclaredEncoding(const std::string& text, size_t pos) {
    const size_t end = std::min(text.find('>', pos), text.size());
    for (; pos < end; ++pos) {
        if (!StartsWithIgnoreCase(text, pos, "encoding")) continue;
        size_t value = SkipSpaces(text, pos + 8);
        if (value >= end || text[value] != '=') continue;
        value = SkipSpaces(text, value + 1);
        const size_t close = SkipQuotedValue(text, value);
        if (close > value + 1) return text.substr(value + 1, close - value - 2);
    }
    return std::string();
}

// The parser reads multi-byte characters when the text starts with a UTF-8
// byte order mark or its declaration names UTF-8 or no encoding. Any
// declaration counts here, which can only err on the side of UTF-8.
bool MayReadAsUtf8(const std::string& text) {
    if (StartsWith(text, 0, "\xEF\xBB\xBF")) return true;
    for (size_t pos = text.find("<?"); pos != std::string::npos; pos = text.find("<?", pos + 2)) {
        if (!StartsWithIgnoreCase(text, pos, "<?xml")) continue;
        const std::string encoding = DeclaredEncoding(text, pos + 5);
        if (encoding.empty() || StartsWithIgnoreCase(encoding, 0, "utf-8") ||
            StartsWithIgnoreCase(encoding, 0, "utf8")) {
            return true;
        }
    }
    return false;
}

// Length the parser gives a character by its first byte in UTF-8 mode.
size_t Utf8Length(unsigned char lead) {
    if (lead >= 0xC2 && lead <= 0xDF) return 2;
    if (lead >= 0xE0 && lead <= 0xEF) return 3;
    if (lead >= 0xF0 && lead <= 0xF4) return 4;
    return 1;
}

// A lead byte whose character would take in a '<' or a quote.
bool HasSplitCharacter(const std::string& text) {
    for (size_t pos = 0; pos < text.size(); ++pos) {
        const size_t length = Utf8Length(static_cast<unsigned char>(text[pos]));
        for (size_t next = pos + 1; next < pos + length && next < text.size(); ++next) {
            const char c = text[next];
            if (c == '<' || c == '"' || c == '\'') return true;
        }
    }
    return false;
}

}  // namespace

size_t Measure(const std::string& text) {
    if (MayReadAsUtf8(text) && HasSplitCharacter(text)) return kUnmeasurable;
    size_t depth = 0;
    size_t deepest = 0;
    size_t pos = text.find('<');
    while (pos < text.size()) {
        if (StartsWithIgnoreCase(text, pos, "<?xml")) {
            pos = SkipDeclaration(text, pos + 5);
        } else if (StartsWith(text, pos, "<!--")) {
            pos = SkipPast(text, pos + 4, "-->");
        } else if (StartsWith(text, pos, "<![CDATA[")) {
            pos = SkipPast(text, pos + 9, "]]>");
        } else if (StartsWith(text, pos, "</")) {
            if (depth > 0) --depth;
            pos = SkipPast(text, pos + 2, ">");
        } else if (pos + 1 < text.size() && StartsName(static_cast<unsigned char>(text[pos + 1]))) {
            bool selfClosing = false;
            pos = SkipElementTag(text, pos + 1, selfClosing);
            if (!selfClosing) deepest = std::max(deepest, ++depth);
        } else {
            pos = SkipPast(text, pos + 1, ">");
        }
        pos = text.find('<', pos);
    }
    return deepest;
}

}  // namespace XmlNestingDepth
