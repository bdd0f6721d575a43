#pragma once
// The uninstaller's decisions, free of system calls: the question it asks,
// and which running process counts as the installed product.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace Uninstall {

// The confirmation question's text buffer, terminator included.
constexpr std::size_t kQuestionBufferSize = 200;

// "Are you sure you want to uninstall <brand>?", with the brand shortened
// (ending in "...") when the whole text would not fit kQuestionBufferSize.
std::string FormatUninstallQuestion(const std::string& brand);

// Where the installed product can run from: each folder + "\" + each
// recorded client path whose file name is exeName (ignoring case). None
// when exeName is empty, so that an unknown product blocks nothing.
std::vector<std::string> ProductImagePaths(const std::string& exeName,
                                           const std::vector<std::string>& folders,
                                           const std::vector<std::string>& clientPaths);

// True when a candidate other than ownId runs from one of productPaths
// (letter case ignored); imagePathOf gives a process's image path.
bool IsProductRunning(const std::vector<DWORD>& candidates, DWORD ownId,
                      const std::vector<std::string>& productPaths,
                      const std::function<std::string(DWORD)>& imagePathOf);

}  // namespace Uninstall
