#include "document/character_references.h"

#include <windows.h>

#include <cstdint>

namespace CharacterReferences {
namespace {

constexpr uint32_t kFirstExpanded = 0x80;
constexpr uint32_t kLastCharacter = 0x10FFFF;

bool IsSurrogate(uint32_t code) { return code >= 0xD800 && code <= 0xDFFF; }

int DigitValue(char c, bool hex) {
    if (c >= '0' && c <= '9') return c - '0';
    if (!hex) return -1;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Reads "&#...;" at start; the code and the position after ";" when it is
// one, with a value no larger than the last character.
bool ReadReference(const std::string& text, size_t start, uint32_t& code, size_t& end) {
    size_t pos = start + 2;
    const bool hex = pos < text.size() && (text[pos] == 'x' || text[pos] == 'X');
    if (hex) ++pos;
    const size_t digits = pos;
    code = 0;
    for (int digit = 0; pos < text.size() && (digit = DigitValue(text[pos], hex)) >= 0; ++pos) {
        code = code * (hex ? 16 : 10) + static_cast<uint32_t>(digit);
        if (code > kLastCharacter) return false;
    }
    if (pos == digits || pos >= text.size() || text[pos] != ';') return false;
    end = pos + 1;
    return true;
}

std::string Utf8Of(uint32_t code) {
    std::string out;
    if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    }
    out += static_cast<char>(0x80 | (code & 0x3F));
    return out;
}

// "" when the system code page has no such character.
std::string CodePageOf(uint32_t code) {
    wchar_t wide[2] = {static_cast<wchar_t>(code), 0};
    int length = 1;
    if (code >= 0x10000) {
        wide[0] = static_cast<wchar_t>(0xD800 + ((code - 0x10000) >> 10));
        wide[1] = static_cast<wchar_t>(0xDC00 + ((code - 0x10000) & 0x3FF));
        length = 2;
    }
    char narrow[8] = {};
    BOOL usedDefault = FALSE;
    const int written = ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, length, narrow,
                                              sizeof(narrow), nullptr, &usedDefault);
    return written > 0 && !usedDefault ? std::string(narrow, static_cast<size_t>(written)) : "";
}

}  // namespace

std::string Expand(const std::string& text, bool toUtf8) {
    std::string out;
    size_t copied = 0;
    for (size_t at = text.find("&#"); at != std::string::npos; at = text.find("&#", at + 1)) {
        uint32_t code = 0;
        size_t end = 0;
        if (!ReadReference(text, at, code, end) || code < kFirstExpanded || IsSurrogate(code))
            continue;
        const std::string written = toUtf8 ? Utf8Of(code) : CodePageOf(code);
        if (written.empty()) continue;
        out.append(text, copied, at - copied).append(written);
        copied = end;
        at = end - 1;
    }
    return copied == 0 ? text : out.append(text, copied, std::string::npos);
}

}  // namespace CharacterReferences
