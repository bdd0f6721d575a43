#include "layout_changes.h"

#include <map>

#include "client_path_rules.h"

namespace Publish {
namespace {

// The names that the updaters' sweep never deletes, spelt as it matches them.
bool SweepKeepsName(const std::string& path) {
    const std::string name = path.substr(path.rfind('\\') + 1);
    for (const char* mark : {".log", ".LOG", ".xml", ".XML"}) {
        if (name.find(mark) != std::string::npos) return true;
    }
    return false;
}

struct Tree {
    std::map<std::string, std::string> files;    // folded path -> spelling
    std::map<std::string, std::string> folders;  // folded path -> a kept file below it, or ""
};

Tree TreeOf(const std::vector<std::string>& paths) {
    Tree tree;
    for (const std::string& path : paths) {
        const std::string folded = FoldCase(path);
        tree.files.emplace(folded, path);
        for (std::size_t slash = folded.find('\\'); slash != std::string::npos;
             slash = folded.find('\\', slash + 1)) {
            std::string& kept = tree.folders[folded.substr(0, slash)];
            if (kept.empty() && SweepKeepsName(path)) kept = path;
        }
    }
    return tree;
}

}  // namespace

std::vector<LayoutChange> FindLayoutChanges(const std::vector<std::string>& previous,
                                            const std::vector<std::string>& current) {
    const Tree before = TreeOf(previous);
    const Tree after = TreeOf(current);
    std::map<std::string, LayoutChange> changes;
    for (const auto& [folder, unused] : after.folders) {
        const auto old = before.files.find(folder);
        if (old == before.files.end()) continue;
        const std::string& spelling = after.files.lower_bound(folder + "\\")->second;
        changes[folder] = {spelling.substr(0, folder.size()), true,
                           SweepKeepsName(old->second) ? old->second : ""};
    }
    for (const auto& [file, spelling] : after.files) {
        const auto old = before.folders.find(file);
        if (old != before.folders.end()) changes[file] = {spelling, false, old->second};
    }
    std::vector<LayoutChange> sorted;
    for (const auto& change : changes) sorted.push_back(change.second);
    return sorted;
}

void WarnOfLayoutChanges(const std::vector<std::string>& previous,
                         const std::vector<ProductFile>& products, std::ostream& warnings) {
    std::vector<std::string> current;
    for (const ProductFile& file : products) current.push_back(file.clientPath);
    for (const LayoutChange& change : FindLayoutChanges(previous, current)) {
        if (change.becameFolder && change.keptOldFile.empty()) continue;  // updaters manage
        warnings << "publish: warning: " << change.path << " was a "
                 << (change.becameFolder ? "file" : "folder")
                 << " in the release being replaced and is a "
                 << (change.becameFolder ? "folder" : "file") << " now; ";
        if (!change.keptOldFile.empty())
            warnings << "updaters never delete " << change.keptOldFile
                     << " (a name with .log or .xml), so they";
        else
            warnings << "updaters remove the folder only while it holds no file with .log or "
                        ".xml in its name, which they never delete: if the product writes one "
                        "there, they";
        warnings << " end every run at " << change.path << (change.becameFolder ? "\\..." : "")
                 << " with their File error\n";
    }
}

}  // namespace Publish
