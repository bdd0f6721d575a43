#pragma once
// Geometry of the main dialog. Pure functions over rectangles.
#include <windows.h>

namespace App {

// Window width used for both layouts, in pixels.
constexpr int kDialogWidth = 490;
// Window heights: an update run (status line and bar only) and a first
// installation (180 more pixels above them for the skin browser).
constexpr int kUpdateHeight = 90;
constexpr int kFirstRunHeight = 280;

// Top-left corner that centres a window of the given size over the owner
// rectangle (or over the work area when owner is null), then pulled inside the
// work area; the left and top edges win when the window does not fit.
POINT CenterInWorkArea(SIZE window, const RECT* owner, const RECT& workArea);

struct ControlLayout {
    RECT progressBar;  // left, top, right, bottom in client coordinates
    RECT statusLine;
};

// Places the bar and the status line for a window height H, a client width W,
// and the bar's and status line's current client heights P and S:
// bar at (10, H - P - 35) sized (W - 20) x 10,
// status line at (10, H - 35 - 2P - S) sized (W - 20) x 20.
ControlLayout ArrangeControls(int windowHeight, int clientWidth, int barHeight, int statusHeight);

// The skin browser's rectangle inside the client rectangle: 10 pixels in from
// the left, top and right, down to 190 pixels below the top.
RECT SkinBrowserRect(const RECT& client);

}  // namespace App
