#pragma once
// Links that the walk of the product folder must not follow. Under Windows,
// std::filesystem reports a symbolic link or a junction as the file or folder
// it leads to, so the release tool asks the file system itself there.
#include <cstdint>
#include <filesystem>

namespace Publish {

// Whether an entry with these attributes and reparse tag (as FindFirstFile
// reports them) stands for another name: a symbolic link, a junction, or a
// reparse point of a tag that is not Microsoft's. Microsoft's placeholders
// that hold the file's own content (cloud files, deduplicated files) are no
// links.
bool IsLinkReparsePoint(std::uint32_t attributes, std::uint32_t reparseTag);

// Whether path is such a link; always false off Windows, where
// std::filesystem's symlink_status sees links itself.
bool IsWindowsLink(const std::filesystem::path& path);

}  // namespace Publish
