#pragma once
// The start operation of the installation run: keeps the decoded service host
// and starts the one installation worker thread. Until the installation run
// exists, the worker only says so in the status line.
#include <string>

namespace App {

class InstallationLauncher {
public:
    // Dialog thread only. Stores host and starts the worker through the
    // utilities library; false when the thread could not be started.
    bool Start(const std::string& host);

    const std::string& GetHost() const { return m_host; }

private:
    std::string m_host;
};

}  // namespace App
