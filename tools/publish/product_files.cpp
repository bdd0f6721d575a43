#include "product_files.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <system_error>

#include "client_path_rules.h"
#include "publish_error.h"
#include "windows_links.h"

namespace Publish {
namespace fs = std::filesystem;

namespace {

// The client path of an entry below root, built component by component so a
// backslash inside a name (possible on this machine's file system) is caught.
std::string ClientPathOf(const fs::path& root, const fs::path& entry) {
    std::string client;
    for (const fs::path& part : entry.lexically_relative(root)) {
        const std::string name = part.u8string();
        if (name.find('\\') != std::string::npos)
            throw PublishError(entry.string() + ": a name with a backslash cannot be listed");
        client += (client.empty() ? "" : "\\") + name;
    }
    return client;
}

// A file and a folder whose names differ only in letter case ("Data" and
// "data\x") cannot both exist on Windows.
void RefuseFileFolderClash(const std::map<std::string, std::string>& byFoldedPath) {
    for (const auto& file : byFoldedPath) {
        const std::string& folded = file.first;
        for (std::size_t cut = folded.find('\\'); cut != std::string::npos;
             cut = folded.find('\\', cut + 1)) {
            const auto clash = byFoldedPath.find(folded.substr(0, cut));
            if (clash != byFoldedPath.end())
                throw PublishError(clash->second + " is a file, but " + file.second +
                                   " needs a folder of that name");
        }
    }
}

}  // namespace

std::vector<ProductFile> ListProductFiles(const std::string& folder) {
    std::error_code ec;
    const fs::path root(folder);
    if (!fs::is_directory(root, ec)) throw PublishError(folder + ": not a folder");
    std::vector<ProductFile> files;
    std::map<std::string, std::string> byFoldedPath;
    fs::recursive_directory_iterator it(root, ec), end;
    for (; !ec && it != end; it.increment(ec)) {
        const fs::directory_entry& entry = *it;
        const fs::file_status status = entry.symlink_status(ec);
        if (ec) break;
        const bool link = IsWindowsLink(entry.path());
        if (fs::is_directory(status) && !link) continue;
        const std::string client = ClientPathOf(root, entry.path());
        if (!fs::is_regular_file(status) || link)
            throw PublishError(entry.path().string() +
                               ": not a regular file (links and devices are not published)");
        const std::string problem = ClientPathProblem(client);
        if (!problem.empty()) throw PublishError(entry.path().string() + ": the name " + problem);
        const auto known = byFoldedPath.emplace(FoldCase(client), client);
        if (!known.second)
            throw PublishError(client + " and " + known.first->second +
                               " differ only in letter case, which Windows cannot hold apart");
        files.push_back({client, entry.path().string()});
    }
    if (ec) throw PublishError(folder + ": cannot list the folder: " + ec.message());
    RefuseFileFolderClash(byFoldedPath);
    std::sort(files.begin(), files.end(), [](const ProductFile& a, const ProductFile& b) {
        return a.clientPath < b.clientPath;
    });
    return files;
}

}  // namespace Publish
