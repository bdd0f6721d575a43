#pragma once
// Size checks of received files against the update document. Safe on any
// thread; relative paths are taken against the current folder.
#include <cstdint>
#include <string>
#include <vector>

namespace Engine {

// The size of an existing file, opened for reading without sharing (so a file
// still being written by someone else does not count). False when it can't
// be opened.
bool QueryFileLength(const std::string& path, std::int64_t& length);
// As QueryFileLength, with 0 when the file can't be opened.
std::int64_t GetFileLength(const std::string& path);

// Checks the file received for clientPath, stored at receivedPath (the name it
// was actually received under, e.g. with ".Kelz" or ".Kelw"), against every
// document entry whose client path equals clientPath exactly. True when all
// such entries match (also when none does); false when a size differs, when
// the received file can't be opened, or when an entry has no size.
bool CheckDownloadedSize(const std::string& clientPath, const std::string& receivedPath,
                         const std::vector<std::string>& documentClientPaths,
                         const std::vector<std::int64_t>& documentSizes);

// The same check with the sizes of the entries for the file already picked
// out (a caller that checks many files looks them up once, not per file).
bool CheckReceivedSize(const std::string& receivedPath,
                       const std::vector<std::int64_t>& listedSizes);

}  // namespace Engine
