#include "support/folder_link.h"

#include <windows.h>

#include <filesystem>

#include "utils/unique_handle.h"

namespace TestSupport {
namespace {

constexpr DWORD kAllowUnprivilegedCreate = 0x2;

// The Unix path of a Windows path; "" outside Wine.
std::string UnixPath(const std::string& path) {
    using UnixName = char*(CDECL*)(const WCHAR*);
    auto unixName = reinterpret_cast<UnixName>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    char* name = unixName ? unixName(std::filesystem::path(path).wstring().c_str()) : nullptr;
    const std::string text = name ? name : "";
    HeapFree(GetProcessHeap(), 0, name);
    return text;
}

}  // namespace

FolderLink::FolderLink(const std::string& link, const std::string& target) : m_link(link) {
    if (CreateSymbolicLinkA(link.c_str(), target.c_str(),
                            SYMBOLIC_LINK_FLAG_DIRECTORY | kAllowUnprivilegedCreate) &&
        IsLink())
        return;
    const std::string unixLink = UnixPath(link);
    const std::string unixTarget = UnixPath(target);
    if (unixLink.empty() || unixTarget.empty()) return;
    m_madeOnUnixSide = RunUnixCommand("ln -s \"" + unixTarget + "\" \"" + unixLink + "\"",
                                      [this] { return IsLink(); });
}

FolderLink::~FolderLink() {
    if (m_madeOnUnixSide) {
        RunUnixCommand("rm -f \"" + UnixPath(m_link) + "\"", [this] {
            return GetFileAttributesA(m_link.c_str()) == INVALID_FILE_ATTRIBUTES;
        });
    } else {
        RemoveDirectoryA(m_link.c_str());
    }
}

bool FolderLink::IsLink() const {
    const DWORD attributes = GetFileAttributesA(m_link.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

template <typename Done>
bool FolderLink::RunUnixCommand(const std::string& arguments, Done done) const {
    const std::string program = arguments.substr(0, arguments.find(' '));
    std::string commandLine = "/bin/" + arguments;
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(("Z:\\bin\\" + program).c_str(), &commandLine[0], nullptr, nullptr, FALSE,
                        0, nullptr, nullptr, &startup, &process))
        return false;
    // Wine gives no usable exit code for a Unix process: wait for its effect.
    Utils::UniqueKernelHandle ownedProcess(process.hProcess), ownedThread(process.hThread);
    for (int wait = 0; wait < 100 && !done(); ++wait) Sleep(50);
    return done();
}

}  // namespace TestSupport
