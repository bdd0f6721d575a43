// Hourly rotation of the logger's files: ".log_" files of past hours become
// ".log" files.
#include <cstdio>
#include <mutex>

#include "utils/mt/log_file.h"
#include "utils/string/string_utils.h"
#include "utils/unique_handle.h"

namespace Utils {
namespace MT {

namespace {

const std::string kOpenSuffix = ".log_";

bool EndsWithOpenSuffix(const std::string& name) {
    if (name.size() < kOpenSuffix.size()) return false;
    return String::EqualsIgnoreCase(name.substr(name.size() - kOpenSuffix.size()), kOpenSuffix);
}

int AnnounceNextRotation() {
    SYSTEMTIME now = {};
    ::GetLocalTime(&now);
    const int seconds = SecondsUntilRotation(now.wMinute);
    std::printf("Reset Log TickerTimeout to %d  Melee seconds.\n", seconds);
    std::fflush(stdout);
    return seconds;
}

int RotationLoop(void*) {
    for (;;) {
        ::Sleep(static_cast<DWORD>(AnnounceNextRotation()) * 1000u);
        SYSTEMTIME now = {};
        ::GetLocalTime(&now);
        RotateLogFiles(".", HourStamp(now));
    }
}

}  // namespace

int RotateLogFiles(const std::string& folder, const std::string& currentHourStamp) {
    const std::string prefix = folder.empty() ? std::string() : folder + "\\";
    WIN32_FIND_DATAA entry = {};
    UniqueFindHandle find(::FindFirstFileA((prefix + "*" + kOpenSuffix).c_str(), &entry));
    if (!find) return 0;
    int renamed = 0;
    do {
        const std::string name = entry.cFileName;
        if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || !EndsWithOpenSuffix(name) ||
            name.find(currentHourStamp) != std::string::npos)
            continue;
        const std::string target = name.substr(0, name.size() - 1);
        if (::MoveFileA((prefix + name).c_str(), (prefix + target).c_str())) ++renamed;
    } while (::FindNextFileA(find.Get(), &entry));
    return renamed;
}

void StartLogRotation() {
    static std::once_flag started;
    std::call_once(started, [] { UniqueKernelHandle thread(StartThread(RotationLoop, nullptr)); });
}

}  // namespace MT
}  // namespace Utils
