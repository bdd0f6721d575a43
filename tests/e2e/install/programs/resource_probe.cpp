// Stands in for the document's resource-update program: after a second it
// writes its exact command line to "<own path>.args.log" and exits, so a test
// sees the command line and, by the file being there when the updater has
// ended, that the updater waited for it.
#include <windows.h>

#include <cstdio>
#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    constexpr DWORD kPauseMs = 1000;
    ::Sleep(kPauseMs);
    char self[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, self, MAX_PATH);
    const std::string line = ::GetCommandLineA();
    FILE* record = std::fopen((std::string(self) + ".args.log").c_str(), "wb");
    if (record == nullptr) return 1;
    std::fwrite(line.data(), 1, line.size(), record);
    std::fclose(record);
    return 0;
}
