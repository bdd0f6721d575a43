#include "engine/files/file_version.h"

#include <vector>

#include "utils/reg/reg_manager.h"
#include "utils/run_reporter.h"

namespace Engine {
namespace {

bool WriteVersionValue(const std::string& text) {
    return Utils::g_productKeyManager &&
           Utils::g_productKeyManager->SetStringValue(kFileVersionValue, text, true);
}

}  // namespace

std::string FormatFileVersion(DWORD mostSignificant, DWORD leastSignificant) {
    return std::to_string(HIWORD(mostSignificant)) + "." + std::to_string(LOWORD(mostSignificant)) +
           "." + std::to_string(HIWORD(leastSignificant)) + "." +
           std::to_string(LOWORD(leastSignificant));
}

std::string ReadFileVersion(const std::string& path) {
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
    if (size == 0) return "";
    std::vector<char> data(size);
    if (!GetFileVersionInfoA(path.c_str(), 0, size, data.data())) return "";
    void* block = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(data.data(), "\\", &block, &length) || !block ||
        length < sizeof(VS_FIXEDFILEINFO))
        return "";
    const auto* info = static_cast<const VS_FIXEDFILEINFO*>(block);
    return FormatFileVersion(info->dwFileVersionMS, info->dwFileVersionLS);
}

bool RecordFileVersion(const std::string& path) {
    std::string version = ReadFileVersion(path);
    if (version.empty()) return false;
    RecordFileVersionText(version);
    return true;
}

void RecordFileVersionText(const std::string& version) {
    if (!WriteVersionValue(version) && g_mainDialog)
        g_mainDialog->ReportError(kRegistryWriteFailedText, kFatalSeverity);
}

bool RecordFileVersionFailure() { return WriteVersionValue(kFileVersionFailed); }

}  // namespace Engine
