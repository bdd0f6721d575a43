#pragma once
// Finding the installed product among the running processes before its files
// are replaced, and stopping it when no instance has a window. Worker thread.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace Engine {

// The processes that count as the running product: every one of candidates,
// in their order, whose image path (imagePathOf, "" when unreadable) equals
// productPath, ignoring letter case and "/" against "\". The calling process
// (ownId) and processes whose path can't be read never count; none when
// productPath is empty.
std::vector<DWORD> ChooseRunningProducts(const std::vector<DWORD>& candidates, DWORD ownId,
                                         const std::string& productPath,
                                         const std::function<std::string(DWORD)>& imagePathOf);

// The full image path of a running process; "" when it can't be read.
std::string GetProcessImagePath(DWORD processId);

// True when any top-level window of processId is visible.
bool HasVisibleWindow(DWORD processId);

enum class RunningProduct { None, Stopped, Open };

// Looks for the running product among the processes whose file name is
// exeName (the product's, or the updater's when they share a name) and whose
// image path is productPath. When any instance has a visible window the
// product is Open and every instance is left alone; otherwise each one is
// terminated (exit code 0xFFFFFFFF) and awaited: Stopped.
RunningProduct StopRunningProduct(const std::string& exeName, const std::string& productPath);

}  // namespace Engine
