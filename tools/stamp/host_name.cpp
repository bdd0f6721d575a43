#include "host_name.h"

namespace Stamp {

std::string HostNameProblem(const std::string& host) {
    if (host.find("://") != std::string::npos || host.find('/') != std::string::npos)
        return "must be a host name only, without scheme or path";
    const std::size_t colon = host.find(':');
    const std::string name = host.substr(0, colon);
    if (name.empty()) return "has no host name";
    for (char c : name) {
        const bool alnum =
            (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
        if (!alnum && c != '.' && c != '-')
            return "may hold only letters, digits, '.' and '-' (and a :port)";
    }
    if (colon != std::string::npos) {
        // The updater connects to port 80 instead of a port it cannot use.
        const std::string port = host.substr(colon + 1);
        if (port.empty() || port.size() > 5 ||
            port.find_first_not_of("0123456789") != std::string::npos || std::stoi(port) == 0 ||
            std::stoi(port) > 65535)
            return "has a port that is not a number from 1 to 65535";
    }
    return "";
}

}  // namespace Stamp
