#include "app/dialog_layout.h"

namespace App {
namespace {

int CenterAxis(int size, int areaStart, int areaEnd, int workStart, int workEnd) {
    int start = areaStart + ((areaEnd - areaStart) - size) / 2;
    if (start + size > workEnd) start = workEnd - size;
    if (start < workStart) start = workStart;  // the left or top edge wins
    return start;
}

RECT MakeRect(int x, int y, int width, int height) { return RECT{x, y, x + width, y + height}; }

}  // namespace

POINT CenterInWorkArea(SIZE window, const RECT* owner, const RECT& workArea) {
    const RECT& area = owner != nullptr ? *owner : workArea;
    POINT corner;
    corner.x = CenterAxis(window.cx, area.left, area.right, workArea.left, workArea.right);
    corner.y = CenterAxis(window.cy, area.top, area.bottom, workArea.top, workArea.bottom);
    return corner;
}

ControlLayout ArrangeControls(int windowHeight, int clientWidth, int barHeight, int statusHeight) {
    ControlLayout layout;
    layout.progressBar = MakeRect(10, windowHeight - barHeight - 35, clientWidth - 20, 10);
    layout.statusLine =
        MakeRect(10, windowHeight - 35 - 2 * barHeight - statusHeight, clientWidth - 20, 20);
    return layout;
}

RECT SkinBrowserRect(const RECT& client) {
    return RECT{client.left + 10, client.top + 10, client.right - 10, client.top + 190};
}

}  // namespace App
