#pragma once
// Starting a helper program with its window hidden and waiting for its end.
// Safe on any thread.
#include <windows.h>

#include <string>

namespace Engine {

// Starts the command line (no separate program name, normal priority, window
// hidden), waits without a time limit and stores the exit code. False when
// the program could not be started or the wait failed.
bool RunHiddenAndWait(const std::string& commandLine, DWORD& exitCode);

}  // namespace Engine
