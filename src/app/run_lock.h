#pragma once
// One run of a product at a time. Overlapping runs of one brand share its
// folders, its registry keys and its temporary files: they fail each other's
// transfers, and an update that goes on during an uninstall puts back files
// of a product that is gone. So every start takes its brand's run lock before
// it changes anything, and a start that cannot have it leaves quietly. Pure
// functions: no system calls.
#include <windows.h>

#include <string>

#include "app/command_line.h"

namespace App {

// The name of the brand's run lock: machine-wide, as the program folder and
// the uninstall entry are, and one for all spellings of the brand in letter
// case, as its folders and keys are.
std::string RunLockName(const std::string& brand);

// How long a start of this form waits for the lock. A start with a delay is
// the hand-over of an updater that replaced itself: it waits for the lock
// from its start, through its delay and a while longer, so that the run that
// started it may end first and no other start comes in between. An uninstall
// run takes the lock after the launcher that held it has ended. Everything
// else leaves at once while another run has it.
DWORD RunLockWaitMs(const StartRequest& request);

// What is left of a start delay of delayMs after elapsedMs.
DWORD RemainingDelayMs(DWORD delayMs, DWORD elapsedMs);

}  // namespace App
