#include "app/about_box.h"

#include "app/resource_ids.h"

namespace App {
namespace {

INT_PTR CALLBACK AboutBoxProc(HWND window, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG) return TRUE;
    if (message == WM_COMMAND) {
        const int id = LOWORD(wParam);
        if (id >= IDOK && id <= IDNO) {  // OK, Cancel, Abort, Retry, Ignore, Yes, No
            ::EndDialog(window, id);
            return TRUE;
        }
    }
    return FALSE;
}

}  // namespace

void ShowAboutBox(HINSTANCE instance, HWND owner) {
    ::DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_ABOUTBOX), owner, AboutBoxProc, 0);
}

}  // namespace App
