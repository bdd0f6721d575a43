#pragma once
// The benchmark's payload: files on disk to serve, and the update document
// entries that describe them.
#include <string>
#include <vector>

#include "document/update_file_entry.h"

namespace Bench {

struct PayloadPlan {
    int smallFiles = 300;
    long long smallBytes = 1 << 20;
    long long bigBytes = 100LL << 20;
    int packEvery = 3;  // every n-th small file is compressed; 0: none
};

// Writes the payload below folder (served as "/files/..."): every third small
// file packed with the general compressor, the big file plain. Returns the
// document entries; empty on failure.
std::vector<UpdateFileEntry> WritePayload(const PayloadPlan& plan, const std::string& folder,
                                          const std::string& compressor);

// Windows form of a Linux path given at build time.
std::string WindowsPath(const char* linuxPath);

}  // namespace Bench
