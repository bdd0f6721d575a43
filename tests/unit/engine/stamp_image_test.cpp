// Finding the settings block in an image and the slot patching rule.
#include <gtest/gtest.h>

#include <string>

#include "engine/build_config_block.h"
#include "stamp_image.h"
#include "stamp_test_image.h"

namespace {

using StampTest::kBlock;
using StampTest::kSlot;

TEST(FindBlock, LocatesTheMarkerWherever) {
    for (std::size_t before : {0u, 1u, 1234u, 4096u}) {
        EXPECT_EQ(Stamp::FindBlock(StampTest::Image(before)), before);
    }
    EXPECT_EQ(Stamp::FindBlock(StampTest::Image(10, 0)), 10u) << "block ending the image";
}

struct RefusedImage {
    const char* name;
    std::string image;
};

class FindBlockRefusal : public ::testing::TestWithParam<RefusedImage> {};

TEST_P(FindBlockRefusal, Throws) {
    EXPECT_THROW(Stamp::FindBlock(GetParam().image), Stamp::StampError);
}

std::string MarkerWithoutTerminator() {
    std::string image = StampTest::Image();
    image[1000 + sizeof(BuildConfig::kMarker) - 1] = 'x';
    return image;
}

INSTANTIATE_TEST_SUITE_P(
    Images, FindBlockRefusal,
    ::testing::Values(RefusedImage{"Empty", ""},
                      RefusedImage{"NoMarker", StampTest::Filler(8000, 'q')},
                      RefusedImage{"TwoMarkers", StampTest::Image() + StampTest::Image()},
                      RefusedImage{"MarkerTextInLongerText", MarkerWithoutTerminator()},
                      RefusedImage{"BlockCutShort",
                                   StampTest::Image(100, 0).substr(0, 100 + kBlock - 1)}),
    [](const ::testing::TestParamInfo<RefusedImage>& info) {
        return std::string(info.param.name);
    });

TEST(WriteSlotText, ShorterValueLeavesRemainsButReadsOnlyNewValue) {
    std::string image = StampTest::Image();
    const std::size_t block = Stamp::FindBlock(image);
    Stamp::WriteSlotText(image, block, 2, "updates.a-much-longer-host-name.example");
    const std::string before = image;
    Stamp::WriteSlotText(image, block, 2, "a.b");

    EXPECT_EQ(Stamp::ReadSlotText(image, block, 2), "a.b");
    const std::size_t start = block + 2 * kSlot;
    EXPECT_EQ(image.substr(start, 4), std::string("a.b\0", 4));
    EXPECT_EQ(image.substr(start + 4), before.substr(start + 4)) << "rest of slot and image kept";
    EXPECT_EQ(image.substr(0, start), before.substr(0, start));
}

TEST(WriteSlotText, LongestValuesFitAndMarkerSlotIsUntouched) {
    std::string image = StampTest::Image();
    const std::string original = image;
    const std::size_t block = Stamp::FindBlock(image);
    for (int slot = Stamp::kFirstValueSlot; slot <= Stamp::kLastValueSlot; ++slot) {
        Stamp::WriteSlotText(image, block, slot, std::string(511, static_cast<char>('A' + slot)));
    }
    EXPECT_EQ(image.substr(0, block + kSlot), original.substr(0, block + kSlot));
    EXPECT_EQ(image.substr(block + kBlock), original.substr(block + kBlock));
    for (int slot = Stamp::kFirstValueSlot; slot <= Stamp::kLastValueSlot; ++slot) {
        EXPECT_EQ(Stamp::ReadSlotText(image, block, slot),
                  std::string(511, static_cast<char>('A' + slot)));
    }
    EXPECT_EQ(Stamp::FindBlock(image), block);
}

TEST(WriteSlotText, RefusalsLeaveImageUnchanged) {
    const std::string original = StampTest::Image();
    const std::size_t block = Stamp::FindBlock(original);
    struct Refusal {
        int slot;
        std::string text;
    };
    const Refusal refusals[] = {
        {4, std::string(512, 'b')}, {0, "new marker"},           {6, "past the block"},
        {-1, "before the block"},   {3, std::string("a\0b", 3)},
    };
    for (const Refusal& refusal : refusals) {
        std::string image = original;
        EXPECT_THROW(Stamp::WriteSlotText(image, block, refusal.slot, refusal.text),
                     Stamp::StampError)
            << "slot " << refusal.slot << ", " << refusal.text.size() << " characters";
        EXPECT_TRUE(image == original);
    }
}

TEST(ReadSlotText, SlotWithoutTerminatorStopsAtSlotEnd) {
    std::string image = StampTest::Image();
    const std::size_t block = Stamp::FindBlock(image);
    image.replace(block + 3 * kSlot, kSlot, std::string(kSlot, 'p'));
    EXPECT_EQ(Stamp::ReadSlotText(image, block, 3), std::string(kSlot, 'p'));
}

}  // namespace
