#pragma once
// The files that the test server publishes for a product: their bytes, how
// they are sent and the document's checksum tokens for them.
#include <string>

#include "support/sample_wav.h"

namespace InstallE2E {

// A file of the product: what is installed, and what the server sends.
struct ProductFile {
    std::string clientPath;
    std::string content;  // the installed bytes
    std::string served;   // the bytes on the server; the content itself when empty
    bool compressed = false;

    const std::string& Served() const { return served.empty() ? content : served; }
    // "/files/" + the client path with "/", plus ".Kelz" or ".Kelw" when compressed.
    std::string ServerPath() const;
    // The document's token for the content: 32 upper-case hexadecimal digits.
    std::string CheckSum() const;
};

// A file sent as it is installed.
ProductFile PlainFile(const std::string& clientPath, const std::string& content);
// The Windows path of a program built by this project (given as a Linux path at build time).
std::string BuiltProgram(const char* linuxPath);
// A file compressed with the decompressor's own packing mode: ".Kelw" for a
// ".wav" file, ".Kelz" otherwise. workFolder holds the intermediate files.
ProductFile PackedFile(const std::string& clientPath, const std::string& content,
                       const std::string& workFolder);
using TestSupport::MakeWav;

}  // namespace InstallE2E
