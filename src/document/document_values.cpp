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

bool ParseReleaseNumber(const std::string& text, uint64_t& number) {
    constexpr uint64_t kLargest = static_cast<uint64_t>(std::numeric_limits<int64_t>::max());
    if (text.empty()) return false;
    uint64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        const unsigned digit = static_cast<unsigned>(c - '0');
        if (value > (kLargest - digit) / 10) return false;
        value = value * 10 + digit;
    }
    number = value;
    return true;
}

bool IsSha256Text(const std::string& text) {
    if (text.size() != 64) return false;
    for (char c : text) {
        if (!std::isxdigit(static_cast<unsigned char>(c))) return false;
    }
    return true;
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
