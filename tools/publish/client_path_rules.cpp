#include "client_path_rules.h"

#include <algorithm>

#include "document/document_path_rules.h"

namespace Publish {

const char kUpdaterClientPath[] = "fernwick.exe";

namespace {

bool EndsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() &&
           text.compare(text.size() - end.size(), end.size(), end) == 0;
}

std::string ComponentProblem(const std::string& component) {
    if (component.empty()) return "has an empty folder name (a doubled, leading or trailing \\)";
    if (component == ".")
        return "has a '.' folder name; name the path from the product folder (bin\\App.exe, "
               "not .\\bin\\App.exe)";
    const char last = component.back();
    if (last == '.' || last == ' ')
        return "has a name ending in a dot or blank, which Windows strips";
    return "";
}

}  // namespace

std::string ToClientPath(const std::string& path) {
    std::string client = path;
    std::replace(client.begin(), client.end(), '/', '\\');
    return client;
}

std::string ToSlashes(const std::string& clientPath) {
    std::string path = clientPath;
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
}

std::string FoldCase(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

std::string ClientPathProblem(const std::string& clientPath) {
    if (clientPath.empty()) return "is empty";
    for (unsigned char c : clientPath) {
        if (c < 0x20 || c > 0x7E)
            return "has a character outside printable ASCII, which the update document cannot "
                   "carry unchanged";
        if (std::string("<>\"|?*").find(static_cast<char>(c)) != std::string::npos)
            return std::string("has the character ") + static_cast<char>(c) +
                   ", which Windows does not allow in file names";
    }
    if (!DocumentPathRules::IsContainedRelativePath(clientPath))
        return "would make the updater refuse the document (rooted, a drive or ':', a '..' "
               "component, or a device name such as CON, NUL or COM1)";
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = clientPath.find('\\', start);
        const std::string problem = ComponentProblem(clientPath.substr(start, end - start));
        if (!problem.empty()) return problem;
        if (end == std::string::npos) break;
        start = end + 1;
    }
    if (EndsWith(clientPath, ".Kelz") || EndsWith(clientPath, ".Kelw"))
        return "ends in .Kelz or .Kelw, the endings of packed files";
    if (FoldCase(clientPath) == kUpdaterClientPath)
        return std::string("is ") + kUpdaterClientPath +
               ", the name that marks the updater's own entry";
    return "";
}

}  // namespace Publish
