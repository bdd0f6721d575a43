#pragma once
// Unpacking received files with the external decompressor programs that the
// update document names. Safe on any thread; several unpackings may run at
// once, each on its own file.
#include <string>

namespace Engine {

constexpr char kGeneralExtension[] = ".Kelz";
constexpr char kSoundExtension[] = ".Kelw";
// The longest command line that is started (the system's own limit, 32,767
// characters with the terminator); longer ones are refused whole, never cut.
// The line holds the decompressor's full path and two side-file names, so a
// 255-character limit would refuse compressed files at client paths of some
// 100 characters, which products with deep folders have.
constexpr std::size_t kMaxCommandLine = 32766;

// The command line that unpacks compressedPath into unpackedPath:
//   ".Kelz": tool + "  d " + compressed + " " + unpacked
//   ".Kelw": tool + "  -o " + unpacked + " " + compressed
// The tool is chosen by the extension of compressedPath (matched exactly)
// and is always put in double quotes; a path that contains a blank is quoted
// so that it stays one argument. "" for another extension, an empty tool, a part that contains a
// double quote, or a result longer than kMaxCommandLine.
std::string BuildDecompressCommandLine(const std::string& compressedPath,
                                       const std::string& unpackedPath,
                                       const std::string& generalTool,
                                       const std::string& soundTool);

// Runs the decompressor for compressedPath, writing unpackedPath, and waits
// for it. A read-only unpackedPath is made writable first. True exactly when
// the program ran and exited with 0. The compressed file is left in place.
// Tools are full program paths (see ResolveDocumentProgram).
bool DecompressTo(const std::string& compressedPath, const std::string& unpackedPath,
                  const std::string& generalTool, const std::string& soundTool);

// DecompressTo with the unpacked path = compressedPath without its last extension.
bool Decompress(const std::string& compressedPath, const std::string& generalTool,
                const std::string& soundTool);

}  // namespace Engine
