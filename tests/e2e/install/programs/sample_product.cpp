// Stands in for the installed product. Every start appends one line to
// "<own path>.run.log": its working folder, a "|" and its command line. Then:
//   no argument  exits (as when the updater starts it at the end of a run);
//   "hidden"     stays running without any window for a minute;
//   "window"     shows the window "Sample product" until it is closed.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

constexpr char kWindowCaption[] = "Sample product";
constexpr DWORD kHiddenLifetimeMs = 60000;

void RecordStart() {
    char self[MAX_PATH] = {};
    char folder[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, self, MAX_PATH);
    ::GetCurrentDirectoryA(MAX_PATH, folder);
    const std::string line = std::string(folder) + "|" + ::GetCommandLineA() + "\n";
    if (FILE* record = std::fopen((std::string(self) + ".run.log").c_str(), "ab")) {
        std::fwrite(line.data(), 1, line.size(), record);
        std::fclose(record);
    }
}

int ShowWindowUntilClosed(HINSTANCE instance) {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = ::DefWindowProcA;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = "SampleProductWindow";
    ::RegisterClassA(&windowClass);
    HWND window =
        ::CreateWindowA(windowClass.lpszClassName, kWindowCaption, WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                        10, 10, 200, 100, nullptr, nullptr, instance, nullptr);
    if (window == nullptr) return 1;
    MSG message;
    while (::GetMessageA(&message, nullptr, 0, 0) > 0) ::DispatchMessageA(&message);
    return 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR arguments, int) {
    RecordStart();
    if (std::strcmp(arguments, "hidden") == 0) ::Sleep(kHiddenLifetimeMs);
    if (std::strcmp(arguments, "window") == 0) return ShowWindowUntilClosed(instance);
    return 0;
}
