#include "nginx_release_server.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <cstdlib>
#include <filesystem>

#include "support/scratch.h"
#include "support/socket_io.h"
#include "support/test_http_server.h"
#include "support/updater_process.h"
#include "support/window_driver.h"
#include "utils/unique_handle.h"

namespace InstallE2E {
namespace {

constexpr int kHttpPort = 80;
constexpr int kAddressAttempts = 4;
constexpr DWORD kStartTimeoutMs = 15000;
constexpr DWORD kStopTimeoutMs = 15000;
// nginx ends by itself after this long, whatever happens to the test.
constexpr char kLifetimeSeconds[] = "300";

std::string EnvironmentValue(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

sockaddr_in Endpoint(const std::string& host) {
    sockaddr_in endpoint{};
    endpoint.sin_family = AF_INET;
    endpoint.sin_port = htons(kHttpPort);
    ::inet_pton(AF_INET, host.c_str(), &endpoint.sin_addr);
    return endpoint;
}

// True when this process can bind port 80 of the address: nobody listens there.
bool IsFree(const std::string& host) {
    TestSupport::UniqueSocket probe(::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
    const sockaddr_in endpoint = Endpoint(host);
    return probe &&
           ::bind(probe.Get(), reinterpret_cast<const sockaddr*>(&endpoint), sizeof(endpoint)) == 0;
}

bool Accepts(const std::string& host) {
    TestSupport::UniqueSocket client(::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
    const sockaddr_in endpoint = Endpoint(host);
    return client && ::connect(client.Get(), reinterpret_cast<const sockaddr*>(&endpoint),
                               sizeof(endpoint)) == 0;
}

// The request of a line of the "combined" format:
// 127.0.0.1 - - [date] "GET /target HTTP/1.1" 200 512 "-" "agent"
bool ParseLogLine(const std::string& line, LoggedRequest& request) {
    const std::size_t open = line.find('"');
    const std::size_t target = line.find(' ', open);
    const std::size_t version = line.find(" HTTP/", target);
    const std::size_t close = line.find("\" ", version);
    if (open == std::string::npos || target == std::string::npos || version == std::string::npos ||
        close == std::string::npos)
        return false;
    request.target = line.substr(target + 1, version - target - 1);
    request.status = std::atoi(line.c_str() + close + 2);
    return true;
}

}  // namespace

NginxReleaseServer::NginxReleaseServer() {
    WSADATA data;
    m_winsockStarted = ::WSAStartup(MAKEWORD(2, 2), &data) == 0;
    const std::string build = EnvironmentValue("PROJECT_BUILD_DIR");
    if (!build.empty()) m_folder = build + "/nginx_e2e/" + TestSupport::UniqueName("release");
    std::error_code ignored;
    std::filesystem::create_directories(TreePath(), ignored);
}

NginxReleaseServer::~NginxReleaseServer() {
    Stop();
    std::error_code ignored;
    if (!m_folder.empty())
        std::filesystem::remove_all(TestSupport::ToWindowsPath(m_folder), ignored);
    if (m_winsockStarted) ::WSACleanup();
}

std::string NginxReleaseServer::TreePath() const { return ServerPath("tree"); }

std::string NginxReleaseServer::ServerPath(const std::string& relative) const {
    return TestSupport::ToWindowsPath(m_folder + "/" + relative);
}

bool NginxReleaseServer::Start() {
    if (m_running) return true;
    if (m_folder.empty() || !m_winsockStarted) return false;
    for (int attempt = 0; attempt < kAddressAttempts && !m_running; ++attempt) {
        const std::string host = TestSupport::NextLoopbackAddress();
        if (IsFree(host)) m_running = StartOn(host);
    }
    return m_running;
}

bool NginxReleaseServer::StartOn(const std::string& host) {
    m_host = host;
    const std::string tree = m_folder + "/tree";
    if (!RunScript({"start", m_folder + "/server", tree, host + ":80", kLifetimeSeconds}))
        return false;
    // Serving: its pid is recorded and it accepts connections.
    const std::string pidFile = ServerPath("server/nginx.pid");
    if (TestSupport::WaitUntil([&] { return TestSupport::FileExists(pidFile) && Accepts(host); },
                               kStartTimeoutMs))
        return true;
    m_running = true;  // whatever started, stop it before trying elsewhere
    Stop();
    return false;
}

void NginxReleaseServer::Stop() {
    if (!m_running) return;
    m_running = false;
    if (!RunScript({"stop", m_folder + "/server"})) return;
    const std::string pidFile = ServerPath("server/nginx.pid");
    TestSupport::WaitUntil([&] { return !TestSupport::FileExists(pidFile) && !Accepts(m_host); },
                           kStopTimeoutMs);
}

bool NginxReleaseServer::RunScript(const std::vector<std::string>& arguments) const {
    std::string commandLine = "/bin/bash \"" + EnvironmentValue("PROJECT_SOURCE_DIR") +
                              "/deploy/nginx/release-server.sh\"";
    for (const std::string& argument : arguments) commandLine += " \"" + argument + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!::CreateProcessA("Z:\\bin\\bash", &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                          nullptr, &startup, &process))
        return false;
    Utils::UniqueKernelHandle ownedProcess(process.hProcess), ownedThread(process.hThread);
    return true;
}

std::vector<LoggedRequest> NginxReleaseServer::Requests() const {
    std::vector<LoggedRequest> requests;
    const std::string log = TestSupport::ReadFile(ServerPath("server/logs/access.log"));
    std::size_t start = 0;
    for (std::size_t end; (end = log.find('\n', start)) != std::string::npos; start = end + 1) {
        LoggedRequest request;
        if (ParseLogLine(log.substr(start, end - start), request)) requests.push_back(request);
    }
    return requests;
}

}  // namespace InstallE2E
