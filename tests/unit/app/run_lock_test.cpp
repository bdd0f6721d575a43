#include "app/run_lock.h"

#include <gtest/gtest.h>

namespace {

using App::StartForm;

TEST(RunLock, OnlyADelayedStartWaitsAndThenNoLongerThanItsDelayAsksFor) {
    const struct {
        StartForm form;
        DWORD delayMs, elapsedMs;
        bool waits;
        DWORD remainingMs;
    } cases[] = {
        {StartForm::Normal, 0, 0, false, 0},
        {StartForm::Normal, 4000, 0, true, 4000},
        {StartForm::Normal, 4000, 1500, true, 2500},
        {StartForm::Normal, 4000, 9000, true, 0},
        {StartForm::UninstallLauncher, 0, 0, false, 0},
        {StartForm::UninstallRun, 0, 0, false, 0},
    };
    for (const auto& c : cases) {
        App::StartRequest request;
        request.form = c.form;
        request.delayMs = c.delayMs;
        const DWORD wait = App::RunLockWaitMs(request);
        EXPECT_EQ(wait > c.delayMs, c.waits) << c.delayMs;
        EXPECT_EQ(wait == 0, !c.waits) << c.delayMs;
        EXPECT_EQ(App::RemainingDelayMs(c.delayMs, c.elapsedMs), c.remainingMs) << c.elapsedMs;
    }
}

}  // namespace
