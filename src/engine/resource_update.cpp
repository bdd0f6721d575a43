#include "engine/resource_update.h"

#include "engine/files/hidden_process.h"

namespace Engine {

std::string BuildResourceUpdateCommand(const std::string& programPath,
                                       const std::string& productPath,
                                       const std::string& updaterPath) {
    const std::string line =
        "\"" + programPath + "\" \"" + productPath + "\" \"" + updaterPath + "\"";
    return line.size() <= kMaxResourceUpdateCommand ? line : "";
}

bool RunResourceUpdate(const std::string& commandLine) {
    DWORD exitCode = 0;
    return !commandLine.empty() && RunHiddenAndWait(commandLine, exitCode);
}

}  // namespace Engine
