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

bool CheckDownloadedSize(const std::string& clientPath, const std::string& receivedPath,
                         const std::vector<std::string>& documentClientPaths,
                         const std::vector<std::int64_t>& documentSizes) {
    bool measured = false;
    std::int64_t length = 0;
    for (std::size_t i = 0; i < documentClientPaths.size(); ++i) {
        if (documentClientPaths[i] != clientPath) continue;
        if (i >= documentSizes.size()) return false;
        if (!measured && !QueryFileLength(receivedPath, length)) return false;
        measured = true;
        if (length != documentSizes[i]) return false;
    }
    return true;
}

}  // namespace Engine
