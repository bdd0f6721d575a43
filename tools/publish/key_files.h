#pragma once
// Key files on disk: reading one, and writing a new key pair without ever
// replacing an existing file.
#include <string>

namespace Publish {

struct KeyPairPaths {
    std::string privateKey;  // <base>.key
    std::string publicKey;   // <base>.pub.pem
};

KeyPairPaths KeyPairPathsFor(const std::string& base);

// The whole file. Throws PublishError naming it.
std::string ReadKeyFile(const std::string& path);

// Creates path with content; fails rather than open an existing file. With
// ownerOnly the file is readable by its owner alone (mode 0600 on POSIX).
// Throws PublishError; a partly written file is removed.
void WriteNewFile(const std::string& path, const std::string& content, bool ownerOnly);

// Makes a key pair and writes both files. Throws PublishError, before
// writing anything, when either file exists; leaves neither behind on failure.
KeyPairPaths WriteKeyPair(const std::string& base);

}  // namespace Publish
