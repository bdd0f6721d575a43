#include "uninstall/uninstall_rules.h"

#include "engine/running_product.h"
#include "utils/string/string_utils.h"

namespace Uninstall {
namespace {

constexpr char kQuestionStart[] = "Are you sure you want to uninstall ";
constexpr char kQuestionEnd[] = "?";
constexpr char kShortenedMark[] = "...";

std::string LoweredFileName(const std::string& path) {
    const std::size_t slash = path.find_last_of("\\/");
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    return Utils::String::ToLower(name);
}

}  // namespace

std::string FormatUninstallQuestion(const std::string& brand) {
    const std::size_t room =
        kQuestionBufferSize - 1 - (sizeof(kQuestionStart) - 1) - (sizeof(kQuestionEnd) - 1);
    std::string shown = brand;
    if (shown.size() > room)
        shown = brand.substr(0, room - (sizeof(kShortenedMark) - 1)) + kShortenedMark;
    return kQuestionStart + shown + kQuestionEnd;
}

std::vector<std::string> ProductImagePaths(const std::string& exeName,
                                           const std::vector<std::string>& folders,
                                           const std::vector<std::string>& clientPaths) {
    std::vector<std::string> paths;
    if (exeName.empty()) return paths;
    const std::string wanted = LoweredFileName(exeName);
    for (const std::string& clientPath : clientPaths) {
        if (LoweredFileName(clientPath) != wanted) continue;
        for (const std::string& folder : folders)
            if (!folder.empty()) paths.push_back(folder + "\\" + clientPath);
    }
    return paths;
}

bool IsProductRunning(const std::vector<DWORD>& candidates, DWORD ownId,
                      const std::vector<std::string>& productPaths,
                      const std::function<std::string(DWORD)>& imagePathOf) {
    for (const std::string& path : productPaths)
        if (!Engine::ChooseRunningProducts(candidates, ownId, path, imagePathOf).empty())
            return true;
    return false;
}

}  // namespace Uninstall
