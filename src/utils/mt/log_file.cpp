// The logger's entry format and its file and console output.
#include "utils/mt/log_file.h"

#include <cstdio>

#include "utils/unique_handle.h"

namespace Utils {
namespace MT {

namespace {

// Progress and log text go to standard output; the switch is on for the
// whole process.
const bool kDebugPrint = true;

const char* const kWeekdays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                               "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

// The file holds text-mode line breaks (CR LF).
std::string WithCrLf(const std::string& text) {
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (char c : text) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

// Appends under an exclusive lock on the file, so that entries of threads
// (or processes) that fail at the same moment cannot overwrite or split each
// other; a plain append-mode write can lose one of them.
void AppendToFile(const std::string& path, const std::string& data) {
    UniqueFileHandle file(::CreateFileA(path.c_str(), GENERIC_WRITE,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return;
    OVERLAPPED whole = {};
    if (!::LockFileEx(file.Get(), LOCKFILE_EXCLUSIVE_LOCK, 0, MAXDWORD, MAXDWORD, &whole)) return;
    DWORD written = 0;
    if (::SetFilePointer(file.Get(), 0, nullptr, FILE_END) != INVALID_SET_FILE_POINTER)
        ::WriteFile(file.Get(), data.data(), static_cast<DWORD>(data.size()), &written, nullptr);
    ::UnlockFileEx(file.Get(), 0, MAXDWORD, MAXDWORD, &whole);
}

}  // namespace

std::string FormatTimeText(const SYSTEMTIME& time) {
    char text[64];
    std::snprintf(text, sizeof(text), "%.3s %.3s%3d %.2d:%.2d:%.2d %d\n",
                  kWeekdays[time.wDayOfWeek % 7], kMonths[(time.wMonth + 11) % 12], time.wDay,
                  time.wHour, time.wMinute, time.wSecond, time.wYear);
    return text;
}

std::string HourStamp(const SYSTEMTIME& time) {
    std::string stamp = FormatTimeText(time).substr(4, 9);
    stamp[3] = '_';
    stamp[6] = '_';
    return stamp;
}

std::string FormatLogEntry(const SYSTEMTIME& time, const std::string& record) {
    const std::string text = FormatTimeText(time);
    char head[128];
    std::snprintf(head, sizeof(head), "TIME: %.19s.%03hu %s", text.c_str(), time.wMilliseconds,
                  text.c_str() + 20);
    return head + record + "\n-----------------------------------\n";
}

int SecondsUntilRotation(int minuteOfHour) { return (62 - minuteOfHour) * 60; }

Logger::Logger(const std::string& logName, int channelFlags)
    : m_logName(logName), m_channelFlags(channelFlags) {
    StartLogRotation();
}

std::string Logger::FileNameAt(const SYSTEMTIME& time) const {
    return m_logName + "_" + HourStamp(time) + ".log_";
}

void Logger::Write(const std::string& record) const {
    ScopedLock lock(*this);
    SYSTEMTIME now = {};
    ::GetLocalTime(&now);
    const std::string entry = FormatLogEntry(now, record);
    if (m_channelFlags & kToFile) AppendToFile(FileNameAt(now), WithCrLf(entry));
    if ((m_channelFlags & kToConsole) && kDebugPrint) {
        std::printf("%s", entry.c_str());
        std::fflush(stdout);
    }
}

}  // namespace MT
}  // namespace Utils
