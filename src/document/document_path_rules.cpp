#include "document/document_path_rules.h"

namespace DocumentPathRules {
namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

std::string WithoutTrailingBlanks(const std::string& text) {
    const size_t end = text.find_last_not_of(' ');
    return end == std::string::npos ? std::string() : text.substr(0, end + 1);
}

bool IsParentReference(const std::string& component) {
    return WithoutTrailingBlanks(component) == "..";
}

char UpperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// COM and LPT ports are numbered 1 to 9; the system also reads the Western
// code page's superscript digits 1, 2 and 3 as port numbers.
bool IsPortNumber(char c) {
    const unsigned char u = static_cast<unsigned char>(c);
    return (c >= '1' && c <= '9') || u == 0xB9 || u == 0xB2 || u == 0xB3;
}

// The system opens a device for such a component whatever extension follows
// it ("nul.txt", "CON .dll"): it compares the text before the first "."
// without its trailing blanks.
bool IsReservedDeviceName(const std::string& component) {
    std::string base = WithoutTrailingBlanks(component.substr(0, component.find('.')));
    for (char& c : base) c = UpperAscii(c);
    if (base == "CON" || base == "PRN" || base == "AUX" || base == "NUL") return true;
    const std::string stem = base.substr(0, 3);
    return base.size() == 4 && (stem == "COM" || stem == "LPT") && IsPortNumber(base[3]);
}

}  // namespace

bool IsContainedRelativePath(const std::string& path) {
    if (path.empty()) return true;
    if (IsSeparator(path[0])) return false;
    if (path.find(':') != std::string::npos) return false;
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = start;
        while (end < path.size() && !IsSeparator(path[end])) ++end;
        const std::string component = path.substr(start, end - start);
        if (IsParentReference(component) || IsReservedDeviceName(component)) return false;
        start = end + 1;
    }
    return true;
}

}  // namespace DocumentPathRules
