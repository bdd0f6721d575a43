#pragma once
// The document's resource-update program, run after the product executable
// was replaced. Worker thread.
#include <string>

namespace Engine {

// The longest command line that is started (a 300-character buffer with its terminator).
constexpr std::size_t kMaxResourceUpdateCommand = 299;

// The quoted program, then the product and the updater, each in double quotes:
//   "<program>" "<product>" "<updater>"
// "" when the result would be longer than kMaxResourceUpdateCommand.
std::string BuildResourceUpdateCommand(const std::string& programPath,
                                       const std::string& productPath,
                                       const std::string& updaterPath);

// Starts the command line hidden and waits for the program to end, without a
// time limit. False when the command is empty or the program can't be started.
bool RunResourceUpdate(const std::string& commandLine);

}  // namespace Engine
