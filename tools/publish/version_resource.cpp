#include "version_resource.h"

#include <cstdint>

namespace Publish {
namespace {

constexpr std::uint32_t kVersionType = 16;  // RT_VERSION
constexpr std::uint32_t kSubdirectoryBit = 0x80000000u;

// Little-endian reads that fail (none) past the end instead of reading on.
class Bytes {
public:
    explicit Bytes(const std::string& image) : m_image(image) {}
    bool U16(std::size_t at, std::uint32_t& value) const { return Read(at, 2, value); }
    bool U32(std::size_t at, std::uint32_t& value) const { return Read(at, 4, value); }

private:
    bool Read(std::size_t at, std::size_t size, std::uint32_t& value) const {
        if (at > m_image.size() || m_image.size() - at < size) return false;
        value = 0;
        for (std::size_t i = size; i-- > 0;)
            value = (value << 8) | static_cast<unsigned char>(m_image[at + i]);
        return true;
    }
    const std::string& m_image;
};

// The file offset of a relative virtual address, through the section table.
bool FileOffsetOf(const Bytes& bytes, std::size_t sections, std::uint32_t count, std::uint32_t rva,
                  std::size_t& offset) {
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::size_t section = sections + i * 40;
        std::uint32_t virtualSize, virtualAddress, rawSize, rawPointer;
        if (!bytes.U32(section + 8, virtualSize) || !bytes.U32(section + 12, virtualAddress) ||
            !bytes.U32(section + 16, rawSize) || !bytes.U32(section + 20, rawPointer))
            return false;
        const std::uint32_t size = virtualSize > rawSize ? virtualSize : rawSize;
        if (rva >= virtualAddress && rva - virtualAddress < size) {
            offset = rawPointer + (rva - virtualAddress);
            return true;
        }
    }
    return false;
}

// The number of entries of the resource directory at offset; 0 if unreadable.
std::uint32_t EntryCount(const Bytes& bytes, std::size_t directory) {
    std::uint32_t named, numbered;
    if (!bytes.U16(directory + 12, named) || !bytes.U16(directory + 14, numbered)) return 0;
    return named + numbered;
}

}  // namespace

bool HasVersionResource(const std::string& image) {
    const Bytes bytes(image);
    std::uint32_t peOffset, signature, sectionCount, optionalSize, magic;
    if (image.compare(0, 2, "MZ") != 0 || !bytes.U32(0x3C, peOffset) ||
        !bytes.U32(peOffset, signature) || signature != 0x00004550 ||
        !bytes.U16(peOffset + 6, sectionCount) || !bytes.U16(peOffset + 20, optionalSize) ||
        !bytes.U16(peOffset + 24, magic))
        return false;
    const std::size_t optional = peOffset + 24;
    // The data directories follow the fields of PE32 (0x10B) or PE32+ (0x20B).
    const std::size_t directories = optional + (magic == 0x20B ? 112 : 96);
    std::uint32_t directoryCount, resourceRva;
    if (!bytes.U32(directories - 4, directoryCount) || directoryCount < 3 ||
        !bytes.U32(directories + 2 * 8, resourceRva) || resourceRva == 0)
        return false;
    std::size_t root;
    if (!FileOffsetOf(bytes, optional + optionalSize, sectionCount, resourceRva, root))
        return false;
    const std::uint32_t entries = EntryCount(bytes, root);
    for (std::uint32_t i = 0; i < entries; ++i) {
        std::uint32_t name, target;
        if (!bytes.U32(root + 16 + i * 8, name) || !bytes.U32(root + 20 + i * 8, target))
            return false;
        if (name == kVersionType && (target & kSubdirectoryBit))
            return EntryCount(bytes, root + (target & ~kSubdirectoryBit)) > 0;
    }
    return false;
}

}  // namespace Publish
