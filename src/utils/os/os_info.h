#pragma once
// Operating-system description, screen size and the process list.
#include <windows.h>

#include <string>
#include <vector>

namespace Utils {
namespace OS {

// "Windows Vista", "Windows XP", ... or "???"; with detail, " SP='..' Build=N"
// is appended to a known name.
std::string GetOSDescription(bool detail);
// Primary screen size in pixels; returns "width,height".
std::string GetScreenSize(int& width, int& height);
// Appends the ids of running processes whose executable name equals exeName
// (ignoring case; every process when exeName is empty). False when the
// snapshot cannot be taken or is empty.
bool FindProcesses(std::vector<DWORD>& processes, const std::string& exeName);

}  // namespace OS
}  // namespace Utils
