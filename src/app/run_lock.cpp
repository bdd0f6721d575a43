#include "app/run_lock.h"

#include "utils/string/string_utils.h"

namespace App {
namespace {

constexpr char kRunLockPrefix[] = "Global\\NimbraUpdaterRun.";
// Ample for a process that only has to end after starting its successor.
constexpr DWORD kHandOverWaitMs = 30000;

}  // namespace

std::string RunLockName(const std::string& brand) {
    std::string folded = brand;
    return kRunLockPrefix + Utils::String::ToLower(folded);
}

DWORD RunLockWaitMs(const StartRequest& request) {
    return request.form == StartForm::Normal && request.delayMs > 0 ? kHandOverWaitMs : 0;
}

}  // namespace App
