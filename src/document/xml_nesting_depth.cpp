#include "document/xml_nesting_depth.h"

#include <algorithm>
#include <cctype>

namespace XmlNestingDepth {
namespace {

bool StartsWith(const std::string& text, size_t pos, const char* prefix) {
    return text.compare(pos, std::char_traits<char>::length(prefix), prefix) == 0;
}

// Position just after the terminator, or the end of the text.
size_t SkipPast(const std::string& text, size_t pos, const char* terminator) {
    const size_t found = text.find(terminator, pos);
    return found == std::string::npos ? text.size()
                                      : found + std::char_traits<char>::length(terminator);
}

// The parser's test for the first character of an element name: any byte
// from 127 up counts as a letter.
bool StartsElementName(unsigned char c) { return c == '_' || c >= 127 || std::isalpha(c); }

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

// Scans an element's start tag from just after '<' to just after its '>'.
// A quote counts only where an attribute value starts, after '=' and
// blanks, as in the parser. Sets selfClosing for a tag ending in "/>".
size_t SkipElementTag(const std::string& text, size_t pos, bool& selfClosing) {
    selfClosing = false;
    while (pos < text.size()) {
        const char c = text[pos];
        if (c == '>') {
            selfClosing = text[pos - 1] == '/';
            return pos + 1;
        }
        ++pos;
        if (c != '=') continue;
        while (pos < text.size() && IsBlank(text[pos])) ++pos;
        if (pos < text.size() && (text[pos] == '"' || text[pos] == '\'')) {
            const size_t close = text.find(text[pos], pos + 1);
            pos = close == std::string::npos ? text.size() : close + 1;
        }
    }
    return pos;
}

}  // namespace

size_t Measure(const std::string& text) {
    size_t depth = 0;
    size_t deepest = 0;
    size_t pos = text.find('<');
    while (pos < text.size()) {
        if (StartsWith(text, pos, "<!--")) {
            pos = SkipPast(text, pos + 4, "-->");
        } else if (StartsWith(text, pos, "<![CDATA[")) {
            pos = SkipPast(text, pos + 9, "]]>");
        } else if (StartsWith(text, pos, "</")) {
            if (depth > 0) --depth;
            pos = SkipPast(text, pos + 2, ">");
        } else if (pos + 1 < text.size() &&
                   StartsElementName(static_cast<unsigned char>(text[pos + 1]))) {
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
