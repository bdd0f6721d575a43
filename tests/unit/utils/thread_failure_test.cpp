#include <gtest/gtest.h>

#include <comdef.h>

#include <algorithm>
#include <regex>

#include "current_folder.h"
#include "support/scratch.h"
#include "utils/exception.h"
#include "utils/mt/error_log.h"
#include "utils/mt/threads.h"
#include "utils/unique_handle.h"

namespace {

const std::string kHead =
    "CreateUtilsErrorLogRecord*********************************************\n"
    "******* CATCH IN MainThraedFunc !!!   *******\n";
const std::string kTail =
    "******* StackTrace **************************\n"
    "*********************************************\n"
    "\n-----------------------------------\n";

// Runs function on a library thread with the current folder set to folder and
// returns the thread's exit code once it ended.
DWORD RunWorker(const std::string& folder, Utils::MT::ThreadFunction function, void* argument,
                DWORD* threadId = nullptr) {
    UtilsTest::CurrentFolder current(folder);
    Utils::UniqueKernelHandle thread(Utils::MT::StartThread(function, argument));
    if (!thread) return 0xDEAD;
    WaitForSingleObject(thread.Get(), 30000);
    if (threadId) *threadId = GetThreadId(thread.Get());
    DWORD code = 0;
    GetExitCodeThread(thread.Get(), &code);
    return code;
}

// A log file's text with its CR LF line breaks (the file is written in text
// mode) as plain line feeds; a bare line feed is marked so that it shows.
std::string ReadLog(const std::string& path) {
    const std::string raw = TestSupport::ReadFile(path);
    std::string text;
    for (std::size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] == '\r' && i + 1 < raw.size() && raw[i + 1] == '\n') continue;
        if (raw[i] == '\n' && (i == 0 || raw[i - 1] != '\r')) text += "<bare LF>";
        text += raw[i];
    }
    return text;
}

// The one log file in folder; "" when there is none or more than one.
std::string ReadOnlyLog(const std::string& folder) {
    const std::vector<std::string> logs = UtilsTest::ListNames(folder, "*.log_");
    if (logs.size() != 1) return std::string();
    return ReadLog(folder + "\\" + logs[0]);
}

// Splits a log text into its entries' record texts, checking each entry's
// time line and the dashed line that closes it.
std::vector<std::string> Records(const std::string& log) {
    static const std::regex entry(
        "TIME: (Sun|Mon|Tue|Wed|Thu|Fri|Sat) (Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec) "
        "[ 123][0-9] [0-2][0-9]:[0-5][0-9]:[0-5][0-9]\\.[0-9]{3} [0-9]{4}\n"
        "(CreateUtilsErrorLogRecord[^]*?\n-----------------------------------\n)");
    std::vector<std::string> records;
    std::string::const_iterator from = log.begin();
    std::smatch match;
    while (
        std::regex_search(from, log.end(), match, entry, std::regex_constants::match_continuous)) {
        records.push_back(match[3]);
        from = match[0].second;
    }
    if (from != log.end()) records.push_back("UNPARSED:" + std::string(from, log.end()));
    return records;
}

int ThrowText(void*) { throw "disk full"; }
int ThrowInteger(void*) { throw 42; }
int ReturnSeven(void*) { return 7; }
int ThrowLibraryException(void* deleted) {
    struct Tracked : Utils::Exception {
        explicit Tracked(bool* flag)
            : Utils::Exception("Utils::String::HexDecode", "hexdigit_2_val", 0), m_flag(flag) {}
        ~Tracked() override { *m_flag = true; }
        bool* m_flag;
    };
    throw static_cast<Utils::Exception*>(new Tracked(static_cast<bool*>(deleted)));
}
int ThrowComErrorWithoutInfo(void*) { throw _com_error(E_OUTOFMEMORY); }
int ThrowComErrorWithInfo(void*) {
    ICreateErrorInfo* create = nullptr;
    if (FAILED(CreateErrorInfo(&create))) throw 0;
    create->SetDescription(const_cast<LPOLESTR>(L"printer on fire"));
    IErrorInfo* info = nullptr;
    create->QueryInterface(IID_IErrorInfo, reinterpret_cast<void**>(&info));
    create->Release();
    throw _com_error(E_FAIL, info, false);
}

TEST(ThreadFailureLog, EachKindOfFailureWritesItsRecord) {
    struct Case {
        const char* name;
        Utils::MT::ThreadFunction function;
        std::string textLine;
    };
    const Case cases[] = {
        {"text", ThrowText, "******* 'disk full'*******\n"},
        {"integer", ThrowInteger, ""},
        {"com error with description", ThrowComErrorWithInfo,
         "******* _com_error = 'printer on fire'*******\n"},
    };
    for (const Case& c : cases) {
        TestSupport::ScratchFolder scratch;
        EXPECT_EQ(RunWorker(scratch.Path(), c.function, nullptr), 0xFFFFFFFFu) << c.name;
        const std::vector<std::string> records = Records(ReadOnlyLog(scratch.Path()));
        ASSERT_EQ(records.size(), 1u) << c.name;
        EXPECT_EQ(records[0], kHead + c.textLine + kTail) << c.name;
    }
}

