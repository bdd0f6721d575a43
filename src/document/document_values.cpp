#include "document/document_values.h"

#include <cctype>
#include <limits>

namespace DocumentValues {

int64_t ParseDecimal(const std::string& text) {
    size_t pos = 0;
    while (pos < text.size() && std::isspace(static_cast<unsigned char>(text[pos]))) ++pos;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }
    // Accumulate as a negative number so that the minimum is reachable too.
    const int64_t lowest = std::numeric_limits<int64_t>::min();
    int64_t value = 0;
    bool saturated = false;
    for (; pos < text.size() && std::isdigit(static_cast<unsigned char>(text[pos])); ++pos) {
        const int digit = text[pos] - '0';
        if (value < (lowest + digit) / 10) {
            saturated = true;
            break;
        }
        value = value * 10 - digit;
    }
    if (negative) return saturated ? lowest : value;
    if (saturated || value == lowest) return std::numeric_limits<int64_t>::max();
    return -value;
}

bool ParseFlag(const std::string& text) { return text == "true"; }

std::string FolderOfPath(const std::string& path) {
    const size_t last = path.rfind('\\');
    return last == std::string::npos ? std::string() : path.substr(0, last);
}

std::string NameOfPath(const std::string& path) {
    const size_t last = path.rfind('\\');
    return last == std::string::npos ? path : path.substr(last + 1);
}

}  // namespace DocumentValues
