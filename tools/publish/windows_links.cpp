#include "windows_links.h"

#ifdef _WIN32
#include <windows.h>

#include "utils/unique_handle.h"
#endif

namespace Publish {
namespace {

// The values of FILE_ATTRIBUTE_REPARSE_POINT and of the tag bits that
// IsReparseTagMicrosoft and IsReparseTagNameSurrogate test.
constexpr std::uint32_t kReparsePointAttribute = 0x400;
constexpr std::uint32_t kMicrosoftTagBit = 0x80000000;
constexpr std::uint32_t kNameSurrogateTagBit = 0x20000000;

}  // namespace

bool IsLinkReparsePoint(std::uint32_t attributes, std::uint32_t reparseTag) {
    if (!(attributes & kReparsePointAttribute)) return false;
    return (reparseTag & kNameSurrogateTagBit) || !(reparseTag & kMicrosoftTagBit);
}

#ifdef _WIN32
bool IsWindowsLink(const std::filesystem::path& path) {
    // Attributes first: a plain entry costs no directory search.
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_REPARSE_POINT))
        return false;
    WIN32_FIND_DATAW found = {};
    Utils::UniqueFindHandle search(::FindFirstFileW(path.c_str(), &found));
    // The tag is unknown without the search: take the entry for a link.
    if (!search) return true;
    return IsLinkReparsePoint(found.dwFileAttributes, found.dwReserved0);
}
#else
bool IsWindowsLink(const std::filesystem::path&) { return false; }
#endif

}  // namespace Publish