TEST(ThreadFailureLog, LibraryExceptionIsRecordedWithItsThreadAndDeleted) {
    TestSupport::ScratchFolder scratch;
    bool deleted = false;
    DWORD threadId = 0;
    RunWorker(scratch.Path(), ThrowLibraryException, &deleted, &threadId);
    EXPECT_TRUE(deleted);
    const std::vector<std::string> records = Records(ReadOnlyLog(scratch.Path()));
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0], kHead + "******* Utils::Exception: 'hexdigit_2_val\nThreadId=" +
                              std::to_string(threadId) + "'*******\n" + kTail);
}

TEST(ThreadFailureLog, ComErrorWithoutDescriptionNamesTheErrorCode) {
    TestSupport::ScratchFolder scratch;
    RunWorker(scratch.Path(), ThrowComErrorWithoutInfo, nullptr);
    const std::vector<std::string> records = Records(ReadOnlyLog(scratch.Path()));
    ASSERT_EQ(records.size(), 1u);
    const std::string prefix = kHead + "******* _com_error = '";
    ASSERT_EQ(records[0].rfind(prefix, 0), 0u) << records[0];
    EXPECT_NE(records[0].find("'*******\n" + kTail), std::string::npos);
    EXPECT_GT(records[0].size(), prefix.size() + 9 + kTail.size()) << "a message, not ''";
}

TEST(ThreadFailureLog, FileNameAndSharingWithinTheHour) {
    TestSupport::ScratchFolder scratch;
    RunWorker(scratch.Path(), ThrowText, nullptr);
    RunWorker(scratch.Path(), ThrowInteger, nullptr);
    const std::vector<std::string> logs = UtilsTest::ListNames(scratch.Path(), "*");
    ASSERT_GE(logs.size(), 1u);
    static const std::regex name(
        "Utils_unit_utils_(Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec)_[ 123][0-9]_[0-2][0-9]"
        "\\.log_");
    for (const std::string& log : logs) EXPECT_TRUE(std::regex_match(log, name)) << log;
    if (logs.size() == 2) GTEST_SKIP() << "the hour changed between the two failures";
    const std::vector<std::string> records = Records(ReadOnlyLog(scratch.Path()));
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0], kHead + "******* 'disk full'*******\n" + kTail);
    EXPECT_EQ(records[1], kHead + kTail);
}

// Workers that fail at the same moment each leave a whole entry.
TEST(ThreadFailureLog, SimultaneousFailuresKeepEveryEntryWhole) {
    struct Start {
        HANDLE go;
        std::string text;
    };
    const int kWorkers = 48;
    auto fail = [](void* p) -> int {
        const Start* start = static_cast<const Start*>(p);
        WaitForSingleObject(start->go, 10000);
        throw start->text.c_str();
    };
    TestSupport::ScratchFolder scratch;
    UtilsTest::CurrentFolder current(scratch.Path());
    Utils::UniqueKernelHandle go(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    std::vector<Start> starts(kWorkers);
    std::vector<Utils::UniqueKernelHandle> threads;
    for (int i = 0; i < kWorkers; ++i) {
        starts[i] = {go.Get(), "w" + std::to_string(i)};
        threads.emplace_back(Utils::MT::StartThread(fail, &starts[i]));
    }
    SetEvent(go.Get());
    for (auto& thread : threads) WaitForSingleObject(thread.Get(), 30000);

    std::vector<std::string> records;
    for (const std::string& log : UtilsTest::ListNames(scratch.Path(), "*.log_")) {
        for (const std::string& record : Records(ReadLog(scratch.Path() + "\\" + log)))
            records.push_back(record);
    }
    std::vector<std::string> expected;
    for (int i = 0; i < kWorkers; ++i)
        expected.push_back(kHead + "******* 'w" + std::to_string(i) + "'*******\n" + kTail);
    std::sort(records.begin(), records.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(records, expected);
}

TEST(ThreadFailureLog, NormalReturnWritesNothing) {
    TestSupport::ScratchFolder scratch;
    EXPECT_EQ(RunWorker(scratch.Path(), ReturnSeven, nullptr), 7u);
    EXPECT_TRUE(UtilsTest::ListNames(scratch.Path(), "*").empty());
}

TEST(ThreadFailureLog, WorkerRunsInAMultithreadedApartment) {
    auto probe = [](void* result) -> int {
        APTTYPE type = APTTYPE_CURRENT;
        APTTYPEQUALIFIER qualifier = APTTYPEQUALIFIER_NONE;
        if (SUCCEEDED(CoGetApartmentType(&type, &qualifier))) *static_cast<APTTYPE*>(result) = type;
        return 0;
    };
    TestSupport::ScratchFolder scratch;
    APTTYPE type = APTTYPE_CURRENT;
    RunWorker(scratch.Path(), probe, &type);
    EXPECT_EQ(type, APTTYPE_MTA);
}

TEST(ErrorLogRecord, KindsFormatTheirValues) {
    TestSupport::ScratchFolder scratch;
    {
        UtilsTest::CurrentFolder current(scratch.Path());
        CreateUtilsErrorLogRecord("Test_", 99, "S", "line", "s", "part", "I", -12, "i", 7, "N", "D",
                                  1.5, "d", 2.25, nullptr, "S", "after the end");
    }
    const std::vector<std::string> logs =
        UtilsTest::ListNames(scratch.Path(), "Test_unit_utils_*.log_");
    ASSERT_EQ(logs.size(), 1u);
    const std::vector<std::string> records = Records(ReadLog(scratch.Path() + "\\" + logs[0]));
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0],
              "CreateUtilsErrorLogRecordline\npart-12\n7\n1.5000000000\n   2.2500000000"
              "\n-----------------------------------\n");
}

}  // namespace
