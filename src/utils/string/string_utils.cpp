// Splitting, joining, replacing, case folding and trimming.
#include "utils/string/string_utils.h"

#include <cctype>

namespace Utils {
namespace String {

namespace {

bool IsSpace(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }

}  // namespace

void Split(StringList& list, const std::string& text, const std::string& delimiter, int limit) {
    list.clear();
    if (text.empty() || delimiter.empty()) return;
    std::string::size_type position = 0;
    for (int cut = 0; limit <= 0 || cut < limit; ++cut) {
        const std::string::size_type found = text.find(delimiter, position);
        if (found == std::string::npos) break;
        list.push_back(text.substr(position, found - position));
        position = found + delimiter.size();
    }
    list.push_back(text.substr(position));
}

std::string& Join(std::string& out, const StringList& list, const std::string& delimiter) {
    out.clear();
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (i > 0) out += delimiter;
        out += list[i];
    }
    return out;
}

std::string& ReplaceAll(std::string& text, const std::string& search,
                        const std::string& replacement) {
    if (search.empty()) return text;
    StringList pieces;
    Split(pieces, text, search);
    std::string joined;
    text = Join(joined, pieces, replacement);
    return text;
}

std::string& ToLower(std::string& text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

std::string& ToUpper(std::string& text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

bool EqualsIgnoreCase(const std::string& a, const std::string& b) {
    std::string lowerA = a;
    std::string lowerB = b;
    return ToLower(lowerA) == ToLower(lowerB);
}

std::string& Trim(std::string& text) {
    std::string::size_type first = 0;
    while (first < text.size() && IsSpace(text[first])) ++first;
    std::string::size_type last = text.size();
    while (last > first && IsSpace(text[last - 1])) --last;
    text = text.substr(first, last - first);
    return text;
}

std::string& CollapseSpaces(std::string& text) {
    Trim(text);
    std::string collapsed;
    collapsed.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (i > 0 && IsSpace(text[i]) && IsSpace(text[i - 1])) continue;
        collapsed += text[i];
    }
    text = collapsed;
    return text;
}

}  // namespace String
}  // namespace Utils
