#pragma once
// The library logger's file and console channel, and the hourly rotation of
// its ".log_" files.
#include <windows.h>

#include <string>

#include "utils/mt/threads.h"

namespace Utils {
namespace MT {

// The standard time text of a moment, e.g. "Wed Dec 17 14:03:05 2008\n".
std::string FormatTimeText(const SYSTEMTIME& time);
// The hour stamp inside a log file name, e.g. "Dec_17_14" or "Dec_ 7_09".
std::string HourStamp(const SYSTEMTIME& time);
// "TIME: Wed Dec 17 14:03:05.123 2008\n" + record + the closing dashed line.
std::string FormatLogEntry(const SYSTEMTIME& time, const std::string& record);
// Seconds from this minute of the hour to the first rotation (62 - minute
// minutes later, so that it lands just after the next hour began).
int SecondsUntilRotation(int minuteOfHour);

// Starts the rotation thread the first time it is called; later calls do
// nothing. The thread renames the old files of the current folder every hour.
void StartLogRotation();

// Renames every "<x>.log_" file in folder whose name does not contain the
// current hour stamp to "<x>.log". A file whose new name is taken stays.
// Returns how many files were renamed.
int RotateLogFiles(const std::string& folder, const std::string& currentHourStamp);

// Writes entries to "<logName>_<hour stamp>.log_" in the current folder
// and/or standard output. The first logger of the process starts the hourly
// rotation thread.
class Logger : public AbstractThreadSafeClass {
public:
    static const int kToFile = 1;
    static const int kToConsole = 4;

    Logger(const std::string& logName, int channelFlags);

    // One open, one appending write and one close of the file (line breaks
    // as CR LF); failures are ignored.
    void Write(const std::string& record) const;
    // The file that an entry written at this moment goes to.
    std::string FileNameAt(const SYSTEMTIME& time) const;

private:
    std::string m_logName;
    int m_channelFlags;
};

}  // namespace MT
}  // namespace Utils
