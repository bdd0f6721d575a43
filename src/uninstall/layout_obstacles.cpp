#include "uninstall/layout_obstacles.h"

#include <vector>

namespace Uninstall {
namespace {

std::vector<std::string> PathComponents(const std::string& path) {
    std::vector<std::string> components;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find_first_of("\\/", start);
        if (end == std::string::npos) end = path.size();
        if (end > start) components.push_back(path.substr(start, end - start));
        start = end + 1;
    }
    return components;
}

}  // namespace

std::string FindLayoutObstacle(const std::string& clientPath, const EntryKindAt& kindAt) {
    const std::vector<std::string> components = PathComponents(clientPath);
    std::string prefix;
    for (std::size_t i = 0; i < components.size(); ++i) {
        prefix += (i == 0 ? "" : "\\") + components[i];
        const bool last = i + 1 == components.size();
        const EntryKind kind = kindAt(prefix);
        if (kind == (last ? EntryKind::Folder : EntryKind::File)) return prefix;
        // Below a missing folder nothing can stand in the way.
        if (kind == EntryKind::None || kind == EntryKind::Link) return "";
    }
    return "";
}

}  // namespace Uninstall
