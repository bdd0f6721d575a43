#include "document/document_path_rules.h"

namespace DocumentPathRules {
namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

bool IsParentReference(const std::string& component) {
    const size_t end = component.find_last_not_of(' ');
    return end != std::string::npos && component.compare(0, end + 1, "..") == 0;
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
        if (IsParentReference(path.substr(start, end - start))) return false;
        start = end + 1;
    }
    return true;
}

}  // namespace DocumentPathRules
