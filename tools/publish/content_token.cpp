#include "content_token.h"

#include <filesystem>
#include <fstream>
#include <vector>

#include "publish_error.h"

namespace Publish {

Sha256Digest HashFile(const std::string& path) {
    std::ifstream in(std::filesystem::path(path), std::ios::binary);
    if (!in) throw PublishError("cannot read " + path);
    Sha256 hash;
    std::vector<char> block(256 * 1024);
    while (in) {
        in.read(block.data(), static_cast<std::streamsize>(block.size()));
        if (in.gcount() > 0) hash.Update(block.data(), static_cast<std::size_t>(in.gcount()));
    }
    if (in.bad()) throw PublishError("cannot read " + path);
    return hash.Finish();
}

Sha256Digest HashBytes(const std::string& bytes) {
    Sha256 hash;
    hash.Update(bytes.data(), bytes.size());
    return hash.Finish();
}

std::string LowerHex(const unsigned char* bytes, std::size_t size) {
    static const char kDigits[] = "0123456789abcdef";
    std::string hex;
    for (std::size_t i = 0; i < size; ++i) {
        hex.push_back(kDigits[bytes[i] >> 4]);
        hex.push_back(kDigits[bytes[i] & 0x0F]);
    }
    return hex;
}

std::string TokenOfDigest(const Sha256Digest& digest) {
    static const char kDigits[] = "0123456789ABCDEF";
    std::string token;
    for (std::size_t i = 0; i < 16; ++i) {
        token.push_back(kDigits[digest[i] >> 4]);
        token.push_back(kDigits[digest[i] & 0x0F]);
    }
    return token;
}

bool IsTokenText(const std::string& text) {
    if (text.size() != 32) return false;
    for (char c : text) {
        const bool hex = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
        if (!hex) return false;
    }
    return true;
}

}  // namespace Publish
