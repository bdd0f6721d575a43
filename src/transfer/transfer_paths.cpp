#include "transfer/transfer_paths.h"

#include "engine/files/decompress.h"

namespace Transfer {

std::string LastExtension(const std::string& path) {
    std::size_t componentStart = path.find_last_of("\\/");
    componentStart = componentStart == std::string::npos ? 0 : componentStart + 1;
    std::size_t dot = path.rfind('.');
    if (dot == std::string::npos || dot < componentStart) return "";
    return path.substr(dot);
}

namespace {
bool IsPackedExtension(const std::string& extension) {
    return extension == Engine::kGeneralExtension || extension == Engine::kSoundExtension;
}

// The extension a URL path gives its file. A query ("a.ttf.Kelz?v=3") is no
// part of the name, and a "?" could not stand in a file name anyway. A
// compressed extension that ends the path wins over a dot in the query
// ("a.ttf.Kelz?v=2.5.1"), or the file would be received under ".1" and never
// unpacked; a script's path ("get.php?f=a.ttf.Kelz") still takes the name's.
std::string UrlExtension(const std::string& urlPath) {
    const std::string pathExtension = LastExtension(urlPath.substr(0, urlPath.find('?')));
    if (IsPackedExtension(pathExtension)) return pathExtension;
    std::string extension = LastExtension(urlPath);
    return extension.substr(0, extension.find('?'));
}
}  // namespace

TransferPaths PlanTransferPaths(bool listedFile, const std::string& localPath,
                                const std::string& urlPath, bool compressed,
                                const ListedPathTest& isListed) {
    TransferPaths paths;
    paths.output = localPath;
    std::string urlExtension = UrlExtension(urlPath);
    if (listedFile && urlExtension != LastExtension(localPath)) paths.output += urlExtension;

    std::string packedExtension = compressed ? LastExtension(paths.output) : "";
    paths.target = compressed ? paths.output.substr(0, paths.output.size() - packedExtension.size())
                              : localPath;
    for (int number = 1;; ++number) {
        paths.side = paths.target + ".part" + (number > 1 ? std::to_string(number) : "");
        paths.received = paths.side + packedExtension;
        if (!isListed || (!isListed(paths.side) && !isListed(paths.received))) break;
    }
    return paths;
}

bool IsQuietLabel(const std::string& label) { return !label.empty() && label[0] == ' '; }

std::string CutAtExe(const std::string& toolPath) {
    std::size_t exe = toolPath.find(".exe");
    return exe == std::string::npos ? toolPath : toolPath.substr(0, exe);
}

}  // namespace Transfer
