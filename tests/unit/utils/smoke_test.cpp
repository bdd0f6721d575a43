#include <gtest/gtest.h>
#include "support/scratch.h"
TEST(Smoke, ScratchFolderExists) {
    TestSupport::ScratchFolder f;
    EXPECT_TRUE(TestSupport::WriteFile(f / "a\\b.txt", "xy"));
    EXPECT_EQ(TestSupport::ReadFile(f / "a\\b.txt"), "xy");
}
