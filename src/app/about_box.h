#pragma once
// The about box (template 100): modal, not centred, closed by any command 1-7.
#include <windows.h>

namespace App {

// Runs the about box modally on the calling thread, owned by owner.
void ShowAboutBox(HINSTANCE instance, HWND owner);

}  // namespace App
