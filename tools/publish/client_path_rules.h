#pragma once
// Which client paths a release may list. The updater refuses a whole document
// that holds one path it considers unsafe, so the release tool refuses such a
// path before it writes anything, and with it every name that would go wrong
// on the way to an installed file.
#include <string>

namespace Publish {

// The client form of a path: "/" separators become "\".
std::string ToClientPath(const std::string& path);

// The same path with "/" separators, as it lies below files/ in a release tree.
std::string ToSlashes(const std::string& clientPath);

// Empty when clientPath ("\"-separated, relative) may be listed; otherwise why
// not: empty components; a character outside printable ASCII (the document is
// single-byte text and must mean the same on every code page); a character
// Windows does not allow in file names; anything the updater's own path rules
// refuse (rooted, drive, ':', "..", device names such as CON, NUL or COM1); a
// component ending in "." or a blank (Windows strips those, so two listed
// names could meet in one file); a name ending in ".Kelz" or ".Kelw" (the
// endings of packed files); the name of the updater's own entry.
std::string ClientPathProblem(const std::string& clientPath);

// The ClientRelativePath that marks the updater's own entry.
extern const char kUpdaterClientPath[];

// Letter case folded the way the updater compares paths (ASCII only).
std::string FoldCase(std::string text);

}  // namespace Publish
