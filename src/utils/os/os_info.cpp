// Operating-system name and screen metrics.
#include "utils/os/os_info.h"

#include <cstdio>

namespace Utils {
namespace OS {

namespace {

struct VersionName {
    DWORD major;
    DWORD minor;
    DWORD platform;  // kAnyPlatform matches every platform
    const char* name;
};

const DWORD kAnyPlatform = 0xFFFFFFFF;

// Checked in this order; the first match names the system.
const VersionName kVersionNames[] = {
    {6, 0, kAnyPlatform, "Windows Vista"},
    {5, 2, kAnyPlatform, "Windows Server 2003"},
    {5, 1, kAnyPlatform, "Windows XP"},
    {5, 0, kAnyPlatform, "Windows 2000"},
    {4, 0, VER_PLATFORM_WIN32_NT, "Windows NT 4.0"},
    {4, 90, kAnyPlatform, "Windows Me"},
    {4, 10, kAnyPlatform, "Windows 98"},
    {4, 0, VER_PLATFORM_WIN32_WINDOWS, "Windows 95"},
    {3, 51, kAnyPlatform, "Windows NT 3.51"},
};

const char* NameOf(const OSVERSIONINFOA& version) {
    for (const VersionName& entry : kVersionNames) {
        if (entry.major == version.dwMajorVersion && entry.minor == version.dwMinorVersion &&
            (entry.platform == kAnyPlatform || entry.platform == version.dwPlatformId))
            return entry.name;
    }
    return "???";
}

}  // namespace

std::string GetOSDescription(bool detail) {
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof(version);
    if (!::GetVersionExA(&version)) return "???";
    std::string name = NameOf(version);
    if (detail && name != "???") {
        char suffix[256];
        std::snprintf(suffix, sizeof(suffix), " SP='%s' Build=%d", version.szCSDVersion,
                      static_cast<int>(version.dwBuildNumber));
        name += suffix;
    }
    return name;
}

std::string GetScreenSize(int& width, int& height) {
    width = ::GetSystemMetrics(SM_CXSCREEN);
    height = ::GetSystemMetrics(SM_CYSCREEN);
    return std::to_string(width) + "," + std::to_string(height);
}

}  // namespace OS
}  // namespace Utils
