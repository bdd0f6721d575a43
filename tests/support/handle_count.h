#pragma once
// The number of handles the test process holds, for tests that check that
// code closes every handle it opens.
#include <windows.h>

namespace TestSupport {

// GetProcessHandleCount where it works. Wine's always reports 0; there the
// process's entries in the system's handle table are counted instead.
// Returns 0 when neither is available.
DWORD ProcessHandleCount();

}  // namespace TestSupport
