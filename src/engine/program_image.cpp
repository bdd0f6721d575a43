#include "engine/program_image.h"

#include <windows.h>

#include <cstring>
#include <string>

#include "engine/public_key_block.h"
#include "utils/unique_handle.h"

namespace Engine {
namespace {

constexpr LONG kHeaderOffsetPosition = 0x3C;  // IMAGE_DOS_HEADER::e_lfanew
// An updater image is a few MB; nothing larger is read into memory.
constexpr LONGLONG kLargestImageBytes = 256LL << 20;

bool ReadAt(HANDLE file, LONG position, void* buffer, DWORD size) {
    DWORD read = 0;
    return ::SetFilePointer(file, position, nullptr, FILE_BEGIN) != INVALID_SET_FILE_POINTER &&
           ::ReadFile(file, buffer, size, &read, nullptr) && read == size;
}

}  // namespace

bool IsProgramImageFile(const std::string& path) {
    Utils::UniqueFileHandle file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    char dosMagic[2] = {};
    LONG headerOffset = 0;
    char signature[4] = {};
    return ReadAt(file.Get(), 0, dosMagic, sizeof(dosMagic)) &&
           std::memcmp(dosMagic, "MZ", sizeof(dosMagic)) == 0 &&
           ReadAt(file.Get(), kHeaderOffsetPosition, &headerOffset, sizeof(headerOffset)) &&
           headerOffset > 0 && ReadAt(file.Get(), headerOffset, signature, sizeof(signature)) &&
           std::memcmp(signature, "PE\0\0", sizeof(signature)) == 0;
}

bool CarriesDocumentKey(const std::string& path) {
    Utils::UniqueFileHandle file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size = {};
    if (!file || !::GetFileSizeEx(file.Get(), &size) || size.QuadPart > kLargestImageBytes)
        return false;
    std::string image(static_cast<std::size_t>(size.QuadPart), '\0');
    DWORD read = 0;
    if (!image.empty() &&
        (!::ReadFile(file.Get(), &image[0], static_cast<DWORD>(image.size()), &read, nullptr) ||
         read != image.size()))
        return false;
    return !PublicKeyBlock::KeyOfImage(image).empty();
}

}  // namespace Engine
