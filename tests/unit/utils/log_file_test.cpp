#include <gtest/gtest.h>

#include <algorithm>

#include "current_folder.h"
#include "support/scratch.h"
#include "utils/mt/log_file.h"

namespace {

SYSTEMTIME MakeTime(WORD year, WORD month, WORD weekday, WORD day, WORD hour, WORD minute,
                    WORD second, WORD milliseconds) {
    SYSTEMTIME time = {};
    time.wYear = year;
    time.wMonth = month;
    time.wDayOfWeek = weekday;
    time.wDay = day;
    time.wHour = hour;
    time.wMinute = minute;
    time.wSecond = second;
    time.wMilliseconds = milliseconds;
    return time;
}

TEST(LogFormat, TimeTextHourStampAndEntry) {
    struct Case {
        SYSTEMTIME time;
        std::string timeText, stamp, head;
    };
    const Case cases[] = {
        {MakeTime(2008, 12, 3, 17, 14, 3, 5, 123), "Wed Dec 17 14:03:05 2008\n", "Dec_17_14",
         "TIME: Wed Dec 17 14:03:05.123 2008\n"},
        {MakeTime(2026, 1, 0, 7, 9, 0, 0, 7), "Sun Jan  7 09:00:00 2026\n", "Jan_ 7_09",
         "TIME: Sun Jan  7 09:00:00.007 2026\n"},
        {MakeTime(1999, 6, 6, 30, 23, 59, 59, 999), "Sat Jun 30 23:59:59 1999\n", "Jun_30_23",
         "TIME: Sat Jun 30 23:59:59.999 1999\n"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Utils::MT::FormatTimeText(c.time), c.timeText);
        EXPECT_EQ(Utils::MT::HourStamp(c.time), c.stamp);
        EXPECT_EQ(Utils::MT::FormatLogEntry(c.time, "REC"),
                  c.head + "REC\n-----------------------------------\n");
    }
    const Utils::MT::Logger logger("Utils_tool", Utils::MT::Logger::kToFile);
    EXPECT_EQ(logger.FileNameAt(cases[1].time), "Utils_tool_Jan_ 7_09.log_");
}

TEST(LogRotation, FirstTickComesJustAfterTheNextHourBegins) {
    EXPECT_EQ(Utils::MT::SecondsUntilRotation(0), 62 * 60);
    EXPECT_EQ(Utils::MT::SecondsUntilRotation(43), 19 * 60);
    EXPECT_EQ(Utils::MT::SecondsUntilRotation(59), 3 * 60);
}

TEST(LogRotation, ClosesTheFilesOfPastHoursOnly) {
    TestSupport::ScratchFolder scratch;
    const char* const files[] = {
        "Utils_app_Dec_17_13.log_",  // past hour: closed
        "Utils_app_Dec_ 7_09.log_",  // past hour with a blank: closed
        "Utils_app_Dec_17_14.log_",  // current hour: stays open
        "Other_Dec_17_14.log_",      // current hour of another program: stays open
        "Utils_app_Dec_16_14.log",   // already closed
        "notes.txt",                 // not a log
        "Utils_app_Nov_01_00.log_",  // its closed name is taken: stays
        "Utils_app_Nov_01_00.log",
    };
    for (const char* name : files) TestSupport::WriteFile(scratch / name, name);
    CreateDirectoryA((scratch / "folder_Jan_01_01.log_").c_str(), nullptr);

    EXPECT_EQ(Utils::MT::RotateLogFiles(scratch.Path(), "Dec_17_14"), 2);

    std::vector<std::string> names = UtilsTest::ListNames(scratch.Path(), "*");
    std::sort(names.begin(), names.end());
    const std::vector<std::string> expected = {
        "Other_Dec_17_14.log_",     "Utils_app_Dec_ 7_09.log",  "Utils_app_Dec_16_14.log",
        "Utils_app_Dec_17_13.log",  "Utils_app_Dec_17_14.log_", "Utils_app_Nov_01_00.log",
        "Utils_app_Nov_01_00.log_", "folder_Jan_01_01.log_",    "notes.txt"};
    EXPECT_EQ(names, expected);
    EXPECT_EQ(TestSupport::ReadFile(scratch / "Utils_app_Dec_17_13.log"),
              "Utils_app_Dec_17_13.log_");
    EXPECT_EQ(TestSupport::ReadFile(scratch / "Utils_app_Nov_01_00.log"),
              "Utils_app_Nov_01_00.log");
}

TEST(LogRotation, EmptyFolderMeansTheCurrentFolder) {
    TestSupport::ScratchFolder scratch;
    TestSupport::WriteFile(scratch / "a_Feb_02_02.log_", "x");
    UtilsTest::CurrentFolder current(scratch.Path());
    EXPECT_EQ(Utils::MT::RotateLogFiles("", "Dec_17_14"), 1);
    EXPECT_TRUE(TestSupport::FileExists(scratch / "a_Feb_02_02.log"));
}

}  // namespace
