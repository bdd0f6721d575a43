// Plays the user in the main job, from inside Wine:
//   demo_driver snapshot <file.bmp> <timeout ms>
//     waits for a visible dialog whose status line (control 1004) shows a
//     download percentage and copies its client area into a 24-bit BMP file.
//   demo_driver answer <caption> <button id> <timeout ms>
//     waits for a message box with that caption, presses the button, waits
//     for the box's process to end and ends with that process's exit code.
// Ends with 1 (snapshot) or 259 (answer) when nothing came in time, 2 on a
// bad command line.
#include <windows.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "utils/unique_handle.h"

namespace {

constexpr int kStatusLine = 1004;
constexpr DWORD kPollMs = 5;

struct ScreenDcRelease {
    void operator()(HDC dc) const { ::ReleaseDC(nullptr, dc); }
};
struct DcDelete {
    void operator()(HDC dc) const { ::DeleteDC(dc); }
};
struct ObjectDelete {
    void operator()(HGDIOBJ object) const { ::DeleteObject(object); }
};
struct FileClose {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using ScreenDc = std::unique_ptr<std::remove_pointer_t<HDC>, ScreenDcRelease>;
using MemoryDc = std::unique_ptr<std::remove_pointer_t<HDC>, DcDelete>;
using Bitmap = std::unique_ptr<std::remove_pointer_t<HBITMAP>, ObjectDelete>;
using File = std::unique_ptr<std::FILE, FileClose>;

constexpr int kMessageBoxText = 65535;
constexpr DWORD kTimedOut = 259;

BOOL CALLBACK FindDownloadingDialog(HWND window, LPARAM found) {
    char className[16] = {};
    ::GetClassNameA(window, className, sizeof(className));
    if (std::string(className) != "#32770" || !::IsWindowVisible(window)) return TRUE;
    char status[256] = {};
    ::GetDlgItemTextA(window, kStatusLine, status, sizeof(status));
    if (std::string(status).find("% - ") == std::string::npos) return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

// The window's client area on screen (a virtual display has no window
// manager to draw the frame) as bottom-up 24-bit rows, each padded to 4 bytes.
bool CaptureWindow(HWND window, std::vector<char>& pixels, BITMAPINFOHEADER& header) {
    RECT rect = {};
    ::GetClientRect(window, &rect);
    ::MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0) return false;
    ScreenDc screen(::GetDC(nullptr));
    MemoryDc memory(::CreateCompatibleDC(screen.get()));
    Bitmap bitmap(::CreateCompatibleBitmap(screen.get(), width, height));
    if (!screen || !memory || !bitmap) return false;
    HGDIOBJ previous = ::SelectObject(memory.get(), bitmap.get());
    const bool copied = ::BitBlt(memory.get(), 0, 0, width, height, screen.get(), rect.left,
                                 rect.top, SRCCOPY) != FALSE;
    ::SelectObject(memory.get(), previous);
    if (!copied) return false;
    header = {};
    header.biSize = sizeof(header);
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    const int stride = (width * 3 + 3) & ~3;
    header.biSizeImage = stride * height;
    pixels.resize(header.biSizeImage);
    return ::GetDIBits(memory.get(), bitmap.get(), 0, height, pixels.data(),
                       reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS) == height;
}

bool WriteBmp(const char* path, const BITMAPINFOHEADER& header, const std::vector<char>& pixels) {
    BITMAPFILEHEADER fileHeader = {};
    fileHeader.bfType = 0x4D42;  // "BM"
    fileHeader.bfOffBits = sizeof(fileHeader) + sizeof(header);
    fileHeader.bfSize = fileHeader.bfOffBits + static_cast<DWORD>(pixels.size());
    File file(std::fopen(path, "wb"));
    return file && std::fwrite(&fileHeader, sizeof(fileHeader), 1, file.get()) == 1 &&
           std::fwrite(&header, sizeof(header), 1, file.get()) == 1 &&
           std::fwrite(pixels.data(), 1, pixels.size(), file.get()) == pixels.size();
}

int Snapshot(const char* path, DWORD timeoutMs) {
    const DWORD start = ::GetTickCount();
    while (::GetTickCount() - start < timeoutMs) {
        HWND dialog = nullptr;
        ::EnumWindows(&FindDownloadingDialog, reinterpret_cast<LPARAM>(&dialog));
        std::vector<char> pixels;
        BITMAPINFOHEADER header;
        if (dialog != nullptr && CaptureWindow(dialog, pixels, header))
            return WriteBmp(path, header, pixels) ? 0 : 1;
        ::Sleep(kPollMs);
    }
    return 1;
}

int Answer(const char* caption, int button, DWORD timeoutMs) {
    const DWORD start = ::GetTickCount();
    HWND box = nullptr;
    while (::GetTickCount() - start < timeoutMs) {
        box = ::FindWindowA("#32770", caption);
        if (box != nullptr && ::GetDlgItem(box, kMessageBoxText) != nullptr) break;
        box = nullptr;
        ::Sleep(kPollMs);
    }
    if (box == nullptr) return kTimedOut;
    DWORD processId = 0;
    ::GetWindowThreadProcessId(box, &processId);
    Utils::UniqueKernelHandle process(
        ::OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    ::PostMessageA(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
    DWORD exitCode = kTimedOut;
    if (process && ::WaitForSingleObject(process.Get(), timeoutMs) == WAIT_OBJECT_0)
        ::GetExitCodeProcess(process.Get(), &exitCode);
    return static_cast<int>(exitCode);
}

}  // namespace

int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "snapshot" && argc == 4)
        return Snapshot(argv[2], std::strtoul(argv[3], nullptr, 10));
    if (command == "answer" && argc == 5)
        return Answer(argv[2], std::atoi(argv[3]), std::strtoul(argv[4], nullptr, 10));
    std::fprintf(stderr,
                 "usage: demo_driver snapshot <file.bmp> <timeout ms>\n"
                 "       demo_driver answer <caption> <button id> <timeout ms>\n");
    return 2;
}
