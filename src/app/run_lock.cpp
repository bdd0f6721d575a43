#include "app/run_lock.h"

#include "utils/string/string_utils.h"

namespace App {
namespace {

constexpr char kRunLockPrefix[] = "Global\\NimbraUpdaterRun.";
// Beyond the delay: ample for a process that only has to end after starting
// its successor.
constexpr DWORD kHandOverGraceMs = 30000;

}  // namespace

std::string RunLockName(const std::string& brand) {
    std::string folded = brand;
    return kRunLockPrefix + Utils::String::ToLower(folded);
}

DWORD RunLockWaitMs(const StartRequest& request) {
    if (request.form != StartForm::Normal || request.delayMs == 0) return 0;
    return request.delayMs < INFINITE - kHandOverGraceMs ? request.delayMs + kHandOverGraceMs
                                                         : INFINITE - 1;
}

DWORD RemainingDelayMs(DWORD delayMs, DWORD elapsedMs) {
    return elapsedMs < delayMs ? delayMs - elapsedMs : 0;
}

}  // namespace App
