// Thread start under the common thread top, and the lock base class.
#include "utils/mt/threads.h"

#include <comdef.h>
#include <objbase.h>

#include <memory>
#include <string>
#include <vector>

#include "utils/exception.h"
#include "utils/mt/error_log.h"

namespace Utils {
namespace MT {

namespace {

struct StartRecord {
    ThreadFunction function;
    void* argument;
};

// Room for a stack trace of the failing call; nothing fills it in this
// library, but the record keeps its line.
const std::size_t kTraceBufferSize = 25600;

const char kRule[] = "*********************************************";
const char kCatchLine[] = "******* CATCH IN MainThraedFunc !!!   *******";
const char kTraceLine[] = "******* StackTrace **************************";

int GuardedCall(const StartRecord& record, std::string& trace) {
    std::vector<char> traceBuffer(kTraceBufferSize, '\0');
    try {
        return record.function(record.argument);
    } catch (...) {
        trace = traceBuffer.data();
        throw;
    }
}

void WriteFailureRecord(const std::string* textLine, const std::string& trace) {
    if (textLine) {
        CreateUtilsErrorLogRecord("Utils_", 0, "S", kRule, "S", kCatchLine, "S", textLine->c_str(),
                                  "S", kTraceLine, "s", trace.c_str(), "S", kRule, nullptr);
    } else {
        CreateUtilsErrorLogRecord("Utils_", 0, "S", kRule, "S", kCatchLine, "S", kTraceLine, "s",
                                  trace.c_str(), "S", kRule, nullptr);
    }
}

std::string ComErrorText(const _com_error& error) {
    IErrorInfo* info = error.ErrorInfo();
    std::string text;
    if (info) {
        BSTR description = nullptr;
        if (SUCCEEDED(info->GetDescription(&description)) && description) {
            const int size =
                ::WideCharToMultiByte(CP_ACP, 0, description, -1, nullptr, 0, nullptr, nullptr);
            if (size > 1) {
                std::vector<char> buffer(size, '\0');
                ::WideCharToMultiByte(CP_ACP, 0, description, -1, buffer.data(), size, nullptr,
                                      nullptr);
                text = buffer.data();
            }
            ::SysFreeString(description);
        }
        info->Release();
    }
    // Without error information the description is empty; the system's
    // message for the error code says more than nothing.
    if (text.empty() && error.ErrorMessage()) text = error.ErrorMessage();
    return text;
}

// Runs the function and records whatever escapes it. Returns the function's
// result, or -1 after a failure.
int RunAndRecord(const StartRecord& record) {
    std::string trace;
    try {
        return GuardedCall(record, trace);
    } catch (const char* text) {
        const std::string line = "******* '" + std::string(text ? text : "") + "'*******";
        WriteFailureRecord(&line, trace);
    } catch (Utils::Exception* raw) {
        std::unique_ptr<Utils::Exception> failure(raw);
        const std::string line = "******* Utils::Exception: '" +
                                 (failure ? failure->GetMessage() : std::string()) + "'*******";
        WriteFailureRecord(&line, trace);
    } catch (const _com_error& error) {
        const std::string line = "******* _com_error = '" + ComErrorText(error) + "'*******";
        WriteFailureRecord(&line, trace);
    } catch (...) {
        WriteFailureRecord(nullptr, trace);
    }
    return -1;
}

}  // namespace

HANDLE StartThread(ThreadFunction function, void* argument) {
    if (!function) return nullptr;
    auto* record = new StartRecord{function, argument};
    HANDLE thread = ::CreateThread(nullptr, 0, MainThraedFunc, record, 0, nullptr);
    if (!thread) delete record;  // no thread will ever free it
    return thread;
}

DWORD WINAPI MainThraedFunc(LPVOID startRecord) {
    std::unique_ptr<StartRecord> record(static_cast<StartRecord*>(startRecord));
    const HRESULT com = ::CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    int result = -1;
    try {
        result = RunAndRecord(*record);
    } catch (...) {
        // Writing the record failed (out of memory): the thread still ends quietly.
    }
    if (SUCCEEDED(com)) ::CoUninitialize();
    return static_cast<DWORD>(result);
}

AbstractThreadSafeClass::AbstractThreadSafeClass() { ::InitializeCriticalSection(&m_lock); }

AbstractThreadSafeClass::~AbstractThreadSafeClass() { ::DeleteCriticalSection(&m_lock); }

ScopedLock::ScopedLock(const AbstractThreadSafeClass& owner) : m_owner(owner) {
    ::EnterCriticalSection(&m_owner.m_lock);
}

ScopedLock::~ScopedLock() { ::LeaveCriticalSection(&m_owner.m_lock); }

}  // namespace MT
}  // namespace Utils
