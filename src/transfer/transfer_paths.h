#pragma once
// Where one file attempt writes, unpacks and finally puts its file. Pure
// functions; safe on any thread.
#include <functional>
#include <string>

namespace Transfer {

// The received body never goes straight over the installed file: it lands in
// a side file next to it and is moved into place only when every check passed.
struct TransferPaths {
    std::string output;    // the name reports show: localPath, plus the URL's
                           // extension when a listed file is served under another one
    std::string target;    // the installed file that a successful attempt replaces
    std::string side;      // the finished file just before the move to target
    std::string received;  // where the body is written: side plus the compressed
                           // extension (".Kelz", ".Kelw") when the file is unpacked
};

// True for a path that a listed file uses (compared ignoring case).
using ListedPathTest = std::function<bool(const std::string&)>;

// Extension of the last component of a path or URL path: from its last "."
// on, "" when it has none.
std::string LastExtension(const std::string& path);

// Plans the names for one attempt. The side name is target + ".part", or
// ".part2", ".part3" ... when a listed file already uses that name (or the
// received name derived from it), so a side file never stands on a listed file.
TransferPaths PlanTransferPaths(bool listedFile, const std::string& localPath,
                                const std::string& urlPath, bool compressed,
                                const ListedPathTest& isListed);

// A label that begins with a blank is shown without the "Getting file: " prefix.
bool IsQuietLabel(const std::string& label);

// A decompressor path as the document gives it, cut before its first ".exe"
// (the system appends ".exe" when it starts the program).
std::string CutAtExe(const std::string& toolPath);

}  // namespace Transfer
