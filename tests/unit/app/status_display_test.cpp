#include "app/status_display.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace {

using App::StatusDisplay;

TEST(ProgressPrefix, EightBlanksPercentWithTwoDecimals) {
    const struct {
        double percent;
        const char* prefix;
    } cases[] = {
        {42.5, "        42.50% - "},
        {0.0, "        0.00% - "},
        {99.999, "        100.00% - "},
        {100.0, "        100.00% - "},
        {3.14159, "        3.14% - "},
        {-1.0, "        -1.00% - "},
        {12345678.9, "        12345678.90% - "},
    };
    for (const auto& c : cases)
        EXPECT_EQ(App::FormatProgressPrefix(c.percent), c.prefix) << c.percent;
    EXPECT_STREQ(App::kBlankProgressPrefix, "        ");
}

TEST(StatusDisplay, LineIsPrefixPlusStatusText) {
    StatusDisplay display;
    display.SetStatusText("early");  // before initialisation the prefix is empty
    EXPECT_EQ(display.GetLine(), "early");
    display.ResetPrefix();
    display.SetStatusText("Please wait");
    EXPECT_EQ(display.GetLine(), "        Please wait");
    display.SetProgressPercent(42.5);
    EXPECT_EQ(display.GetLine(), "        42.50% - Please wait");
    display.SetStatusText("Downloading");
    EXPECT_EQ(display.GetLine(), "        42.50% - Downloading");
    EXPECT_EQ(display.GetStatusText(), "Downloading");
}

TEST(StatusDisplay, VisibilityFollowsTheLineOnlyForStatusText) {
    StatusDisplay display;
    EXPECT_FALSE(display.SetStatusText(""));  // empty line, already hidden: nothing to do
    EXPECT_TRUE(display.Take().IsEmpty());

    EXPECT_TRUE(display.SetStatusText("x"));
    StatusDisplay::Pending shown = display.Take();
    EXPECT_TRUE(shown.visibilityChanged && shown.visible);

    EXPECT_TRUE(display.SetStatusText(""));
    StatusDisplay::Pending hidden = display.Take();
    EXPECT_TRUE(hidden.visibilityChanged);
    EXPECT_FALSE(hidden.visible);

    display.ResetPrefix();  // the prefix alone does not show the line...
    EXPECT_FALSE(display.Take().visibilityChanged);
    display.SetStatusText("");  // ...but the next status text does, with eight blanks
    StatusDisplay::Pending blanks = display.Take();
    EXPECT_TRUE(blanks.visibilityChanged && blanks.visible);
    EXPECT_EQ(display.GetLine(), "        ");
}

TEST(StatusDisplay, UnchangedValuesNeedNoUpdate) {
    StatusDisplay display;
    display.ResetPrefix();
    EXPECT_TRUE(display.SetStatusText("Downloading"));
    EXPECT_FALSE(display.SetStatusText("Downloading"));
    EXPECT_TRUE(display.SetProgressPercent(10.0));
    EXPECT_FALSE(display.SetProgressPercent(10.001));  // shows as 10.00 all the same
    EXPECT_TRUE(display.SetPosition(1007, 10));
    EXPECT_FALSE(display.SetPosition(1007, 10));
    EXPECT_TRUE(display.SetPosition(1008, 10));  // positions are kept per control

    const StatusDisplay::Pending pending = display.Take();
    EXPECT_EQ(pending.line, "        10.00% - Downloading");
    ASSERT_EQ(pending.positions.size(), 2u);
    EXPECT_TRUE(display.Take().IsEmpty());  // taken once
}

TEST(StatusDisplay, PendingPositionKeepsTheLatestValue) {
    StatusDisplay display;
    display.SetPosition(1007, 10);
    display.SetPosition(1007, 20);
    const StatusDisplay::Pending pending = display.Take();
    ASSERT_EQ(pending.positions.size(), 1u);
    EXPECT_EQ(pending.positions[0], std::make_pair(1007, 20));
}

TEST(StatusDisplay, ForgottenPositionIsSentAgain) {
    // A new range may move the bar on its own, so the same position must go out again.
    StatusDisplay display;
    display.SetPosition(1007, 50);
    display.Take();
    display.ForgetPosition(1007);
    EXPECT_TRUE(display.SetPosition(1007, 50));
}

TEST(StatusDisplay, ConcurrentWritersLeaveTheLastValuePending) {
    StatusDisplay display;
    display.ResetPrefix();
    std::vector<std::thread> writers;
    for (int t = 0; t < 4; ++t) {
        writers.emplace_back([&display, t] {
            for (int i = 0; i <= 1000; ++i) {
                display.SetProgressPercent(i / 10.0);
                display.SetPosition(1007 + t, i / 10);
                if (i % 100 == 0) display.Take();
            }
        });
    }
    for (auto& writer : writers) writer.join();
    display.Take();
    EXPECT_EQ(display.GetLine(), "        100.00% - ");
    for (int t = 0; t < 4; ++t) EXPECT_FALSE(display.SetPosition(1007 + t, 100));
}

}  // namespace
