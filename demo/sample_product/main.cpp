// The demo's product: a small Windows program that notes where and how it was
// started (in "started.txt" in its working folder) and ends, so that the
// demo can show that the updater installed and started it.
#include <windows.h>

#include <cstdio>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    char folder[MAX_PATH] = {};
    ::GetCurrentDirectoryA(MAX_PATH, folder);
    SYSTEMTIME now = {};
    ::GetLocalTime(&now);
    if (std::FILE* note = std::fopen("started.txt", "w")) {
        std::fprintf(note, "started %04u-%02u-%02u %02u:%02u:%02u in %s\ncommand line: %s\n",
                     now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond, folder,
                     ::GetCommandLineA());
        std::fclose(note);
    }
    return 0;
}
