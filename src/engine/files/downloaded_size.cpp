#include "engine/files/downloaded_size.h"

#include <windows.h>

#include "utils/unique_handle.h"

namespace Engine {

bool QueryFileLength(const std::string& path, std::int64_t& length) {
    Utils::UniqueFileHandle file(CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                             FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (!file || !GetFileSizeEx(file.Get(), &size)) return false;
    length = size.QuadPart;
    return true;
}

std::int64_t GetFileLength(const std::string& path) {
    std::int64_t length = 0;
    return QueryFileLength(path, length) ? length : 0;
}

bool CheckReceivedSize(const std::string& receivedPath,
                       const std::vector<std::int64_t>& listedSizes) {
    if (listedSizes.empty()) return true;
    std::int64_t length = 0;
    if (!QueryFileLength(receivedPath, length)) return false;
    for (std::int64_t size : listedSizes)
        if (length != size) return false;
    return true;
}

bool CheckDownloadedSize(const std::string& clientPath, const std::string& receivedPath,
                         const std::vector<std::string>& documentClientPaths,
                         const std::vector<std::int64_t>& documentSizes) {
    std::vector<std::int64_t> listedSizes;
    for (std::size_t i = 0; i < documentClientPaths.size(); ++i) {
        if (documentClientPaths[i] != clientPath) continue;
        if (i >= documentSizes.size()) return false;
        listedSizes.push_back(documentSizes[i]);
    }
    return CheckReceivedSize(receivedPath, listedSizes);
}

}  // namespace Engine
