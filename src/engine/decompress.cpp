#include "engine/decompress.h"

#include <windows.h>

#include <vector>

#include "utils/file/file_utils.h"
#include "utils/unique_handle.h"

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

bool RunAndWait(const std::string& commandLine) {
    std::vector<char> buffer(commandLine.begin(), commandLine.end());
    buffer.push_back('\0');
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, buffer.data(), nullptr, nullptr, FALSE, NORMAL_PRIORITY_CLASS,
                        nullptr, nullptr, &startup, &process))
        return false;
    Utils::UniqueKernelHandle processHandle(process.hProcess);
    Utils::UniqueKernelHandle threadHandle(process.hThread);
    if (WaitForSingleObject(processHandle.Get(), INFINITE) != WAIT_OBJECT_0) return false;
    DWORD exitCode = 1;
    return GetExitCodeProcess(processHandle.Get(), &exitCode) && exitCode == 0;
}

}  // namespace

std::string BuildDecompressCommandLine(const std::string& compressedPath,
                                       const std::string& unpackedPath,
                                       const std::string& generalTool,
                                       const std::string& soundTool) {
    std::string extension = Utils::File::GetExtension(compressedPath);
    bool general = extension == kGeneralExtension;
    if (!general && extension != kSoundExtension) return "";
    std::string tool, compressed, unpacked;
    if (!QuoteIfNeeded(general ? generalTool : soundTool, tool) || tool.empty() ||
        !QuoteIfNeeded(compressedPath, compressed) || !QuoteIfNeeded(unpackedPath, unpacked))
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
    return !commandLine.empty() && RunAndWait(commandLine);
}

bool Decompress(const std::string& compressedPath, const std::string& generalTool,
                const std::string& soundTool) {
    std::size_t dot = compressedPath.rfind('.');
    if (dot == std::string::npos) return false;
    return DecompressTo(compressedPath, compressedPath.substr(0, dot), generalTool, soundTool);
}

}  // namespace Engine
