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
    if (m_channelFlags & kToFile) {
        UniqueStdioFile file(std::fopen(FileNameAt(now).c_str(), "a+"));
        if (file) std::fwrite(entry.data(), 1, entry.size(), file.Get());
    }
    if ((m_channelFlags & kToConsole) && kDebugPrint) {
        std::printf("%s", entry.c_str());
        std::fflush(stdout);
    }
}

}  // namespace MT
}  // namespace Utils
