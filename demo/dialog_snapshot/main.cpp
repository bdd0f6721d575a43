// Photographs the updater's dialog while it downloads, for the main job:
//   dialog_snapshot <file.bmp> <timeout ms>
// Waits for a visible dialog whose status line (control 1004) shows a
// download percentage, copies the dialog's client area into a 24-bit BMP
// file and ends with 0; ends with 1 when no such dialog came in time.
#include <windows.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

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

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: dialog_snapshot <file.bmp> <timeout ms>\n");
        return 2;
    }
    const DWORD timeoutMs = std::strtoul(argv[2], nullptr, 10);
    const DWORD start = ::GetTickCount();
    while (::GetTickCount() - start < timeoutMs) {
        HWND dialog = nullptr;
        ::EnumWindows(&FindDownloadingDialog, reinterpret_cast<LPARAM>(&dialog));
        std::vector<char> pixels;
        BITMAPINFOHEADER header;
        if (dialog != nullptr && CaptureWindow(dialog, pixels, header))
            return WriteBmp(argv[1], header, pixels) ? 0 : 1;
        ::Sleep(kPollMs);
    }
    return 1;
}
