#include "engine/files/decompress.h"

#include <windows.h>

#include "engine/files/hidden_process.h"
#include "utils/file/file_utils.h"

namespace Engine {
namespace {

// Keeps a part with blanks together as one argument of the started program.
bool QuoteIfNeeded(const std::string& part, std::string& out) {
    if (part.find('"') != std::string::npos) return false;
    out = part.find_first_of(" \t") == std::string::npos ? part : "\"" + part + "\"";
    return true;
}

bool ClearReadOnly(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_READONLY))
        return true;
    return SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL) != 0;
}

}  // namespace

std::string BuildDecompressCommandLine(const std::string& compressedPath,
                                       const std::string& unpackedPath,
                                       const std::string& generalTool,
                                       const std::string& soundTool) {
    std::string extension = Utils::File::GetExtension(compressedPath);
    bool general = extension == kGeneralExtension;
    if (!general && extension != kSoundExtension) return "";
    const std::string& program = general ? generalTool : soundTool;
    if (program.empty() || program.find('"') != std::string::npos) return "";
    // The program is always quoted: it is a full path, which may hold blanks.
    const std::string tool = "\"" + program + "\"";
    std::string compressed, unpacked;
    if (!QuoteIfNeeded(compressedPath, compressed) || !QuoteIfNeeded(unpackedPath, unpacked))
        return "";
    std::string line = general ? tool + " " + " d " + compressed + " " + unpacked
                               : tool + " " + " -o " + unpacked + " " + compressed;
    return line.size() <= kMaxCommandLine ? line : "";
}

bool DecompressTo(const std::string& compressedPath, const std::string& unpackedPath,
                  const std::string& generalTool, const std::string& soundTool) {
    if (!ClearReadOnly(unpackedPath)) return false;
    std::string commandLine =
        BuildDecompressCommandLine(compressedPath, unpackedPath, generalTool, soundTool);
    DWORD exitCode = 1;
    return !commandLine.empty() && RunHiddenAndWait(commandLine, exitCode) && exitCode == 0;
}

bool Decompress(const std::string& compressedPath, const std::string& generalTool,
                const std::string& soundTool) {
    std::size_t dot = compressedPath.rfind('.');
    if (dot == std::string::npos) return false;
    return DecompressTo(compressedPath, compressedPath.substr(0, dot), generalTool, soundTool);
}

}  // namespace Engine
