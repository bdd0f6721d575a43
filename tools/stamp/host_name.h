#pragma once
// The form of a server name that updaters can reach: the stamped service host
// and the release's files-server alike.
#include <string>

namespace Stamp {

// Empty for a host name (letters, digits, '.', '-'), optionally followed by
// ":port" (1 to 65535); otherwise why not, to follow the setting's name.
std::string HostNameProblem(const std::string& host);

}  // namespace Stamp
