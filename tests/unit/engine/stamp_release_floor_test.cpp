// The release floor: stamped into its own block, printed, cleared, and a bad
// number or an image without the block refused without touching the file.
#include <gtest/gtest.h>

#include <string>

#include "engine/release_floor_block.h"
#include "stamp_run.h"
#include "stamp_test_image.h"
#include "support/scratch.h"

namespace {

std::string FloorBlock() {
    std::string block(ReleaseFloorBlock::kFloorMarker);
    block.resize(ReleaseFloorBlock::kBlockSize, '\0');
    return block;
}

class StampFloorTest : public ::testing::Test {
protected:
    int Run(std::vector<std::string> args) {
        args.insert(args.begin(), m_exe);
        const StampTest::StampRun run = StampTest::RunStampTool(args);
        m_out = run.out;
        m_err = run.err;
        return run.code;
    }

    TestSupport::ScratchFolder m_folder;
    std::string m_exe = m_folder / "updater.exe";
    std::string m_out, m_err;
};

TEST_F(StampFloorTest, StampsPrintsAndClearsOnlyTheFloor) {
    const std::string image = StampTest::Image() + FloorBlock() + StampTest::Filler(200, 'f');
    ASSERT_TRUE(TestSupport::WriteFile(m_exe, image));
    ASSERT_EQ(Run({"--print"}), 0) << m_err;
    EXPECT_NE(m_out.find("\nrelease-floor=none\n"), std::string::npos) << m_out;

    ASSERT_EQ(Run({"--release-floor", "9223372036854775807", "--print"}), 0) << m_err;
    EXPECT_NE(m_out.find("\nrelease-floor=9223372036854775807\n"), std::string::npos) << m_out;
    std::string expected = image;
    const std::size_t field =
        image.find(ReleaseFloorBlock::kFloorMarker) + ReleaseFloorBlock::kFloorMarkerSize;
    expected.replace(field, 19, "9223372036854775807");
    EXPECT_EQ(TestSupport::ReadFile(m_exe), expected);

    ASSERT_EQ(Run({"--release-floor", "12", "--print"}), 0) << m_err;  // no digits of 19 left
    EXPECT_NE(m_out.find("\nrelease-floor=12\n"), std::string::npos) << m_out;
    ASSERT_EQ(Run({"--release-floor", "0"}), 0) << m_err;
    EXPECT_EQ(TestSupport::ReadFile(m_exe), image);
}

TEST_F(StampFloorTest, RefusesWithoutTouchingTheFile) {
    const std::string withBlock = StampTest::Image() + FloorBlock();
    const struct {
        const char* name;
        std::string image;
        std::string floor;
        int code;
    } cases[] = {
        {"image without a floor block", StampTest::Image(), "5", 1},
        {"two floor blocks", withBlock + FloorBlock(), "5", 1},
        {"negative", withBlock, "-1", 2},
        {"not a number", withBlock, "12a", 2},
        {"empty", withBlock, "", 2},
        {"above the largest release number", withBlock, "9223372036854775808", 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(TestSupport::WriteFile(m_exe, c.image));
        EXPECT_EQ(Run({"--release-floor", c.floor}), c.code);
        EXPECT_FALSE(m_err.empty());
        EXPECT_EQ(TestSupport::ReadFile(m_exe), c.image);
    }
}

}  // namespace
