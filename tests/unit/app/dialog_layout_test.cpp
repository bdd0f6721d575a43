#include "app/dialog_layout.h"

#include <gtest/gtest.h>

namespace {

TEST(CenterInWorkArea, CentresAndKeepsTheWindowInside) {
    const RECT work = {0, 0, 1280, 1000};
    const RECT owner = {100, 100, 500, 300};
    const RECT ownerAtRightEdge = {1100, 900, 1300, 1100};
    const struct {
        const char* name;
        SIZE window;
        const RECT* owner;
        LONG x, y;
    } cases[] = {
        {"work area", {490, 90}, nullptr, 395, 455},
        {"owner", {200, 100}, &owner, 200, 150},
        {"owner pushed back inside", {400, 200}, &ownerAtRightEdge, 880, 800},
        {"wider than the work area: left edge wins", {1500, 90}, nullptr, 0, 455},
        {"taller than the work area: top edge wins", {490, 1200}, nullptr, 395, 0},
    };
    for (const auto& c : cases) {
        const POINT corner = App::CenterInWorkArea(c.window, c.owner, work);
        EXPECT_EQ(corner.x, c.x) << c.name;
        EXPECT_EQ(corner.y, c.y) << c.name;
    }
}

TEST(CenterInWorkArea, WorkAreaNotAtTheOrigin) {
    const RECT work = {0, 40, 800, 640};  // a task bar at the top
    const POINT corner = App::CenterInWorkArea(SIZE{200, 700}, nullptr, work);
    EXPECT_EQ(corner.x, 300);
    EXPECT_EQ(corner.y, 40);
}

TEST(ArrangeControls, FollowsTheHeightFormulas) {
    const struct {
        int height, width, bar, status;
        RECT progress, line;
    } cases[] = {
        // H = 90 and 280 with bars of 15 and status lines of 24 pixels.
        {90, 484, 15, 24, {10, 40, 474, 50}, {10, 1, 474, 21}},
        {280, 484, 15, 24, {10, 230, 474, 240}, {10, 191, 474, 211}},
        {280, 300, 9, 13, {10, 236, 290, 246}, {10, 214, 290, 234}},
    };
    for (const auto& c : cases) {
        const App::ControlLayout layout = App::ArrangeControls(c.height, c.width, c.bar, c.status);
        EXPECT_TRUE(EqualRect(&layout.progressBar, &c.progress)) << c.height << "/" << c.bar;
        EXPECT_TRUE(EqualRect(&layout.statusLine, &c.line)) << c.height << "/" << c.status;
    }
}

TEST(SkinBrowserRect, LeavesTenPixelsAndEndsAt190) {
    const RECT client = {0, 0, 484, 251};
    const RECT expected = {10, 10, 474, 190};
    const RECT browser = App::SkinBrowserRect(client);
    EXPECT_TRUE(EqualRect(&browser, &expected));
}

}  // namespace
