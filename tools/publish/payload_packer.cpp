#include "payload_packer.h"

#include <filesystem>
#include <fstream>
#include <system_error>

#include "codec_io.h"
#include "flac_codec.h"
#include "publish_error.h"
#include "release_tree.h"
#include "zstd_codec.h"

namespace Publish {
namespace fs = std::filesystem;

namespace {

std::uint64_t SizeOf(const std::string& path) {
    std::error_code ec;
    const std::uintmax_t size = fs::file_size(fs::path(path), ec);
    if (ec) throw PublishError("cannot read the size of " + path + ": " + ec.message());
    return size;
}

void RemoveQuietly(const std::string& path) {
    std::error_code ignored;
    fs::remove(fs::path(path), ignored);
}

// The ".Kelw" form, or false when the file is not integer PCM the codec takes.
bool TryPackWav(const std::string& source, const std::string& target) {
    try {
        Kelw::EncodeWav(source, target);
        return true;
    } catch (const CodecIo::CodecError&) {
        RemoveQuietly(target);
        return false;
    }
}

}  // namespace

bool IsWorthPacking(std::uint64_t originalSize, std::uint64_t packedSize) {
    if (packedSize >= originalSize) return false;
    const std::uint64_t saved = originalSize - packedSize;
    return saved >= kLeastSavedBytes && saved * 100 >= originalSize * kLeastSavedPercent;
}

bool LooksLikeWav(const std::string& path) {
    std::ifstream in(fs::path(path), std::ios::binary);
    char head[12] = {};
    if (!in.read(head, sizeof(head))) return false;
    return std::string(head, 4) == "RIFF" && std::string(head + 8, 4) == "WAVE";
}

PackedPayload PackPayload(const std::string& source, const std::string& servedBase, int zstdLevel) {
    if (LooksLikeWav(source) && TryPackWav(source, servedBase + ".Kelw"))
        return {".Kelw", SizeOf(servedBase + ".Kelw")};
    const std::uint64_t originalSize = SizeOf(source);
    // A file this small can never save enough.
    if (originalSize <= kLeastSavedBytes) {
        CopyServedFile(source, servedBase);
        return {"", originalSize};
    }
    const std::string packed = servedBase + ".Kelz";
    try {
        Kelz::CompressFile(source, packed, zstdLevel);
    } catch (const CodecIo::CodecError& error) {
        RemoveQuietly(packed);
        throw PublishError(error.what());
    }
    const std::uint64_t packedSize = SizeOf(packed);
    if (IsWorthPacking(originalSize, packedSize)) return {".Kelz", packedSize};
    RemoveQuietly(packed);
    CopyServedFile(source, servedBase);
    return {"", originalSize};
}

}  // namespace Publish
