// The demo's product: a small Windows program that notes where and how it was
// started, and what its library says (in "started.txt" in its working
// folder), and ends, so that the demo can show that the updater installed and
// started it.
#include <windows.h>

#include <cstdio>
#include <cstring>

namespace {

// The greeting of greeting.dll beside the program, or why there is none.
const char* LibraryGreeting() {
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    char* slash = std::strrchr(path, '\\');
    if (slash == nullptr || std::strlen(path) + 16 > MAX_PATH) return "(no program path)";
    std::strcpy(slash + 1, "greeting.dll");
    HMODULE library = ::LoadLibraryA(path);
    if (library == nullptr) return "(greeting.dll missing)";
    using Greeting = const char* (*)();
    auto greeting = reinterpret_cast<Greeting>(
        reinterpret_cast<void*>(::GetProcAddress(library, "NimbraDemoGreeting")));
    return greeting != nullptr ? greeting() : "(greeting.dll without a greeting)";
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    char folder[MAX_PATH] = {};
    ::GetCurrentDirectoryA(MAX_PATH, folder);
    SYSTEMTIME now = {};
    ::GetLocalTime(&now);
    if (std::FILE* note = std::fopen("started.txt", "w")) {
        std::fprintf(note, "started %04u-%02u-%02u %02u:%02u:%02u in %s\ncommand line: %s\n%s\n",
                     now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond, folder,
                     ::GetCommandLineA(), LibraryGreeting());
        std::fclose(note);
    }
    return 0;
}
