#pragma once
// A private nginx instance that serves a release tree on port 80 of a
// loopback address of its own, run on the Linux side by
// deploy/nginx/release-server.sh (Wine starts a Unix program like any other,
// but gives no exit code for it: each step waits for its effect instead).
//
//   NginxReleaseServer nginx;                  // empty tree, nothing running
//   ... write the release into nginx.TreePath() ...
//   ASSERT_TRUE(nginx.Start());
//   ... http://<nginx.Host()>/files/...
//   nginx.Requests()                           // from its access log
//
// The destructor stops nginx and removes its folder. Should the test process
// die first, nginx ends by itself after a few minutes.
#include <string>
#include <vector>

namespace InstallE2E {

// One line of the access log.
struct LoggedRequest {
    std::string target;  // as requested, with the query
    int status = 0;
};

class NginxReleaseServer {
public:
    // A new folder below the build folder (%PROJECT_BUILD_DIR%) holds the
    // tree and the instance's configuration and logs.
    NginxReleaseServer();
    ~NginxReleaseServer();
    NginxReleaseServer(const NginxReleaseServer&) = delete;
    NginxReleaseServer& operator=(const NginxReleaseServer&) = delete;

    // Starts serving on a loopback address where nothing listens on port 80,
    // and returns once nginx accepts connections. False when it did not.
    bool Start();
    // Ends nginx and waits until it no longer accepts connections. Safe to call twice.
    void Stop();

    const std::string& Host() const { return m_host; }
    // The release tree, as a Windows path.
    std::string TreePath() const;
    // Every request in the access log so far, in the order served.
    std::vector<LoggedRequest> Requests() const;

private:
    bool StartOn(const std::string& host);
    // Starts the script with these arguments; true when it could be started.
    bool RunScript(const std::vector<std::string>& arguments) const;
    std::string ServerPath(const std::string& relative) const;  // Windows path

    std::string m_folder;  // Linux path
    std::string m_host;
    bool m_running = false;
    bool m_winsockStarted = false;
};

}  // namespace InstallE2E
