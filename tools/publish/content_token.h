#pragma once
// The CheckSum token of a file: the first 16 bytes of the SHA-256 of its
// installed content as 32 upper-case hex digits. Equal content always gives
// the same token, so a file that did not change keeps its token from one
// release to the next and installed copies are not fetched again.
#include <string>

#include "sha256.h"

namespace Publish {

// The SHA-256 of the file's bytes. Throws PublishError when it cannot be read.
Sha256Digest HashFile(const std::string& path);
Sha256Digest HashBytes(const std::string& bytes);

std::string TokenOfDigest(const Sha256Digest& digest);
// Bytes as lower-case hex digits; a whole digest so is the Sha256 attribute.
std::string LowerHex(const unsigned char* bytes, std::size_t size);
inline std::string HexOfDigest(const Sha256Digest& digest) {
    return LowerHex(digest.data(), digest.size());
}

inline std::string ContentToken(const std::string& path) { return TokenOfDigest(HashFile(path)); }

// True for 32 hex digits (either letter case): the form the updater's
// checksum slot must hold.
bool IsTokenText(const std::string& text);

}  // namespace Publish
